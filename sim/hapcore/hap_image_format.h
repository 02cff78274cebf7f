// The simulated HAP image: a 64-byte header followed by the design's data. The build writes
// such images with tools/make_hap_image.py, which keeps the same layout; the HAP runtime
// stand-in refuses anything else.
#pragma once

#include <cstddef>
#include <cstdint>

namespace sim::hap {

// Header, all numbers little-endian:
//   0  magic "VEXOHAP\x1a"          8 bytes
//   8  format version (1)            u32
//  12  board type (1874)             u32
//  16  design name, zero-padded      32 bytes
//  48  total size of the image       u64
//  56  header size (64)              u32
//  60  CRC-32 of the bytes after the header (the zlib polynomial)  u32
constexpr char kMagic[8] = {'V', 'E', 'X', 'O', 'H', 'A', 'P', '\x1a'};
constexpr uint32_t kFormatVersion = 1;
constexpr uint32_t kBoardType = 1874;
constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kDesignNameSize = 32;

struct ImageInfo {
    uint32_t boardType = 0;
    char designName[kDesignNameSize + 1] = {};
};

// True when the image is complete and intact: magic, version, header size, total size equal to
// `size`, and the checksum of the data.
bool validateImage(const void* image, uint64_t size, ImageInfo* info);

uint32_t crc32(const unsigned char* data, std::size_t size);

}  // namespace sim::hap
