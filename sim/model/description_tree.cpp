// Builds the runtime's description tree: categories follow the design hierarchy of the NX
// names ("Device1_Process1_Trigger_TriggerCam0_..." lies under Process1 / Trigger /
// TriggerCam0), each parameter node carries the full NX name and id.
#include "description_tree.h"

#include <sstream>

namespace sim {
namespace {

// At most this many name parts become categories; the rest stays in the parameter's name.
constexpr std::size_t kCategoryLevels = 3;

std::vector<std::string> categoryPath(const std::string& nxName) {
    std::vector<std::string> parts;
    std::istringstream in(nxName);
    for (std::string part; std::getline(in, part, '_');) parts.push_back(part);
    // parts[0] is "Device1", the one device of the board; the last part names the value.
    std::vector<std::string> path;
    for (std::size_t i = 1; i + 1 < parts.size() && path.size() < kCategoryLevels; ++i) path.push_back(parts[i]);
    return path;
}

int32_t nodeType(ValueKind kind) {
    switch (kind) {
        case ValueKind::U32: return PARAM_INFO_UINT32;
        case ValueKind::U64: return PARAM_INFO_UINT64;
        case ValueKind::Double: return PARAM_INFO_DOUBLE;
        case ValueKind::Text: return PARAM_INFO_STRING;
    }
    return PARAM_INFO_UINT32;
}

}  // namespace

DescriptionTree::DescriptionTree(const DesignModel& model, const std::set<std::string, std::less<>>& hidden, bool looping) {
    for (const int32_t index : model.nxIndices()) {
        const DesignParameter& parameter = model.parameters()[index];
        if (hidden.count(parameter.name) == 0) addParameter(parameter);
    }
    if (looping) closeLoops();
}

ParameterInfoNode* DescriptionTree::newNode(int32_t type) {
    nodes_.emplace_back();
    ParameterInfoNode* node = &nodes_.back();
    *node = ParameterInfoNode{};
    node->type = type;
    node->grade = 1;
    node->published = 1;
    return node;
}

char* DescriptionTree::copy(const std::string& text) {
    texts_.push_back(text);
    return texts_.back().data();
}

ParameterInfoNode* DescriptionTree::category(const std::vector<std::string>& path, std::size_t depth) {
    std::string key;
    for (std::size_t i = 0; i <= depth; ++i) key += "/" + path[i];
    const auto found = categories_.find(key);
    if (found != categories_.end()) return found->second;

    ParameterInfoNode* node = newNode(PARAM_INFO_CATEGORY);
    node->name = copy(path[depth]);
    node->access = 1;
    if (depth == 0) {
        // Top-level categories form a list whose head is the newest.
        node->older = head_;
        if (head_ != nullptr) head_->newer = node;
        head_ = node;
    } else {
        attach(category(path, depth - 1), node);
    }
    categories_[key] = node;
    return node;
}

void DescriptionTree::attach(ParameterInfoNode* parent, ParameterInfoNode* child) {
    std::vector<ParameterInfoNode*>& list = children_[parent];
    child->index = parent->value.category.nextIndex++;
    child->depth = parent->depth + 1;
    child->parentName = copy(parent->name);
    child->port = parent->port;
    list.push_back(child);
    parent->value.category.childCount = static_cast<int32_t>(list.size());
    parent->value.category.children = list.data();
}

void DescriptionTree::addParameter(const DesignParameter& parameter) {
    ParameterInfoNode* node = newNode(nodeType(parameter.kind));
    node->name = copy(parameter.name);
    node->parameterName = copy(parameter.name);
    node->id = parameter.id;
    node->access = parameter.writable ? 7 : 1;
    switch (parameter.kind) {
        case ValueKind::U32:
            node->value.u32.max = static_cast<uint32_t>(parameter.maximum);
            node->value.u32.inc = 1;
            break;
        case ValueKind::U64:
            node->value.u64.max = parameter.maximum;
            node->value.u64.inc = 1;
            break;
        case ValueKind::Double:
            // Board monitors: the range the applet's own description gives such values.
            node->value.dbl.min = -1000.0;
            node->value.dbl.max = 1000.0;
            break;
        case ValueKind::Text:
            node->value.text.filter = copy("");
            break;
    }
    const std::vector<std::string> path = categoryPath(parameter.name);
    if (path.empty()) return;  // every design name has a process part; nothing to hang it on
    attach(category(path, path.size() - 1), node);
}

void DescriptionTree::closeLoops() {
    if (head_ == nullptr) return;
    ParameterInfoNode* deepest = head_;
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (ParameterInfoNode* child : children_[deepest]) {
            if (child->type != PARAM_INFO_CATEGORY) continue;
            deepest = child;
            deeper = true;
            break;
        }
    }
    // Not through attach: the head keeps its own place, index and depth.
    std::vector<ParameterInfoNode*>& list = children_[deepest];
    list.push_back(head_);
    deepest->value.category.childCount = static_cast<int32_t>(list.size());
    deepest->value.category.children = list.data();
    ParameterInfoNode* oldest = head_;
    while (oldest->older != nullptr) oldest = oldest->older;
    oldest->older = head_;
}

}  // namespace sim
