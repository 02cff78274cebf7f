// The runtime's answers on inner handles: the calls the applet library makes on the handle it
// opened with Fg_InitHandleSlaveAware / Fg_InitHandle. Each call is recorded in the call log.
#pragma once

#include <cstddef>
#include <cstdint>

struct ParameterInfoNode;

namespace sim::inner {

void* initHandle(const char* function, const char* hapName, uint64_t hardware, void* hap, uint32_t flags);
int32_t lastErrorNumber(void* fg);
int32_t parameterIdByName(void* fg, const char* name);
const char* parameterName(void* fg, int32_t index);
int32_t parameterId(void* fg, int32_t index);
int32_t parameterCount(void* fg);

// A negative type code means "the parameter's own type" (Fg_setParameter, Fg_getParameter).
int32_t setParameter(const char* function, void* fg, int32_t id, const void* value, uint32_t dma, int32_t type);
int32_t getParameter(const char* function, void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
int32_t freeParameterString(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
int32_t saveConfig(void* fg, const char* fileName);
int32_t loadConfig(void* fg, const char* fileName);
const ParameterInfoNode* parameterInfo(void* fg, int32_t port);

int32_t appletId(void* fg, const void* argument);
int64_t statusEx(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory);
int32_t acquire(const char* function, void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory);
int32_t stopAcquire(const char* function, void* fg, uint32_t port, void* memory, int32_t flags);
int64_t lastPicNumber(void* fg, uint32_t port, void* memory);
int64_t lastPicNumberBlocking(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds, void* memory);
int32_t freeGrabber(void* fg);
// Stops the acquisition of an inner handle, as its application's handle closes; not recorded.
void stopAcquisitionOf(const void* fg);

// The frame memory calls, the runtime's own: taken on an inner handle or on an application's
// handle, for which the runtime finds the inner handle itself. Not recorded in the call log.
void* allocMem(void* fg, size_t totalSize, int64_t bufferCount);
int32_t freeMem(void* fg, void* memory);
void* imagePtr(void* fg, int64_t picture, uint32_t port, void* memory);
int32_t setStatus(void* fg, int32_t statusId, int64_t data, uint32_t port, void* memory);

// Calls the runtime does not offer on an inner handle (shading, XML, events): recorded, and
// answered SIM_ERR_NOT_AVAILABLE, or the handle error for a handle that is not open.
int32_t notOffered(const char* function, void* fg);

}  // namespace sim::inner
