// The runtime's own description of the design's NX parameters, in the record layout that
// Fg_getParameterInfo hands out. One tree per inner handle, alive until the handle closes.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "design_model.h"
#include "orvanta/parameter_info_node.h"

namespace sim {

class DescriptionTree {
public:
    // Names in `hidden` are left out: for the caller the design does not have them. With
    // `looping` the tree comes round on itself (see closeLoops).
    DescriptionTree(const DesignModel& model, const std::set<std::string, std::less<>>& hidden, bool looping = false);
    DescriptionTree(const DescriptionTree&) = delete;
    DescriptionTree& operator=(const DescriptionTree&) = delete;

    // The newest top-level category; older ones follow through `older`.
    const ParameterInfoNode* head() const { return head_; }

private:
    ParameterInfoNode* newNode(int32_t type);
    char* copy(const std::string& text);
    ParameterInfoNode* category(const std::vector<std::string>& path, std::size_t depth);
    void attach(ParameterInfoNode* parent, ParameterInfoNode* child);
    void addParameter(const DesignParameter& parameter);
    // The deepest category on the head's first branch lists the head as one more child, and the
    // oldest top-level category chains back to the head.
    void closeLoops();

    std::deque<ParameterInfoNode> nodes_;
    std::deque<std::string> texts_;
    std::map<const ParameterInfoNode*, std::vector<ParameterInfoNode*>> children_;
    std::map<std::string, ParameterInfoNode*> categories_;
    ParameterInfoNode* head_ = nullptr;
};

}  // namespace sim
