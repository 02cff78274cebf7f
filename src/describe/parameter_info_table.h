// The per-port store of parameter description records: the newest top-level category of each
// port (the head handed out by Fg_getParameterInfo), a lock byte per port that stops further
// creation, the map from SDK parameter id to record through which later refreshes find the
// limits and flags to rewrite, and the memory of every record with the texts and arrays it owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "describe/record_arena.h"
#include "orvanta/error_codes.h"
#include "orvanta/parameter_info_node.h"

namespace vexo::describe {

// The set-entry operation's answer when an entry could not be stored.
using errors::kEntryNotStored;

// A text handed to the store: copied into it, unless marked as lasting, that is living as long
// as the program (a literal, or a text of a compile-time table); records point at a lasting text
// as it is. Callers read the records they are handed and never write them, so a lasting text may
// lie in read-only memory.
class Text {
public:
    Text(const char* text) : text(text) {}  // implicit: a plain text is copied
    static Text lasting(const char* text) {
        Text kept(text);
        kept.lasts = true;
        return kept;
    }

    const char* get() const { return text; }
    // The arena bytes the store takes for it.
    size_t bytes() const { return lasts ? 0 : RecordArena::bytesForText(text); }
    // The text as a record holds it: itself when lasting, else a copy from reserved memory.
    char* keep(RecordArena& arena) const { return lasts ? const_cast<char*>(text) : arena.copy(text); }

private:
    const char* text;
    bool lasts = false;
};

// What a parameter record carries besides its names and value fields.
struct ParameterTraits {
    uint32_t access;
    uint32_t grade;
    uint32_t published;
    Text unit;  // null leaves the record without unit
    int32_t id;
    int32_t port;
};

class ParameterInfoTable {
public:
    explicit ParameterInfoTable(int32_t portCount);
    ParameterInfoTable(const ParameterInfoTable&) = delete;
    ParameterInfoTable& operator=(const ParameterInfoTable&) = delete;

    int32_t getPortCount() const { return portCount; }
    bool isPort(int32_t port) const { return port >= 0 && port < portCount; }

    // The port's head (newest top-level category), or null for a port outside 0..portCount-1
    // or a port without categories yet.
    ParameterInfoNode* getTree(int32_t port) const;

    // A port whose lock is set accepts no new records; the ones it has stay.
    void setPortLocked(int32_t port, bool locked);

    // A category under `parent`, or a new top-level category (the port's new head) when parent
    // is null. Null for a bad or locked port, or a parent that is not a category.
    ParameterInfoNode* createCategory(int32_t port, ParameterInfoNode* parent, Text name);

    // Parameters, one operation per record type. Each is attached to `parent` and entered in
    // the id map; null for a bad or locked traits.port, or a null or non-category parent.
    // An enumeration starts with `entryCount` empty entries (a negative count is refused).
    ParameterInfoNode* createEnumeration(ParameterInfoNode* parent, Text name, Text parameterName,
                                         int32_t entryCount, const ParameterTraits& traits);
    ParameterInfoNode* createUInt32(ParameterInfoNode* parent, Text name, Text parameterName,
                                    uint32_t min, uint32_t max, uint32_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createInt32(ParameterInfoNode* parent, Text name, Text parameterName,
                                   int32_t min, int32_t max, int32_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createUInt64(ParameterInfoNode* parent, Text name, Text parameterName,
                                    uint64_t min, uint64_t max, uint64_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createInt64(ParameterInfoNode* parent, Text name, Text parameterName,
                                   int64_t min, int64_t max, int64_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createDouble(ParameterInfoNode* parent, Text name, Text parameterName,
                                    double min, double max, double inc, const ParameterTraits& traits);
    ParameterInfoNode* createText(ParameterInfoNode* parent, Text name, Text parameterName,
                                  Text filter, const ParameterTraits& traits);

    // Every operation that can run out of memory does so before it changes anything: a refused
    // record or entry leaves the store as it was.

    // Replaces entry `entry` of an enumeration record with the texts and the value:
    // 0, or kEntryNotStored when the node is not an enumeration, the index is outside its
    // entries or a text cannot be copied (then it and the texts after it are left null).
    int32_t setEnumerationEntry(ParameterInfoNode* node, int32_t entry, Text name, int32_t value, Text symbol);

    // The record of an SDK parameter id (the first one created for it), or null.
    ParameterInfoNode* findNode(int32_t sdkId) const;

private:
    bool acceptsNodes(int32_t port) const;
    // Creates a record with `extraBytes` of arena memory beyond its node and texts (the arrays its
    // type needs), attached to `parent` or made the port's head; a parameter (with traits) is
    // entered in the id map. `fill` then sets the type's fields, taking that memory. Null when
    // memory runs out.
    template <typename Fill>
    ParameterInfoNode* create(int32_t type, int32_t port, ParameterInfoNode* parent, Text name, Text parameterName,
                              const ParameterTraits* traits, size_t extraBytes, Fill&& fill);
    ParameterInfoNode* createNumber(ParameterInfoNode* parent, int32_t type, Text name, Text parameterName,
                                    const ParameterTraits& traits, const ParameterValueBlock& value);

    int32_t portCount;
    std::vector<ParameterInfoNode*> heads;
    std::vector<uint8_t> portLocked;
    // Sorted by id; the first record of an id keeps the entry.
    std::vector<std::pair<int32_t, ParameterInfoNode*>> nodesById;
    RecordArena arena;
};

}  // namespace vexo::describe
