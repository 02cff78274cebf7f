// The command line's definition: the global options, each command of the table with its
// options, the help texts, and the checks the parser cannot make.
#include "command_line.h"

#include <algorithm>
#include <cmath>

#include "commands.h"
#include "image_files.h"
#include "values.h"

namespace orvanta_tool {

namespace {

constexpr const char* kStatusFooter =
    "Exit status: 0 success, 1 an operation failed, 2 usage error, 3 the applet could not be opened.";

void globalOptions(CLI::App& app, Request& r, bool shell) {
    if (!shell) {
        app.add_option("-b,--board", r.board, "Board index (default 0)")->type_name("N");
        app.add_option("--applet", r.applet, "Applet to open (default Orvanta), its name without .so or .dll")
            ->type_name("NAME");
    }
    app.add_option("--config", r.config, "Load this .mcf configuration before the command")->type_name("FILE.mcf");
    app.add_option("--set", r.sets, "Set a parameter before the command; repeatable, applied in order")
        ->type_name("NAME=VALUE")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--json", r.json, "Machine-readable output; every failure too, as a JSON object");
    app.add_flag("-q,--quiet", r.quiet, "Only values and errors: no confirmations, warnings or progress");
    app.add_flag("-v,--verbose", r.verbose, "Report each runtime call on standard error");
}

// The global options as a command's help lists them: a command's own help would leave them out.
std::string globalOptionsText(const CLI::App& app) {
    std::string text = "Global options (before or after the command):\n";
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_name() == "--help" || option->get_name() == "--version") continue;
        std::string name = option->get_name(false, true);
        if (option->get_items_expected_min() > 0) name += " " + option->get_type_name();
        text += "  " + name + std::string(name.size() < 30 ? 30 - name.size() : 1, ' ') + option->get_description() +
                "\n";
    }
    return text + "\n" + kStatusFooter;
}

std::string commandNames(const CLI::App& app) {
    std::string names;
    for (const CLI::App* command : app.get_subcommands({})) names += (names.empty() ? "" : ", ") + command->get_name();
    return names;
}

// The position of the first word from `from` on that is no option or option value of `app`:
// where a command (or a command's action) must stand.
std::optional<size_t> commandWord(const CLI::App& app, const std::vector<std::string>& arguments, size_t from) {
    for (size_t i = from; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--") return std::nullopt;
        if (argument.size() < 2 || argument[0] != '-') return i;
        const bool attached = argument.find('=') != std::string::npos || (argument[1] != '-' && argument.size() > 2);
        // The command's own options and, falling through, the global ones.
        const CLI::Option* option = nullptr;
        for (const CLI::App* level = &app; level != nullptr && option == nullptr; level = level->get_parent()) {
            option = level->get_option_no_throw(argument.substr(0, argument.find('=')));
        }
        if (option != nullptr && option->get_items_expected_min() > 0 && !attached) ++i;
    }
    return std::nullopt;
}

bool asksForHelp(const std::vector<std::string>& arguments) {
    return std::any_of(arguments.begin(), arguments.end(),
                       [](const std::string& a) { return a == "-h" || a == "--help" || a == "--version"; });
}

// A whole number of at least 1 from an option's text; `what` heads the complaint.
int64_t count(const std::string& text, const std::string& what, const std::string& hint = {}) {
    const std::optional<Number> number = parseNumber(text);
    if (!number || !number->integer || number->negative || number->overflow || number->magnitude < 1 ||
        number->magnitude > uint64_t{1} << 40) {
        throw UsageError(what + " takes a whole number of at least 1, not '" + text + "'" + hint);
    }
    return static_cast<int64_t>(number->magnitude);
}

// A number above 0, fractions allowed; `kind` says what it counts.
double positive(const std::string& text, const std::string& what, const std::string& kind) {
    const std::optional<Number> number = parseNumber(text);
    if (!number || number->negative || !std::isfinite(number->real) || number->real <= 0 || number->real > 1e6) {
        throw UsageError(what + " takes " + kind + " above 0 (fractions allowed, e.g. 0.5), not '" + text + "'");
    }
    return number->real;
}

}  // namespace

std::unique_ptr<CLI::App> commandLine(Request& r, bool shell) {
    auto app = std::make_unique<CLI::App>("Looks at and changes the applet's parameters, saves and loads its "
                                          "configuration and grabs frames, on an opened board.",
                                          shell ? "" : "orvanta");
    globalOptions(*app, r, shell);
    if (!shell) app->set_version_flag("--version", std::string("orvanta ") + ORVANTA_TOOL_VERSION);
    app->require_subcommand(1);
    app->fallthrough();
    app->footer(kStatusFooter);
    const std::string footer = globalOptionsText(*app);
    for (const Command& command : commandTable()) {
        if (shell && !command.inShell) continue;
        CLI::App* sub = app->add_subcommand(command.name, command.summary);
        const char* name = command.name;
        sub->callback([&r, name] { r.command = name; });
        sub->footer(footer);
        if (command.options != nullptr) command.options(*sub, r);
    }
    return app;
}

void parseCommandLine(CLI::App& app, std::vector<std::string> arguments) {
    if (!asksForHelp(arguments)) {
        // The command, and the action of a command that has actions (sim clock).
        const CLI::App* level = &app;
        std::string heading;
        for (size_t from = 0; level != nullptr && !level->get_subcommands({}).empty();) {
            const std::optional<size_t> word = commandWord(*level, arguments, from);
            if (!word) throw UsageError((heading.empty() ? "name a command: " : heading + "name an action: ") + commandNames(*level));
            const CLI::App* next = nullptr;
            for (const CLI::App* command : level->get_subcommands({})) {
                if (command->get_name() == arguments[*word]) next = command;
            }
            if (next == nullptr) {
                throw UsageError(heading + "unknown " + (heading.empty() ? "command" : "action") + " '" + arguments[*word] +
                                 "'; the " + (heading.empty() ? "commands" : "actions") + " are " + commandNames(*level));
            }
            heading += next->get_name() + ": ";
            level = next;
            from = *word + 1;
        }
    }
    std::reverse(arguments.begin(), arguments.end());
    app.parse(arguments);
}

std::pair<std::string, std::string> splitAssignment(const std::string& assignment) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError("'" + assignment + "' is not NAME=VALUE");
    }
    return {assignment.substr(0, equals), assignment.substr(equals + 1)};
}

void checkRequest(Request& r) {
    for (const std::string& assignment : r.sets) splitAssignment(assignment);
    if (r.command == "set") {
        for (const std::string& assignment : r.arguments) splitAssignment(assignment);
    }
    if (r.command == "describe") {
        if (r.markdown && !r.arguments.empty()) throw UsageError("describe --markdown takes no parameter names");
        if (r.markdown && r.json) throw UsageError("describe takes --markdown or --json, not both");
        if (!r.markdown && r.arguments.empty()) throw UsageError("describe: name at least one parameter");
    }
    if (r.command == "grab") {
        GrabOptions& g = r.grab;
        if (!g.count.empty()) g.frames = count(g.count, "grab -n", " (leave -n out to grab until Ctrl-C)");
        g.bufferCount = count(g.buffers, "grab --buffers");
        g.timeoutSeconds = positive(g.timeout, "grab --timeout", "a number of seconds");
        if (!g.rate.empty()) g.triggerRate = positive(g.rate, "grab --rate", "a number of triggers per second");
        const FramePattern pattern = FramePattern::parse(g.pattern);
        if (!pattern.numbered() && g.frames.value_or(2) > 1) {
            throw UsageError("the file pattern '" + g.pattern + "' has no %d for the picture number");
        }
    }
    if (r.command == "events") {
        EventOptions& e = r.events;
        if (!e.watch && (!e.names.empty() || !e.count.empty() || !e.timeout.empty())) {
            throw UsageError("events: event names, -n and --timeout go with --watch");
        }
        if (!e.count.empty()) e.events = count(e.count, "events -n");
        if (!e.timeout.empty()) e.seconds = positive(e.timeout, "events --timeout", "a number of seconds");
    }
    if (r.command == "diff" && r.arguments.size() != 2) throw UsageError("diff takes two configuration files");
}

}  // namespace orvanta_tool
