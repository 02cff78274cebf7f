// The PNG encoder of stb_image_write, compiled here once, and 16-bit grey PNGs made with it.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#include <stb/stb_image_write.h>

#include <cstdlib>

#include "image_files.h"

namespace orvanta_tool {

namespace {

constexpr int kBitDepthOffset = 24;  // in the file: signature (8), IHDR length and name (8), width, height
constexpr int kColourTypeOffset = 25;
constexpr int kHeaderChunkStart = 12;  // the CRC covers the chunk's name and its 13 bytes of data
constexpr int kHeaderChunkCrcLength = 17;

}  // namespace

bool encodePng(const uint8_t* rows, int width, int height, int bitDepth, std::string& png) {
    // stb writes 8-bit samples only. A row of 16-bit grey samples has the bytes, and the bytes
    // per pixel (2) that the filters work with, of a row of 8-bit grey+alpha pixels: the image
    // is encoded as such, and its header then names what the samples are.
    const int components = bitDepth == 16 ? 2 : 1;
    int length = 0;
    unsigned char* encoded = stbi_write_png_to_mem(rows, width * components, width, height, components, &length);
    if (encoded == nullptr) return false;
    if (bitDepth == 16) {
        encoded[kBitDepthOffset] = 16;
        encoded[kColourTypeOffset] = 0;  // grey
        const unsigned int crc = stbiw__crc32(encoded + kHeaderChunkStart, kHeaderChunkCrcLength);
        for (int i = 0; i < 4; ++i) {
            encoded[kHeaderChunkStart + kHeaderChunkCrcLength + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
        }
    }
    png.assign(reinterpret_cast<const char*>(encoded), static_cast<size_t>(length));
    STBIW_FREE(encoded);
    return true;
}

}  // namespace orvanta_tool
