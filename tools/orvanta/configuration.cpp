// Configuration files: save; check, the file read key by key as the applet reads it and every
// value checked against the parameter's description; load, which refuses a file the check
// finds wrong, loads it, and when the applet refuses it on the board's present state brings the
// board back to its start state and loads it again; diff of two files.
//
// The applet applies a file's keys in its own order and stops at the first it refuses, with
// what came before applied (and every value stored): a key whose check reads another
// parameter's present value can fail on one board state and pass on another. Limits that follow
// other parameters (FG_XOFFSET's maximum follows FG_WIDTH, a downscale phase its downscale) are
// the applet's to judge in the order it applies the file; the check warns of a value outside
// them and refuses it only where the file changes nothing else. A file the applet refuses from
// the start state too is bad in itself: the tool names the key it refuses and puts the board
// back as it was.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>

#include "commands.h"
#include "config_reading.h"
#include "orvanta/error_codes.h"
#include "orvanta/runtime.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;

namespace {


std::string lineOf(const Found& found) { return "line " + std::to_string(found.line) + ": "; }

// A value as it stands in the file, for messages: without the line end the applet keeps.
std::string shown(const Found& found) {
    std::string text = found.text;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

// The values of the writable parameters, as `get` prints them.
std::map<std::string, std::string> snapshot(const Session& session) {
    std::map<std::string, std::string> values;
    for (const Parameter& parameter : session.parameters()) {
        if (!parameter.writable() || !parameter.readable()) continue;
        try {
            values[parameter.name] = valueText(session.read(parameter), parameter.node);
        } catch (const Failure& failure) {
            values[parameter.name] = "(" + std::string(failure.what()) + ")";
        }
    }
    return values;
}

// A configuration the applet saves now, under a name of the tool's own; throws Failure with
// `operation` at its head. The caller removes the file.
std::string savedNow(Session& session, const std::string& operation) {
    const std::string path = temporaryPath(".mcf");
    const int32_t result = Fg_saveConfig(session.handle(), path.c_str());
    if (result != 0) {
        std::remove(path.c_str());
        throw Failure(callFailure(operation + ": saving the present configuration", result, Call::Configuration),
                      result);
    }
    return path;
}

AppletReading presentReading(Session& session, const std::string& operation) {
    const std::string path = savedNow(session, operation);
    AppletReading reading = readAsTheApplet(path);
    std::remove(path.c_str());
    return reading;
}

// Two values of a key alike as the applet takes them.
bool sameValue(const ConfigKey& key, const std::optional<Found>& a, const std::optional<Found>& b) {
    if (!a || !b) return !a && !b;
    switch (key.kind) {
    case KeyKind::Int: return integerValue(a->text) == integerValue(b->text);
    case KeyKind::Double: return doubleValue(a->text) == doubleValue(b->text);
    case KeyKind::Text: return a->text == b->text;
    }
    return false;
}

struct Check {
    AppletReading reading;
    std::vector<std::string> errors;    // the applet would refuse the file, or take a value no one meant
    std::vector<std::string> warnings;  // it ignores part of the file, or may refuse a value in context
};

// A value outside the limits the board describes now: certain to be refused when the file
// changes no other key the applet applies (no other value can move the limit), else the
// applet's to judge in context.
void outsideLimits(Check& check, size_t index, const Found& found, const std::string& range, bool othersChange) {
    const std::string text = lineOf(found) + kConfigKeys[index].name + "=" + shown(found) + " is outside " + range;
    if (othersChange) {
        check.warnings.push_back(text + " as the board stands now; the keys the file changes may move that limit");
    } else {
        check.errors.push_back(text);
    }
}

void checkValue(const Session& session, Check& check, size_t index, const Found& found, bool othersChange) {
    const ConfigKey& key = kConfigKeys[index];
    const ParameterInfoNode* node = session.find(key.name, "check").node;
    const std::string at = lineOf(found) + key.name + "=" + shown(found);
    switch (key.kind) {
    case KeyKind::Int: {
        const std::optional<int32_t> value = integerValue(found.text);
        if (!value) {
            check.errors.push_back(at + " is not a whole decimal number of 32 bits (the applet would read " +
                                   std::to_string(std::atoi(found.text.c_str())) + ")");
            return;
        }
        // Keys only stored are never checked by the applet, nor here against their limits.
        if (node == nullptr || key.applying == Applying::Skip) return;
        if (node->type == PARAM_INFO_ENUM) {
            if (!symbolOf(node, static_cast<uint32_t>(*value))) {
                check.errors.push_back(at + " is none of " + key.name + "'s values: " + rangeText(node));
            }
        } else if (node->type == PARAM_INFO_UINT32) {
            const uint32_t v = static_cast<uint32_t>(*value);
            if (v < node->value.u32.min || v > node->value.u32.max) {
                outsideLimits(check, index, found, "the range " + rangeText(node), othersChange);
            }
        }
        return;
    }
    case KeyKind::Double: {
        const std::optional<double> value = doubleValue(found.text);
        if (!value) {
            check.errors.push_back(at + " is not a number");
        } else if (node != nullptr && key.applying != Applying::Skip && node->type == PARAM_INFO_DOUBLE &&
                   (*value < node->value.dbl.min || *value > node->value.dbl.max)) {
            outsideLimits(check, index, found, "the range " + rangeText(node), othersChange);
        }
        return;
    }
    case KeyKind::Text:
        if (!found.text.empty() && found.text.back() == '\n') {
            check.warnings.push_back(lineOf(found) + key.name + " has no ';': the applet takes the line end into "
                                     "the text");
        }
        return;
    }
}

Check checkFile(Session& session, const std::string& path, const std::string& operation) {
    Check check;
    if (path.find(".mcf") == std::string::npos) {
        check.errors.push_back("the name must contain \".mcf\": the applet reads no other files");
        return check;
    }
    check.reading = readAsTheApplet(path);
    const AppletReading& r = check.reading;
    if (!r.readable) {
        check.errors.push_back(std::filesystem::exists(path) ? "cannot be read" : "no such file");
        return check;
    }
    if (!r.manufacturer) check.errors.push_back("no Hersteller line: not a configuration file");
    if (!r.type) {
        check.errors.push_back("no Typ line naming the applet");
    } else if (r.type->text != session.applet()) {
        check.errors.push_back(lineOf(*r.type) + "Typ='" + shown(*r.type) + "' names another applet than " +
                               session.applet());
    }
    if (!r.activePort) check.errors.push_back("no AktivePort line after the [Kamerasektion] line");
    if (!r.portSectionLine) {
        check.errors.push_back("no [Port A] section");
        return check;
    }
    const AppletReading present = presentReading(session, operation);
    for (size_t i = 0; i < kConfigKeyCount; ++i) {
        if (!kConfigKeys[i].read()) continue;
        if (!r.keys[i]) {
            check.errors.push_back(std::string(kConfigKeys[i].name) +
                                   " is missing: the applet stops loading where it needs it");
            continue;
        }
        bool othersChange = false;
        for (size_t j = 0; j < kConfigKeyCount; ++j) {
            const bool applied = kConfigKeys[j].applying != Applying::Skip;
            othersChange = othersChange || (j != i && applied && !sameValue(kConfigKeys[j], r.keys[j], present.keys[j]));
        }
        checkValue(session, check, i, *r.keys[i], othersChange);
    }
    for (const Found& key : r.unknownKeys) {
        check.warnings.push_back(lineOf(key) + key.text + " is no key of " + session.applet() + ": the applet ignores it");
    }
    for (const Found& line : r.oddLines) {
        check.warnings.push_back(lineOf(line) + "'" + line.text + "' is no KEY=VALUE line: the applet ignores it");
    }
    for (const Found& key : r.repeatedKeys) {
        check.warnings.push_back(lineOf(key) + key.text + " stands here again: the applet takes the first");
    }
    return check;
}

// On a board in its start state, the file's keys one by one as the applet applies them: the
// first one refused, as a message; empty when none is.
std::string firstRefusal(Session& session, const AppletReading& reading) {
    for (const Applying pass : {Applying::Apply, Applying::Last}) {
        for (size_t i = 0; i < kConfigKeyCount; ++i) {
            const ConfigKey& key = kConfigKeys[i];
            if (key.applying != pass || !reading.keys[i]) continue;
            const Found& found = *reading.keys[i];
            const Parameter parameter = session.find(key.name, "load");
            int32_t result = 0;
            if (key.kind == KeyKind::Int) {
                const int32_t value = std::atoi(found.text.c_str());
                result = Fg_setParameterWithType(session.handle(), parameter.id, &value, 0, FG_TYPE_UINT32);
            } else if (key.kind == KeyKind::Double) {
                const double value = std::atof(found.text.c_str());
                result = Fg_setParameterWithType(session.handle(), parameter.id, &value, 0, FG_TYPE_DOUBLE);
            } else {
                result = Fg_setParameterWithType(session.handle(), parameter.id, found.text.c_str(), 0, FG_TYPE_TEXT);
            }
            if (result != 0) {
                const std::string range = result == FG_ERR_VALUE_OUT_OF_RANGE ? " (" + rangeText(parameter.node) + ")" : "";
                return lineOf(found) + key.name + "=" + shown(found) + " is refused: " + std::to_string(result) + " " +
                       meaningOf(result, Call::Write) + range;
            }
        }
    }
    return {};
}

struct Loaded {
    int32_t result = 0;
    bool fromStartState = false;
    std::string failure;  // why the file was not loaded
};

// Checks the file, loads it, and again from the start state when the applet refuses it on the
// present one; a file refused from both is undone (unless `force`). Failures of the check are
// thrown after its messages.
Loaded checkAndLoad(Session& session, const std::string& path, const std::string& operation, bool force,
                    Check& check) {
    check = checkFile(session, path, operation);
    const Console& console = session.console();
    for (const std::string& warning : check.warnings) console.warning(operation + ": " + warning);
    if (!check.errors.empty() && !force) {
        for (size_t i = 0; i + 1 < check.errors.size(); ++i) console.error(operation + ": " + check.errors[i]);
        throw Failure(operation + ": " + check.errors.back() + (check.reading.readable ? " (--force loads it anyway)" : ""));
    }
    for (const std::string& error : check.errors) console.warning(operation + ": " + error + " (loaded anyway: --force)");

    const std::string before = force ? std::string() : savedNow(session, operation);
    Loaded loaded;
    loaded.result = Fg_loadConfig(session.handle(), path.c_str());
    if (loaded.result == FG_ERR_CONFIG_CONTENT_INVALID) {
        session.reopen();
        loaded.fromStartState = true;
        console.news(operation + ": the applet refused the file on the board's present state: the board is back in "
                     "its start state and the file loaded again");
        loaded.result = Fg_loadConfig(session.handle(), path.c_str());
        if (loaded.result != 0 && !force) {
            session.reopen();
            const std::string refused = firstRefusal(session, check.reading);
            session.reopen();
            const bool restored = Fg_loadConfig(session.handle(), before.c_str()) == 0;
            loaded.failure = (refused.empty() ? callFailure("the file", loaded.result, Call::Configuration) : refused) +
                             (restored ? "; the board is as it was before the load"
                                       : "; the board is in its start state (its configuration could not be restored)");
        }
    }
    if (!before.empty()) std::remove(before.c_str());
    if (loaded.result != 0 && loaded.failure.empty()) {
        loaded.failure = callFailure("the file", loaded.result, Call::Configuration) +
                         (loaded.fromStartState ? ", also from the start state: partly loaded" : "");
    }
    return loaded;
}

// A key's value for display: an enumeration by its symbol.
std::string displayed(const Session& session, const ConfigKey& key, const std::optional<Found>& found) {
    if (!found) return "(missing)";
    if (key.kind == KeyKind::Int) {
        const std::optional<int32_t> value = integerValue(found->text);
        const ParameterInfoNode* node = session.find(key.name, "diff").node;
        if (value) {
            if (auto symbol = symbolOf(node, static_cast<uint32_t>(*value))) return *symbol + " (" + std::to_string(*value) + ")";
        }
    }
    return shown(*found);
}

}  // namespace

void saveOptions(CLI::App& command, Request& r) {
    command.add_option("file", r.file, "Configuration file; its name must contain .mcf")->required();
}

void loadOptions(CLI::App& command, Request& r) {
    command.add_option("file", r.file, "Configuration file")->required();
    command.add_flag("--force", r.force,
                     "Hand the file to the applet even when the check finds it wrong, and leave what the applet "
                     "applied when it refuses the file");
}

void checkOptions(CLI::App& command, Request& r) {
    command.add_option("file", r.file, "Configuration file")->required();
}

void diffOptions(CLI::App& command, Request& r) {
    command.add_option("files", r.arguments, "Two configuration files")->expected(2)->required();
}

int saveConfiguration(Session& session, const Request& request) {
    const int32_t result = Fg_saveConfig(session.handle(), request.file.c_str());
    if (result == FG_ERR_CONFIG_FILE_NOT_CREATED) {
        const std::filesystem::path path(request.file);
        const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
        const std::string why = request.file.find(".mcf") == std::string::npos
                                    ? "the name must contain \".mcf\": the applet writes no other files"
                                : !std::filesystem::is_directory(folder)
                                    ? "there is no folder " + folder.string()
                                    : "the file cannot be created in " + folder.string() + " (permissions?)";
        throw Failure("save " + request.file + ": " + std::to_string(result) + " " + why, result);
    }
    if (result != 0) throw Failure(callFailure("save " + request.file, result, Call::Configuration), result);
    if (!request.quiet && !request.json) std::cout << "saved " << request.file << "\n";
    if (request.json) std::cout << json{{"file", request.file}, {"saved", true}}.dump(2) << std::endl;
    return kExitSuccess;
}

int loadConfiguration(Session& session, const Request& request) {
    const std::string operation = "load " + request.file;
    const std::map<std::string, std::string> before = snapshot(session);
    Check check;
    const Loaded loaded = checkAndLoad(session, request.file, operation, request.force, check);
    const std::map<std::string, std::string> after = snapshot(session);

    json changed = json::array();
    for (const auto& [name, value] : after) {
        const auto old = before.find(name);
        if (old == before.end() || old->second == value) continue;
        changed.push_back(json{{"name", name}, {"before", old->second}, {"after", value}});
        if (!request.json && !request.quiet) std::cout << name << ": " << old->second << " -> " << value << "\n";
    }
    const std::string failure = loaded.failure.empty() ? std::string() : operation + ": " + loaded.failure;
    if (request.json) {
        json out = {{"file", request.file},
                    {"loaded", loaded.result == 0},
                    {"from_start_state", loaded.fromStartState},
                    {"changed", changed},
                    {"warnings", check.warnings}};
        if (!failure.empty()) out["error"] = {{"code", loaded.result}, {"message", failure}};
        std::cout << out.dump(2) << std::endl;
    } else if (!request.quiet && (loaded.result == 0 || !changed.empty())) {
        std::cout << (loaded.result == 0 ? "loaded " : "partly loaded ") << request.file
                  << (loaded.result == 0 && loaded.fromStartState ? " from the start state" : "") << ": "
                  << changed.size() << (changed.size() == 1 ? " parameter" : " parameters") << " changed\n";
    }
    if (!failure.empty()) throw Failure(failure, loaded.result, true);
    return kExitSuccess;
}

void applyConfiguration(Session& session, const std::string& file) {
    const std::string operation = "--config " + file;
    Check check;
    const Loaded loaded = checkAndLoad(session, file, operation, false, check);
    if (!loaded.failure.empty()) throw Failure(operation + ": " + loaded.failure, loaded.result);
    session.console().note("loaded " + file);
}

int checkConfiguration(Session& session, const Request& request) {
    const std::string operation = "check " + request.file;
    const Check check = checkFile(session, request.file, operation);
    if (request.json) {
        json keys = json::array();
        for (size_t i = 0; i < kConfigKeyCount && check.reading.readable; ++i) {
            const std::optional<Found>& found = check.reading.keys[i];
            if (!found) continue;
            json key = {{"key", kConfigKeys[i].name}, {"line", found->line}, {"text", found->text}};
            if (kConfigKeys[i].kind == KeyKind::Int) {
                key["value"] = std::atoi(found->text.c_str());
            } else if (kConfigKeys[i].kind == KeyKind::Double) {
                key["value"] = std::atof(found->text.c_str());
            } else {
                key["value"] = found->text;
            }
            keys.push_back(key);
        }
        std::cout << json{{"file", request.file}, {"loadable", check.errors.empty()}, {"errors", check.errors},
                          {"warnings", check.warnings}, {"keys", keys}}
                         .dump(2)
                  << std::endl;
    }
    for (const std::string& warning : check.warnings) session.console().warning(operation + ": " + warning);
    for (const std::string& error : check.errors) session.console().error(operation + ": " + error);
    if (!check.errors.empty()) {
        throw Failure(operation + ": " + std::to_string(check.errors.size()) +
                          (check.errors.size() == 1 ? " error" : " errors") + ": load refuses the file",
                      0, true);
    }
    if (!request.json && !request.quiet) {
        std::cout << request.file << ": the applet reads every key it needs, every value fits its parameter"
                  << (check.warnings.empty() ? "" : " (" + std::to_string(check.warnings.size()) + " warnings)") << "\n";
    }
    return kExitSuccess;
}

int diffConfigurations(Session& session, const Request& request) {
    const std::string& a = request.arguments.at(0);
    const std::string& b = request.arguments.at(1);
    const AppletReading first = readAsTheApplet(a);
    const AppletReading second = readAsTheApplet(b);
    for (const auto& [name, reading] : {std::pair{a, &first}, std::pair{b, &second}}) {
        if (!reading->readable) {
            throw Failure("diff: " + name + (name.find(".mcf") == std::string::npos ? ": the name lacks \".mcf\""
                                                                                     : ": cannot be read"));
        }
    }
    json out = json::array();
    for (size_t i = 0; i < kConfigKeyCount; ++i) {
        const ConfigKey& key = kConfigKeys[i];
        if (sameValue(key, first.keys[i], second.keys[i])) continue;
        const std::string from = displayed(session, key, first.keys[i]);
        const std::string to = displayed(session, key, second.keys[i]);
        out.push_back(json{{"key", key.name}, {"a", from}, {"b", to}});
        if (!request.json) std::cout << key.name << ": " << from << " -> " << to << "\n";
    }
    if (request.json) {
        std::cout << out.dump(2) << std::endl;
    } else if (out.empty() && !request.quiet) {
        std::cout << "no differences: the applet reads the same values from both\n";
    }
    return kExitSuccess;
}

SavedHeader savedHeader(Session& session) {
    const AppletReading reading = presentReading(session, "info");
    const auto text = [](const std::optional<Found>& found) {
        return found ? latin1ToUtf8(shown(*found).c_str()) : std::string();
    };
    return {text(reading.manufacturer), text(reading.type)};
}

}  // namespace orvanta_tool
