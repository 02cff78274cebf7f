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
    SIM_ERR_INVALID_SIZE = -2090,      /* Fg_AllocMemEx: a count below 1, or fewer bytes than buffers */
    SIM_ERR_OUT_OF_MEMORY = -2091,     /* Fg_AllocMemEx: the buffers cannot be allocated */
    SIM_ERR_INVALID_MEMORY = -2092,    /* not a frame memory of this handle (unknown, freed, another's) */
    SIM_ERR_MEMORY_IN_USE = -2093,     /* Fg_FreeMemEx while an acquisition uses the memory */
    SIM_ERR_INVALID_PICTURE = -2094,   /* a picture no buffer holds, or one the application does not hold */
    SIM_ERR_TIMEOUT = -2120,           /* Fg_getLastPicNumberBlockingEx: the picture did not come */
    SIM_ERR_NOT_AVAILABLE = -2130,     /* a call this kind of handle does not offer */
    SIM_ERR_FILE = -2140               /* a configuration or debug image file cannot be written or read */
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

/* ---- Frame memory: the runtime's own calls ------------------------------------------------
 * Taken on an application's handle (the runtime finds the inner handle its applet opened on the
 * board) or on an inner handle; a memory belongs to that inner handle and is freed with it at
 * its Fg_FreeGrabber. A failure sets the handle's last error and the global one: the applet
 * keeps the last error of an application's handle itself, so Fg_getLastErrorNumber(NULL) tells
 * why a call answered null.
 *
 * Fg_AllocMemEx: bufferCount buffers of totalSize / bufferCount bytes each, zeroed; null with
 *   SIM_ERR_INVALID_SIZE for a count below 1 or a buffer size of 0, SIM_ERR_OUT_OF_MEMORY when
 *   the bytes cannot be had.
 * Fg_FreeMemEx: 0; SIM_ERR_MEMORY_IN_USE (nothing freed) while an acquisition runs into it,
 *   SIM_ERR_INVALID_MEMORY for a memory that is not the handle's.
 * Fg_getImagePtrEx: the buffer that holds picture `picture` (numbers count from 1); null with
 *   SIM_ERR_INVALID_PICTURE for a picture not delivered yet or overwritten since.
 * Fg_setStatusEx: status 6 gives picture `data` back to a blocking acquisition
 *   (SIM_ERR_INVALID_PICTURE when the application does not hold it), status 7 gives back every
 *   picture held (data unused); other ids SIM_ERR_INVALID_PARAMETER.
 * Only port 0 exists (SIM_ERR_INVALID_PORT). A null memory names the memory of the handle's
 * current or last acquisition, here and in the acquisition calls below. */
VEXO_SIM_API void* Fg_AllocMemEx(void* fg, size_t totalSize, int64_t bufferCount);
VEXO_SIM_API int32_t Fg_FreeMemEx(void* fg, void* memory);
VEXO_SIM_API void* Fg_getImagePtrEx(void* fg, int64_t picture, uint32_t port, void* memory);
VEXO_SIM_API int32_t Fg_setStatusEx(void* fg, int32_t statusId, int64_t data, uint32_t port, void* memory);

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
 *   With bit 0 of the camera entry's "_OperationMode" on, it takes images: pixel words written
 *   to "_Inject_WritePixel" (the low 8 bits one pixel), where a write to "_Inject_WriteFlag"
 *   marks the next word as the last of its line (0) or of the image (1), the image being as
 *   wide as its longest line; or "_Insert" = 1 reads the binary PGM (P5) named by "_DebugFile"
 *   (samples of two bytes keep their low 8 bits), answering SIM_ERR_FILE when it cannot. Each
 *   image replaces the next source frame to start, in the order they came (see the source
 *   below). The buffer entry's "_XPosition", "_YPosition" and "_PixelValue" read the position
 *   (byte in the line, line) and value of the last byte of the last picture delivered.
 * - Every call sets the handle's last error: 0 on success, else the error answered.
 * - Fg_getParameterInfo(fg, 0): the runtime's description of the NX parameters, one record per
 *   parameter (name and parameterName the NX name, id the NX id) under categories named after
 *   the parts of the design path (top level "Process0", "Process1"; the newest is the head). It
 *   stays valid until the handle closes; names hidden before the first call are left out. Any
 *   other port: null.
 * - Acquisition (port 0 only, else SIM_ERR_INVALID_PORT; a memory that is not the handle's is
 *   SIM_ERR_INVALID_MEMORY). The design has one DMA channel: one acquisition per handle.
 *   Fg_AcquireEx(fg, 0, pictureCount, flags, memory) starts one into a memory of
 *   Fg_AllocMemEx, stopping the one running on the handle first; flags 1 ring mode (picture n
 *   goes into buffer (n - 1) mod count, overwriting), 2 blocking mode (a filled buffer stays the
 *   application's until Fg_setStatusEx gives it back; a frame with no free buffer is lost);
 *   other flags SIM_ERR_INVALID_PARAMETER. A pictureCount of 0 or less runs until stopped,
 *   otherwise the acquisition ends by itself with that many pictures. Fg_stopAcquireEx stops
 *   it (0 also when nothing runs). Fg_Acquire, which names no memory, is not offered
 *   (SIM_ERR_NOT_AVAILABLE); Fg_stopAcquire stops the handle's acquisition.
 * - The source: frames come from the camera simulator running free, at its free-run period
 *   from the acquisition's start; from the simulator triggered by the trigger module's
 *   camera-control output (one line or one whole frame per pulse, a pulse that comes while a
 *   frame or line is still being sent is not taken); or from the camera on the camera port (see
 *   runtime_control.h: SimCtl_SetCamera). The settings (geometry, pattern, region, image
 *   selector) of each source frame are read from the board when it starts, so writes during an
 *   acquisition take effect from the next frame to start; a triggered frame goes to the
 *   acquisitions running when it ends. Picture numbers count delivered pictures from 1 at each
 *   start; a frame the image selector drops or that is lost takes none. A frame is lost, and
 *   counted, when its picture is larger than a buffer, when blocking mode finds no free buffer
 *   (the overflow register then reads 1), or on the real clock when the producer comes to it
 *   later than 50 ms (or one period, if longer) after it fell due: the board's memory holds
 *   that much. Counters, picture numbers and buffers stay readable after the acquisition ended,
 *   until the next Fg_AcquireEx on that memory.
 * - The clock: real time, one producer thread per acquisition, unless SimCtl_SetVirtualClock
 *   (runtime_control.h) was on when the acquisition started.
 * - Fg_getStatusEx status ids: 1 pictures delivered, 2 acquisition running (1/0), 3 pictures
 *   lost, 4 transfer length in bytes of picture `data` (0: the last one; 0 before the first,
 *   SIM_ERR_INVALID_PICTURE for a picture no buffer holds), 5 buffer index of picture `data`
 *   (0: the last one; -1 when no buffer holds it, as when it was overwritten); other ids
 *   answer 0.
 * - Fg_getLastPicNumberEx: the last picture number, 0 before the first.
 *   Fg_getLastPicNumberBlockingEx: waits until picture `picture` or a later one is delivered
 *   and answers the last picture number; SIM_ERR_TIMEOUT after timeoutSeconds of real time (on
 *   the virtual clock too, where another thread's SimCtl_AdvanceClock may bring the picture
 *   meanwhile), and at once when no acquisition runs into the memory that could bring it.
 * - Buffer registers the applet reads for FG_FILLLEVEL, FG_OVERFLOW and FG_CAMSTATUS_EXTENDED:
 *   "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel" is the percentage of buffers the application
 *   holds (blocking mode), "Device1_Process0_Overflow_OverflowOccurred" 1 after a frame was
 *   lost for want of a free buffer; both 0 again at each Fg_AcquireEx.
 * - Fg_FreeGrabber stops the handle's acquisition and frees its memories. */

/* Events of the board an application's handle is open on (only application handles: others
 * answer SIM_ERR_INVALID_HANDLE). An event's bit is its position in the design's event list,
 * the mask Fg_getEventMask gives for its name. The board raises: the buffer overflow (a frame
 * lost for want of a free buffer), frame start and end of the camera on the camera port, edges
 * of the trigger inputs, the trigger queue's fill-level thresholds and running empty, exceeded
 * period limits, a missing camera frame and the selected pulse form generator's output.
 *
 * Fg_EventInfo: the caller sets version to 1 (another version is left untouched); the runtime
 * fills, for each event bit that occurred, in bit order, the board-clock time of its latest
 * occurrence (nanoseconds) and one data word: the fill level for the queue events, the input
 * number (0-7, 16-19) for input edges, the camera's frame number (counted from 1 since it was
 * connected) for frame start and end, else 0; count says how many bits were set. */
typedef struct Fg_EventInfo {
    uint32_t version;
    uint32_t count;
    uint64_t timestampNs[64];
    uint64_t data[64];
} Fg_EventInfo;

typedef int32_t (*Fg_EventFunc)(uint64_t events, void* data, const Fg_EventInfo* info);

/* Registers handler (with data and info, which the runtime fills before each call) for the
 * events of mask, replacing what was registered for them; a null handler unregisters them. The
 * handler gets the bits of its mask that occurred since its last call: on the real clock on the
 * runtime's own clock thread, on the virtual clock from inside SimCtl_AdvanceClock (events that
 * the application's own calls caused meanwhile come with the next advance). Its answer is
 * ignored. flags: 0. Answers 0, or SIM_ERR_INVALID_HANDLE, or SIM_ERR_INVALID_PARAMETER for
 * flags other than 0. */
VEXO_SIM_API int32_t Fg_registerEventCallback(void* fg, uint64_t mask, Fg_EventFunc handler, void* data, uint32_t flags,
                                              Fg_EventInfo* info);
/* Waits up to timeoutMs of real time until one of the events of mask occurs after the call, or
 * with flags bit 0 also one that occurred since the last wait on this handle returned (since
 * the handle was opened, for the first wait). Answers the bits of mask that occurred, 0 on
 * time-out or for a handle that is not an application's. Handlers and waits see the same
 * events independently. */
VEXO_SIM_API uint64_t Fg_eventWait(void* fg, uint64_t mask, uint32_t timeoutMs, uint32_t flags, Fg_EventInfo* info);

VEXO_SIM_API void* Fg_InitHandleSlaveAware(const char* hapName, uint64_t hardware, void* hap, uint32_t flags);
VEXO_SIM_API void* Fg_InitHandle(const char* hapName, uint64_t hardware, void* hap);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_SIM_RUNTIME_H */
