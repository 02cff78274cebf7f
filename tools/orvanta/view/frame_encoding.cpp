// PNG through the tool's stb encoder, JPEG through libjpeg-turbo.
#include "frame_encoding.h"

#include <memory>
#include <stdexcept>

#include <turbojpeg.h>

#include "../image_files.h"

namespace orvanta_tool::view {

bool encodable(const Frame& frame) {
    const FrameGeometry& g = frame.geometry;
    return (g.bitsPerPixel == 8 || g.bitsPerPixel == 16) && frame.lines > 0 &&
           g.lineBytes == size_t{g.width} * g.bitsPerPixel / 8;
}

std::string notEncodableReason(const Frame& frame) {
    const FrameGeometry& g = frame.geometry;
    return "FG_FORMAT=" + g.format + " gives " + std::to_string(size_t{g.lineBytes} * 8) + " bits per line of " +
           std::to_string(g.width) + " pixels: pictures are made of 8 or 16 bits per pixel (/api/frame gives the "
           "bytes as delivered)";
}

void displayPixels(const Frame& frame, std::vector<uint8_t>& out) {
    const size_t pixels = size_t{frame.geometry.width} * frame.lines;
    out.resize(pixels);
    const uint8_t* in = frame.pixels.data();
    if (frame.geometry.bitsPerPixel == 8) {
        std::copy(in, in + pixels, out.begin());
        return;
    }
    for (size_t i = 0; i < pixels; ++i) out[i] = in[2 * i + 1];
}

std::string encodePng(const Frame& frame) {
    if (!encodable(frame)) throw std::invalid_argument(notEncodableReason(frame));
    const FrameGeometry& g = frame.geometry;
    std::string png;
    bool encoded = false;
    if (g.bitsPerPixel == 8) {
        encoded = orvanta_tool::encodePng(frame.pixels.data(), static_cast<int>(g.width), static_cast<int>(frame.lines),
                                          8, png);
    } else {
        // PNG keeps 16-bit samples big-endian.
        std::vector<uint8_t> swapped(size_t{g.lineBytes} * frame.lines);
        for (size_t i = 0; i + 1 < swapped.size(); i += 2) {
            swapped[i] = frame.pixels[i + 1];
            swapped[i + 1] = frame.pixels[i];
        }
        encoded = orvanta_tool::encodePng(swapped.data(), static_cast<int>(g.width), static_cast<int>(frame.lines),
                                          16, png);
    }
    if (!encoded) throw std::runtime_error("the PNG encoder failed");
    return png;
}

std::string encodeJpeg(const Frame& frame, int quality) {
    if (!encodable(frame)) throw std::invalid_argument(notEncodableReason(frame));
    // One compressor per thread, kept: creating one costs more than a small picture.
    struct Compressor {
        tjhandle handle = tjInitCompress();
        ~Compressor() {
            if (handle != nullptr) tjDestroy(handle);
        }
    };
    thread_local Compressor compressor;
    if (compressor.handle == nullptr) throw std::runtime_error("libjpeg-turbo: no compressor");
    const uint8_t* gray = frame.pixels.data();
    thread_local std::vector<uint8_t> scaled;
    if (frame.geometry.bitsPerPixel != 8) {
        displayPixels(frame, scaled);
        gray = scaled.data();
    }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int width = static_cast<int>(frame.geometry.width);
    if (tjCompress2(compressor.handle, gray, width, width, static_cast<int>(frame.lines), TJPF_GRAY, &jpeg, &size,
                    TJSAMP_GRAY, quality, TJFLAG_FASTDCT) != 0) {
        const std::string reason = tjGetErrorStr2(compressor.handle);
        tjFree(jpeg);
        throw std::runtime_error("libjpeg-turbo: " + reason);
    }
    std::string bytes(reinterpret_cast<const char*>(jpeg), size);
    tjFree(jpeg);
    return bytes;
}

}  // namespace orvanta_tool::view
