// The SDK parameter vocabulary as data: an identifier per parameter (its index) and one
// constexpr row per parameter, both generated from sdk_parameters.def.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orvanta/parameter_info_node.h"

namespace vexo::applet {

enum class ParameterKind : uint8_t { Integer, Integer64, Double, Enumeration, String, Forwarded };

// Access flags as the description records carry them. Forwarded parameters are described by the
// runtime.
enum class ParameterAccess : uint32_t {
    Runtime = PARAM_ACCESS_NONE,
    R = PARAM_ACCESS_READ,
    RW = PARAM_ACCESS_READ_WRITE,
    RWC = PARAM_ACCESS_READ_WRITE_CHANGE,
};

// The identifier of an SDK parameter is its index in enumeration order.
enum class SdkParameter : int32_t {
#define SDK_PARAMETER(name, id, kind, access, description) name,
#include "applet/core/sdk_parameters.def"
#undef SDK_PARAMETER
};

struct SdkParameterInfo {
    const char* name;
    int32_t id;
    ParameterKind kind;
    ParameterAccess access;
    const char* description;
};

inline constexpr SdkParameterInfo kSdkParameters[] = {
#define SDK_PARAMETER(name, id, kind, access, description) \
    {#name, id, ParameterKind::kind, ParameterAccess::access, description},
#include "applet/core/sdk_parameters.def"
#undef SDK_PARAMETER
};

inline constexpr size_t kSdkParameterCount = sizeof(kSdkParameters) / sizeof(kSdkParameters[0]);
static_assert(kSdkParameterCount == 130, "the applet offers 130 SDK parameters");

constexpr size_t indexOf(SdkParameter parameter) { return static_cast<size_t>(parameter); }
constexpr const SdkParameterInfo& infoOf(SdkParameter parameter) { return kSdkParameters[indexOf(parameter)]; }

// The writable bit of the access flags; forwarded parameters (Runtime) lack it too.
constexpr bool isWritable(ParameterAccess access) { return (static_cast<uint32_t>(access) & 2u) != 0; }

}  // namespace vexo::applet
