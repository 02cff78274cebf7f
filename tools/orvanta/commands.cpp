// The commands that look at and change parameters: info, list, get, set, describe, xml.
#include "commands.h"

#include <cinttypes>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>

#include "orvanta/runtime.h"
#include "orvanta/type_codes.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;

namespace {

void printJson(const json& value) { std::cout << value.dump(2) << std::endl; }

std::string formatted(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));
std::string formatted(const char* format, ...) {
    char buffer[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

// A parameter's value, or why it could not be read.
struct Reading {
    std::optional<Value> value;
    std::string failure;
    int32_t code = 0;
};

Reading readParameter(const Session& session, const Parameter& parameter) {
    Reading reading;
    if (!parameter.readable()) return reading;
    try {
        reading.value = session.read(parameter);
    } catch (const Failure& failure) {
        reading.failure = failure.what();
        reading.code = failure.code();
    }
    return reading;
}

json parameterJson(const Parameter& parameter, const Reading& reading) {
    json entry = {{"name", parameter.name}, {"id", parameter.id}};
    if (parameter.index >= 0) entry["index"] = parameter.index;
    entry["type"] = typeName(parameter.node);
    if (parameter.node != nullptr) entry["access"] = accessText(parameter.node->access);
    if (reading.value) {
        addValueJson(entry, *reading.value, parameter.node);
    } else if (!reading.failure.empty()) {
        entry["error"] = {{"code", reading.code}, {"message", reading.failure}};
    }
    const std::string unit = unitOf(parameter.node);
    if (!unit.empty()) entry["unit"] = unit;
    if (!parameter.category.empty()) entry["category"] = parameter.category;
    return entry;
}

std::string listedValue(const Parameter& parameter, const Reading& reading) {
    if (!reading.failure.empty()) return "(" + reading.failure + ")";
    if (!reading.value) return "(not readable)";
    std::string text = displayText(*reading.value, parameter.node);
    const std::string unit = unitOf(parameter.node);
    if (!unit.empty() && hasValue(*reading.value)) text += " " + unit;
    return text;
}

std::string listedLine(const Parameter& parameter, const Reading& reading, const std::string& indent) {
    const std::string access = parameter.node != nullptr ? accessText(parameter.node->access) : "R";
    return indent + formatted("%4" PRId32 " %7" PRId32 "  %-46s %-8s %-4s ", parameter.index, parameter.id,
                           parameter.name.c_str(), typeName(parameter.node).c_str(), access.c_str()) +
           listedValue(parameter, reading);
}

// Whether a record is, or holds, one of the chosen parameters.
bool holdsChosen(const ParameterInfoNode* node, const std::map<int32_t, const Parameter*>& chosen) {
    if (node->type != PARAM_INFO_CATEGORY) return chosen.count(node->id) != 0;
    for (int32_t i = 0; i < node->value.category.childCount; ++i) {
        if (holdsChosen(node->value.category.children[i], chosen)) return true;
    }
    return false;
}

// A category with the chosen parameters under it, printed as text on the way unless `asJson`;
// null when none is under it. A category's own parameters come before its sub-categories, so
// that none seems to belong to the sub-category printed last. Printed parameters leave `chosen`,
// so that the rest is known.
json treeOf(const ParameterInfoNode* node, int depth, std::map<int32_t, const Parameter*>& chosen,
            const std::map<int32_t, Reading>& readings, bool asJson) {
    const std::string indent(2 * static_cast<size_t>(depth), ' ');
    if (node->type != PARAM_INFO_CATEGORY) {
        const auto found = chosen.find(node->id);
        if (found == chosen.end()) return nullptr;
        const Parameter& p = *found->second;
        chosen.erase(found);
        if (!asJson) std::cout << listedLine(p, readings.at(p.index), indent) << "\n";
        return parameterJson(p, readings.at(p.index));
    }
    if (!holdsChosen(node, chosen)) return nullptr;
    const std::string name = latin1ToUtf8(node->name);
    if (!asJson) std::cout << indent << name << "\n";
    json children = json::array();
    for (const bool categories : {false, true}) {
        for (int32_t i = 0; i < node->value.category.childCount; ++i) {
            const ParameterInfoNode* child = node->value.category.children[i];
            if ((child->type == PARAM_INFO_CATEGORY) != categories) continue;
            json entry = treeOf(child, depth + 1, chosen, readings, asJson);
            if (!entry.is_null()) children.push_back(entry);
        }
    }
    return json{{"category", name}, {"children", children}};
}

}  // namespace

std::string infoText(InfoFunction info, int32_t selector) {
    uint64_t address = 0;
    if (info(selector, 0, 0, nullptr, &address) != 0 || address == 0) return {};
    return latin1ToUtf8(reinterpret_cast<const char*>(static_cast<uintptr_t>(address)));
}

std::string descriptionOf(const Session& session, const std::string& name) {
    // The query reads the name from the value and puts the address of the answer over it.
    std::vector<char> cell(std::max<size_t>(name.size() + 1, sizeof(char*)), '\0');
    std::memcpy(cell.data(), name.c_str(), name.size());
    if (Fg_getParameterWithType(session.handle(), FG_PARAM_DESCR, cell.data(), 0, vexo::kTypeAllocatedText) != 0) {
        return {};
    }
    char* text = nullptr;
    std::memcpy(&text, cell.data(), sizeof text);
    if (text == nullptr) return {};
    std::string description = latin1ToUtf8(text);
    Fg_freeParameterStringWithType(session.handle(), FG_PARAM_DESCR, text, 0, vexo::kTypeAllocatedText);
    return description == "-" ? std::string() : description;
}

int showInfo(Session& session, const Request& request) {
    const InfoFunction info = session.info();
    if (info == nullptr) {
        throw Failure("info: " + appletLibraryName(session.applet()) +
                      " is not among the loaded libraries, so its Info cannot be asked");
    }
    const SavedHeader header = savedHeader(session);
    const int32_t boardType = info(FG_INFO_BOARD_TYPE, 0, 0, nullptr, nullptr);
    const int32_t count = static_cast<int32_t>(session.parameters().size());
    const std::pair<const char*, std::string> rows[] = {
        {"name", infoText(info, FG_INFO_NAME)},
        {"version", infoText(info, FG_INFO_VERSION)},
        {"build", infoText(info, FG_INFO_VERSION_WITH_STAMP)},
        {"description", infoText(info, FG_INFO_DESCRIPTION)},
        {"class", infoText(info, FG_INFO_CLASS)},
        {"category", infoText(info, FG_INFO_CATEGORY)},
        {"manufacturer", header.manufacturer},
        {"type_name", header.typeName},
    };
    if (request.json) {
        json out;
        for (const auto& [key, text] : rows) out[key] = text;
        out["board_type"] = boardType;
        out["parameters"] = count;
        printJson(out);
        return kExitSuccess;
    }
    for (const auto& [key, text] : rows) {
        std::string label = key;
        if (label == "type_name") label = "type name";
        std::cout << formatted("%-13s", label.c_str()) << text << "\n";
    }
    std::cout << formatted("%-13s%" PRId32 " (0x%" PRIX32 ")\n", "board type", boardType,
                           static_cast<uint32_t>(boardType));
    std::cout << formatted("%-13s%" PRId32 "\n", "parameters", count);
    return kExitSuccess;
}

void listOptions(CLI::App& command, Request& r) {
    command.add_option("glob", r.glob, "Only names matching this pattern (* and ?, any case)");
    command.add_flag("--tree", r.tree, "Group the parameters under the categories of the description");
}

int listParameters(Session& session, const Request& request) {
    int status = kExitSuccess;
    std::map<int32_t, Reading> readings;  // by index
    std::vector<const Parameter*> chosen;
    for (const Parameter& parameter : session.parameters()) {
        if (!request.glob.empty() && !globMatches(request.glob, parameter.name)) continue;
        chosen.push_back(&parameter);
    }
    if (chosen.empty()) {
        throw Failure("list: no parameter name matches '" + request.glob + "' (any case; * stands for any text, ? for "
                      "one character, e.g. 'FG_TRIGGER*'); `orvanta list` shows all " +
                      std::to_string(session.parameters().size()));
    }
    for (const Parameter* chosenParameter : chosen) {
        const Parameter& parameter = *chosenParameter;
        Reading reading = readParameter(session, parameter);
        if (!reading.failure.empty()) {
            session.console().error(reading.failure);
            status = kExitFailure;
        }
        readings[parameter.index] = reading;
    }
    if (!request.tree) {
        if (request.json) {
            json out = json::array();
            for (const Parameter* p : chosen) out.push_back(parameterJson(*p, readings.at(p->index)));
            printJson(out);
        } else {
            for (const Parameter* p : chosen) std::cout << listedLine(*p, readings.at(p->index), "") << "\n";
        }
        return status;
    }

    // The tree: categories in the order the applet made them, each with its parameters.
    std::map<int32_t, const Parameter*> byId;
    for (const Parameter* p : chosen) byId.emplace(p->id, p);
    json out = json::array();
    for (const ParameterInfoNode* top : session.topCategories()) {
        json category = treeOf(top, 0, byId, readings, request.json);
        if (!category.is_null()) out.push_back(category);
    }
    // Parameters without a record (the runtime answers them).
    json rest = json::array();
    for (const Parameter* p : chosen) {
        if (byId.count(p->id) == 0) continue;
        if (!request.json) {
            if (rest.empty()) std::cout << "(no category)\n";
            std::cout << listedLine(*p, readings.at(p->index), "  ") << "\n";
        }
        rest.push_back(parameterJson(*p, readings.at(p->index)));
    }
    if (!rest.empty()) out.push_back(json{{"category", nullptr}, {"children", rest}});
    if (request.json) printJson(out);
    return status;
}

namespace {

// get and set print alike: NAME=VALUE, or the bare value with -q.
void printReading(const Request& request, const Parameter& parameter, const Value& value) {
    const std::string text = valueText(value, parameter.node);
    if (request.quiet) {
        std::cout << text << "\n";
    } else {
        std::cout << parameter.name << "=" << text << "\n";
    }
}

}  // namespace

void getOptions(CLI::App& command, Request& r) {
    command.add_option("parameters", r.arguments, "Names (any case) or decimal ids")->required();
}

int getParameters(Session& session, const Request& request) {
    int status = kExitSuccess;
    json out = json::array();
    for (const std::string& name : request.arguments) {
        try {
            const Parameter parameter = session.find(name, "get");
            const Value value = session.read(parameter);
            if (request.json) {
                Reading reading;
                reading.value = value;
                out.push_back(parameterJson(parameter, reading));
            } else {
                printReading(request, parameter, value);
            }
        } catch (const Failure& failure) {
            session.console().error(failure.what());
            out.push_back(json{{"name", name}, {"error", {{"code", failure.code()}, {"message", failure.what()}}}});
            status = kExitFailure;
        }
    }
    if (request.json) printJson(out);
    return status;
}

void setOptions(CLI::App& command, Request& r) {
    command.add_option("assignments", r.arguments, "NAME=VALUE; names and values in any case")->required();
}

int setParameters(Session& session, const Request& request) {
    json out = json::array();
    int status = kExitSuccess;
    // In order, and no further after a refusal: later values may rely on earlier ones.
    for (const std::string& assignment : request.arguments) {
        const auto [name, text] = splitAssignment(assignment);
        try {
            const Parameter parameter = session.find(name, "set");
            session.write(parameter, text);
            Reading reading = readParameter(session, parameter);
            if (request.json) {
                out.push_back(parameterJson(parameter, reading));
            } else if (reading.value) {
                // What the applet made of the value: the user sees its answer, not the input.
                if (!request.quiet) printReading(request, parameter, *reading.value);
            } else if (!reading.failure.empty()) {
                session.console().error(reading.failure);
                status = kExitFailure;
            }
        } catch (const Failure& failure) {
            session.console().error(failure.what());
            out.push_back(json{{"name", name}, {"error", {{"code", failure.code()}, {"message", failure.what()}}}});
            status = kExitFailure;
            break;
        }
    }
    if (request.json) printJson(out);
    return status;
}

void describeOptions(CLI::App& command, Request& r) {
    command.add_option("parameters", r.arguments, "Names (any case) or decimal ids (every parameter with --markdown)");
    command.add_flag("--markdown", r.markdown,
                     "The parameter reference as Markdown: every parameter grouped as the description groups them, "
                     "with its initial value, then the events and the named constants");
}

int describeParameters(Session& session, const Request& request) {
    int status = kExitSuccess;
    json out = json::array();
    for (const std::string& name : request.arguments) {
        Parameter parameter;
        try {
            parameter = session.find(name, "describe");
        } catch (const Failure& failure) {
            session.console().error(failure.what());
            out.push_back(json{{"name", name}, {"error", {{"code", failure.code()}, {"message", failure.what()}}}});
            status = kExitFailure;
            continue;
        }
        const ParameterInfoNode* node = parameter.node;
        const Reading reading = readParameter(session, parameter);
        if (!reading.failure.empty()) {
            session.console().error(reading.failure);
            status = kExitFailure;
        }
        json entry = parameterJson(parameter, reading);
        if (node != nullptr) {
            entry["display_name"] = latin1ToUtf8(node->name);
            if (!rangeText(node).empty() && node->type != PARAM_INFO_ENUM) {
                entry["range"] = rangeText(node);
                entry["increment"] = incrementText(node);
            }
            json entries = json::array();
            for (const Entry& e : entriesOf(node)) {
                entries.push_back(json{{"symbol", e.symbol}, {"value", e.value}, {"name", e.name}});
            }
            if (node->type == PARAM_INFO_ENUM) entry["entries"] = entries;
        }
        entry["description"] = descriptionOf(session, parameter.name);
        if (request.json) {
            out.push_back(entry);
            continue;
        }
        std::cout << parameter.name << " (id " << parameter.id;
        if (parameter.index >= 0) std::cout << ", index " << parameter.index;
        std::cout << ")\n";
        const auto row = [](const char* label, const std::string& text) {
            if (!text.empty()) std::cout << formatted("  %-13s", label) << text << "\n";
        };
        if (node != nullptr) {
            row("name", entry["display_name"].get<std::string>());
            row("category", parameter.category);
        }
        row("type", typeName(node));
        if (node != nullptr) row("access", accessText(node->access));
        if (entry.contains("range")) row("range", entry["range"].get<std::string>());
        if (entry.contains("increment")) row("increment", entry["increment"].get<std::string>());
        row("unit", unitOf(node));
        row("value", listedValue(parameter, reading));
        row("description", entry["description"].get<std::string>());
        if (entry.contains("entries")) {
            std::cout << "  entries\n";
            for (const Entry& e : entriesOf(node)) {
                std::cout << formatted("    %-28s %6" PRId32 "  ", e.symbol.c_str(), e.value) << e.name << "\n";
            }
        }
    }
    if (request.json) printJson(out);
    return status;
}

void xmlOptions(CLI::App& command, Request& r) {
    command.add_option("-o,--output", r.file, "Write it to this file instead of standard output");
}

int writeXml(Session& session, const Request& request) {
    size_t size = 0;
    int32_t result = Fg_getParameterInfoXML(session.handle(), 0, nullptr, &size);
    std::vector<char> text(size + 1, '\0');
    if (result == 0) result = Fg_getParameterInfoXML(session.handle(), 0, text.data(), &size);
    if (result != 0) throw Failure(callFailure("xml", result, Call::Description), result);
    const size_t length = std::strlen(text.data());
    if (request.file.empty()) {
        setBinary(stdout);
        std::fwrite(text.data(), 1, length, stdout);
        std::fflush(stdout);
        return kExitSuccess;
    }
    std::ofstream file(request.file, std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(length));
    file.close();
    if (!file) throw Failure("xml: cannot write " + request.file);
    if (!request.quiet) std::cout << "wrote " << request.file << " (" << length << " bytes)\n";
    return kExitSuccess;
}

}  // namespace orvanta_tool
