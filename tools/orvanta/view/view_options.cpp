// The command line of `orvanta view`, the same where the viewer is not built, so that its
// options are known and its answer says why.
#include "view.h"

namespace orvanta_tool {

void viewOptions(CLI::App& command, Request& r) {
    command.add_option("--port", r.view.port, "TCP port (default 8080; 0 picks a free one)");
    command.add_option("--bind", r.view.bind,
                       "Address to listen on (default 127.0.0.1); any other than a loopback address needs the "
                       "access token on every request");
    command.add_option("--token", r.view.token,
                       "Access token to ask for (default: none on a loopback address, else one generated and printed "
                       "with the address)");
    command.add_option("--clients", r.view.clients, "Viewers served at once (default 8)")->check(CLI::Range(1, 64));
}

}  // namespace orvanta_tool
