// The name and id queries of the applet interface, answered from the registry. They take no
// lock: the registry does not change after start-up.
#include "applet/registry.h"
#include "orvanta/error_codes.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

int32_t FgNxWrapperImpl::getNrOfParameter() { return parameterRegistry.parameterCount(); }

const char* FgNxWrapperImpl::getParameterName(int32_t index) {
    const char* name = parameterRegistry.nameAt(index);
    setLastError(name != nullptr ? errors::kSuccess : errors::kInvalidParameter);
    return name;
}

// DNXA_ names have an index but no entry in the id map, so their index answers -2070 here.
int32_t FgNxWrapperImpl::getParameterId(int32_t index) {
    const char* name = parameterRegistry.nameAt(index);
    const std::optional<int32_t> id = name != nullptr ? parameterRegistry.idOfName(name) : std::nullopt;
    setLastError(id ? errors::kSuccess : errors::kInvalidParameter);
    return id ? *id : errors::kInvalidParameter;
}

int32_t FgNxWrapperImpl::getParameterIdByName(const char* name) {
    const std::optional<int32_t> id = parameterRegistry.idOfName(name);
    setLastError(id ? errors::kSuccess : errors::kInvalidParameter);
    return id ? *id : errors::kInvalidParameter;
}

}  // namespace vexo::wrapper
