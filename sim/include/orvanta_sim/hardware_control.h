/* The control interface of the stand-in hardware library (libvexo_hw / vexo_hw.dll) for the
 * project's tests: the register files of the boards, injected access failures and access
 * counts. The hardware library owns each board's registers, one register file per hardware
 * handle; the design's NX values are the runtime's. */
#ifndef ORVANTA_SIM_HARDWARE_CONTROL_H
#define ORVANTA_SIM_HARDWARE_CONTROL_H

#include <stdint.h>

#include "export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Register files of every hardware handle (a register never written reads 0). Reset forgets
 * the values, the injected failures and the counts. */
VEXO_SIM_HW_API void SimHw_Reset(void);
/* 0, or -1 (value 0) for a register never written. */
VEXO_SIM_HW_API int32_t SimHw_GetRegister(uint64_t hardware, uint32_t address, uint64_t* value);
VEXO_SIM_HW_API void SimHw_SetRegister(uint64_t hardware, uint32_t address, uint64_t value);
VEXO_SIM_HW_API void SimHw_FailAccess(uint32_t address, int32_t code); /* reads and writes answer code; 0 removes */
/* A plan of failures for register reads and writes together: counted from here on, access number
 * nth (from 1) answers code, and with persistent non-zero every access after it too; nth 0 only
 * counts. Asked before the failures by address; SimHw_Reset clears it. */
VEXO_SIM_HW_API void SimHw_PlanFault(uint64_t nth, int32_t persistent, int32_t code);
VEXO_SIM_HW_API uint64_t SimHw_FaultCalls(void); /* accesses counted since the plan was set */
VEXO_SIM_HW_API int32_t SimHw_WriteCount(void);
VEXO_SIM_HW_API int32_t SimHw_ReadCount(void);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_SIM_HARDWARE_CONTROL_H */
