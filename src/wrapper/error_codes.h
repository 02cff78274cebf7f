// The error codes of the applet's exported boundary and of start-up (signed 32-bit; the
// 64-bit exports answer the same values widened).
#pragma once

#include <cstdint>

namespace vexo::errors {

inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kNoShadingObject = -1;          // last error after Fg_AllocShading gave null
inline constexpr int32_t kRuntimeFunctionMissing = -12;  // runtime function unresolved or no inner handle
inline constexpr int32_t kHapNotOpened = -100;           // also: init failed without a usable runtime error
inline constexpr int32_t kUnusableHandle = -2001;
inline constexpr int32_t kRuntimeNotBound = -2031;       // runtime not loadable, or no init function
inline constexpr int32_t kInvalidParameter = -2070;
inline constexpr int32_t kNotAllocatedStringType = -2078;
inline constexpr int32_t kNotOffered = -2130;

}  // namespace vexo::errors
