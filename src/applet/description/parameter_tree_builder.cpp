// Builds the description of the SDK parameters by walking the category and parameter tables,
// and checks at compile time that those tables agree with the SDK vocabulary and with the
// named constants that Info answers.
#include "applet/description/parameter_tree_builder.h"

#include <array>
#include <cstddef>

#include "applet/description/sdk_parameter_tree.h"

namespace vexo::applet {

using describe::ParameterInfoTable;
using describe::ParameterTraits;
using describe::Text;

namespace {

using tree::Category;
using tree::ParameterRow;
using tree::RowType;

constexpr size_t indexOf(Category category) { return static_cast<size_t>(category); }

constexpr bool typeFitsKind(RowType type, ParameterKind kind) {
    switch (kind) {
    case ParameterKind::Integer: return type == RowType::UInt32;
    case ParameterKind::Integer64: return type == RowType::UInt64;
    case ParameterKind::Double: return type == RowType::Double;
    case ParameterKind::Enumeration: return type == RowType::Enumeration;
    case ParameterKind::String: return type == RowType::Text;
    case ParameterKind::Forwarded: return false;
    }
    return false;
}

// Each parameter the applet describes itself has exactly one row, of the type its kind asks
// for; the forwarded ones, which the runtime describes, have none.
constexpr bool rowsMatchVocabulary() {
    for (size_t i = 0; i < kSdkParameterCount; ++i) {
        int32_t rows = 0;
        for (const ParameterRow& row : tree::kParameters) {
            if (indexOf(row.parameter) != i) continue;
            if (!typeFitsKind(row.type, kSdkParameters[i].kind)) return false;
            ++rows;
        }
        if (rows != (kSdkParameters[i].kind == ParameterKind::Forwarded ? 0 : 1)) return false;
    }
    return true;
}
static_assert(rowsMatchVocabulary(), "one row of the right type per described SDK parameter");

// A category can only be created under one that already exists.
constexpr bool parentsComeFirst() {
    std::array<bool, indexOf(Category::Count)> created{};
    for (const tree::CategoryRow& row : tree::kCategories) {
        if (row.parent != Category::None && !created[indexOf(row.parent)]) return false;
        created[indexOf(row.key)] = true;
    }
    return true;
}
static_assert(parentsComeFirst(), "categories are listed after their parents");

struct NamedConstant {
    const char* name;
    int32_t value;
};

inline constexpr NamedConstant kNamedConstants[] = {
#define NAMED_CONSTANT(name, value) {#name, value},
#include "applet/core/named_constants.def"
#undef NAMED_CONSTANT
};

constexpr bool sameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// An enumeration entry's symbol is a named constant of Info, and both give it the same value.
constexpr bool entriesMatchNamedConstants() {
    for (const ParameterRow& row : tree::kParameters) {
        for (int32_t i = 0; i < row.entries.count; ++i) {
            const tree::EnumerationEntry& entry = row.entries.entries[i];
            bool found = false;
            for (const NamedConstant& constant : kNamedConstants) {
                if (sameText(constant.name, entry.symbol)) found = constant.value == entry.value;
            }
            if (!found) return false;
        }
    }
    return true;
}
static_assert(entriesMatchNamedConstants(), "enumeration entries agree with the named constants");

// Entry names have always gone through a 256-character formatting buffer; ours all fit it whole,
// so the buffer would hand them on unchanged and the records point at them as they are.
constexpr size_t kEntryNameBufferSize = 256;

constexpr bool entryNamesFitTheBuffer() {
    for (const ParameterRow& row : tree::kParameters) {
        for (int32_t i = 0; i < row.entries.count; ++i) {
            size_t length = 0;
            while (row.entries.entries[i].name[length] != '\0') ++length;
            if (length >= kEntryNameBufferSize) return false;
        }
    }
    return true;
}
static_assert(entryNamesFitTheBuffer(), "an enumeration entry name would be cut at 255 characters");

// Every text of the tables is a literal: the records point at them instead of holding copies.
Text lasting(const char* text) { return Text::lasting(text); }

void addEnumeration(ParameterInfoTable& table, ParameterInfoNode* parent, const ParameterRow& row,
                    const ParameterTraits& traits) {
    ParameterInfoNode* node = table.createEnumeration(parent, lasting(row.name), lasting(infoOf(row.parameter).name),
                                                      row.entries.count, traits);
    if (node == nullptr) return;
    for (int32_t i = 0; i < row.entries.count; ++i) {
        const tree::EnumerationEntry& entry = row.entries.entries[i];
        table.setEnumerationEntry(node, i, lasting(entry.name), entry.value, lasting(entry.symbol));
    }
}

void addParameter(ParameterInfoTable& table, ParameterInfoNode* parent, const ParameterRow& row, int32_t port) {
    const SdkParameterInfo& info = infoOf(row.parameter);
    const ParameterTraits traits{static_cast<uint32_t>(info.access), row.grade, kPublished, lasting(row.unit),
                                 info.id, port};
    const Text name = lasting(row.name);
    const Text sdkName = lasting(info.name);
    switch (row.type) {
    case RowType::UInt32:
        table.createUInt32(parent, name, sdkName, static_cast<uint32_t>(row.intMin), static_cast<uint32_t>(row.intMax),
                           static_cast<uint32_t>(row.intInc), traits);
        break;
    case RowType::UInt64:
        table.createUInt64(parent, name, sdkName, row.intMin, row.intMax, row.intInc, traits);
        break;
    case RowType::Double:
        table.createDouble(parent, name, sdkName, row.min, row.max, row.inc, traits);
        break;
    case RowType::Text:
        table.createText(parent, name, sdkName, lasting(row.filter), traits);
        break;
    case RowType::Enumeration:
        addEnumeration(table, parent, row, traits);
        break;
    }
}

}  // namespace

void buildSdkParameterTree(ParameterInfoTable& table, int32_t port) {
    std::array<ParameterInfoNode*, indexOf(Category::Count)> categories{};
    for (const tree::CategoryRow& row : tree::kCategories) {
        ParameterInfoNode* parent = row.parent == Category::None ? nullptr : categories[indexOf(row.parent)];
        // A child whose parent could not be made is left out rather than moved to the top level.
        if (row.parent != Category::None && parent == nullptr) continue;
        categories[indexOf(row.key)] = table.createCategory(port, parent, lasting(row.name));
    }
    // A null category (not created) makes the creation refuse the row.
    for (const ParameterRow& row : tree::kParameters) {
        addParameter(table, categories[indexOf(row.category)], row, port);
    }
}

}  // namespace vexo::applet
