// describe --markdown: the applet's parameter reference for application developers, written from
// what the applet says of itself on a freshly opened board (its description tree, its parameter
// descriptions, its events and Info's named constants), so that it cannot drift from the applet.
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <iostream>
#include <map>
#include <sstream>

#include "commands.h"
#include "orvanta/named_constants.h"
#include "orvanta/runtime.h"

namespace orvanta_tool {

namespace {

constexpr const char* kNone = "—";

// Text in a paragraph or a table cell: the characters that Markdown would read as markup are
// escaped, so that descriptions print as the applet wrote them.
// An underscore inside a word (FG_WIDTH) is no markup and stays as it is.
std::string escaped(const std::string& text) {
    const auto wordCharacter = [&text](size_t i) {
        return i < text.size() && std::isalnum(static_cast<unsigned char>(text[i]));
    };
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool inWord = c == '_' && i > 0 && wordCharacter(i - 1) && wordCharacter(i + 1);
        if (c == '\\' || c == '`' || c == '*' || (c == '_' && !inWord) || c == '[' || c == ']' || c == '<' ||
            c == '>' || c == '|') {
            out += '\\';
        }
        out += c == '\n' ? ' ' : c;
    }
    return out;
}

std::string code(const std::string& text) { return "`" + text + "`"; }

std::string orNone(const std::string& text) { return text.empty() ? kNone : text; }

// The anchor a Markdown renderer gives a heading: lower case, spaces as hyphens, other
// punctuation dropped.
std::string anchorOf(const std::string& heading) {
    std::string anchor;
    for (char c : heading) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || c == '-' || c == '_' || u >= 0x80) {
            anchor += static_cast<char>(std::tolower(u));
        } else if (c == ' ') {
            anchor += '-';
        }
    }
    return anchor;
}

struct Group {
    std::string path;  // "Trigger / Trigger Input / External"
    int depth = 0;
    std::vector<const Parameter*> parameters;
};

// The categories in the tree's order, each with the parameters directly under it.
void collectGroups(const ParameterInfoNode* category, const std::string& parent, int depth,
                   const std::map<int32_t, const Parameter*>& byId, std::vector<Group>& groups) {
    Group group;
    group.path = parent.empty() ? latin1ToUtf8(category->name) : parent + " / " + latin1ToUtf8(category->name);
    group.depth = depth;
    const size_t at = groups.size();
    groups.push_back(group);
    for (int32_t i = 0; i < category->value.category.childCount; ++i) {
        const ParameterInfoNode* child = category->value.category.children[i];
        if (child->type == PARAM_INFO_CATEGORY) {
            collectGroups(child, groups[at].path, depth + 1, byId, groups);
        } else if (const auto found = byId.find(child->id); found != byId.end()) {
            groups[at].parameters.push_back(found->second);
        }
    }
}

// What a freshly opened board holds: writable parameters only, since read-only ones report
// the board's state rather than a setting.
std::string initialValue(const Session& session, const Parameter& parameter, bool& failed) {
    if (!parameter.writable()) return kNone;
    try {
        const Value value = session.read(parameter);
        std::string text = valueText(value, parameter.node);
        const bool named = value.kind == Value::Kind::Unsigned &&
                           symbolOf(parameter.node, static_cast<int64_t>(value.unsignedValue)).has_value();
        if (named) {
            text = code(text) + " (" + std::to_string(value.unsignedValue) + ")";
        } else if (value.kind == Value::Kind::Text) {
            text = text.empty() ? "empty" : code(text);
        } else {
            text = escaped(text);
        }
        return text;
    } catch (const Failure& failure) {
        session.console().error(failure.what());
        failed = true;
        return kNone;
    }
}

void writeParameter(std::ostream& out, const Session& session, const Parameter& parameter, bool& failed) {
    const ParameterInfoNode* node = parameter.node;
    out << "### " << parameter.name << "\n\n";
    const std::string displayName = latin1ToUtf8(node->name);
    const std::string description = descriptionOf(session, parameter.name);
    out << "*" << escaped(displayName) << "*";
    if (!description.empty()) out << " — " << escaped(description);
    out << "\n\n";
    const bool enumeration = node->type == PARAM_INFO_ENUM;
    out << "| id | type | access | range | increment | unit | initial value |\n";
    out << "|---:|---|---|---|---|---|---|\n";
    out << "| " << parameter.id << " | " << typeName(node) << " | " << accessText(node->access) << " | "
        << (enumeration ? "values below" : escaped(orNone(rangeText(node)))) << " | "
        << escaped(orNone(incrementText(node))) << " | " << escaped(orNone(unitOf(node))) << " | "
        << initialValue(session, parameter, failed) << " |\n\n";
    if (!enumeration) return;
    out << "| value | named constant | meaning |\n";
    out << "|---:|---|---|\n";
    for (const Entry& entry : entriesOf(node)) {
        out << "| " << entry.value << " | " << (entry.symbol.empty() ? kNone : code(entry.symbol)) << " | "
            << escaped(entry.name) << " |\n";
    }
    out << "\n";
}

void writeEvents(std::ostream& out, const Session& session) {
    out << "## Events\n\n"
           "An event's mask has the bit of its position set. `Fg_getEventMask` takes the name, "
           "`Fg_getEventName` gives it back; names with the `FG_` prefix are the SDK event names, the "
           "others the design's own.\n\n";
    out << "| bit | mask | name |\n";
    out << "|---:|---|---|\n";
    for (int bit = 0; bit < 64; ++bit) {
        const uint64_t mask = uint64_t{1} << bit;
        const char* name = Fg_getEventName(session.handle(), mask);
        if (name == nullptr) continue;
        char hex[24];
        std::snprintf(hex, sizeof hex, "0x%016" PRIx64, mask);
        out << "| " << bit << " | " << code(hex) << " | " << code(name) << " |\n";
    }
    out << "\n";
}

void writeConstants(std::ostream& out, const Session& session) {
    out << "## Named constants\n\n"
           "The values behind the names that `Info` answers (selector 0x1100); `orvanta set` takes them "
           "as values too.\n\n";
    out << "| name | value |\n";
    out << "|---|---:|\n";
    // Info gives a constant's value by name but cannot list the names: they come from the
    // applet's own list, through the header written from it.
    static constexpr const char* kNames[] = {
#define NAME(name, value) #name,
        ORVANTA_NAMED_CONSTANTS(NAME)
#undef NAME
    };
    for (const char* name : kNames) {
        if (const std::optional<int32_t> value = session.namedConstant(name)) {
            out << "| " << code(name) << " | " << *value << " |\n";
        }
    }
    out << "\n";
}

}  // namespace

int writeReference(Session& session, const Request&) {
    const InfoFunction info = session.info();
    if (info == nullptr) {
        throw Failure("describe --markdown: " + appletLibraryName(session.applet()) +
                      " is not among the loaded libraries, so its Info cannot be asked");
    }
    std::map<int32_t, const Parameter*> byId;
    for (const Parameter& parameter : session.parameters()) {
        if (parameter.node != nullptr) byId.emplace(parameter.id, &parameter);
    }
    std::vector<Group> groups;
    for (const ParameterInfoNode* top : session.topCategories()) collectGroups(top, {}, 0, byId, groups);
    std::vector<const Parameter*> runtimeAnswered;
    for (const Parameter& parameter : session.parameters()) {
        if (parameter.node == nullptr) runtimeAnswered.push_back(&parameter);
    }

    std::ostringstream out;
    bool failed = false;  // a value that could not be read: reported, and the status says so
    const std::string applet = infoText(info, FG_INFO_NAME);
    out << "# " << applet << " parameter reference\n\n"
        << "The SDK parameters, events and named constants of the applet " << applet << " "
        << infoText(info, FG_INFO_VERSION)
        << ", as the applet describes itself on a freshly opened board. Generated by `orvanta describe "
           "--markdown`; do not edit.\n\n"
           "- Parameters are grouped as the applet's description tree groups them.\n"
           "- Access: `R` read only, `RW` readable and writable, `RWC` readable and writable with the "
           "description's third access flag.\n"
           "- Ranges and increments are those right after opening; some follow other parameters' values.\n"
           "- Initial value: what a writable parameter holds right after opening. Read-only parameters "
           "report the board's state.\n\n";
    out << "## Contents\n\n";
    for (const Group& group : groups) {
        const std::string indent(2 * static_cast<size_t>(group.depth), ' ');
        const size_t cut = group.path.rfind(" / ");
        const std::string name = cut == std::string::npos ? group.path : group.path.substr(cut + 3);
        if (group.parameters.empty()) {
            out << indent << "- " << escaped(name) << "\n";
        } else {
            out << indent << "- [" << escaped(name) << "](#" << anchorOf(group.path) << ")\n";
        }
    }
    if (!runtimeAnswered.empty()) out << "- [Answered by the runtime](#answered-by-the-runtime)\n";
    out << "- [Events](#events)\n- [Named constants](#named-constants)\n\n";

    for (const Group& group : groups) {
        if (group.parameters.empty()) continue;
        out << "## " << group.path << "\n\n";
        for (const Parameter* parameter : group.parameters) writeParameter(out, session, *parameter, failed);
    }
    if (!runtimeAnswered.empty()) {
        out << "## Answered by the runtime\n\n"
               "These parameters have no description record: the runtime answers them itself, and they "
               "are read only.\n\n";
        out << "| name | id |\n|---|---:|\n";
        for (const Parameter* parameter : runtimeAnswered) {
            out << "| " << code(parameter->name) << " | " << parameter->id << " |\n";
        }
        out << "\n";
    }
    writeEvents(out, session);
    writeConstants(out, session);

    std::string text = out.str();
    text.pop_back();  // one line end at the end of the file
    setBinary(stdout);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
    return failed ? kExitFailure : kExitSuccess;
}

}  // namespace orvanta_tool
