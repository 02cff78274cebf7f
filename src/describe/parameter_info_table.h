// The per-port store of parameter description records: the newest top-level category of each
// port (the head handed out by Fg_getParameterInfo), every record created for a port so that
// it can be released, a lock byte per port that stops further creation, and the map from SDK
// parameter id to record through which later refreshes find the limits and flags to rewrite.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "orvanta/error_codes.h"
#include "orvanta/parameter_info_node.h"

namespace vexo::describe {

// The set-entry operation's answer when an entry could not be stored.
using errors::kEntryNotStored;

// What a parameter record carries besides its names and value fields.
struct ParameterTraits {
    uint32_t access;
    uint32_t grade;
    uint32_t published;
    const char* unit;  // copied; null leaves the record without unit
    int32_t id;
    int32_t port;
};

// Records are plain structs handed to callers, so what they own is allocated with new[] (texts
// and arrays) and released here; the creation operations of the tree follow the same rule.
char* copyText(const char* text);
void releaseNode(ParameterInfoNode* node);

// A record under construction: released with whatever it already owns if creation fails.
struct NodeRelease {
    void operator()(ParameterInfoNode* node) const { releaseNode(node); }
};
using NodeHolder = std::unique_ptr<ParameterInfoNode, NodeRelease>;

class ParameterInfoTable {
public:
    explicit ParameterInfoTable(int32_t portCount);
    ParameterInfoTable(const ParameterInfoTable&) = delete;
    ParameterInfoTable& operator=(const ParameterInfoTable&) = delete;
    // Releases every record of allNodes with the texts and arrays it owns.
    ~ParameterInfoTable();

    int32_t getPortCount() const { return portCount; }
    bool isPort(int32_t port) const { return port >= 0 && port < portCount; }

    // The port's head (newest top-level category), or null for a port outside 0..portCount-1
    // or a port without categories yet.
    ParameterInfoNode* getTree(int32_t port) const;

    // A port whose lock is set accepts no new records; the ones it has stay.
    void setPortLocked(int32_t port, bool locked);

    // A category under `parent`, or a new top-level category (the port's new head) when parent
    // is null. Null for a bad or locked port, or a parent that is not a category.
    ParameterInfoNode* createCategory(int32_t port, ParameterInfoNode* parent, const char* name);

    // Parameters, one operation per record type. Each is attached to `parent` and entered in
    // the id map; null for a bad or locked traits.port, or a null or non-category parent.
    // An enumeration starts with `entryCount` empty entries (a negative count is refused).
    ParameterInfoNode* createEnumeration(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                         int32_t entryCount, const ParameterTraits& traits);
    ParameterInfoNode* createUInt32(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                    uint32_t min, uint32_t max, uint32_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createInt32(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                   int32_t min, int32_t max, int32_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createUInt64(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                    uint64_t min, uint64_t max, uint64_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createInt64(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                   int64_t min, int64_t max, int64_t inc, const ParameterTraits& traits);
    ParameterInfoNode* createDouble(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                    double min, double max, double inc, const ParameterTraits& traits);
    ParameterInfoNode* createText(ParameterInfoNode* parent, const char* name, const char* parameterName,
                                  const char* filter, const ParameterTraits& traits);

    // Replaces entry `entry` of an enumeration record with copies of the texts and the value:
    // 0, or kEntryNotStored when the node is not an enumeration, the index is outside its
    // entries or a text cannot be copied (then it and the texts after it are left null).
    int32_t setEnumerationEntry(ParameterInfoNode* node, int32_t entry, const char* name, int32_t value,
                                const char* symbol);

    // The record of an SDK parameter id (the first one created for it), or null.
    ParameterInfoNode* findNode(int32_t sdkId) const;

private:
    bool acceptsNodes(int32_t port) const;
    ParameterInfoNode* createParameter(ParameterInfoNode* parent, int32_t type, const char* name,
                                       const char* parameterName, const ParameterTraits& traits,
                                       const ParameterValueBlock& value);
    ParameterInfoNode* adopt(NodeHolder node, ParameterInfoNode* parent, bool enterId);

    int32_t portCount;
    std::vector<ParameterInfoNode*> heads;
    std::vector<std::vector<ParameterInfoNode*>> allNodes;
    std::vector<uint8_t> portLocked;
    std::map<int32_t, ParameterInfoNode*> nodesById;
};

}  // namespace vexo::describe
