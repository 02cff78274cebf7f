// `orvanta view`: the board live in a browser. Serves the page and its JSON API on the open
// board until Ctrl-C (or SIGTERM), then stops the acquisition and lets the board be closed.
#pragma once

#include "../command_line.h"
#include "../session.h"

namespace orvanta_tool {

void viewOptions(CLI::App& command, Request& request);
int serveViewer(Session& session, const Request& request);

}  // namespace orvanta_tool
