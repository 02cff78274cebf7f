// The byte layout of one image line in the frame buffer: the formats the applet delivers with
// their bits per pixel, and the computation that turns a region of pixels into byte positions.
#pragma once

#include <cstdint>

#include "orvanta/error_codes.h"

namespace vexo::applet {

// Pixels per line and lines per frame the frame buffer addresses, offset included.
inline constexpr uint64_t kMaximumExtent = 65536;

struct PixelFormatBits {
    uint32_t format;  // FG_FORMAT value
    uint32_t bits;
};

// Every FG_FORMAT the applet accepts, with its bits per pixel.
inline constexpr PixelFormatBits kFormatBits[] = {
    {3, 8},     // FG_GRAY
    {21, 10},   // FG_GRAY10
    {22, 12},   // FG_GRAY12
    {23, 14},   // FG_GRAY14
    {1, 16},    // FG_GRAY16
    {20, 32},   // FG_GRAY32
    {2, 24},    // FG_COL24
    {5, 30},    // FG_COL30
    {4, 32},    // FG_COL32
    {7, 36},    // FG_COL36
    {9, 42},    // FG_COL42
    {6, 48},    // FG_COL48
    {408, 32},  // FG_RGBX32
    {410, 40},  // FG_RGBX40
    {412, 48},  // FG_RGBX48
    {414, 56},  // FG_RGBX56
    {416, 64},  // FG_RGBX64
    {8, 1},     // FG_BINARY
    {50, 8},    // FG_RAW
};

// Bits per pixel of an FG_FORMAT value; 0 for a format the applet does not deliver.
constexpr uint32_t bitsPerPixel(uint32_t format) {
    for (const PixelFormatBits& row : kFormatBits) {
        if (row.format == format) return row.bits;
    }
    return 0;
}

// Where a line's region lies in the frame buffer, in bytes.
struct LineLayout {
    uint32_t offsetBytes;
    uint32_t widthBytes;
    uint32_t lineEnd;  // the DMA line length: offset + width rounded up to 32 bytes, at least 64
};

// The DMA engine moves lines in 32-byte words and no line shorter than two of them.
inline constexpr uint64_t kLineWordBytes = 32;
inline constexpr uint64_t kMinimumLineBytes = 64;

// Throws -2031 for an unknown format and -7080 when the region does not begin and end on whole
// bytes in that format. Inline: a write of the region computes it, and a call returns the
// layout through memory in a way that stalls the processor on reading it back.
inline LineLayout lineLayout(uint32_t xOffset, uint32_t width, uint32_t format) {
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
