// The per-port description store: creation of categories and parameter records, their
// attachment to parents and to the port's list of top-level categories, and the id map.
#include "describe/parameter_info_table.h"

#include <algorithm>
#include <new>

namespace vexo::describe {

namespace {

// A category's children array has room for the next power of two of its children, so that
// adding children one by one replaces it only at those counts.
size_t childrenArraySize(int32_t childCount) {
    size_t size = 1;
    while (size < static_cast<size_t>(childCount)) size *= 2;
    return size;
}

bool childrenArrayIsFull(int32_t childCount) {
    return childCount == 0 || childrenArraySize(childCount) == static_cast<size_t>(childCount);
}

bool isCategory(const ParameterInfoNode* node) { return node != nullptr && node->type == PARAM_INFO_CATEGORY; }

using IdEntry = std::pair<int32_t, ParameterInfoNode*>;

// The entry of the id, or where it would go.
template <typename Entries>
auto positionOfId(Entries& entries, int32_t id) {
    return std::lower_bound(entries.begin(), entries.end(), id,
                            [](const IdEntry& entry, int32_t key) { return entry.first < key; });
}

template <typename T>
void makeRoomForOne(std::vector<T>& items) {
    if (items.size() == items.capacity()) items.reserve(std::max<size_t>(64, 2 * items.size()));
}

}  // namespace

ParameterInfoTable::ParameterInfoTable(int32_t portCount)
    : portCount(portCount < 0 ? 0 : portCount),
      heads(static_cast<size_t>(this->portCount), nullptr),
      portLocked(static_cast<size_t>(this->portCount), 0) {}

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
    const auto found = positionOfId(nodesById, sdkId);
    return found != nodesById.end() && found->first == sdkId ? found->second : nullptr;
}

// All memory is had before the first change to the table, the parent or the id map: out of
// memory refuses the record and leaves them as they were. Out of memory while building a
// description is not worth more than a missing record: the builder goes on with the next one,
// as it does for any other refused creation.
template <typename Fill>
ParameterInfoNode* ParameterInfoTable::create(int32_t type, int32_t port, ParameterInfoNode* parent, Text name,
                                              Text parameterName, const ParameterTraits* traits, size_t extraBytes,
                                              Fill&& fill) {
    const int32_t childCount = parent != nullptr ? parent->value.category.childCount : 0;
    const bool growChildren = parent != nullptr && childrenArrayIsFull(childCount);
    size_t bytes = RecordArena::bytesFor<ParameterInfoNode>(1) + name.bytes() + parameterName.bytes() + extraBytes;
    if (traits != nullptr) bytes += traits->unit.bytes();
    // The children of a category share one copy of its name.
    if (parent != nullptr && childCount == 0) bytes += RecordArena::bytesForText(parent->name);
    if (growChildren) bytes += RecordArena::bytesFor<ParameterInfoNode*>(childrenArraySize(childCount + 1));
    try {
        arena.reserve(bytes);
        if (traits != nullptr) makeRoomForOne(nodesById);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }

    ParameterInfoNode* const node = arena.make<ParameterInfoNode>(1);
    node->type = type;
    node->port = port;
    node->name = name.keep(arena);
    node->parameterName = parameterName.keep(arena);
    if (traits != nullptr) {
        node->access = traits->access;
        node->grade = traits->grade;
        node->published = traits->published;
        node->id = traits->id;
        node->unit = traits->unit.keep(arena);
        const auto at = positionOfId(nodesById, node->id);
        if (at == nodesById.end() || at->first != node->id) nodesById.insert(at, {node->id, node});
    }
    fill(*node);

    if (parent == nullptr) {
        ParameterInfoNode*& head = heads[static_cast<size_t>(port)];
        node->older = head;
        if (head != nullptr) head->newer = node;
        head = node;
        return node;
    }
    auto& family = parent->value.category;
    if (growChildren) {
        ParameterInfoNode** children = arena.make<ParameterInfoNode*>(childrenArraySize(childCount + 1));
        std::copy_n(family.children, childCount, children);
        family.children = children;  // the old array stays in the arena, unused
    }
    node->depth = parent->depth + 1;
    node->parentName = childCount == 0 ? arena.copy(parent->name) : family.children[0]->parentName;
    node->index = family.nextIndex++;
    family.children[childCount] = node;
    family.childCount = childCount + 1;
    return node;
}

ParameterInfoNode* ParameterInfoTable::createCategory(int32_t port, ParameterInfoNode* parent, Text name) {
    if (!acceptsNodes(port) || (parent != nullptr && !isCategory(parent))) return nullptr;
    return create(PARAM_INFO_CATEGORY, port, parent, name, nullptr, nullptr, 0, [](ParameterInfoNode&) {});
}

ParameterInfoNode* ParameterInfoTable::createNumber(ParameterInfoNode* parent, int32_t type, Text name,
                                                    Text parameterName, const ParameterTraits& traits,
                                                    const ParameterValueBlock& value) {
    if (!acceptsNodes(traits.port) || !isCategory(parent)) return nullptr;
    return create(type, traits.port, parent, name, parameterName, &traits, 0,
                  [&value](ParameterInfoNode& node) { node.value = value; });
}

ParameterInfoNode* ParameterInfoTable::createUInt32(ParameterInfoNode* parent, Text name,
                                                    Text parameterName, uint32_t min, uint32_t max,
                                                    uint32_t inc, const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.u32.min = min;
    value.u32.max = max;
    value.u32.inc = inc;
    return createNumber(parent, PARAM_INFO_UINT32, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createInt32(ParameterInfoNode* parent, Text name,
                                                   Text parameterName, int32_t min, int32_t max, int32_t inc,
                                                   const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.i32.min = min;
    value.i32.max = max;
    value.i32.inc = inc;
    return createNumber(parent, PARAM_INFO_INT32, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createUInt64(ParameterInfoNode* parent, Text name,
                                                    Text parameterName, uint64_t min, uint64_t max,
                                                    uint64_t inc, const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.u64.min = min;
    value.u64.max = max;
    value.u64.inc = inc;
    return createNumber(parent, PARAM_INFO_UINT64, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createInt64(ParameterInfoNode* parent, Text name,
                                                   Text parameterName, int64_t min, int64_t max, int64_t inc,
                                                   const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.i64.min = min;
    value.i64.max = max;
    value.i64.inc = inc;
    return createNumber(parent, PARAM_INFO_INT64, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createDouble(ParameterInfoNode* parent, Text name,
                                                    Text parameterName, double min, double max, double inc,
                                                    const ParameterTraits& traits) {
    ParameterValueBlock value{};
    value.dbl.min = min;
    value.dbl.max = max;
    value.dbl.inc = inc;
    return createNumber(parent, PARAM_INFO_DOUBLE, name, parameterName, traits, value);
}

ParameterInfoNode* ParameterInfoTable::createText(ParameterInfoNode* parent, Text name,
                                                  Text parameterName, Text filter,
                                                  const ParameterTraits& traits) {
    if (!acceptsNodes(traits.port) || !isCategory(parent)) return nullptr;
    return create(PARAM_INFO_STRING, traits.port, parent, name, parameterName, &traits, filter.bytes(),
                  [this, filter](ParameterInfoNode& node) { node.value.text.filter = filter.keep(arena); });
}

ParameterInfoNode* ParameterInfoTable::createEnumeration(ParameterInfoNode* parent, Text name,
                                                         Text parameterName, int32_t entryCount,
                                                         const ParameterTraits& traits) {
    if (!acceptsNodes(traits.port) || !isCategory(parent) || entryCount < 0) return nullptr;
    const size_t count = static_cast<size_t>(entryCount);
    const size_t arrays = count == 0 ? 0
                                     : 2 * RecordArena::bytesFor<char*>(count) + RecordArena::bytesFor<int32_t>(count);
    return create(PARAM_INFO_ENUM, traits.port, parent, name, parameterName, &traits, arrays,
                  [this, count, entryCount](ParameterInfoNode& node) {
                      if (count == 0) return;
                      auto& entries = node.value.enumeration;
                      entries.entryCount = entryCount;
                      entries.entryNames = arena.make<char*>(count);
                      entries.entrySymbols = arena.make<char*>(count);
                      entries.entryValues = arena.make<int32_t>(count);
                  });
}

int32_t ParameterInfoTable::setEnumerationEntry(ParameterInfoNode* node, int32_t entry, Text name, int32_t value,
                                                Text symbol) {
    if (node == nullptr || node->type != PARAM_INFO_ENUM) return kEntryNotStored;
    auto& entries = node->value.enumeration;
    if (entry < 0 || entry >= entries.entryCount) return kEntryNotStored;
    // The texts replaced stay in the arena, unused: entries are set once, while building.
    entries.entryNames[entry] = nullptr;
    entries.entrySymbols[entry] = nullptr;
    entries.entryValues[entry] = value;
    try {
        arena.reserve(name.bytes() + symbol.bytes());
    } catch (const std::bad_alloc&) {
        return kEntryNotStored;
    }
    entries.entryNames[entry] = name.keep(arena);
    entries.entrySymbols[entry] = symbol.keep(arena);
    return 0;
}

}  // namespace vexo::describe
