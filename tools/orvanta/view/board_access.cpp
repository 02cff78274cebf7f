// Parameters as JSON, writes and loads with the changes they made, and the frame's geometry,
// all under the board's one lock.
#include "board_access.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "../host.h"
#include "orvanta/runtime.h"

namespace orvanta_tool::view {

namespace {

// The record's limits as numbers; the increment only where it says something.
void addLimits(const ParameterInfoNode* node, json& entry) {
    if (node == nullptr) return;
    const ParameterValueBlock& v = node->value;
    const auto put = [&entry](auto min, auto max, auto inc) {
        entry["min"] = min;
        entry["max"] = max;
        if (inc != 0) entry["inc"] = inc;
    };
    switch (node->type) {
    case PARAM_INFO_UINT32: put(v.u32.min, v.u32.max, v.u32.inc); break;
    case PARAM_INFO_INT32: put(v.i32.min, v.i32.max, v.i32.inc); break;
    case PARAM_INFO_UINT64: put(v.u64.min, v.u64.max, v.u64.inc); break;
    case PARAM_INFO_INT64: put(v.i64.min, v.i64.max, v.i64.inc); break;
    case PARAM_INFO_DOUBLE: put(v.dbl.min, v.dbl.max, v.dbl.inc); break;
    default: break;
    }
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

BoardAccess::BoardAccess(const Session& session, Describe describe) : session_(session), describe_(describe) {}

std::string BoardAccess::describe(const std::string& name) const {
    return describe_ != nullptr ? describe_(session_, name) : std::string();
}

const Parameter* BoardAccess::listed(const std::string& name) const {
    for (const Parameter& parameter : session_.parameters()) {
        if (parameter.name == name) return &parameter;
    }
    return nullptr;
}

json BoardAccess::entryOf(const Parameter& parameter) const {
    const ParameterInfoNode* node = parameter.node;
    json entry = {{"name", parameter.name}, {"id", parameter.id}};
    if (node != nullptr) entry["display_name"] = latin1ToUtf8(node->name);
    entry["type"] = typeName(node);
    entry["access"] = node != nullptr ? accessText(node->access) : "R";
    entry["writable"] = parameter.writable();
    if (parameter.readable()) {
        try {
            const Value value = session_.read(parameter);
            addValueJson(entry, value, node);
        } catch (const Failure& failure) {
            entry["error"] = {{"code", failure.code()}, {"message", failure.what()}};
        }
    }
    const std::string unit = unitOf(node);
    if (!unit.empty()) entry["unit"] = unit;
    addLimits(node, entry);
    if (node != nullptr && node->type == PARAM_INFO_ENUM) {
        json entries = json::array();
        for (const Entry& e : entriesOf(node)) {
            entries.push_back(json{{"value", e.value}, {"symbol", e.symbol}, {"name", e.name}});
        }
        entry["entries"] = entries;
    }
    return entry;
}

json BoardAccess::categoryOf(const ParameterInfoNode* node, std::map<int32_t, const Parameter*>& unplaced) const {
    json category = {{"name", latin1ToUtf8(node->name)}};
    json parameters = json::array();
    json inner = json::array();
    for (int32_t i = 0; i < node->value.category.childCount; ++i) {
        const ParameterInfoNode* child = node->value.category.children[i];
        if (child->type == PARAM_INFO_CATEGORY) {
            json sub = categoryOf(child, unplaced);
            if (!sub["parameters"].empty() || !sub["categories"].empty()) inner.push_back(std::move(sub));
            continue;
        }
        const auto found = unplaced.find(child->id);
        if (found == unplaced.end()) continue;
        json entry = entryOf(*found->second);
        entry["description"] = describe(found->second->name);
        parameters.push_back(std::move(entry));
        unplaced.erase(found);
    }
    category["parameters"] = std::move(parameters);
    category["categories"] = std::move(inner);
    return category;
}

json BoardAccess::tree() {
    std::lock_guard<std::mutex> lock(mutex_);
    std::map<int32_t, const Parameter*> unplaced;
    for (const Parameter& parameter : session_.parameters()) unplaced.emplace(parameter.id, &parameter);
    json categories = json::array();
    for (const ParameterInfoNode* top : session_.topCategories()) categories.push_back(categoryOf(top, unplaced));
    json rest = json::array();
    for (const Parameter& parameter : session_.parameters()) {
        if (unplaced.count(parameter.id) != 0) rest.push_back(entryOf(parameter));
    }
    return json{{"categories", std::move(categories)}, {"without_description", std::move(rest)}};
}

json BoardAccess::parameter(const std::string& name) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Parameter* found = listed(name);
    if (found == nullptr) return nullptr;
    json entry = entryOf(*found);
    entry["category"] = found->category;
    entry["description"] = describe(name);
    return entry;
}

std::map<std::string, json> BoardAccess::snapshot() const {
    std::map<std::string, json> entries;
    for (const Parameter& parameter : session_.parameters()) entries.emplace(parameter.name, entryOf(parameter));
    return entries;
}

json BoardAccess::changesSince(const std::map<std::string, json>& before) const {
    json changed = json::array();
    for (auto& [name, entry] : snapshot()) {
        const auto old = before.find(name);
        if (old == before.end() || old->second != entry) changed.push_back(std::move(entry));
    }
    return changed;
}

Outcome BoardAccess::write(const std::string& name, const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    Outcome outcome;
    const Parameter* parameter = listed(name);
    if (parameter == nullptr) {
        outcome.kind = Outcome::Kind::Unknown;
        outcome.message = name + " is no parameter of " + session_.applet();
        return outcome;
    }
    const std::map<std::string, json> before = snapshot();
    try {
        session_.write(*parameter, text);
    } catch (const Failure& failure) {
        // A refusal of the tool's own (no number, no entry) has no code: the applet never saw it.
        outcome.kind = failure.code() == 0 ? Outcome::Kind::BadValue : Outcome::Kind::Refused;
        outcome.code = failure.code();
        outcome.message = failure.what();
        outcome.range = rangeText(parameter->node);
        outcome.parameter = entryOf(*parameter);
        return outcome;
    }
    outcome.changed = changesSince(before);
    outcome.parameter = entryOf(*parameter);
    return outcome;
}

std::string BoardAccess::saveConfiguration() {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string path = temporaryPath(".mcf");
    const int32_t result = Fg_saveConfig(session_.handle(), path.c_str());
    std::string text = fileText(path);
    std::remove(path.c_str());
    if (result != 0) throw Failure(callFailure("save", result, Call::Configuration), result);
    return text;
}

Outcome BoardAccess::loadConfiguration(const std::string& text) {
    std::lock_guard<std::mutex> lock(mutex_);
    Outcome outcome;
    const std::string path = temporaryPath(".mcf");
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
        if (!out.flush()) {
            outcome.kind = Outcome::Kind::BadValue;
            outcome.message = "load: cannot write the configuration to " + path;
            return outcome;
        }
    }
    const std::map<std::string, json> before = snapshot();
    outcome.code = Fg_loadConfig(session_.handle(), path.c_str());
    std::remove(path.c_str());
    outcome.kind = outcome.code == 0 ? Outcome::Kind::Done : Outcome::Kind::Refused;
    outcome.message = outcome.code == 0 ? "loaded" : callFailure("load", outcome.code, Call::Configuration);
    // A refused load may have applied the keys before the one it stopped at.
    outcome.changed = changesSince(before);
    return outcome;
}

FrameGeometry BoardAccess::geometry() {
    std::lock_guard<std::mutex> lock(mutex_);
    FrameGeometry g;
    const auto number = [this](const char* name) -> uint32_t {
        const Parameter* parameter = listed(name);
        if (parameter == nullptr) return 0;
        try {
            return static_cast<uint32_t>(session_.read(*parameter).unsignedValue);
        } catch (const Failure&) {
            return 0;
        }
    };
    g.width = number("FG_WIDTH");
    g.height = number("FG_HEIGHT");
    const uint32_t payloadBits = number("FG_LINE_PAYLOAD_SIZE");
    g.bitsPerPixel = g.width != 0 && payloadBits % g.width == 0 ? payloadBits / g.width : 0;
    g.lineBytes = (payloadBits + 7u) / 8u;
    if (const Parameter* format = listed("FG_FORMAT")) {
        try {
            g.format = valueText(session_.read(*format), format->node);
        } catch (const Failure&) {
        }
    }
    return g;
}

}  // namespace orvanta_tool::view
