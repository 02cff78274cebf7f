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

constexpr std::array<IdEntry, kIdCount> sortedIds() {
    std::array<IdEntry, kIdCount> entries{};
    for (size_t i = 0; i < kIdCount; ++i) entries[i] = {kSdkParameters[i].id, static_cast<SdkParameter>(i)};
    // Insertion sort: the table is small and this runs at compile time.
    for (size_t i = 1; i < kIdCount; ++i) {
        for (size_t j = i; j > 0 && entries[j - 1].id > entries[j].id; --j) {
            const IdEntry moved = entries[j];
            entries[j] = entries[j - 1];
            entries[j - 1] = moved;
        }
    }
    return entries;
}

inline constexpr std::array<IdEntry, kIdCount> kIdsInOrder = sortedIds();

constexpr bool idsAreUnique() {
    for (size_t i = 1; i < kIdCount; ++i) {
        if (kIdsInOrder[i - 1].id == kIdsInOrder[i].id) return false;
    }
    return true;
}
static_assert(idsAreUnique(), "every SDK parameter has an id of its own");

}  // namespace detail

// The fixed parameter with this id, found by binary search over the ids sorted at compile time.
constexpr std::optional<SdkParameter> sdkParameterOfId(int32_t id) {
    size_t low = 0;
    size_t high = detail::kIdCount;
    while (low < high) {
        const size_t middle = low + (high - low) / 2;
        if (detail::kIdsInOrder[middle].id < id) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    if (low < detail::kIdCount && detail::kIdsInOrder[low].id == id) return detail::kIdsInOrder[low].parameter;
    return std::nullopt;
}

class Registry {
public:
    Registry() = default;
    Registry(const Registry&) = delete;
    Registry& operator=(const Registry&) = delete;

    // The start-up step: the optional DNXA walk, the DMA map, the fixed parameters, DRA_ (when
    // the wrapper's switch is on), DNXA_ from the inspect settings, names by index, descriptions.
    void build(Board& w);

    int32_t parameterCount() const { return static_cast<int32_t>(nameByIndex.size()); }
    // Null for an index without a name.
    const char* nameAt(int32_t index) const;
    // Fixed and DRA_ names only, exact and case-sensitive.
    std::optional<int32_t> idOfName(const char* name) const;
    const std::map<std::string, int32_t>& dnxaIdByName() const { return dnxaIds; }
    // Null for a name without description entry.
    const std::string* descriptionOf(const std::string& name) const;
    std::optional<int32_t> processOfDma(uint32_t dma) const;

private:
    void walkRuntimeDescription(Board& w);
    // Both answer the names they added, in the order they get their indices.
    std::vector<std::string> addRegisters(Board& w);
    std::vector<std::string> addInspectedNxParameters(Board& w);
    void appendName(const std::string& name);

    std::map<std::string, int32_t> idByName;
    std::map<std::string, int32_t> dnxaIds;
    std::map<int32_t, std::string> nameByIndex;
    std::map<std::string, std::string> descriptions;
    // DMA index -> process index.
    std::map<int32_t, int32_t> dmaToProcess;
};

}  // namespace vexo::applet
