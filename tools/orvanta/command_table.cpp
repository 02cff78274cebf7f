// The command table: every command of the tool, in the order `orvanta --help` lists them.
#include "commands.h"
#include "view/view.h"

namespace orvanta_tool {

namespace {

int describe(Session& session, const Request& request) {
    return request.markdown ? writeReference(session, request) : describeParameters(session, request);
}

}  // namespace

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"info", "Name, version, description, class, board type, manufacturer, type name and parameter count "
                 "of the applet",
         nullptr, showInfo, true},
        {"list", "Every parameter: index, id, name, type, access, value and unit", listOptions, listParameters, true},
        {"get", "Print parameters' values as NAME=VALUE", getOptions, getParameters, true},
        {"set", "Set parameters in order; VALUE is a number (decimal, 0x hex, double), a text, an entry of the "
                "parameter's enumeration (FG_GRAY10) or a named constant of the applet (FG_YES)",
         setOptions, setParameters, true},
        {"describe", "Type, access, range and increment, unit, entries and description of parameters",
         describeOptions, describe, true},
        {"xml", "The applet's register description (XML)", xmlOptions, writeXml, true},
        {"save", "Save the configuration (the name must contain .mcf)", saveOptions, saveConfiguration, true},
        {"load", "Check a configuration file, load it and show what it changed", loadOptions, loadConfiguration,
         true},
        {"check", "Check a configuration file as load does, without loading it", checkOptions, checkConfiguration,
         true},
        {"diff", "The keys two configuration files set differently", diffOptions, diffConfigurations, true},
        {"events", "The applet's events (bit, mask and name), or with --watch the events as they come", eventOptions,
         events, true},
        {"grab", "Acquire frames into the runtime's frame buffers and write them as PGM, PNG or raw files",
         grabOptions, grabFrames, true},
        {"sim", "Steer the simulated board: its clock, its camera, pulses and levels on its trigger inputs",
         simOptions, simulate, true},
        {"view", "Serve the board live to a browser: the parameter tree, frames, events and the configuration, "
                 "until Ctrl-C",
         viewOptions, serveViewer, false},
        {"shell", "Read commands (as above, one per line, without -b and --applet) from standard input or a file "
                  "on one open board; exits 0 when every line succeeded, else 1",
         shellOptions, runShell, false},
    };
    return table;
}

}  // namespace orvanta_tool
