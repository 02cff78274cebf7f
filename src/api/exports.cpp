// The applet's exported entry points: each unwraps the handle record the runtime passes,
// checks it, and calls one wrapper operation or forwards to the runtime's function of the same
// name on the inner handle (Std_entry and Info take no handle).
#include <cstring>
#include <type_traits>

#include "api/export.h"
#include "api/info.h"
#include "orvanta/error_codes.h"
#include "orvanta/export_prototypes.h"
#include "orvanta/type_codes.h"
#include "wrapper/fg_nx_wrapper.h"
#include "wrapper/startup.h"

namespace vexo::api {

namespace {

using wrapper::FgNxWrapper;
using nx::RuntimeSignature;
using nx::RuntimeSlot;

// The runtime's per-board record (or a shading object): only its first pointer-sized field is
// the library's, and it holds the wrapper object. Null pointer or null field: unusable.
FgNxWrapper* wrapperOf(void* record) {
    if (record == nullptr) return nullptr;
    FgNxWrapper* wrapper = nullptr;
    std::memcpy(&wrapper, record, sizeof wrapper);
    return wrapper;
}

template <typename Result, typename Operation>
Result withWrapper(void* record, Result unusable, Operation operation) {
    FgNxWrapper* wrapper = wrapperOf(record);
    return wrapper != nullptr ? operation(*wrapper) : unusable;
}

// The shading exports keep the operation's answer as the last error, whatever it is.
template <typename Operation>
int32_t shadingCall(void* record, Operation operation) {
    FgNxWrapper* wrapper = wrapperOf(record);
    if (wrapper == nullptr) return errors::kUnusableHandle;
    const int32_t result = operation(*wrapper);
    wrapper->setLastError(result);
    return result;
}

// One mechanism for every export that the runtime answers: the runtime function of the slot
// is called with the inner handle in place of the record. A negative answer (as the export's
// own signed width) copies the runtime's last error for the inner handle; success clears it.
template <RuntimeSlot Slot, typename... Args>
auto forwardToRuntime(void* record, Args... args) {
    using Function = typename RuntimeSignature<Slot>::Function;
    using Result = std::invoke_result_t<Function, void*, Args...>;
    FgNxWrapper* wrapper = wrapperOf(record);
    if (wrapper == nullptr) return Result{errors::kUnusableHandle};
    const Function function = wrapper->runtimeFunctions().get<Slot>();
    if (function == nullptr || wrapper->innerHandle() == nullptr) {
        wrapper->setLastError(errors::kRuntimeFunctionMissing);
        return Result{errors::kRuntimeFunctionMissing};
    }
    const Result result = function(wrapper->innerHandle(), args...);
    wrapper->setLastError(result < 0 ? wrapper->runtimeLastError() : errors::kSuccess);
    return result;
}

}  // namespace

}  // namespace vexo::api

using namespace vexo::api;
using vexo::wrapper::FgNxWrapper;
namespace errors = vexo::errors;
using vexo::kTypeAllocatedText;
using vexo::kTypeI64;
using vexo::kTypeU64;

ORVANTA_EXPORT void* Std_entry(uint64_t hardwareHandle, int32_t* errorCell, uint32_t flags) {
    return vexo::wrapper::startApplet(hardwareHandle, errorCell, flags);
}

ORVANTA_EXPORT int32_t Info(int32_t selector, uint32_t firstIndex, uint32_t secondIndex, uint64_t* firstOut,
                            uint64_t* secondOut) {
    return vexo::api::info(selector, firstIndex, secondIndex, firstOut, secondOut);
}

ORVANTA_EXPORT int32_t Fg_setParameterWithType(void* fg, int32_t id, const void* value, uint32_t dma, int32_t type) {
    return withWrapper(fg, errors::kUnusableHandle,
                       [&](FgNxWrapper& w) { return w.setParameterWithType(id, value, dma, type); });
}

ORVANTA_EXPORT int32_t Fg_getParameterWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    return withWrapper(fg, errors::kUnusableHandle, [&](FgNxWrapper& w) {
        // A 64-bit read that the parameter answers with 32 bits must not leave a stale upper half.
        if ((type == kTypeI64 || type == kTypeU64) && value != nullptr) std::memset(value, 0, sizeof(uint64_t));
        return w.getParameterWithType(id, value, dma, type);
    });
}

ORVANTA_EXPORT int32_t Fg_freeParameterStringWithType(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    return withWrapper(fg, errors::kUnusableHandle, [&](FgNxWrapper& w) {
        if (type != kTypeAllocatedText) return errors::kNotAllocatedStringType;
        return w.freeParameterStringWithType(id, value, dma, kTypeAllocatedText);
    });
}

ORVANTA_EXPORT int32_t Fg_getParameterIdByName(void* fg, const char* name) {
    return withWrapper(fg, errors::kUnusableHandle, [&](FgNxWrapper& w) { return w.getParameterIdByName(name); });
}

ORVANTA_EXPORT const char* Fg_getParameterName(void* fg, int32_t index) {
    return withWrapper(fg, static_cast<const char*>(nullptr),
                       [&](FgNxWrapper& w) { return w.getParameterName(index); });
}

ORVANTA_EXPORT int32_t Fg_getParameterId(void* fg, int32_t index) {
    return withWrapper(fg, errors::kUnusableHandle, [&](FgNxWrapper& w) { return w.getParameterId(index); });
}

ORVANTA_EXPORT int32_t Fg_getNrOfParameter(void* fg) {
    return withWrapper(fg, errors::kUnusableHandle, [](FgNxWrapper& w) { return w.getNrOfParameter(); });
}

ORVANTA_EXPORT uint64_t Fg_getEventMask(void* fg, const char* name) {
    return withWrapper(fg, uint64_t{0}, [&](FgNxWrapper& w) { return w.getEventMask(name); });
}

ORVANTA_EXPORT const char* Fg_getEventName(void* fg, uint64_t mask) {
    return withWrapper(fg, static_cast<const char*>(nullptr), [&](FgNxWrapper& w) { return w.getEventName(mask); });
}

ORVANTA_EXPORT int32_t Fg_saveConfig(void* fg, const char* fileName) {
    return withWrapper(fg, errors::kUnusableHandle,
                       [&](FgNxWrapper& w) { return w.saveConfig(w.innerHandle(), fileName); });
}

ORVANTA_EXPORT int32_t Fg_loadConfig(void* fg, const char* fileName) {
    return withWrapper(fg, errors::kUnusableHandle,
                       [&](FgNxWrapper& w) { return w.loadConfig(w.innerHandle(), fileName); });
}

ORVANTA_EXPORT int32_t Fg_getParameterInfoXML(void* fg, int32_t port, char* buffer, size_t* bufferSize) {
    return withWrapper(fg, errors::kUnusableHandle,
                       [&](FgNxWrapper& w) { return w.getParameterInfoXML(fg, port, buffer, bufferSize); });
}

ORVANTA_EXPORT int32_t Fg_getAppletId(void* fg, const void* argument) {
    return forwardToRuntime<RuntimeSlot::Fg_getAppletId>(fg, argument);
}

ORVANTA_EXPORT int64_t Fg_getStatusEx(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory) {
    return forwardToRuntime<RuntimeSlot::Fg_getStatusEx>(fg, statusId, data, port, memory);
}

ORVANTA_EXPORT int32_t Fg_AcquireEx(void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory) {
    return forwardToRuntime<RuntimeSlot::Fg_AcquireEx>(fg, port, pictureCount, flags, memory);
}

ORVANTA_EXPORT int32_t Fg_stopAcquireEx(void* fg, uint32_t port, void* memory, int32_t flags) {
    return forwardToRuntime<RuntimeSlot::Fg_stopAcquireEx>(fg, port, memory, flags);
}

ORVANTA_EXPORT int64_t Fg_getLastPicNumberEx(void* fg, uint32_t port, void* memory) {
    return forwardToRuntime<RuntimeSlot::Fg_getLastPicNumberEx>(fg, port, memory);
}

ORVANTA_EXPORT int64_t Fg_getLastPicNumberBlockingEx(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds,
                                                     void* memory) {
    return forwardToRuntime<RuntimeSlot::Fg_getLastPicNumberBlockingEx>(fg, picture, port, timeoutSeconds, memory);
}

ORVANTA_EXPORT int32_t Fg_getLastErrorNumber(void* fg) {
    return withWrapper(fg, errors::kUnusableHandle, [](FgNxWrapper& w) { return w.getLastError(); });
}

// The runtime is not asked for the tree; its function only has to exist, as it always had to.
ORVANTA_EXPORT const ParameterInfoNode* Fg_getParameterInfo(void* fg, int32_t port) {
    return withWrapper(fg, static_cast<const ParameterInfoNode*>(nullptr), [&](FgNxWrapper& w) {
        const bool runtimeOffersIt = w.runtimeFunctions().get<RuntimeSlot::Fg_getParameterInfo>() != nullptr;
        return runtimeOffersIt && w.innerHandle() != nullptr ? w.parameterInfo().getTree(port) : nullptr;
    });
}

ORVANTA_EXPORT int32_t Fg_FreeGrabber(void* fg) {
    FgNxWrapper* wrapper = wrapperOf(fg);
    if (wrapper == nullptr) return errors::kUnusableHandle;
    // The inner handle is closed before the wrapper goes, which would unload the runtime.
    const int32_t result = wrapper->closeInnerHandle();
    delete wrapper;
    FgNxWrapper* const cleared = nullptr;
    std::memcpy(fg, &cleared, sizeof cleared);
    return result;
}

ORVANTA_EXPORT void* Fg_AllocShading(void* fg, void* a1, void* a2, void* a3) {
    FgNxWrapper* wrapper = wrapperOf(fg);
    if (wrapper == nullptr) return nullptr;
    void* shading = wrapper->allocShading(a1, a2, a3);
    wrapper->setLastError(shading == nullptr ? errors::kNoShadingObject : errors::kSuccess);
    return shading;
}

ORVANTA_EXPORT int32_t Fg_FreeShading(void* fg, void* a1, void* a2, void* a3) {
    return shadingCall(fg, [&](FgNxWrapper& w) { return w.freeShading(a1, a2, a3); });
}

ORVANTA_EXPORT int32_t Shad_SetSubValueLine(void* shading, void* a1, void* a2, void* a3, float value) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.setSubValueLine(a1, a2, a3, value); });
}

ORVANTA_EXPORT int32_t Shad_SetMultValueLine(void* shading, void* a1, void* a2, void* a3, float value) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.setMultValueLine(a1, a2, a3, value); });
}

ORVANTA_EXPORT int32_t Shad_SetFixedPatternNoiseLine(void* shading, void* a1, void* a2, void* a3, int32_t value) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.setFixedPatternNoiseLine(a1, a2, a3, value); });
}

ORVANTA_EXPORT int32_t Shad_GetMaxLine(void* shading, void* a1, void* a2, void* a3) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.getMaxLine(a1, a2, a3); });
}

ORVANTA_EXPORT int32_t Shad_GetAccess(void* shading, void* a1, void* a2, void* a3) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.getAccess(a1, a2, a3); });
}

ORVANTA_EXPORT int32_t Shad_FreeAccess(void* shading, void* a1, void* a2, void* a3) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.freeAccess(a1, a2, a3); });
}

ORVANTA_EXPORT int32_t Shad_WriteActLine(void* shading, void* a1, void* a2, void* a3) {
    return shadingCall(shading, [&](FgNxWrapper& w) { return w.writeActLine(a1, a2, a3); });
}

// Every listed export is defined above, with exactly the prototype that callers finding it by
// name are given: nothing else declares these names, so a missing definition is an unknown name
// here and a drifted one a type mismatch.
#define EXPORT_FUNCTION(name, result, parameters) \
    static_assert(std::is_same_v<decltype(&::name), vexo::api::prototypes::name>, #name);
#include "orvanta/exports.def"
#undef EXPORT_FUNCTION

// The build reads the export names from the list with its own pattern, for the module
// definition, the version script and the binary interface test: it must find every row.
#define EXPORT_FUNCTION(name, result, parameters) +1
static_assert(ORVANTA_EXPORT_COUNT == 0
#include "orvanta/exports.def"
              , "the build read another number of rows from the export list");
#undef EXPORT_FUNCTION
