// The per-port store of parameter description records: the newest top-level category of each
// port (the head handed out by Fg_getParameterInfo), every record created for a port so that
// it can be released, and a lock byte per port that stops further creation.
#pragma once

#include <cstdint>
#include <vector>

#include "describe/parameter_info_node.h"

namespace vexo::describe {

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

private:
    int32_t portCount;
    std::vector<ParameterInfoNode*> heads;
    std::vector<std::vector<ParameterInfoNode*>> allNodes;
    std::vector<uint8_t> portLocked;
};

// Records are plain structs handed to callers, so what they own is allocated with new[] (texts
// and arrays) and released here; the creation operations of the tree follow the same rule.
char* copyText(const char* text);
void releaseNode(ParameterInfoNode* node);

}  // namespace vexo::describe
