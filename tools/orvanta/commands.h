// The tool's commands, each run on an open board. A command prints its output to standard
// output, reports failures through the console, and answers an exit status. Every command is a
// row of the command table (command_table.cpp): adding one is a row there, a function that runs
// it and, if it takes any, one that adds its options.
#pragma once

#include "command_line.h"
#include "session.h"

namespace orvanta_tool {

struct Command {
    const char* name;
    const char* summary;  // the command's line in `orvanta --help`
    // Adds the command's own options and arguments to its parser; null when it takes none.
    void (*options)(CLI::App& command, Request& request);
    int (*run)(Session& session, const Request& request);
    bool inShell;  // whether it may be a line of the shell
};

// Every command, in the order `orvanta --help` lists them.
const std::vector<Command>& commandTable();

// The settings before the command (--config, then --set in order), then the command. Failures
// are reported through the session's console (with --json also as a JSON object on standard
// output); answers the exit status.
int runRequest(Session& session, const Request& request);

// Options of the commands that take any.
void listOptions(CLI::App& command, Request& request);
void getOptions(CLI::App& command, Request& request);
void setOptions(CLI::App& command, Request& request);
void describeOptions(CLI::App& command, Request& request);
void xmlOptions(CLI::App& command, Request& request);
void saveOptions(CLI::App& command, Request& request);
void loadOptions(CLI::App& command, Request& request);
void checkOptions(CLI::App& command, Request& request);
void diffOptions(CLI::App& command, Request& request);
void eventOptions(CLI::App& command, Request& request);
void grabOptions(CLI::App& command, Request& request);
void simOptions(CLI::App& command, Request& request);
void shellOptions(CLI::App& command, Request& request);

// commands.cpp
int showInfo(Session& session, const Request& request);
int listParameters(Session& session, const Request& request);
int getParameters(Session& session, const Request& request);
int setParameters(Session& session, const Request& request);
int describeParameters(Session& session, const Request& request);
int writeXml(Session& session, const Request& request);

// A descriptor text of the applet (UTF-8); empty when Info has none for the selector.
std::string infoText(InfoFunction info, int32_t selector);
// The description text the applet keeps for a parameter name (its FG_PARAM_DESCR query); empty
// when it has none.
std::string descriptionOf(const Session& session, const std::string& name);

// configuration.cpp
int saveConfiguration(Session& session, const Request& request);
int loadConfiguration(Session& session, const Request& request);
int checkConfiguration(Session& session, const Request& request);
int diffConfigurations(Session& session, const Request& request);
// Loads a configuration before a command (--config): failures only, no report of changes.
void applyConfiguration(Session& session, const std::string& file);

// The manufacturer and type name the applet writes into a configuration file's header: its
// only way of telling them through the runtime. Throws Failure.
struct SavedHeader {
    std::string manufacturer;
    std::string typeName;
};
SavedHeader savedHeader(Session& session);

// events.cpp
int events(Session& session, const Request& request);

// grab.cpp
int grabFrames(Session& session, const Request& request);

// sim.cpp: the simulated board's control from the command line.
int simulate(Session& session, const Request& request);

// shell.cpp
int runShell(Session& session, const Request& request);

// reference.cpp: describe --markdown, the parameter reference of the whole applet.
int writeReference(Session& session, const Request& request);

}  // namespace orvanta_tool
