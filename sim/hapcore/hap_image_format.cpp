// Validation of simulated HAP images.
#include "hap_image_format.h"

#include <array>
#include <cstring>

namespace sim::hap {
namespace {

std::array<uint32_t, 256> makeCrcTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

uint32_t readU32(const unsigned char* at) {
    return uint32_t{at[0]} | uint32_t{at[1]} << 8 | uint32_t{at[2]} << 16 | uint32_t{at[3]} << 24;
}

uint64_t readU64(const unsigned char* at) { return uint64_t{readU32(at)} | uint64_t{readU32(at + 4)} << 32; }

}  // namespace

uint32_t crc32(const unsigned char* data, std::size_t size) {
    static const std::array<uint32_t, 256> table = makeCrcTable();
    uint32_t c = 0xFFFFFFFFU;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFU;
}

bool validateImage(const void* image, uint64_t size, ImageInfo* info) {
    const auto* bytes = static_cast<const unsigned char*>(image);
    if (bytes == nullptr || size < kHeaderSize) return false;
    if (std::memcmp(bytes, kMagic, sizeof kMagic) != 0) return false;
    if (readU32(bytes + 8) != kFormatVersion || readU32(bytes + 56) != kHeaderSize) return false;
    if (readU64(bytes + 48) != size) return false;
    if (crc32(bytes + kHeaderSize, static_cast<std::size_t>(size - kHeaderSize)) != readU32(bytes + 60)) return false;
    if (info != nullptr) {
        info->boardType = readU32(bytes + 12);
        std::memcpy(info->designName, bytes + 16, kDesignNameSize);
        info->designName[kDesignNameSize] = '\0';
    }
    return true;
}

}  // namespace sim::hap
