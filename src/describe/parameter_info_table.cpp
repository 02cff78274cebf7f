// Creation of the per-port description store and release of its records.
#include "describe/parameter_info_table.h"

#include <cstring>

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
