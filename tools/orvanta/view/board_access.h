// The board as the viewer's threads share it: parameters as JSON, writes with what they
// changed, configuration files and the frame's geometry.
//
// One lock serialises every call made here. The applet serialises parameter reads and writes
// itself, but its description records are read without a lock while an accepted write
// refreshes the limits and access of others; and a write's report of what it changed needs the
// values before and after to be of that write alone. Acquisition and event calls do not come
// here: they run beside parameter calls.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

#include "../session.h"
#include "frame_geometry.h"

namespace orvanta_tool::view {

using json = nlohmann::ordered_json;

// What a write or a load did. `changed`: the parameters whose value, access or limits differ
// afterwards, as `parameter` gives them.
struct Outcome {
    enum class Kind { Unknown, BadValue, Refused, Done };
    Kind kind = Kind::Done;
    int32_t code = 0;
    std::string message;
    std::string range;  // a refused value's: the limits as the applet describes them now
    json parameter;     // the parameter written, as it is now
    json changed = json::array();
};

class BoardAccess {
public:
    // The description text of a parameter by name (the tool's descriptionOf); null: none given.
    using Describe = std::string (*)(const Session& session, const std::string& name);

    explicit BoardAccess(const Session& session, Describe describe = nullptr);

    const Session& session() const { return session_; }

    // Every parameter, under the categories of the description; those without a record last.
    json tree();
    // One parameter with its description text; null when the applet lists no such name.
    json parameter(const std::string& name);

    // `text` as `orvanta set` takes it: a number, an entry's symbol, a named constant or a text.
    Outcome write(const std::string& name, const std::string& text);

    // The configuration as the applet saves it (an .mcf file's text); throws Failure.
    std::string saveConfiguration();
    // Loads a configuration file's text through the applet's own load.
    Outcome loadConfiguration(const std::string& text);

    FrameGeometry geometry();

private:
    const Parameter* listed(const std::string& name) const;
    json entryOf(const Parameter& parameter) const;
    json categoryOf(const ParameterInfoNode* node, std::map<int32_t, const Parameter*>& unplaced) const;
    std::map<std::string, json> snapshot() const;
    json changesSince(const std::map<std::string, json>& before) const;

    std::string describe(const std::string& name) const;

    std::mutex mutex_;
    const Session& session_;
    Describe describe_;
};

}  // namespace orvanta_tool::view
