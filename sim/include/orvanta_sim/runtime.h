/* The application interface of the stand-in runtime (librtcore5 / rtcore5.dll) of the simulated
 * board. An application opens the applet through Fg_Init / Fg_InitEx and then calls the same
 * Fg_ functions that the applet library calls on its inner handle: the runtime tells the two
 * kinds of handle apart by its own bookkeeping and routes an application's calls to the
 * applet's exports of the same names. The tests' control of the runtime is in
 * runtime_control.h. */
#ifndef ORVANTA_SIM_RUNTIME_H
#define ORVANTA_SIM_RUNTIME_H

#include <stddef.h>
#include <stdint.h>

#include "export.h"

#ifdef __cplusplus
extern "C" {
#endif

struct ParameterInfoNode;

/* Error numbers of the simulated runtime, as its functions answer them and as
 * Fg_getLastErrorNumber reports them. */
enum SimRuntimeError {
    SIM_ERR_INVALID_HANDLE = -2001,    /* null, or neither an inner nor an application handle */
    SIM_ERR_HANDLE_CLOSED = -2002,     /* an inner handle after its Fg_FreeGrabber */
    SIM_ERR_INVALID_BOARD = -2003,     /* a board index beyond the simulated boards */
    SIM_ERR_INVALID_HAP = -2011,       /* an init call without HAP name, or on a HAP not open */
    SIM_ERR_LIBRARY_LOAD = -2031,      /* the applet library cannot be loaded or has no Std_entry */
    SIM_ERR_INVALID_PORT = -2060,      /* a DMA or port index the design does not have */
    SIM_ERR_INVALID_PARAMETER = -2070, /* unknown parameter id, name or index */
    SIM_ERR_NULL_VALUE = -2071,        /* a null value pointer */
    SIM_ERR_READ_ONLY = -2073,         /* a write to a value the design only reports */
    SIM_ERR_INVALID_TYPE = -2078,      /* a type code that does not fit the parameter */
    SIM_ERR_NOT_AVAILABLE = -2130,     /* a call this kind of handle does not offer */
    SIM_ERR_FILE = -2140               /* a configuration file cannot be written or read */
};

/* The simulated boards: board indices 0 to SIM_BOARD_COUNT - 1. */
#define SIM_BOARD_COUNT 8

/* ---- Application interface of the runtime ------------------------------------------------ */

/* Opens the applet named appletName ("Orvanta") on board boardIndex: loads the applet library
 * (Orvanta.dll / Orvanta.so, by plain file name), calls its Std_entry with the board's hardware
 * handle and the flags, and keeps the wrapper in the first field of a handle record that the
 * runtime owns. Null on failure; Fg_getLastErrorNumber(NULL) then tells why: the Std_entry
 * error cell, SIM_ERR_LIBRARY_LOAD when the applet library cannot be loaded or lacks Std_entry,
 * SIM_ERR_INVALID_BOARD or SIM_ERR_INVALID_PARAMETER (no applet name). */
VEXO_SIM_API void* Fg_Init(const char* appletName, uint32_t boardIndex);
VEXO_SIM_API void* Fg_InitEx(const char* appletName, uint32_t boardIndex, uint32_t flags);

/* The generic calls. On an application's handle they are routed to the applet's exports of the
 * same name (Fg_FreeGrabber also releases the runtime's handle record); on an inner handle the
 * runtime answers them from its model of the Orvanta hardware design. */
VEXO_SIM_API int32_t Fg_getLastErrorNumber(void* fg); /* null: the global last error */
VEXO_SIM_API int32_t Fg_getParameterIdByName(void* fg, const char* name);
VEXO_SIM_API const char* Fg_getParameterName(void* fg, int32_t index);
VEXO_SIM_API int32_t Fg_getParameterId(void* fg, int32_t index);
VEXO_SIM_API int32_t Fg_getNrOfParameter(void* fg);
VEXO_SIM_API int32_t Fg_setParameterWithType(void* fg, int32_t id, const void* value, uint32_t dma, int32_t type);
VEXO_SIM_API int32_t Fg_getParameterWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
VEXO_SIM_API int32_t Fg_freeParameterStringWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
VEXO_SIM_API int32_t Fg_setParameter(void* fg, int32_t id, const void* value, uint32_t dma);
VEXO_SIM_API int32_t Fg_getParameter(void* fg, int32_t id, void* value, uint32_t dma);
VEXO_SIM_API int32_t Fg_saveConfig(void* fg, const char* fileName);
VEXO_SIM_API int32_t Fg_loadConfig(void* fg, const char* fileName);
VEXO_SIM_API const struct ParameterInfoNode* Fg_getParameterInfo(void* fg, int32_t port);
VEXO_SIM_API int32_t Fg_getParameterInfoXML(void* fg, int32_t port, char* buffer, size_t* bufferSize);
VEXO_SIM_API uint64_t Fg_getEventMask(void* fg, const char* name);
VEXO_SIM_API const char* Fg_getEventName(void* fg, uint64_t mask);
VEXO_SIM_API int32_t Fg_getAppletId(void* fg, const void* argument);
VEXO_SIM_API int64_t Fg_getStatusEx(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory);
VEXO_SIM_API int32_t Fg_AcquireEx(void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory);
VEXO_SIM_API int32_t Fg_stopAcquireEx(void* fg, uint32_t port, void* memory, int32_t flags);
VEXO_SIM_API int64_t Fg_getLastPicNumberEx(void* fg, uint32_t port, void* memory);
VEXO_SIM_API int64_t Fg_getLastPicNumberBlockingEx(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds, void* memory);
VEXO_SIM_API int32_t Fg_FreeGrabber(void* fg);
VEXO_SIM_API void* Fg_AllocShading(void* fg, void* a1, void* a2, void* a3);
VEXO_SIM_API int32_t Fg_FreeShading(void* fg, void* a1, void* a2, void* a3);
VEXO_SIM_API int32_t Fg_Acquire(void* fg, uint32_t port, int64_t pictureCount);
VEXO_SIM_API int32_t Fg_stopAcquire(void* fg, uint32_t port);

/* The shading-line calls take the shading object first. An application's handle record in that
 * place is routed to the applet; the runtime itself offers no shading (SIM_ERR_NOT_AVAILABLE). */
VEXO_SIM_API int32_t Shad_SetSubValueLine(void* shading, void* a1, void* a2, void* a3, float value);
VEXO_SIM_API int32_t Shad_SetMultValueLine(void* shading, void* a1, void* a2, void* a3, float value);
VEXO_SIM_API int32_t Shad_SetFixedPatternNoiseLine(void* shading, void* a1, void* a2, void* a3, int32_t value);
VEXO_SIM_API int32_t Shad_GetMaxLine(void* shading, void* a1, void* a2, void* a3);
VEXO_SIM_API int32_t Shad_GetAccess(void* shading, void* a1, void* a2, void* a3);
VEXO_SIM_API int32_t Shad_FreeAccess(void* shading, void* a1, void* a2, void* a3);
VEXO_SIM_API int32_t Shad_WriteActLine(void* shading, void* a1, void* a2, void* a3);

/* ---- Inner handles: the calls the applet library makes ----------------------------------- */

/* Open an inner handle on a board's design. Null on failure (null HAP name or HAP handle, or an
 * injected failure); Fg_getLastErrorNumber(NULL) then holds the reason. The hardware handle
 * selects the board model: SimCtl_HardwareHandle(i) is board i, any other value a board of its
 * own. The slave-aware form is the only one that receives the flags.
 *
 * How the runtime answers on an inner handle:
 * - Fg_getParameterIdByName: the NX id, or 0 for an unknown or hidden name (never negative, so
 *   that "not found" reads the same whether the caller tests for 0 or for below 1).
 * - Fg_getParameterWithType / Fg_setParameterWithType: type codes 2 (u32, 4 bytes), 3 and 4
 *   (u64, 8 bytes), 5 (double), 6 (text: a read copies the zero-terminated text into the
 *   caller's buffer, a write takes the text pointer as the value; texts keep at most 255
 *   characters) and, for reads only, 22 (a newly allocated text pointer stored at the value
 *   pointer, released with Fg_freeParameterStringWithType). A type that does not fit the
 *   parameter gives SIM_ERR_INVALID_TYPE; only DMA index 0 exists. Fg_setParameter and
 *   Fg_getParameter use the parameter's own type.
 * - Writes to values the design only reports give SIM_ERR_READ_ONLY. NX ids lie between 50000
 *   and 50630, in no order. The runtime's own parameters 600 (FG_TIMEOUT, writable), 601,
 *   2050, 3050, 3060, 3070, 3080, 3090, 5210 and 24092 answer type codes 2, 3 and 4 alike.
 * - Fg_getNrOfParameter, Fg_getParameterName, Fg_getParameterId: the NX parameters by index.
 * - Debug entries: "Device1_Process0_Debug_Entries" reads "2"; entry 0 is of type "Inject" at
 *   path "DebugIn_Camera", entry 1 of type "InjectMonitor" at "DebugIn_Buffer" (its
 *   "_PixelValue" has the maximum 1023); "_Inject_ReadyForInjection" reads 1.
 * - Every call sets the handle's last error: 0 on success, else the error answered.
 * - Fg_getParameterInfo(fg, 0): the runtime's description of the NX parameters, one record per
 *   parameter (name and parameterName the NX name, id the NX id) under categories named after
 *   the parts of the design path (top level "Process0", "Process1"; the newest is the head). It
 *   stays valid until the handle closes; names hidden before the first call are left out. Any
 *   other port: null.
 * - Fg_getStatusEx status ids: 1 pictures delivered, 2 acquisition running (1/0), 3 pictures
 *   lost (0), 4 transfer length; other ids answer 0.
 * - Acquisition (port 0 only; the acquisition and status calls fail only for a handle that is
 *   not open or another port): each Fg_getLastPicNumberEx while acquiring delivers one more
 *   picture, up to the picture count asked for (a count of 0 or less has no end);
 *   Fg_getLastPicNumberBlockingEx delivers up to the picture asked for at once and answers the
 *   last picture delivered, also when no acquisition runs. Fg_AcquireEx on an acquiring port
 *   starts it again. */
VEXO_SIM_API void* Fg_InitHandleSlaveAware(const char* hapName, uint64_t hardware, void* hap, uint32_t flags);
VEXO_SIM_API void* Fg_InitHandle(const char* hapName, uint64_t hardware, void* hap);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_SIM_RUNTIME_H */
