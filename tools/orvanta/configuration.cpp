// Configuration files: save, and load with a check of the file beforehand and a report of what
// the load changed afterwards. The applet stops a load at the first key it needs and lacks,
// with what it applied before that still in force: the check tells about such a file first.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <set>

#include "commands.h"
#include "orvanta/runtime.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;

namespace {

constexpr const char* kHeaderSection = "[Kamerasektion]";
constexpr const char* kPortSection = "[Port A]";

struct ConfigFile {
    bool readable = false;
    bool headerSection = false;
    bool portSection = false;
    std::map<std::string, std::string> header;                // keys before the port section
    std::vector<std::pair<std::string, std::string>> keys;  // the port section's, in order
    std::vector<std::string> oddLines;
};

ConfigFile readConfigFile(const std::string& path) {
    ConfigFile file;
    std::ifstream in(path, std::ios::binary);
    if (!in) return file;
    file.readable = true;
    std::string line;
    std::string section;
    for (int number = 1; std::getline(in, line); ++number) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[') {
            section = line;
            file.headerSection = file.headerSection || line == kHeaderSection;
            file.portSection = file.portSection || line == kPortSection;
            continue;
        }
        const size_t equals = line.find('=');
        if (equals == std::string::npos || equals == 0 || line.back() != ';') {
            file.oddLines.push_back("line " + std::to_string(number) + " is no KEY=VALUE; line: " + line);
            continue;
        }
        const std::string key = line.substr(0, equals);
        std::string value = line.substr(equals + 1, line.size() - equals - 2);
        if (value.size() >= 2 && value.front() == '\'' && value.back() == '\'') {
            value = value.substr(1, value.size() - 2);
        }
        if (section == kPortSection) {
            file.keys.emplace_back(key, value);
        } else if (section == kHeaderSection) {
            file.header.emplace(key, value);
        }
    }
    return file;
}

// A configuration the applet saves now, read back; throws Failure with `operation` at its head.
ConfigFile freshlySaved(Session& session, const std::string& operation) {
    const std::string path = temporaryPath(".mcf");
    const int32_t result = Fg_saveConfig(session.handle(), path.c_str());
    ConfigFile file = readConfigFile(path);
    std::remove(path.c_str());
    if (result != 0) {
        throw Failure(callFailure(operation + ": saving a configuration to compare with", result, Call::Configuration),
                      result);
    }
    return file;
}

struct Check {
    std::vector<std::string> errors;    // the applet would refuse the file before applying anything
    std::vector<std::string> warnings;  // it would apply part of it, or ignore part of it
};

Check checkFile(Session& session, const std::string& path, const std::string& operation) {
    Check check;
    if (path.find(".mcf") == std::string::npos) {
        check.errors.push_back("the name must contain \".mcf\": the applet reads no other files");
        return check;
    }
    const ConfigFile file = readConfigFile(path);
    if (!file.readable) {
        check.errors.push_back("cannot be read");
        return check;
    }
    if (!file.headerSection) {
        check.errors.push_back(std::string("no ") + kHeaderSection + " section: not a configuration file");
    }
    for (const char* key : {"Hersteller", "Typ", "AktivePort"}) {
        if (file.header.count(key) == 0) check.errors.push_back(std::string("the header lacks ") + key);
    }
    const auto type = file.header.find("Typ");
    if (type != file.header.end() && type->second != session.applet()) {
        check.errors.push_back("Typ='" + type->second + "' names another applet than " + session.applet());
    }
    if (!file.portSection) check.errors.push_back(std::string("no ") + kPortSection + " section");
    if (!check.errors.empty()) return check;

    check.warnings = file.oddLines;
    std::set<std::string> present;
    for (const auto& [key, value] : file.keys) {
        present.insert(key);
        if (Fg_getParameterIdByName(session.handle(), key.c_str()) <= 0) {
            check.warnings.push_back(key + " is no parameter of " + session.applet() + ": the applet ignores it");
        }
    }
    for (const auto& [key, value] : freshlySaved(session, operation).keys) {
        if (present.count(key) == 0) {
            check.warnings.push_back(key + " is missing: the applet stops loading where it needs it, with the "
                                           "keys before it applied");
        }
    }
    return check;
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

// Checks the file and loads it; answers the applet's result. Failures of the check are thrown.
int32_t checkAndLoad(Session& session, const std::string& path, const std::string& operation,
                     std::vector<std::string>& warnings) {
    const Check check = checkFile(session, path, operation);
    if (!check.errors.empty()) {
        for (size_t i = 0; i + 1 < check.errors.size(); ++i) {
            session.console().error(operation + ": " + check.errors[i]);
        }
        throw Failure(operation + ": " + check.errors.back());
    }
    for (const std::string& warning : check.warnings) session.console().warning(operation + ": " + warning);
    warnings = check.warnings;
    return Fg_loadConfig(session.handle(), path.c_str());
}

}  // namespace

int saveConfiguration(Session& session, const Request& request) {
    const int32_t result = Fg_saveConfig(session.handle(), request.file.c_str());
    if (result != 0) throw Failure(callFailure("save " + request.file, result, Call::Configuration), result);
    if (!request.quiet) std::cout << "saved " << request.file << "\n";
    return kExitSuccess;
}

int loadConfiguration(Session& session, const Request& request) {
    const std::string operation = "load " + request.file;
    const std::map<std::string, std::string> before = snapshot(session);
    std::vector<std::string> warnings;
    const int32_t result = checkAndLoad(session, request.file, operation, warnings);
    const std::map<std::string, std::string> after = snapshot(session);

    json changed = json::array();
    for (const auto& [name, value] : after) {
        const std::string& old = before.at(name);
        if (old == value) continue;
        changed.push_back(json{{"name", name}, {"before", old}, {"after", value}});
        if (!request.json && !request.quiet) std::cout << name << ": " << old << " -> " << value << "\n";
    }
    if (request.json) {
        json out = {{"file", request.file}, {"loaded", result == 0}, {"changed", changed}, {"warnings", warnings}};
        if (result != 0) {
            out["error"] = {{"code", result}, {"message", callFailure(operation, result, Call::Configuration)}};
        }
        std::cout << out.dump(2) << std::endl;
    } else if (!request.quiet) {
        std::cout << (result == 0 ? "loaded " : "partly loaded ") << request.file << ": " << changed.size()
                  << (changed.size() == 1 ? " parameter" : " parameters") << " changed\n";
    }
    if (result != 0) throw Failure(callFailure(operation, result, Call::Configuration), result);
    return kExitSuccess;
}

void applyConfiguration(Session& session, const std::string& file) {
    const std::string operation = "--config " + file;
    std::vector<std::string> warnings;
    const int32_t result = checkAndLoad(session, file, operation, warnings);
    if (result != 0) throw Failure(callFailure(operation, result, Call::Configuration), result);
    session.console().note("loaded " + file);
}

SavedHeader savedHeader(Session& session) {
    const ConfigFile file = freshlySaved(session, "info");
    const auto text = [&](const char* key) {
        const auto found = file.header.find(key);
        return found != file.header.end() ? latin1ToUtf8(found->second.c_str()) : std::string();
    };
    return {text("Hersteller"), text("Typ")};
}

}  // namespace orvanta_tool
