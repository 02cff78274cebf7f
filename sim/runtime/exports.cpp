// The runtime's exported functions. One export serves both kinds of handle: an application's
// handle record is routed to the applet's export of the same name, anything else is answered
// as an inner handle. The SIM_WITHOUT_ definitions build the variants that lack an export.
#include "application.h"
#include "inner_calls.h"
#include "orvanta_sim/runtime.h"

namespace app = sim::app;
namespace inner = sim::inner;

extern "C" {

void* Fg_Init(const char* appletName, uint32_t boardIndex) { return app::open(appletName, boardIndex, 0); }

void* Fg_InitEx(const char* appletName, uint32_t boardIndex, uint32_t flags) {
    return app::open(appletName, boardIndex, flags);
}

#if !defined(SIM_WITHOUT_INIT_SLAVE_AWARE)
void* Fg_InitHandleSlaveAware(const char* hapName, uint64_t hardware, void* hap, uint32_t flags) {
    return inner::initHandle(__func__, hapName, hardware, hap, flags);
}
#endif

#if !defined(SIM_WITHOUT_INIT_HANDLE)
void* Fg_InitHandle(const char* hapName, uint64_t hardware, void* hap) {
    return inner::initHandle(__func__, hapName, hardware, hap, 0);
}
#endif

#if !defined(SIM_WITHOUT_LAST_ERROR)
int32_t Fg_getLastErrorNumber(void* fg) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE);
    return inner::lastErrorNumber(fg);
}
#endif

int32_t Fg_getParameterIdByName(void* fg, const char* name) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, name);
    return inner::parameterIdByName(fg, name);
}

const char* Fg_getParameterName(void* fg, int32_t index) {
    if (const app::Entered a(fg); a) return app::route<const char*>(a.get(), __func__, nullptr, index);
    return inner::parameterName(fg, index);
}

int32_t Fg_getParameterId(void* fg, int32_t index) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, index);
    return inner::parameterId(fg, index);
}

int32_t Fg_getNrOfParameter(void* fg) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE);
    return inner::parameterCount(fg);
}

int32_t Fg_setParameterWithType(void* fg, int32_t id, const void* value, uint32_t dma, int32_t type) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, id, value, dma, type);
    return inner::setParameter(__func__, fg, id, value, dma, type);
}

int32_t Fg_getParameterWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, id, value, dma, type);
    return inner::getParameter(__func__, fg, id, value, dma, type);
}

int32_t Fg_freeParameterStringWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, id, value, dma, type);
    return inner::freeParameterString(fg, id, value, dma, type);
}

int32_t Fg_setParameter(void* fg, int32_t id, const void* value, uint32_t dma) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, id, value, dma);
    return inner::setParameter(__func__, fg, id, value, dma, -1);
}

int32_t Fg_getParameter(void* fg, int32_t id, void* value, uint32_t dma) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, id, value, dma);
    return inner::getParameter(__func__, fg, id, value, dma, -1);
}

int32_t Fg_saveConfig(void* fg, const char* fileName) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, fileName);
    return inner::saveConfig(fg, fileName);
}

int32_t Fg_loadConfig(void* fg, const char* fileName) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, fileName);
    return inner::loadConfig(fg, fileName);
}

const ParameterInfoNode* Fg_getParameterInfo(void* fg, int32_t port) {
    if (const app::Entered a(fg); a) return app::route<const ParameterInfoNode*>(a.get(), __func__, nullptr, port);
    return inner::parameterInfo(fg, port);
}

int32_t Fg_getParameterInfoXML(void* fg, int32_t port, char* buffer, size_t* bufferSize) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, port, buffer, bufferSize);
    return inner::notOffered(__func__, fg);
}

uint64_t Fg_getEventMask(void* fg, const char* name) {
    if (const app::Entered a(fg); a) return app::route<uint64_t>(a.get(), __func__, 0, name);
    inner::notOffered(__func__, fg);
    return 0;
}

const char* Fg_getEventName(void* fg, uint64_t mask) {
    if (const app::Entered a(fg); a) return app::route<const char*>(a.get(), __func__, nullptr, mask);
    inner::notOffered(__func__, fg);
    return nullptr;
}

int32_t Fg_getAppletId(void* fg, const void* argument) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, argument);
    return inner::appletId(fg, argument);
}

#if !defined(SIM_WITHOUT_STATUS)
int64_t Fg_getStatusEx(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory) {
    if (const app::Entered a(fg); a) {
        return app::route<int64_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, statusId, data, port, memory);
    }
    return inner::statusEx(fg, statusId, data, port, memory);
}
#endif

int32_t Fg_AcquireEx(void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory) {
    if (const app::Entered a(fg); a) {
        return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, port, pictureCount, flags, memory);
    }
    return inner::acquire(__func__, fg, port, pictureCount, flags, memory);
}

int32_t Fg_stopAcquireEx(void* fg, uint32_t port, void* memory, int32_t flags) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, port, memory, flags);
    return inner::stopAcquire(__func__, fg, port, memory, flags);
}

int32_t Fg_Acquire(void* fg, uint32_t port, int64_t pictureCount) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, port, pictureCount);
    // Without a frame memory there is nothing to acquire into.
    return inner::notOffered(__func__, fg);
}

int32_t Fg_stopAcquire(void* fg, uint32_t port) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, port);
    return inner::stopAcquire(__func__, fg, port, nullptr, 0);
}

int64_t Fg_getLastPicNumberEx(void* fg, uint32_t port, void* memory) {
    if (const app::Entered a(fg); a) return app::route<int64_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, port, memory);
    return inner::lastPicNumber(fg, port, memory);
}

int64_t Fg_getLastPicNumberBlockingEx(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds, void* memory) {
    if (const app::Entered a(fg); a) {
        return app::route<int64_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, picture, port, timeoutSeconds, memory);
    }
    return inner::lastPicNumberBlocking(fg, picture, port, timeoutSeconds, memory);
}

// The frame memory calls are the runtime's own: the applet has no exports of these names.
void* Fg_AllocMemEx(void* fg, size_t totalSize, int64_t bufferCount) { return inner::allocMem(fg, totalSize, bufferCount); }

int32_t Fg_FreeMemEx(void* fg, void* memory) { return inner::freeMem(fg, memory); }

void* Fg_getImagePtrEx(void* fg, int64_t picture, uint32_t port, void* memory) {
    return inner::imagePtr(fg, picture, port, memory);
}

int32_t Fg_setStatusEx(void* fg, int32_t statusId, int64_t data, uint32_t port, void* memory) {
    return inner::setStatus(fg, statusId, data, port, memory);
}

int32_t Fg_FreeGrabber(void* fg) {
    int32_t result = 0;
    if (app::freeGrabber(fg, result)) return result;
    return inner::freeGrabber(fg);
}

void* Fg_AllocShading(void* fg, void* a1, void* a2, void* a3) {
    if (const app::Entered a(fg); a) return app::route<void*>(a.get(), __func__, nullptr, a1, a2, a3);
    inner::notOffered(__func__, fg);
    return nullptr;
}

int32_t Fg_FreeShading(void* fg, void* a1, void* a2, void* a3) {
    if (const app::Entered a(fg); a) return app::route<int32_t>(a.get(), __func__, SIM_ERR_NOT_AVAILABLE, a1, a2, a3);
    return inner::notOffered(__func__, fg);
}

// The shading-line calls: an application's record in the shading place goes to the applet.
#define SIM_SHADING_CALL(name, ...)                                                \
    if (const app::Entered a(shading); a)                                          \
        return app::route<int32_t>(a.get(), name, SIM_ERR_NOT_AVAILABLE, __VA_ARGS__); \
    return inner::notOffered(name, shading)

int32_t Shad_SetSubValueLine(void* shading, void* a1, void* a2, void* a3, float value) {
    SIM_SHADING_CALL(__func__, a1, a2, a3, value);
}

int32_t Shad_SetMultValueLine(void* shading, void* a1, void* a2, void* a3, float value) {
    SIM_SHADING_CALL(__func__, a1, a2, a3, value);
}

int32_t Shad_SetFixedPatternNoiseLine(void* shading, void* a1, void* a2, void* a3, int32_t value) {
    SIM_SHADING_CALL(__func__, a1, a2, a3, value);
}

int32_t Shad_GetMaxLine(void* shading, void* a1, void* a2, void* a3) { SIM_SHADING_CALL(__func__, a1, a2, a3); }

int32_t Shad_GetAccess(void* shading, void* a1, void* a2, void* a3) { SIM_SHADING_CALL(__func__, a1, a2, a3); }

int32_t Shad_FreeAccess(void* shading, void* a1, void* a2, void* a3) { SIM_SHADING_CALL(__func__, a1, a2, a3); }

int32_t Shad_WriteActLine(void* shading, void* a1, void* a2, void* a3) { SIM_SHADING_CALL(__func__, a1, a2, a3); }

}  // extern "C"
