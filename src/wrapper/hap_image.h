// The applet's HAP: the built-in image (generated into the build, opaque to the library and
// handed whole to the HAP runtime), the name it is known by, and the board type it is for.
#pragma once

#include <cstdint>

#include "hap_image_size.h"  // written with the image, so the size cannot drift from it

extern "C" const uint8_t orvanta_hap_image[];

namespace vexo::wrapper {

inline constexpr uint64_t kHapImageSize = ORVANTA_HAP_IMAGE_SIZE;
inline constexpr const char* kHapName = "Orvanta.hap";
inline constexpr int32_t kBoardType = 1874;

}  // namespace vexo::wrapper
