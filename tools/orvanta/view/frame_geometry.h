// How the frames of the current settings lie in a frame buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanta_tool::view {

struct FrameGeometry {
    uint32_t width = 0;         // pixels per line
    uint32_t height = 0;        // lines
    uint32_t bitsPerPixel = 0;  // 0 when a line's bits are no whole number per pixel
    uint32_t lineBytes = 0;
    std::string format;  // FG_FORMAT's symbol

    size_t frameBytes() const { return size_t{lineBytes} * height; }
    bool operator==(const FrameGeometry& other) const {
        return width == other.width && height == other.height && bitsPerPixel == other.bitsPerPixel &&
               lineBytes == other.lineBytes && format == other.format;
    }
    bool operator!=(const FrameGeometry& other) const { return !(*this == other); }
};

}  // namespace orvanta_tool::view
