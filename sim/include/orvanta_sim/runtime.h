/* The stand-in runtime (librtcore5 / rtcore5.dll) of the simulated board: how it answers the
 * application interface of orvanta/runtime.h, its error numbers, and the calls the applet
 * library makes on its inner handle. An application opens the applet through Fg_Init / Fg_InitEx
 * and then calls the same Fg_ functions that the applet library calls on its inner handle: the
 * runtime tells the two kinds of handle apart by its own bookkeeping and routes an application's
 * calls to the applet's exports of the same names. The tests' control of the runtime is in
 * runtime_control.h. */
#ifndef ORVANTA_SIM_RUNTIME_H
#define ORVANTA_SIM_RUNTIME_H

#include <stddef.h>
#include <stdint.h>

#include "export.h"
#include "orvanta/runtime.h"

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
    SIM_ERR_OUT_OF_MEMORY = -2091,     /* Fg_AllocMemEx: the buffers cannot be allocated; any other call
                                          that finds no memory for its own records */
    SIM_ERR_INVALID_MEMORY = -2092,    /* not a frame memory of this handle (unknown, freed, another's) */
    SIM_ERR_MEMORY_IN_USE = -2093,     /* Fg_FreeMemEx while an acquisition uses the memory */
    SIM_ERR_INVALID_PICTURE = -2094,   /* a picture no buffer holds, or one the application does not hold */
    SIM_ERR_TIMEOUT = -2120,           /* Fg_getLastPicNumberBlockingEx: the picture did not come */
    SIM_ERR_NOT_AVAILABLE = -2130,     /* a call this kind of handle does not offer */
    SIM_ERR_FILE = -2140               /* a configuration or debug image file cannot be written or read */
};

/* The simulated boards: board indices 0 to SIM_BOARD_COUNT - 1. */
#define SIM_BOARD_COUNT 8

/* ---- Inner handles: the calls the applet library makes ----------------------------------- */

/* Open an inner handle on a board's design. Null on failure (null HAP name or HAP handle, or an
 * injected failure); Fg_getLastErrorNumber(NULL) then holds the reason. The hardware handle
 * selects the board model: SimCtl_HardwareHandle(i) is board i, any other value a board of its
 * own (up to 256 boards). The slave-aware form is the only one that receives the flags.
 *
 * How the runtime answers on an inner handle:
 * - An inner handle is a value of the runtime's own, no address. Fg_FreeGrabber frees all it
 *   held; from then on the handle is refused with SIM_ERR_HANDLE_CLOSED, for as long as the
 *   process runs, and anything that never was a handle with SIM_ERR_INVALID_HANDLE. Any call may
 *   come from any thread on any handle; the calls on one board take turns, boards never wait for
 *   each other.
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
 *   (0: the last one; -1 when no buffer holds it, as when it was overwritten), 8 the board
 *   time picture `data` was delivered at (0: the last one; on the virtual clock the time its
 *   frame fell due; 0 when no buffer holds it); other ids answer 0.
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

/* Events (orvanta/runtime.h) of the board an application's handle is open on (only application
 * handles: others answer SIM_ERR_INVALID_HANDLE). An event's bit is its position in the design's
 * event list. The board raises: the buffer overflow (a frame lost for want of a free buffer),
 * frame start and end of the camera on the camera port, edges of the trigger inputs, the trigger
 * queue's fill-level thresholds and running empty, exceeded period limits, a missing camera frame
 * and the selected pulse form generator's output. The data word of an event: the fill level for
 * the queue events, the input number (0-7, 16-19) for input edges, the camera's frame number
 * (counted from 1 since it was connected) for frame start and end, else 0. Handlers are called on
 * the real clock on the runtime's own clock thread, on the virtual clock from inside
 * SimCtl_AdvanceClock (events that the application's own calls caused meanwhile come with the
 * next advance); their answer is ignored. Once Fg_registerEventCallback has replaced or
 * unregistered a handler, no call of it is still running (except the one that asked, when a
 * handler changes handlers), so its data and info record may be freed. Fg_registerEventCallback
 * answers SIM_ERR_INVALID_PARAMETER for flags other than 0. Fg_eventWait waits in real time;
 * handlers and waits see the same events independently. */

VEXO_SIM_API void* Fg_InitHandleSlaveAware(const char* hapName, uint64_t hardware, void* hap, uint32_t flags);
VEXO_SIM_API void* Fg_InitHandle(const char* hapName, uint64_t hardware, void* hap);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_SIM_RUNTIME_H */
