/* Between the stand-ins only: the stand-in runtime learns the design's NX parameters from the
 * HAP that an inner handle is opened on, by asking the stand-in HAP runtime, which read them
 * from the image. Not part of the tests' control interface. */
#ifndef SIM_HAP_DESIGN_H
#define SIM_HAP_DESIGN_H

#include "vexo_sim.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SimHapNxParameter {
    const char* name;  /* the full NX name */
    int32_t typeCode;  /* the runtime's value type code: 2, 4, 5 or 6 */
    int32_t writable;  /* non-zero: the design takes writes */
} SimHapNxParameter;

/* The NX parameters of an open HAP in the design's order: their number, with *parameters set to
 * the first; -1 for a handle that is not open. The rows stay valid as long as the process runs. */
VEXO_SIM_HAP_API int32_t SimHap_NxParameters(void* hap, const SimHapNxParameter** parameters);

#ifdef __cplusplus
}
#endif

#endif /* SIM_HAP_DESIGN_H */
