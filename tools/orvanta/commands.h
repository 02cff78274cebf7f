// The tool's commands, each run on an open board. A command prints its output to standard
// output, reports failures through the console, and answers an exit status.
#pragma once

#include "command_line.h"
#include "session.h"

namespace orvanta_tool {

int runCommand(Session& session, const Request& request);

// A descriptor text of the applet (UTF-8); empty when Info has none for the selector.
std::string infoText(InfoFunction info, int32_t selector);
// The description text the applet keeps for a parameter name (its FG_PARAM_DESCR query); empty
// when it has none.
std::string descriptionOf(const Session& session, const std::string& name);

int showInfo(Session& session, const Request& request);
int listParameters(Session& session, const Request& request);
int getParameters(Session& session, const Request& request);
int setParameters(Session& session, const Request& request);
int describeParameters(Session& session, const Request& request);
int writeXml(Session& session, const Request& request);
int listEvents(Session& session, const Request& request);

// configuration.cpp
int saveConfiguration(Session& session, const Request& request);
int loadConfiguration(Session& session, const Request& request);
// Loads a configuration before a command (--config): failures only, no report of changes.
void applyConfiguration(Session& session, const std::string& file);

// The manufacturer and type name the applet writes into a configuration file's header: its
// only way of telling them through the runtime. Throws Failure.
struct SavedHeader {
    std::string manufacturer;
    std::string typeName;
};
SavedHeader savedHeader(Session& session);

// grab.cpp
int grabFrames(Session& session, const Request& request);

// reference.cpp: describe --markdown, the parameter reference of the whole applet.
int writeReference(Session& session, const Request& request);

}  // namespace orvanta_tool
