// The line layout: where a region of pixels lies in the frame buffer's lines, in bytes, for
// the bits per pixel of the output format.
#include "applet/geometry/geometry.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

namespace {

// The DMA engine moves lines in 32-byte words and no line shorter than two of them.
constexpr uint64_t kLineWordBytes = 32;
constexpr uint64_t kMinimumLineBytes = 64;

}  // namespace

LineLayout lineLayout(uint32_t xOffset, uint32_t width, uint32_t format) {
    const uint64_t bits = bitsPerPixel(format);
    if (bits == 0) throw errors::kDesignValueInvalid;
    const uint64_t offsetBits = xOffset * bits;
    const uint64_t widthBits = width * bits;
    if (offsetBits % 8 != 0 || widthBits % 8 != 0) throw errors::kRegionNotWholeBytes;
    const uint64_t offsetBytes = offsetBits / 8;
    const uint64_t widthBytes = widthBits / 8;
    uint64_t lineEnd = (offsetBytes + widthBytes + kLineWordBytes - 1) / kLineWordBytes * kLineWordBytes;
    if (lineEnd < kMinimumLineBytes) lineEnd = kMinimumLineBytes;
    return {static_cast<uint32_t>(offsetBytes), static_cast<uint32_t>(widthBytes), static_cast<uint32_t>(lineEnd)};
}

}  // namespace vexo::applet
