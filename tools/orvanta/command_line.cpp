// The command line's definition: what each command takes, and its help texts.
#include "command_line.h"

#include "image_files.h"

namespace orvanta_tool {

namespace {

constexpr const char* kStatusFooter =
    "Exit status: 0 success, 1 an operation failed, 2 usage error, 3 the applet could not be opened.";

void globalOptions(CLI::App& app, Request& r, bool shell) {
    if (!shell) {
        app.add_option("-b,--board", r.board, "Board index (default 0)");
        app.add_option("--applet", r.applet, "Applet to open (default Orvanta)");
    }
    app.add_option("--config", r.config, "Load this .mcf configuration before the command");
    app.add_option("--set", r.sets, "NAME=VALUE to set before the command; repeatable, applied in order")
        ->expected(1)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("--json", r.json, "Machine-readable output (info, list, get, set, describe, events, load, grab)");
    app.add_flag("-q,--quiet", r.quiet, "Only values and errors: no confirmations, warnings or progress");
    app.add_flag("-v,--verbose", r.verbose, "Report each runtime call on standard error");
}

CLI::App* command(CLI::App& app, Request& r, const char* name, const char* description) {
    CLI::App* sub = app.add_subcommand(name, description);
    sub->callback([&r, name] { r.command = name; });
    sub->footer(kStatusFooter);
    return sub;
}

}  // namespace

std::unique_ptr<CLI::App> commandLine(Request& r, bool shell) {
    auto app = std::make_unique<CLI::App>("Looks at and changes the applet's parameters, saves and loads its "
                                          "configuration and grabs frames, on an opened board.",
                                          shell ? "" : "orvanta");
    globalOptions(*app, r, shell);
    app->require_subcommand(1);
    app->fallthrough();
    app->footer(kStatusFooter);

    command(*app, r, "info", "Name, version, description, class, board type, manufacturer, type name and "
                             "parameter count of the applet");

    CLI::App* list = command(*app, r, "list", "Every parameter: index, id, name, type, access, value and unit");
    list->add_option("glob", r.glob, "Only names matching this pattern (* and ?, any case)");
    list->add_flag("--tree", r.tree, "Group the parameters under the categories of the description");

    CLI::App* get = command(*app, r, "get", "Print parameters' values as NAME=VALUE");
    get->add_option("parameters", r.arguments, "Names or decimal ids")->required();

    CLI::App* set = command(*app, r, "set",
                            "Set parameters in order; VALUE is a number (decimal, 0x hex, double), a text, an entry of "
                            "the parameter's enumeration (FG_GRAY10) or a named constant of the applet (FG_YES)");
    set->add_option("assignments", r.arguments, "NAME=VALUE")->required();

    CLI::App* describe = command(*app, r, "describe",
                                 "Type, access, range and increment, unit, entries and description of parameters");
    describe->add_option("parameters", r.arguments, "Names or decimal ids (every parameter with --markdown)");
    describe->add_flag("--markdown", r.markdown,
                       "The parameter reference as Markdown: every parameter grouped as the description groups "
                       "them, with its initial value, then the events and the named constants");

    CLI::App* xml = command(*app, r, "xml", "The applet's register description (XML)");
    xml->add_option("-o,--output", r.file, "Write it to this file instead of standard output");

    CLI::App* save = command(*app, r, "save", "Save the configuration (the name must contain .mcf)");
    save->add_option("file", r.file, "Configuration file")->required();

    CLI::App* load = command(*app, r, "load", "Check a configuration file, load it and show what it changed");
    load->add_option("file", r.file, "Configuration file")->required();

    command(*app, r, "events", "The applet's events: bit, mask and name");

    CLI::App* grab = command(*app, r, "grab",
                             "Acquire frames into the runtime's frame buffers and write them as PGM, PNG or raw "
                             "files");
    grab->add_option("-n,--frames", r.grab.count, "Number of frames (default 1)")->check(CLI::PositiveNumber);
    grab->add_option("-o,--output", r.grab.pattern,
                     "File name pattern with the picture number as %d (default frame-%04d.pgm); .pgm and .png "
                     "write 8- or 16-bit grey images, any other ending the raw bytes");
    CLI::Option* ring = grab->add_flag("--ring", r.grab.ring, "Ring mode: buffers are overwritten in turn");
    CLI::Option* blocking =
        grab->add_flag("--blocking", r.grab.blocking, "Blocking mode (the default): a buffer stays the tool's until "
                                                      "it is written; frames without a free buffer are lost");
    ring->excludes(blocking);
    grab->add_option("--buffers", r.grab.buffers, "Number of frame buffers (default 4)")->check(CLI::PositiveNumber);
    grab->add_option("--timeout", r.grab.timeoutSeconds, "Seconds to wait for each frame (default 10)")
        ->check(CLI::PositiveNumber);
    grab->add_option("--trigger", r.grab.trigger,
                     "Set the area trigger mode first; software also sends one trigger per frame")
        ->check(CLI::IsMember({"software", "generator", "external"}));

    if (!shell) {
        CLI::App* view = command(*app, r, "view",
                                 "Serve the board live to a browser: the parameter tree, frames, events and the "
                                 "configuration, until Ctrl-C");
        view->add_option("--port", r.view.port, "TCP port (default 8080; 0 picks a free one)");
        view->add_option("--bind", r.view.bind,
                         "Address to listen on (default 127.0.0.1); any other than a loopback address needs the "
                         "access token on every request");
        view->add_option("--token", r.view.token,
                         "Access token to ask for (default: none on a loopback address, else one generated and "
                         "printed with the address)");
        view->add_option("--clients", r.view.clients, "Viewers served at once (default 8)")->check(CLI::Range(1, 64));
        command(*app, r, "shell",
                "Read commands (as above, one per line, without -b and --applet) from standard input on one open "
                "board; exits 0 when every line succeeded, else 1");
    }
    return app;
}

std::pair<std::string, std::string> splitAssignment(const std::string& assignment) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError("'" + assignment + "' is not NAME=VALUE");
    }
    return {assignment.substr(0, equals), assignment.substr(equals + 1)};
}

void checkRequest(const Request& r) {
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
        const FramePattern pattern = FramePattern::parse(r.grab.pattern);
        if (!pattern.numbered() && r.grab.count > 1) {
            throw UsageError("the file pattern '" + r.grab.pattern + "' has no %d for the picture number");
        }
    }
}

}  // namespace orvanta_tool
