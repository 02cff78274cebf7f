// The limits the description tree publishes, as the checks of the setters: a setter accepts what
// its parameter's row accepts (the range, or one of the enumeration entries), plus the rules
// between parameters that no single row can show. So a range or a value list is written once,
// in the tree's rows, and what an application reads there is what a write is checked against.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <type_traits>

#include "applet/core/sdk_parameter_table.h"
#include "applet/description/sdk_parameter_tree.h"

namespace vexo::applet {

namespace tree::detail {

inline constexpr int32_t kNoRow = -1;

constexpr std::array<int32_t, kSdkParameterCount> rowIndices() {
    std::array<int32_t, kSdkParameterCount> indices{};
    for (int32_t& index : indices) index = kNoRow;
    for (size_t row = 0; row < std::size(kParameters); ++row) {
        indices[indexOf(kParameters[row].parameter)] = static_cast<int32_t>(row);
    }
    return indices;
}

inline constexpr std::array<int32_t, kSdkParameterCount> kRowIndex = rowIndices();

// Every writable number or enumeration has a row to be checked against, and a writable integer
// steps by 1, so that its range alone says which values it takes.
constexpr bool writableRowsAreComplete() {
    for (size_t i = 0; i < kSdkParameterCount; ++i) {
        const SdkParameterInfo& info = kSdkParameters[i];
        if (!isWritable(info.access) || info.kind == ParameterKind::String) continue;
        if (kRowIndex[i] == kNoRow) return false;
        const ParameterRow& row = kParameters[kRowIndex[i]];
        if ((row.type == RowType::UInt32 || row.type == RowType::UInt64) && row.intInc != 1) return false;
    }
    return true;
}
static_assert(writableRowsAreComplete(), "a writable parameter lacks the row its setter checks against");

}  // namespace tree::detail

// The row the tree publishes for a writable number or enumeration.
constexpr const tree::ParameterRow& publishedRow(SdkParameter p) {
    return tree::kParameters[tree::detail::kRowIndex[indexOf(p)]];
}

// Inside the row's range, ends included; a NaN never is.
template <typename T>
constexpr bool inPublishedRange(SdkParameter p, T value) {
    const tree::ParameterRow& row = publishedRow(p);
    if constexpr (std::is_floating_point_v<T>) {
        return value >= row.min && value <= row.max;
    } else {
        static_assert(std::is_unsigned_v<T>, "integer rows hold unsigned ranges");
        return value >= row.intMin && value <= row.intMax;
    }
}

// One of the row's enumeration entries.
constexpr bool isPublishedEntry(SdkParameter p, int64_t value) {
    const tree::EnumerationTable& table = publishedRow(p).entries;
    for (int32_t i = 0; i < table.count; ++i) {
        if (table.entries[i].value == value) return true;
    }
    return false;
}

}  // namespace vexo::applet
