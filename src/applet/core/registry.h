// The SDK parameter registry of one board: the names, ids and descriptions applications query,
// with the optional direct register access (DRA_) and direct NX access (DNXA_) families, and
// the map of DMA indices to processes. Built once at start-up, read without a lock afterwards.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "applet/core/sdk_parameter_table.h"

namespace vexo::applet {

class Board;

// Id ranges: up to kDraIdBase the fixed parameters, up to kDnxaIdBase registers by address,
// above it NX parameters by NX id.
inline constexpr int32_t kDraIdBase = 1000000;
inline constexpr int32_t kDnxaIdBase = 2000000;
// The design has one process, and its one DMA channel belongs to it.
inline constexpr int32_t kProcessCount = 1;
inline constexpr size_t kDmaCount = 1;

// Registers up to this width are read and written as 32-bit values, wider ones as 64-bit.
inline constexpr int32_t kNarrowRegisterBits = 32;

// Known to the read path only: in no map, refused by every write as read-only.
inline constexpr int32_t kParamDescrId = 24114;
inline constexpr const char* kParamDescrName = "FG_PARAM_DESCR";

namespace detail {

struct IdEntry {
    int32_t id;
    SdkParameter parameter;
};

inline constexpr size_t kIdCount = kSdkParameterCount;

// Insertion sort: the tables are small and this runs at compile time.
template <typename T, size_t N, typename Less>
constexpr std::array<T, N> sorted(std::array<T, N> items, Less less) {
    for (size_t i = 1; i < N; ++i) {
        for (size_t j = i; j > 0 && less(items[j], items[j - 1]); --j) {
            const T moved = items[j];
            items[j] = items[j - 1];
            items[j - 1] = moved;
        }
    }
    return items;
}

constexpr std::array<IdEntry, kIdCount> sortedIds() {
    std::array<IdEntry, kIdCount> entries{};
    for (size_t i = 0; i < kIdCount; ++i) entries[i] = {kSdkParameters[i].id, static_cast<SdkParameter>(i)};
    return sorted(entries, [](const IdEntry& a, const IdEntry& b) { return a.id < b.id; });
}

inline constexpr std::array<IdEntry, kIdCount> kIdsInOrder = sortedIds();

constexpr bool idsAreUnique() {
    for (size_t i = 1; i < kIdCount; ++i) {
        if (kIdsInOrder[i - 1].id == kIdsInOrder[i].id) return false;
    }
    return true;
}
static_assert(idsAreUnique(), "every SDK parameter has an id of its own");

// The id lookup is on every read and write, so it is one probe: ids are placed by id modulo the
// smallest table size at which no two of them meet, found at compile time.
inline constexpr uint8_t kNoParameter = 0xFF;
static_assert(kIdCount < kNoParameter, "parameter indices fit a byte beside the empty mark");

constexpr bool slotsAreDistinct(uint32_t size) {
    std::array<bool, 1024> taken{};
    for (const IdEntry& entry : kIdsInOrder) {
        const uint32_t slot = static_cast<uint32_t>(entry.id) % size;
        if (taken[slot]) return false;
        taken[slot] = true;
    }
    return true;
}

constexpr uint32_t idTableSize() {
    for (uint32_t size = kIdCount; size <= 1024; ++size) {
        if (slotsAreDistinct(size)) return size;
    }
    return 0;
}

inline constexpr uint32_t kIdTableSize = idTableSize();
static_assert(kIdTableSize != 0, "the SDK ids need a table of more than 1024 slots");

constexpr std::array<uint8_t, kIdTableSize> idTable() {
    std::array<uint8_t, kIdTableSize> table{};
    for (uint8_t& slot : table) slot = kNoParameter;
    for (const IdEntry& entry : kIdsInOrder) {
        table[static_cast<uint32_t>(entry.id) % kIdTableSize] = static_cast<uint8_t>(entry.parameter);
    }
    return table;
}

inline constexpr std::array<uint8_t, kIdTableSize> kIdTable = idTable();

}  // namespace detail

// The fixed parameter with this id.
constexpr std::optional<SdkParameter> sdkParameterOfId(int32_t id) {
    if (id < 0) return std::nullopt;
    const uint8_t index = detail::kIdTable[static_cast<uint32_t>(id) % detail::kIdTableSize];
    if (index == detail::kNoParameter || kSdkParameters[index].id != id) return std::nullopt;
    return static_cast<SdkParameter>(index);
}

static_assert(sdkParameterOfId(100) == SdkParameter::FG_WIDTH && !sdkParameterOfId(101) && !sdkParameterOfId(-100));

namespace detail {

constexpr int compareNames(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return static_cast<unsigned char>(*a) - static_cast<unsigned char>(*b);
}

// The fixed parameters in name order, for the name lookups: they need no map of their own.
constexpr std::array<SdkParameter, kIdCount> sortedNames() {
    std::array<SdkParameter, kIdCount> order{};
    for (size_t i = 0; i < kIdCount; ++i) order[i] = static_cast<SdkParameter>(i);
    return sorted(order,
                  [](SdkParameter a, SdkParameter b) { return compareNames(infoOf(a).name, infoOf(b).name) < 0; });
}

inline constexpr std::array<SdkParameter, kIdCount> kNamesInOrder = sortedNames();

constexpr bool namesAreUnique() {
    for (size_t i = 1; i < kIdCount; ++i) {
        if (compareNames(infoOf(kNamesInOrder[i - 1]).name, infoOf(kNamesInOrder[i]).name) == 0) return false;
    }
    return true;
}
static_assert(namesAreUnique(), "every SDK parameter has a name of its own");

}  // namespace detail

// The fixed parameter of this exact (case-sensitive) name.
constexpr std::optional<SdkParameter> sdkParameterOfName(const char* name) {
    size_t low = 0;
    size_t high = detail::kIdCount;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        const int order = detail::compareNames(infoOf(detail::kNamesInOrder[middle]).name, name);
        if (order == 0) return detail::kNamesInOrder[middle];
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return std::nullopt;
}

static_assert(sdkParameterOfName("FG_WIDTH") == SdkParameter::FG_WIDTH && !sdkParameterOfName("FG_WIDTHS") &&
              !sdkParameterOfName("fg_width"));

class Registry {
public:
    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The start-up step: the optional DNXA walk, the DMA map, the fixed parameters, DRA_ (when
    // the wrapper's switch is on), DNXA_ from the inspect settings, names by index, descriptions.
    void build(Board& w);

    // The fixed parameters come first, in table order, then the DRA_ and DNXA_ names.
    int32_t parameterCount() const { return static_cast<int32_t>(kSdkParameterCount + addedNames.size()); }
    // Null for an index without a name.
    const char* nameAt(int32_t index) const;
    // Fixed and DRA_ names only, exact and case-sensitive.
    std::optional<int32_t> idOfName(const char* name) const;
    const std::map<std::string, int32_t>& dnxaIdByName() const { return dnxaIds; }
    // The description of a fixed parameter; null for any other name.
    const char* descriptionOf(const char* name) const;
    std::optional<int32_t> processOfDma(uint32_t dma) const {
        if (dma >= dmaToProcess.size()) return std::nullopt;
        return dmaToProcess[dma];
    }

private:
    void walkRuntimeDescription(Board& w);
    // Both answer the names they added, in the order they get their indices.
    std::vector<std::string> addRegisters(Board& w);
    std::vector<std::string> addInspectedNxParameters(Board& w);

    // The fixed parameters' names, ids and descriptions are their table's; only the optional
    // families are kept here.
    std::map<std::string, int32_t> registerIds;  // DRA_ names
    std::map<std::string, int32_t> dnxaIds;
    std::vector<std::string> addedNames;  // DRA_, then DNXA_, by index from kSdkParameterCount
    // DMA index -> process index; checked on every read and write, hence an array.
    std::array<int32_t, kDmaCount> dmaToProcess{};
};

}  // namespace vexo::applet
