// The board's parameter list joined with the description tree, and the applet's named constants.
#include "catalogue.h"

#include <cstdio>
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

template <typename T>
std::string number(T value) {
    return std::to_string(value);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.12g", value);
    return text;
}

template <typename T>
std::string span(T min, T max) {
    return number(min) + " .. " + number(max);
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

std::string latin1ToUtf8(const char* text) {
    std::string utf8;
    if (text == nullptr) return utf8;
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

const char* typeName(const ParameterInfoNode* node) {
    switch (node != nullptr ? node->type : -1) {
    case PARAM_INFO_UINT32: return "uint32";
    case PARAM_INFO_ENUM: return "enum";
    case PARAM_INFO_STRING: return "string";
    case PARAM_INFO_DOUBLE: return "double";
    case PARAM_INFO_UINT64: return "uint64";
    case PARAM_INFO_INT32: return "int32";
    case PARAM_INFO_INT64: return "int64";
    default: return "runtime";
    }
}

std::string accessText(const ParameterInfoNode* node) {
    if (node == nullptr) return "R";
    std::string text;
    if (node->access & 1u) text += 'R';
    if (node->access & 2u) text += 'W';
    if (node->access & 4u) text += 'C';
    return text;
}

std::vector<Entry> entriesOf(const ParameterInfoNode* node) {
    std::vector<Entry> entries;
    if (node == nullptr || node->type != PARAM_INFO_ENUM) return entries;
    const auto& e = node->value.enumeration;
    for (int32_t i = 0; i < e.entryCount; ++i) {
        Entry entry{e.entryValues != nullptr ? e.entryValues[i] : 0, {}, {}};
        if (e.entrySymbols != nullptr && e.entrySymbols[i] != nullptr) entry.symbol = e.entrySymbols[i];
        if (e.entryNames != nullptr) entry.name = latin1ToUtf8(e.entryNames[i]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::string rangeText(const ParameterInfoNode* node) {
    if (node == nullptr) return {};
    const ParameterValueBlock& v = node->value;
    switch (node->type) {
    case PARAM_INFO_UINT32: return span(v.u32.min, v.u32.max);
    case PARAM_INFO_INT32: return span(v.i32.min, v.i32.max);
    case PARAM_INFO_UINT64: return span(v.u64.min, v.u64.max);
    case PARAM_INFO_INT64: return span(v.i64.min, v.i64.max);
    case PARAM_INFO_DOUBLE: return span(v.dbl.min, v.dbl.max);
    case PARAM_INFO_ENUM: {
        std::string text;
        for (const Entry& entry : entriesOf(node)) {
            text += (text.empty() ? "one of " : ", ") + (entry.symbol.empty() ? std::to_string(entry.value) : entry.symbol);
        }
        return text;
    }
    default: return {};
    }
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
