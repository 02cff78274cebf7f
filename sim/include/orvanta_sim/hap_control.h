/* The control interface of the stand-in HAP runtime (libhapcore / hapcore.dll) for the
 * project's tests: the images opened, injected open failures, the design's event list and the
 * NX parameters an open image lists. */
#ifndef ORVANTA_SIM_HAP_CONTROL_H
#define ORVANTA_SIM_HAP_CONTROL_H

#include <stdint.h>

#include "export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The HAP runtime opens images written by tools/make_hap_image.py (a copy lies in the build's
 * bin folder as "Orvanta.hap"): Hap_OpenFile looks for the file in the current directory, then
 * in the folder of hapcore itself, and wants the board type 1874. Registers count from position
 * 1, their id is their address; the event list is the design's (the overflow at position 0). */

typedef struct SimHapOpen {
    int32_t fromFile;      /* 1: Hap_OpenFile, 0: Hap_OpenImage */
    char fileName[260];
    int32_t boardType;
    int32_t flag;
    const void* image;
    uint64_t size;
    void* handle;          /* what was answered */
} SimHapOpen;

/* Forgets the open records and the injected failure and restores the design's event list;
 * handles stay open. */
VEXO_SIM_HAP_API void SimHap_Reset(void);
VEXO_SIM_HAP_API void SimHap_FailOpen(int32_t fail);          /* non-zero: opens answer null */
/* A plan of failures for the HAP calls (every one but releasing a handle): counted from here on,
 * call number nth (from 1) fails, and with persistent non-zero every call after it too; nth 0
 * only counts. A failed call answers as for a handle that is not open: null, -1, or 0 for
 * "writable". SimHap_Reset clears it. */
VEXO_SIM_HAP_API void SimHap_PlanFault(uint64_t nth, int32_t persistent);
VEXO_SIM_HAP_API uint64_t SimHap_FaultCalls(void); /* calls counted since the plan was set */
VEXO_SIM_HAP_API int32_t SimHap_OpenCount(void);
VEXO_SIM_HAP_API int32_t SimHap_GetOpen(int32_t index, SimHapOpen* open);
VEXO_SIM_HAP_API int32_t SimHap_LiveHandles(void);            /* opened and not yet released */
/* Replaces the design's event list (for all HAP handles, open ones included): count names with
 * their classes (null classes: all 1). A count of 0 or less restores the design's own list,
 * as SimHap_Reset does. Names are copied; descriptors handed out earlier stay valid. */
VEXO_SIM_HAP_API void SimHap_SetEvents(const char* const* names, const uint32_t* classes, int32_t count);

typedef struct SimHapNxParameter {
    const char* name;  /* the full NX name */
    int32_t typeCode;  /* the runtime's value type code: 2, 4, 5 or 6 */
    int32_t writable;  /* non-zero: the design takes writes */
} SimHapNxParameter;

/* The NX parameters of an open HAP in the design's order: their number, with *parameters set to
 * the first; -1 for a handle that is not open. The rows stay valid as long as the process runs.
 * These are what the runtime loads onto a board when it opens an inner handle on that HAP. */
VEXO_SIM_HAP_API int32_t SimHap_NxParameters(void* hap, const SimHapNxParameter** parameters);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_SIM_HAP_CONTROL_H */
