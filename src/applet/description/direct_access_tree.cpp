// The pass-through parts of the description tree: one record per HAP register for direct
// register access, and copies of the runtime's own records for direct NX access.
#include <deque>
#include <limits>
#include <map>
#include <set>
#include <string>

#include "applet/core/registry.h"
#include "applet/description/parameter_tree_builder.h"
#include "orvanta/closed_libraries.h"

namespace vexo::applet {

using describe::ParameterInfoTable;
using describe::ParameterTraits;

namespace {

constexpr uint32_t kGrade = 1;
constexpr const char* kNoUnit = "";

// 2^bits - 1, kept defined for the widths a HAP should never report.
uint64_t largestValue(int32_t bits) {
    if (bits <= 0) return 0;
    if (bits >= 64) return std::numeric_limits<uint64_t>::max();
    return (uint64_t{1} << bits) - 1;
}

void addRegister(ParameterInfoTable& table, ParameterInfoNode* category, void* hap, int32_t position, int32_t port) {
    const char* registerName = Hap_GetRegisterName(hap, position);
    if (registerName == nullptr) return;
    // Register ids are 32-bit; the HAP runtime answers them in a wider integer.
    const uint32_t registerId = static_cast<uint32_t>(Hap_GetRegisterId(hap, registerName));
    const int32_t bits = Hap_GetRegisterWidth(hap, registerId);
    const bool writable = Hap_IsRegisterWritable(hap, registerId) != 0;

    const std::string name = std::string(registerName) + " (" + std::to_string(bits) + ")";
    const std::string sdkName = std::string("DRA_") + registerName;
    const int32_t sdkId = static_cast<int32_t>(registerId + static_cast<uint32_t>(kDraIdBase));
    const uint32_t access = writable ? PARAM_ACCESS_READ_WRITE_CHANGE : PARAM_ACCESS_READ;
    const ParameterTraits traits{access, kGrade, kPublished, kNoUnit, sdkId, port};
    const uint64_t max = largestValue(bits);
    if (bits > kNarrowRegisterBits) {
        table.createUInt64(category, name.c_str(), sdkName.c_str(), 0, max, 1, traits);
    } else {
        table.createUInt32(category, name.c_str(), sdkName.c_str(), 0, static_cast<uint32_t>(max), 1, traits);
    }
}

bool isValueType(int32_t type) {
    switch (type) {
    case PARAM_INFO_UINT32:
    case PARAM_INFO_ENUM:
    case PARAM_INFO_STRING:
    case PARAM_INFO_DOUBLE:
    case PARAM_INFO_UINT64:
    case PARAM_INFO_INT32:
    case PARAM_INFO_INT64:
        return true;
    default:
        return false;
    }
}

// The runtime's description indexed once: the first record of each NX id in breadth-first
// order (the order a search per id would find it in) and the category above every record.
struct RuntimeIndex {
    std::map<int32_t, const ParameterInfoNode*> recordById;
    std::map<const ParameterInfoNode*, const ParameterInfoNode*> categoryAbove;  // null: top level
};

RuntimeIndex indexRuntimeDescription(const ParameterInfoNode* head) {
    RuntimeIndex index;
    std::deque<const ParameterInfoNode*> queue;
    // The runtime's records are not ours to trust: a record reached twice is not walked again.
    std::set<const ParameterInfoNode*> queued;
    auto enqueue = [&](const ParameterInfoNode* category, const ParameterInfoNode* above) {
        if (!queued.insert(category).second) return;
        index.categoryAbove.emplace(category, above);
        queue.push_back(category);
    };
    if (head != nullptr && head->type == PARAM_INFO_CATEGORY) enqueue(head, nullptr);
    while (!queue.empty()) {
        const ParameterInfoNode* category = queue.front();
        queue.pop_front();
        for (int32_t i = 0; i < category->value.category.childCount; ++i) {
            const ParameterInfoNode* child = category->value.category.children[i];
            if (child == nullptr) continue;
            if (child->type == PARAM_INFO_CATEGORY) {
                enqueue(child, category);
            } else if (index.recordById.emplace(child->id, child).second) {
                index.categoryAbove.emplace(child, category);
            }
        }
        // Top-level categories are chained to each other, not hung under a common root.
        const ParameterInfoNode* older = category->older;
        if (older != nullptr && older->type == PARAM_INFO_CATEGORY) enqueue(older, index.categoryAbove[category]);
    }
    return index;
}

class NxCopier {
public:
    NxCopier(ParameterInfoTable& table, ParameterInfoNode* root, const RuntimeIndex& index, int32_t port)
        : table(table), root(root), index(index), port(port) {}

    void copy(const std::string& dnxaName, int32_t sdkId) {
        const auto found = index.recordById.find(sdkId - kDnxaIdBase);
        if (found == index.recordById.end() || !isValueType(found->second->type)) return;
        const ParameterInfoNode& source = *found->second;
        ParameterInfoNode* parent = copyOf(index.categoryAbove.at(&source));
        const ParameterTraits traits{source.access, source.grade, source.published, source.unit, sdkId, port};
        copyRecord(source, parent, dnxaName.c_str(), traits);
    }

private:
    // The copy of a runtime category, made (with the ones above it) the first time it is needed.
    ParameterInfoNode* copyOf(const ParameterInfoNode* runtimeCategory) {
        if (runtimeCategory == nullptr) return root;
        const auto copied = copies.find(runtimeCategory);
        if (copied != copies.end()) return copied->second;
        ParameterInfoNode* parent = copyOf(index.categoryAbove.at(runtimeCategory));
        // Without a parent the copy would land at the top level; it stays missing instead.
        ParameterInfoNode* copy = nullptr;
        if (parent != nullptr) copy = table.createCategory(port, parent, runtimeCategory->name);
        copies.emplace(runtimeCategory, copy);
        return copy;
    }

    void copyRecord(const ParameterInfoNode& source, ParameterInfoNode* parent, const char* name,
                    const ParameterTraits& traits) {
        const ParameterValueBlock& v = source.value;
        switch (source.type) {
        case PARAM_INFO_UINT32: table.createUInt32(parent, name, name, v.u32.min, v.u32.max, v.u32.inc, traits); break;
        case PARAM_INFO_INT32: table.createInt32(parent, name, name, v.i32.min, v.i32.max, v.i32.inc, traits); break;
        case PARAM_INFO_UINT64: table.createUInt64(parent, name, name, v.u64.min, v.u64.max, v.u64.inc, traits); break;
        case PARAM_INFO_INT64: table.createInt64(parent, name, name, v.i64.min, v.i64.max, v.i64.inc, traits); break;
        case PARAM_INFO_DOUBLE: table.createDouble(parent, name, name, v.dbl.min, v.dbl.max, v.dbl.inc, traits); break;
        case PARAM_INFO_STRING: table.createText(parent, name, name, v.text.filter, traits); break;
        case PARAM_INFO_ENUM: copyEnumeration(source, parent, name, traits); break;
        default: break;
        }
    }

    void copyEnumeration(const ParameterInfoNode& source, ParameterInfoNode* parent, const char* name,
                         const ParameterTraits& traits) {
        const auto& entries = source.value.enumeration;
        ParameterInfoNode* node = table.createEnumeration(parent, name, name, entries.entryCount, traits);
        if (node == nullptr) return;
        for (int32_t i = 0; i < entries.entryCount; ++i) {
            const char* entryName = entries.entryNames != nullptr ? entries.entryNames[i] : nullptr;
            const int32_t value = entries.entryValues != nullptr ? entries.entryValues[i] : 0;
            const char* symbol = entries.entrySymbols != nullptr ? entries.entrySymbols[i] : nullptr;
            table.setEnumerationEntry(node, i, entryName, value, symbol);
        }
    }

    ParameterInfoTable& table;
    ParameterInfoNode* const root;
    const RuntimeIndex& index;
    const int32_t port;
    std::map<const ParameterInfoNode*, ParameterInfoNode*> copies;
};

}  // namespace

void buildDirectRegisterAccess(ParameterInfoTable& table, void* hap, int32_t port) {
    ParameterInfoNode* category = table.createCategory(port, nullptr, "Direct Register Access");
    const int32_t count = hap != nullptr ? Hap_GetRegisterCount(hap) : 0;
    for (int32_t position = 1; position <= count; ++position) {
        addRegister(table, category, hap, position, port);
    }
}

void buildDirectNxAccess(ParameterInfoTable& table, const ParameterInfoNode* runtimeHead,
                         const std::map<std::string, int32_t>& dnxaIdByName, int32_t port) {
    ParameterInfoNode* root = table.createCategory(port, nullptr, "Direct NX Access");
    if (root == nullptr) return;
    const RuntimeIndex index = indexRuntimeDescription(runtimeHead);
    NxCopier copier(table, root, index, port);
    for (const auto& [name, sdkId] : dnxaIdByName) {
        copier.copy(name, sdkId);
    }
}

}  // namespace vexo::applet
