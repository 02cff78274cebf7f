// The per-port description store: creation of categories and parameter records, their
// attachment to parents and to the port's list of top-level categories, and their release.
#include "describe/parameter_info_table.h"

#include <cstring>
#include <memory>
#include <new>
#include <utility>

namespace vexo::describe {

namespace {

void releaseTextArray(char** texts, int32_t count) {
    if (texts == nullptr) return;
    for (int32_t i = 0; i < count; ++i) {
        delete[] texts[i];
    }
    delete[] texts;
}

void releaseValueBlock(ParameterInfoNode* node) {
    ParameterValueBlock& value = node->value;
    switch (node->type) {
    case PARAM_INFO_CATEGORY:
        delete[] value.category.children;
        break;
    case PARAM_INFO_ENUM:
        releaseTextArray(value.enumeration.entryNames, value.enumeration.entryCount);
        releaseTextArray(value.enumeration.entrySymbols, value.enumeration.entryCount);
        delete[] value.enumeration.entryValues;
        break;
    case PARAM_INFO_STRING:
        delete[] value.text.filter;
        break;
    default:
        break;
    }
}

// A category's children array has room for the next power of two of its children, so that
// adding children one by one reallocates it only at those counts.
size_t childrenArraySize(int32_t childCount) {
    size_t size = 1;
    while (size < static_cast<size_t>(childCount)) size *= 2;
    return size;
}

bool childrenArrayIsFull(int32_t childCount) {
    return childCount == 0 || childrenArraySize(childCount) == static_cast<size_t>(childCount);
}

bool isCategory(const ParameterInfoNode* node) { return node != nullptr && node->type == PARAM_INFO_CATEGORY; }

NodeHolder newNode(int32_t type, int32_t port, const char* name) {
    NodeHolder node(new ParameterInfoNode{});
    node->type = type;
    node->port = port;
    node->name = copyText(name);
    return node;
}

NodeHolder newParameter(int32_t type, const char* name, const char* parameterName, const ParameterTraits& traits) {
    NodeHolder node = newNode(type, traits.port, name);
    node->parameterName = copyText(parameterName);
    node->access = traits.access;
    node->grade = traits.grade;
    node->published = traits.published;
    node->id = traits.id;
    node->unit = copyText(traits.unit);
    return node;
}

// Out of memory while building a description is not worth more than a missing record: the
// builder goes on with the next one, as it does for any other refused creation.
template <typename Make>
ParameterInfoNode* orNull(Make make) {
    try {
        return make();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

ParameterInfoTable::ParameterInfoTable(int32_t portCount)
    : portCount(portCount < 0 ? 0 : portCount),
      heads(static_cast<size_t>(this->portCount), nullptr),
      allNodes(static_cast<size_t>(this->portCount)),
      portLocked(static_cast<size_t>(this->portCount), 0) {}

ParameterInfoTable::~ParameterInfoTable() {
    for (std::vector<ParameterInfoNode*>& nodes : allNodes) {
        for (ParameterInfoNode* node : nodes) {
            releaseNode(node);
        }
    }
}

ParameterInfoNode* ParameterInfoTable::getTree(int32_t port) const {
    return isPort(port) ? heads[static_cast<size_t>(port)] : nullptr;
}

void ParameterInfoTable::setPortLocked(int32_t port, bool locked) {
    if (isPort(port)) portLocked[static_cast<size_t>(port)] = locked ? 1 : 0;
}

bool ParameterInfoTable::acceptsNodes(int32_t port) const {
    return isPort(port) && portLocked[static_cast<size_t>(port)] == 0;
}

ParameterInfoNode* ParameterInfoTable::findNode(int32_t sdkId) const {
    const auto found = nodesById.find(sdkId);
    return found != nodesById.end() ? found->second : nullptr;
}

// Everything that can fail happens before the first change to the table, the parent or the id
// map, so a refused record leaves them as they were.
ParameterInfoNode* ParameterInfoTable::adopt(NodeHolder node, ParameterInfoNode* parent, bool enterId) {
    std::vector<ParameterInfoNode*>& nodes = allNodes[static_cast<size_t>(node->port)];
    nodes.reserve(nodes.size() + 1);
    std::unique_ptr<ParameterInfoNode*[]> children;  // set when the parent's array is full
    int32_t childCount = 0;
    if (parent != nullptr) {
        childCount = parent->value.category.childCount;
        if (childrenArrayIsFull(childCount)) {
            children.reset(new ParameterInfoNode*[childrenArraySize(childCount + 1)]());
            for (int32_t i = 0; i < childCount; ++i) children[i] = parent->value.category.children[i];
        }
        node->depth = parent->depth + 1;
        node->parentName = copyText(parent->name);
    }
    if (enterId) nodesById.emplace(node->id, node.get());

    ParameterInfoNode* const created = node.release();
    nodes.push_back(created);
    if (parent != nullptr) {
        created->index = parent->value.category.nextIndex++;
        if (children != nullptr) {
            delete[] parent->value.category.children;
            parent->value.category.children = children.release();
        }
        parent->value.category.children[childCount] = created;
        parent->value.category.childCount = childCount + 1;
    } else {
        ParameterInfoNode*& head = heads[static_cast<size_t>(created->port)];
        created->older = head;
        if (head != nullptr) head->newer = created;
        head = created;
    }
    return created;
}

ParameterInfoNode* ParameterInfoTable::createCategory(int32_t port, ParameterInfoNode* parent, const char* name) {
    if (!acceptsNodes(port) || (parent != nullptr && !isCategory(parent))) return nullptr;
    return orNull([&] { return adopt(newNode(PARAM_INFO_CATEGORY, port, name), parent, false); });
}

ParameterInfoNode* ParameterInfoTable::createParameter(ParameterInfoNode* parent, int32_t type, const char* name,
                                                       const char* parameterName, const ParameterTraits& traits,
                                                       const ParameterValueBlock& value) {
    if (!acceptsNodes(traits.port) || !isCategory(parent)) return nullptr;
    return orNull([&] {
        NodeHolder node = newParameter(type, name, parameterName, traits);
        node->value = value;
        return adopt(std::move(node), parent, true);
    });
}

ParameterInfoNode* ParameterInfoTable::createUInt32(ParameterInfoNode* parent, const char* name,
                                                    const char* parameterName, uint32_t min, uint32_t max,
                                                    uint32_t inc, const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.u32.min = min;
    value.u32.max = max;
    value.u32.inc = inc;
    return createParameter(parent, PARAM_INFO_UINT32, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createInt32(ParameterInfoNode* parent, const char* name,
                                                   const char* parameterName, int32_t min, int32_t max, int32_t inc,
                                                   const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.i32.min = min;
    value.i32.max = max;
    value.i32.inc = inc;
    return createParameter(parent, PARAM_INFO_INT32, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createUInt64(ParameterInfoNode* parent, const char* name,
                                                    const char* parameterName, uint64_t min, uint64_t max,
                                                    uint64_t inc, const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.u64.min = min;
    value.u64.max = max;
    value.u64.inc = inc;
    return createParameter(parent, PARAM_INFO_UINT64, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createInt64(ParameterInfoNode* parent, const char* name,
                                                   const char* parameterName, int64_t min, int64_t max, int64_t inc,
                                                   const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.i64.min = min;
    value.i64.max = max;
    value.i64.inc = inc;
    return createParameter(parent, PARAM_INFO_INT64, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createDouble(ParameterInfoNode* parent, const char* name,
                                                    const char* parameterName, double min, double max, double inc,
                                                    const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.dbl.min = min;
    value.dbl.max = max;
    value.dbl.inc = inc;
    return createParameter(parent, PARAM_INFO_DOUBLE, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createText(ParameterInfoNode* parent, const char* name,
                                                  const char* parameterName, const char* filter,
                                                  const ParameterTraits& traits) {
    if (!acceptsNodes(traits.port) || !isCategory(parent)) return nullptr;
    return orNull([&] {
        NodeHolder node = newParameter(PARAM_INFO_STRING, name, parameterName, traits);
        node->value.text.filter = copyText(filter);
        return adopt(std::move(node), parent, true);
    });
}

ParameterInfoNode* ParameterInfoTable::createEnumeration(ParameterInfoNode* parent, const char* name,
                                                         const char* parameterName, int32_t entryCount,
                                                         const ParameterTraits& traits) {
    if (!acceptsNodes(traits.port) || !isCategory(parent) || entryCount < 0) return nullptr;
    return orNull([&] {
        NodeHolder node = newParameter(PARAM_INFO_ENUM, name, parameterName, traits);
        auto& entries = node->value.enumeration;
        if (entryCount > 0) {
            const size_t count = static_cast<size_t>(entryCount);
            // The count goes in first: from here on the release of a half-made record frees the
            // arrays already allocated, whose text slots start out null.
            entries.entryCount = entryCount;
            entries.entryNames = new char*[count]();
            entries.entrySymbols = new char*[count]();
            entries.entryValues = new int32_t[count]();
        }
        return adopt(std::move(node), parent, true);
    });
}

int32_t ParameterInfoTable::setEnumerationEntry(ParameterInfoNode* node, int32_t entry, const char* name,
                                                int32_t value, const char* symbol) {
    if (node == nullptr || node->type != PARAM_INFO_ENUM) return kEntryNotStored;
    auto& entries = node->value.enumeration;
    if (entry < 0 || entry >= entries.entryCount) return kEntryNotStored;
    delete[] entries.entryNames[entry];
    entries.entryNames[entry] = nullptr;
    delete[] entries.entrySymbols[entry];
    entries.entrySymbols[entry] = nullptr;
    entries.entryValues[entry] = value;
    try {
        entries.entryNames[entry] = copyText(name);
        entries.entrySymbols[entry] = copyText(symbol);
    } catch (const std::bad_alloc&) {
        return kEntryNotStored;
    }
    return 0;
}

char* copyText(const char* text) {
    if (text == nullptr) return nullptr;
    const size_t length = std::strlen(text);
    char* copy = new char[length + 1];
    std::memcpy(copy, text, length + 1);
    return copy;
}

void releaseNode(ParameterInfoNode* node) {
    if (node == nullptr) return;
    releaseValueBlock(node);
    delete[] node->name;
    delete[] node->parameterName;
    delete[] node->parentName;
    delete[] node->unit;
    delete node;
}

}  // namespace vexo::describe
