// Validation of simulated HAP images.
#include "hap_image_format.h"

#include <array>
#include <cstring>
#include <set>
#include <sstream>

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

bool parseNxRow(const std::string& line, NxParameterRow* row) {
    std::istringstream in(line);
    std::string access;
    std::string typeCode;
    std::string rest;
    if (!(in >> row->name >> access >> typeCode) || (in >> rest)) return false;
    if (access != "read" && access != "write" && access != "readwrite") return false;
    if (typeCode != "2" && typeCode != "4" && typeCode != "5" && typeCode != "6") return false;
    row->writable = access != "read";
    row->typeCode = typeCode[0] - '0';
    return true;
}

// The list that follows the header, or false when it is missing or malformed. A name listed
// twice would leave the runtime two parameters of one name.
bool readNxList(const unsigned char* data, uint64_t size, std::vector<NxParameterRow>* rows) {
    constexpr uint64_t kPrefix = sizeof kNxListTag + 4;
    if (size < kPrefix || std::memcmp(data, kNxListTag, sizeof kNxListTag) != 0) return false;
    const uint32_t length = readU32(data + sizeof kNxListTag);
    if (length > size - kPrefix) return false;
    std::istringstream text(std::string(reinterpret_cast<const char*>(data + kPrefix), length));
    std::set<std::string> names;
    for (std::string line; std::getline(text, line);) {
        NxParameterRow row;
        if (!parseNxRow(line, &row) || !names.insert(row.name).second) return false;
        rows->push_back(std::move(row));
    }
    return true;
}

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
    std::vector<NxParameterRow> rows;
    if (!readNxList(bytes + kHeaderSize, size - kHeaderSize, &rows)) return false;
    if (info != nullptr) {
        info->boardType = readU32(bytes + 12);
        std::memcpy(info->designName, bytes + 16, kDesignNameSize);
        info->designName[kDesignNameSize] = '\0';
        info->nxParameters = std::move(rows);
    }
    return true;
}

}  // namespace sim::hap
