// The board's parameter list joined with the description tree, and the applet's named constants.
#include "catalogue.h"

#include <cstring>
#include <map>
#include <mutex>

#include <dlfcn.h>

#include "orvanta/runtime.h"

namespace orvanta_python {

namespace {

using Record = std::pair<const ParameterInfoNode*, std::string>;  // with the path of its categories

struct Records {
    std::map<int32_t, Record> byId;
    std::map<std::string, Record> byName;
};

// Every parameter record under a node, by id and by parameter name.
void collect(const ParameterInfoNode* node, const std::string& path, Records& records) {
    if (node->type != PARAM_INFO_CATEGORY) {
        records.byId.emplace(node->id, Record(node, path));
        if (node->parameterName != nullptr) records.byName.emplace(node->parameterName, Record(node, path));
        return;
    }
    const std::string inner = path.empty() ? latin1ToUtf8(node->name) : path + " / " + latin1ToUtf8(node->name);
    for (int32_t i = 0; i < node->value.category.childCount; ++i) {
        collect(node->value.category.children[i], inner, records);
    }
}

}  // namespace

Catalogue::Catalogue(void* fg) {
    // The tree's top-level categories run newest first; the list is walked oldest first.
    std::vector<const ParameterInfoNode*> tops;
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg, 0); top != nullptr; top = top->older) {
        tops.push_back(top);
    }
    Records records;
    for (auto top = tops.rbegin(); top != tops.rend(); ++top) collect(*top, {}, records);
    const int32_t count = Fg_getNrOfParameter(fg);
    for (int32_t index = 0; index < count; ++index) {
        Parameter parameter;
        parameter.id = Fg_getParameterId(fg, index);
        const char* name = Fg_getParameterName(fg, index);
        parameter.name = name != nullptr ? name : std::to_string(parameter.id);
        // The applet lists the direct NX access parameters by name only; their records know
        // their ids.
        const auto byId = records.byId.find(parameter.id);
        const auto byName = records.byName.find(parameter.name);
        const Record* record = byId != records.byId.end() ? &byId->second
                               : parameter.id < 0 && byName != records.byName.end() ? &byName->second
                                                                                     : nullptr;
        if (record != nullptr) {
            parameter.node = record->first;
            parameter.id = record->first->id;
            parameter.category = record->second;
        }
        byName_.emplace(parameter.name, parameters_.size());
        parameters_.push_back(std::move(parameter));
    }
}

const Parameter* Catalogue::listed(const std::string& name) const {
    const auto found = byName_.find(name);
    return found != byName_.end() ? &parameters_[found->second] : nullptr;
}

std::optional<Parameter> Catalogue::find(void* fg, const std::string& name) const {
    if (const Parameter* parameter = listed(name)) return *parameter;
    // Names the list leaves out may still be the runtime's.
    Parameter unlisted;
    unlisted.id = Fg_getParameterIdByName(fg, name.c_str());
    if (unlisted.id <= 0) return std::nullopt;
    unlisted.name = name;
    return unlisted;
}

std::string accessOf(const ParameterInfoNode* node) {
    return node != nullptr ? orvanta_tool::accessText(node->access) : "R";
}

std::optional<int32_t> namedConstant(const std::string& applet, const std::string& name) {
    constexpr int32_t kNoSuchConstant = -2070;
    // RTLD_NOLOAD finds the library the runtime loaded (by its file name, wherever it was found)
    // and only adds a reference, which dlclose gives back.
    void* library = dlopen((applet + ".so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return std::nullopt;
    const auto info = reinterpret_cast<Fg_InfoFunc>(dlsym(library, "Info"));
    // The query reads the name from the first out cell; the applet fills its table at the first
    // query and wants such first queries one at a time.
    static std::mutex serial;
    std::vector<uint64_t> cell(name.size() / sizeof(uint64_t) + 1, 0);
    std::memcpy(cell.data(), name.c_str(), name.size());
    int32_t value = kNoSuchConstant;
    if (info != nullptr) {
        std::lock_guard<std::mutex> lock(serial);
        value = info(FG_INFO_NAMED_CONSTANT, 0, 0, cell.data(), nullptr);
    }
    dlclose(library);
    if (value == kNoSuchConstant) return std::nullopt;
    return value;
}

}  // namespace orvanta_python
