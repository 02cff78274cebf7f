/* The stand-in runtime's control interface for the project's tests (exported by librtcore5 /
 * rtcore5.dll beside its application interface): the record of the calls the applet made on
 * its inner handles, the values of the boards' designs by name, injected failures and the
 * boards' clock. */
#ifndef ORVANTA_SIM_RUNTIME_CONTROL_H
#define ORVANTA_SIM_RUNTIME_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#include "export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Forgets recorded calls, injected failures, stored NX values and the global last error; board
 * models start again from the design's default values. Open handles stay open. */
VEXO_SIM_API void SimCtl_Reset(void);

/* The hardware handle the runtime gives to Std_entry for a board. */
VEXO_SIM_API uint64_t SimCtl_HardwareHandle(uint32_t boardIndex);

/* The address of an export of the applet library, loading it if needed (kept loaded until the
 * process ends). Lets a test call an export with a handle record of its own making. */
VEXO_SIM_API void* SimCtl_AppletSymbol(const char* name);

/* One call that the applet made into the runtime on an inner handle (or with a null handle). */
typedef struct SimCall {
    char function[48];   /* runtime function name, e.g. "Fg_setParameterWithType" */
    void* handle;        /* the inner handle passed (null for the init functions) */
    int32_t id;          /* parameter id, status id, port ... as the function takes */
    int32_t typeCode;
    uint32_t dma;        /* DMA or port index */
    char nxName[128];    /* the NX parameter name of id, when the id is known; also the name
                            asked for by Fg_getParameterIdByName */
    uint64_t u64;        /* integer value written (type 2 widened, type 3/4 whole); init: hardware */
    double f64;          /* double value written (type 5) */
    char text[256];      /* text written (type 6), init: HAP name, saveConfig: file name */
    uint64_t args[4];    /* further arguments as passed (init: HAP handle, flags) */
    int64_t result;      /* what the runtime answered */
} SimCall;
/* Reads record the value read in u64 / f64 / text as writes record the value written. The
 * acquisition and status calls keep the port in dma, the status id or flags in id, the 64-bit
 * data or picture number in u64, and the memory argument (and time-out) in args. Calls on an
 * application's handle are not recorded: they go to the applet, whose own calls on its inner
 * handle are. */

/* The log keeps the newest 32768 calls; index 0 is the oldest kept. */
VEXO_SIM_API int32_t SimCtl_CallCount(void);
VEXO_SIM_API int32_t SimCtl_GetCall(int32_t index, SimCall* call); /* 0, or -1 out of range */
VEXO_SIM_API void SimCtl_ClearCalls(void);
/* 0 stops recording calls (the calls themselves are answered as before), non-zero resumes it;
 * SimCtl_Reset resumes it too. Lets a test watch the heap use of calls without the log's. */
VEXO_SIM_API void SimCtl_SetRecording(int32_t on);

/* Values of a board's design model (boards 0 to SIM_BOARD_COUNT - 1), by full NX name (or by
 * the runtime's own names such as "FG_CAMSTATUS_EXTENDED"). 0, or -1 for an unknown board or
 * name or a value of another kind (U64 serves the 32- and 64-bit integers). Read-only values may
 * be set here. Each call takes the board's lock, as the runtime's own calls do. */
VEXO_SIM_API int32_t SimCtl_SetNxU64(uint32_t boardIndex, const char* name, uint64_t value);
VEXO_SIM_API int32_t SimCtl_GetNxU64(uint32_t boardIndex, const char* name, uint64_t* value);
VEXO_SIM_API int32_t SimCtl_SetNxDouble(uint32_t boardIndex, const char* name, double value);
VEXO_SIM_API int32_t SimCtl_GetNxDouble(uint32_t boardIndex, const char* name, double* value);
VEXO_SIM_API int32_t SimCtl_SetNxText(uint32_t boardIndex, const char* name, const char* text);
VEXO_SIM_API int32_t SimCtl_GetNxText(uint32_t boardIndex, const char* name, char* buffer, size_t size);

/* Injected failures; they last until SimCtl_Reset (a code of 0 removes one). */
VEXO_SIM_API void SimCtl_HideNxName(const char* name);                    /* id lookup answers 0 */
VEXO_SIM_API void SimCtl_FailNxWrite(const char* name, int32_t code);      /* writes of that parameter */
VEXO_SIM_API void SimCtl_FailNxRead(const char* name, int32_t code);       /* reads of that parameter */
VEXO_SIM_API void SimCtl_FailInit(int32_t globalLastError);                /* init functions answer null */
/* Non-zero: descriptions built from now on (at a handle's first Fg_getParameterInfo) come round
 * on themselves: the deepest category on the head's first branch lists the head as one more
 * child, and the oldest top-level category's `older` is the head again. 0 or SimCtl_Reset:
 * trees as usual. */
VEXO_SIM_API void SimCtl_LoopDescription(int32_t on);
/* The named call on an inner handle (e.g. "Fg_getStatusEx") answers result, and the inner
 * handle's last error becomes lastError; result 0 with lastError 0 removes the injection. The
 * init functions named here answer null and leave lastError as the global last error (0 too). */
VEXO_SIM_API void SimCtl_FailCall(const char* function, int64_t result, int32_t lastError);

/* A plan of failures, one per kind of call the applet makes into the runtime: NX writes and NX
 * reads (Fg_setParameterWithType and Fg_getParameterWithType on an inner handle, once the
 * parameter is found) and every other call on an inner handle, the init functions and
 * Fg_getLastErrorNumber included. From SimCtl_PlanFault on, the calls of that kind are counted,
 * and call number nth (from 1) answers code (an init function: null, with code as the global
 * last error); with persistent non-zero, so does every call after it. nth 0 only counts.
 * Fg_FreeGrabber planned to fail still closes the handle and then answers code. The plans are
 * asked before the failures injected by name; SimCtl_Reset clears them. Answers 0, or -1 for an
 * unknown kind. */
enum { SIM_FAULT_NX_WRITE = 0, SIM_FAULT_NX_READ = 1, SIM_FAULT_RUNTIME_CALL = 2 };
VEXO_SIM_API int32_t SimCtl_PlanFault(int32_t kind, uint64_t nth, int32_t persistent, int32_t code);
/* The calls of a kind counted since its plan was set (0 for an unknown kind). */
VEXO_SIM_API uint64_t SimCtl_FaultCalls(int32_t kind);
/* The inner handles open now, on every board. */
VEXO_SIM_API int32_t SimCtl_OpenInnerHandles(void);

/* The clock of the simulated boards. Non-zero stops time: the boards' trigger modules, cameras
 * and events, and the acquisitions started from then on, follow a virtual clock that only
 * SimCtl_AdvanceClock moves; 0 returns to real time (a running acquisition keeps the clock it
 * started on). The boards' clock runs on without a jump across the switch. SimCtl_Reset leaves
 * the clock alone. */
VEXO_SIM_API void SimCtl_SetVirtualClock(int32_t on);
/* Moves the virtual clock on and, before it returns, runs in the caller's thread everything
 * that happens on the boards meanwhile, in time order: trigger pulses, camera frames, events
 * (the event handlers are called from here, with the clock at each event's time), and every
 * frame of the virtual-clock acquisitions that falls due (a free-running simulator's frame one
 * free-run period after the previous one, the first one period after Fg_AcquireEx). Advances
 * from several threads take turns. */
VEXO_SIM_API void SimCtl_AdvanceClock(uint64_t nanoseconds);

/* The trigger inputs of a board, numbered as the applet numbers them (GPI 0-7, front GPI
 * 16-19); they rest low. SimCtl_PulseTriggerInput schedules count pulses on the board's clock,
 * the first rising now, then one every periodNanoseconds, each high for half the period;
 * SimCtl_SetTriggerInputLevel sets a level (0 low, else high) that stays until changed. Both
 * answer 0, or -1 for an unknown board or input, or a period below 2 ns. */
VEXO_SIM_API int32_t SimCtl_PulseTriggerInput(uint32_t boardIndex, uint32_t input, uint64_t count,
                                              uint64_t periodNanoseconds);
VEXO_SIM_API int32_t SimCtl_SetTriggerInputLevel(uint32_t boardIndex, uint32_t input, int32_t level);
/* The trigger module's ten digital outputs (GPO 0-7, then front GPO 0 and 1 as 8 and 9): how many
 * rising edges output `output` has had since the board was reset (-1 for an unknown board or
 * output), and their levels now (bit n: output n; 0 for an unknown board). */
VEXO_SIM_API int64_t SimCtl_TriggerOutputPulses(uint32_t boardIndex, uint32_t output);
VEXO_SIM_API uint32_t SimCtl_TriggerOutputLevels(uint32_t boardIndex);
/* The camera on a board's camera port; connected by default, 1024 x 1024 pixels, at most 200
 * frames per second. It exposes one frame per rising edge of the trigger module's
 * camera-control output and delivers it 1 / maxFramesPerSecond later; a pulse that comes while
 * it still sends is not taken and reported as a missing camera frame. Pixel (x, y) of its frame
 * k (counted from 0 since it was set here or the board reset) is ((x XOR y) + k) mod 256.
 * Disconnected, it has no pixel clock and sends nothing. Answers 0, or -1 for an unknown board,
 * a size of 0 or a rate that is not above 0. */
VEXO_SIM_API int32_t SimCtl_SetCamera(uint32_t boardIndex, int32_t connected, uint32_t width, uint32_t height,
                                      double maxFramesPerSecond);

/* Pixel words written to the "_Inject_WritePixel" parameters of a board's debug entries (0 for
 * an unknown board). */
VEXO_SIM_API uint64_t SimCtl_InjectedPixelCount(uint32_t boardIndex);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_SIM_RUNTIME_CONTROL_H */
