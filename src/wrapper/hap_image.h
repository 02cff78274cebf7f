// The applet's HAP: the built-in image (generated into the build, opaque to the library and
// handed whole to the HAP runtime), the name it is known by, and the board type it is for.
#pragma once

#include <cstdint>

extern "C" const uint8_t orvanta_hap_image[];

namespace vexo::wrapper {

inline constexpr uint64_t kHapImageSize = 5613887;
inline constexpr const char* kHapName = "Orvanta.hap";
inline constexpr int32_t kBoardType = 1874;

}  // namespace vexo::wrapper
