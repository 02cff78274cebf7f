/* The frame-grabber runtime's application interface (librtcore5.so / rtcore5.dll): open an applet
 * on a board, read and write its parameters, acquire into frame buffers, wait for events. Any
 * runtime that serves the applet offers these calls; an application links against the runtime and
 * never against the applet library, to which the runtime routes the applet's own calls. C and C++.
 *
 * Error numbers are the runtime's own: every call that fails answers a negative number, and
 * Fg_getLastErrorNumber(fg) (Fg_getLastErrorNumber(NULL) after a failed open) tells it again. */
#ifndef ORVANTA_RUNTIME_H
#define ORVANTA_RUNTIME_H

#include <stddef.h>
#include <stdint.h>

#include "orvanta/type_codes.h"

#if defined(_WIN32)
#if defined(ORVANTA_RUNTIME_BUILD)
#define ORVANTA_RUNTIME_API __declspec(dllexport)
#else
#define ORVANTA_RUNTIME_API __declspec(dllimport)
#endif
#else
#define ORVANTA_RUNTIME_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct ParameterInfoNode;

/* ---- Opening and closing ------------------------------------------------------------------
 * Fg_Init opens the applet named appletName ("Orvanta") on board boardIndex and answers the
 * application's handle, null on failure. Fg_InitEx passes flags to the applet's start-up (bit 0:
 * leave the parameters at the design's values instead of writing the applet's start values).
 * Fg_FreeGrabber closes the handle: it stops its acquisition and frees its frame memories. */
ORVANTA_RUNTIME_API void* Fg_Init(const char* appletName, uint32_t boardIndex);
ORVANTA_RUNTIME_API void* Fg_InitEx(const char* appletName, uint32_t boardIndex, uint32_t flags);
ORVANTA_RUNTIME_API int32_t Fg_FreeGrabber(void* fg);
ORVANTA_RUNTIME_API int32_t Fg_getLastErrorNumber(void* fg); /* null: the last failed open */

/* ---- Parameters ---------------------------------------------------------------------------
 * Parameters are named by id (Fg_getParameterIdByName, or the applet's names in
 * orvanta/sdk_parameters.h). The type code says how `value` is read or written: see FgTypeCode
 * (orvanta/type_codes.h). Only DMA index 0 exists on this applet's design.
 *
 * Reading it with a parameter's name (type FG_TYPE_TEXT or FG_TYPE_ALLOCATED_TEXT; the buffer
 * holds the name on the way in) answers that parameter's description text. */
#define FG_PARAM_DESCR 24114

ORVANTA_RUNTIME_API int32_t Fg_getParameterIdByName(void* fg, const char* name);
ORVANTA_RUNTIME_API const char* Fg_getParameterName(void* fg, int32_t index);
ORVANTA_RUNTIME_API int32_t Fg_getParameterId(void* fg, int32_t index);
ORVANTA_RUNTIME_API int32_t Fg_getNrOfParameter(void* fg);
ORVANTA_RUNTIME_API int32_t Fg_setParameterWithType(void* fg, int32_t id, const void* value, uint32_t dma, int32_t type);
ORVANTA_RUNTIME_API int32_t Fg_getParameterWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
ORVANTA_RUNTIME_API int32_t Fg_freeParameterStringWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
ORVANTA_RUNTIME_API int32_t Fg_setParameter(void* fg, int32_t id, const void* value, uint32_t dma);
ORVANTA_RUNTIME_API int32_t Fg_getParameter(void* fg, int32_t id, void* value, uint32_t dma);

/* The applet's configuration as an .mcf file, and its description: the tree of
 * ParameterInfoNode records (orvanta/parameter_info_node.h) of port 0, and the same as register
 * description XML (a null buffer asks for the size, the terminating zero included). */
ORVANTA_RUNTIME_API int32_t Fg_saveConfig(void* fg, const char* fileName);
ORVANTA_RUNTIME_API int32_t Fg_loadConfig(void* fg, const char* fileName);
ORVANTA_RUNTIME_API const struct ParameterInfoNode* Fg_getParameterInfo(void* fg, int32_t port);
ORVANTA_RUNTIME_API int32_t Fg_getParameterInfoXML(void* fg, int32_t port, char* buffer, size_t* bufferSize);
ORVANTA_RUNTIME_API int32_t Fg_getAppletId(void* fg, const void* argument);

/* ---- The applet's descriptor --------------------------------------------------------------
 * The applet library exports Info(selector, firstIndex, secondIndex, firstOut, secondOut); an
 * application that has it (from the loaded library) asks these. Texts come back as an address in
 * *secondOut. */
typedef int32_t (*Fg_InfoFunc)(int32_t selector, uint32_t firstIndex, uint32_t secondIndex, uint64_t* firstOut,
                               uint64_t* secondOut);
enum FgInfoSelector {
    FG_INFO_HAP_IMAGE = 0x412,           /* *firstOut the size, *secondOut the address */
    FG_INFO_BOARD_TYPE = 0x880,          /* answered as the result */
    FG_INFO_DESCRIPTION = 0x1000,
    FG_INFO_CATEGORY = 0x1010,
    FG_INFO_CLASS = 0x1020,
    FG_INFO_NAME = 0x1050,
    FG_INFO_VERSION = 0x1060,
    FG_INFO_VERSION_WITH_STAMP = 0x1070,
    FG_INFO_NAMED_CONSTANT = 0x1100      /* *firstOut the address of the name; the value is the result */
};

/* ---- Frame memory and acquisition ---------------------------------------------------------
 * Fg_AllocMemEx makes bufferCount frame buffers of totalSize / bufferCount bytes each; they
 * belong to the handle and go with it. Only port 0 exists. A null memory names the memory of the
 * handle's current or last acquisition. Picture numbers count delivered pictures from 1 at each
 * start. */
ORVANTA_RUNTIME_API void* Fg_AllocMemEx(void* fg, size_t totalSize, int64_t bufferCount);
ORVANTA_RUNTIME_API int32_t Fg_FreeMemEx(void* fg, void* memory);
ORVANTA_RUNTIME_API void* Fg_getImagePtrEx(void* fg, int64_t picture, uint32_t port, void* memory);

/* Fg_AcquireEx's flags: one of the modes. A pictureCount of 0 or less acquires until stopped. */
enum FgAcquisitionMode {
    FG_ACQ_RING = 1,     /* picture n goes into buffer (n - 1) mod count, overwriting what it held */
    FG_ACQ_BLOCKING = 2  /* a filled buffer stays the application's until released; a frame that
                            finds no free buffer is lost */
};
ORVANTA_RUNTIME_API int32_t Fg_AcquireEx(void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory);
ORVANTA_RUNTIME_API int32_t Fg_stopAcquireEx(void* fg, uint32_t port, void* memory, int32_t flags);
ORVANTA_RUNTIME_API int32_t Fg_Acquire(void* fg, uint32_t port, int64_t pictureCount);
ORVANTA_RUNTIME_API int32_t Fg_stopAcquire(void* fg, uint32_t port);

/* Fg_getStatusEx's status ids (`data` names a picture, 0 the last one). */
enum FgStatusId {
    FG_STATUS_DELIVERED = 1,        /* pictures delivered since the start */
    FG_STATUS_ACQUIRING = 2,        /* 1 while the acquisition runs, else 0 */
    FG_STATUS_LOST = 3,             /* pictures lost */
    FG_STATUS_TRANSFER_LENGTH = 4,  /* bytes of picture `data` */
    FG_STATUS_BUFFER_INDEX = 5,     /* the buffer holding picture `data`, -1 when none does */
    FG_STATUS_TIMESTAMP = 8         /* the board clock, in nanoseconds, when picture `data` was
                                       delivered (its last byte written); 0 when no buffer holds it */
};
/* Fg_setStatusEx's ids: what a blocking acquisition's application gives back. */
enum FgSetStatusId {
    FG_STATUS_RELEASE_PICTURE = 6,  /* picture `data` */
    FG_STATUS_RELEASE_ALL = 7       /* every picture held */
};
ORVANTA_RUNTIME_API int64_t Fg_getStatusEx(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory);
ORVANTA_RUNTIME_API int32_t Fg_setStatusEx(void* fg, int32_t statusId, int64_t data, uint32_t port, void* memory);
ORVANTA_RUNTIME_API int64_t Fg_getLastPicNumberEx(void* fg, uint32_t port, void* memory);
/* Waits until picture `picture` or a later one is delivered; answers the last picture number, or
 * a negative error after timeoutSeconds. */
ORVANTA_RUNTIME_API int64_t Fg_getLastPicNumberBlockingEx(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds,
                                                          void* memory);

/* ---- Events -------------------------------------------------------------------------------
 * An event is one bit of a 64-bit mask: Fg_getEventMask(fg, name) gives it for an event's name
 * and Fg_getEventName the name of a mask with one bit set.
 *
 * Fg_EventInfo: the caller sets version to 1; the runtime fills, for each event bit that
 * occurred, in bit order, the board-clock time of its latest occurrence in nanoseconds and one
 * data word; count says how many bits were set. */
typedef struct Fg_EventInfo {
    uint32_t version;
    uint32_t count;
    uint64_t timestampNs[64];
    uint64_t data[64];
} Fg_EventInfo;

typedef int32_t (*Fg_EventFunc)(uint64_t events, void* data, const Fg_EventInfo* info);

ORVANTA_RUNTIME_API uint64_t Fg_getEventMask(void* fg, const char* name);
ORVANTA_RUNTIME_API const char* Fg_getEventName(void* fg, uint64_t mask);
/* Registers handler (with data and info, filled before each call) for the events of mask,
 * replacing what was registered for them; a null handler unregisters them. The handler gets the
 * bits of its mask that occurred since its last call, on a thread of the runtime's. flags: 0. */
ORVANTA_RUNTIME_API int32_t Fg_registerEventCallback(void* fg, uint64_t mask, Fg_EventFunc handler, void* data,
                                                     uint32_t flags, Fg_EventInfo* info);
/* Waits up to timeoutMs until one of the events of mask occurs, or with flags bit 0 also one
 * that occurred since the last wait on this handle returned. Answers the bits that occurred, 0 on
 * time-out. */
#define FG_EVENT_WAIT_SINCE_LAST 1u
ORVANTA_RUNTIME_API uint64_t Fg_eventWait(void* fg, uint64_t mask, uint32_t timeoutMs, uint32_t flags, Fg_EventInfo* info);

/* ---- Shading ------------------------------------------------------------------------------
 * Routed to the applet, which offers none. */
ORVANTA_RUNTIME_API void* Fg_AllocShading(void* fg, void* a1, void* a2, void* a3);
ORVANTA_RUNTIME_API int32_t Fg_FreeShading(void* fg, void* a1, void* a2, void* a3);
ORVANTA_RUNTIME_API int32_t Shad_SetSubValueLine(void* shading, void* a1, void* a2, void* a3, float value);
ORVANTA_RUNTIME_API int32_t Shad_SetMultValueLine(void* shading, void* a1, void* a2, void* a3, float value);
ORVANTA_RUNTIME_API int32_t Shad_SetFixedPatternNoiseLine(void* shading, void* a1, void* a2, void* a3, int32_t value);
ORVANTA_RUNTIME_API int32_t Shad_GetMaxLine(void* shading, void* a1, void* a2, void* a3);
ORVANTA_RUNTIME_API int32_t Shad_GetAccess(void* shading, void* a1, void* a2, void* a3);
ORVANTA_RUNTIME_API int32_t Shad_FreeAccess(void* shading, void* a1, void* a2, void* a3);
ORVANTA_RUNTIME_API int32_t Shad_WriteActLine(void* shading, void* a1, void* a2, void* a3);

#ifdef __cplusplus
}
#endif

#endif /* ORVANTA_RUNTIME_H */
