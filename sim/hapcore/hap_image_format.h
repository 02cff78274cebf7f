// The simulated HAP image: a 64-byte header, the design's NX parameter list, then the design's
// configuration data. The build writes such images with tools/make_hap_image.py, which keeps
// the same layout; the HAP runtime stand-in refuses anything else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sim::hap {

// Header, all numbers little-endian:
//   0  magic "VEXOHAP\x1a"          8 bytes
//   8  format version (2)            u32
//  12  board type (1874)             u32
//  16  design name, zero-padded      32 bytes
//  48  total size of the image       u64
//  56  header size (64)              u32
//  60  CRC-32 of the bytes after the header (the zlib polynomial)  u32
// Right after the header, the NX parameter list:
//   0  tag "NXPARAMS"                8 bytes
//   8  length of the list text       u32
//  12  the list text: one "<name> <access> <type code>\n" a line, in the design's order;
//      access "read", "write" or "readwrite", type code 2, 4, 5 or 6 (the runtime's value types)
constexpr char kMagic[8] = {'V', 'E', 'X', 'O', 'H', 'A', 'P', '\x1a'};
constexpr uint32_t kFormatVersion = 2;
constexpr uint32_t kBoardType = 1874;
constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kDesignNameSize = 32;
constexpr char kNxListTag[8] = {'N', 'X', 'P', 'A', 'R', 'A', 'M', 'S'};

struct NxParameterRow {
    std::string name;
    int32_t typeCode = 0;
    bool writable = false;

    bool operator==(const NxParameterRow& other) const {
        return name == other.name && typeCode == other.typeCode && writable == other.writable;
    }
};

struct ImageInfo {
    uint32_t boardType = 0;
    char designName[kDesignNameSize + 1] = {};
    std::vector<NxParameterRow> nxParameters;
};

// True when the image is complete and intact: magic, version, header size, total size equal to
// `size`, the checksum of the data, and a well-formed NX parameter list.
bool validateImage(const void* image, uint64_t size, ImageInfo* info);

uint32_t crc32(const unsigned char* data, std::size_t size);

}  // namespace sim::hap
