// `orvanta`: looks at and changes the applet's parameters, saves and loads its configuration and
// grabs frames, through the runtime's application interface. Exit statuses: 0 success,
// 1 an operation failed, 2 usage error, 3 the applet could not be opened.
#include <algorithm>
#include <iostream>
#include <memory>

#include "command_line.h"
#include "commands.h"
#include "session.h"

namespace orvanta_tool {

namespace {

// --config, then --set in order.
void applySettings(Session& session, const Request& request) {
    if (!request.config.empty()) applyConfiguration(session, request.config);
    for (const std::string& assignment : request.sets) {
        const auto [name, value] = splitAssignment(assignment);
        session.write(session.find(name, "set"), value);
    }
}

int runCommand(Session& session, const Request& request) {
    for (const Command& command : commandTable()) {
        if (request.command == command.name) return command.run(session, request);
    }
    throw UsageError("no command");
}

}  // namespace

int runRequest(Session& session, const Request& request) {
    const Console& console = session.console();
    try {
        applySettings(session, request);
        return runCommand(session, request);
    } catch (const Failure& failure) {
        console.error(failure.what());
        if (!failure.reported()) console.jsonFailure(failure.what(), failure.code());
        return kExitFailure;
    } catch (const UsageError& error) {
        console.error(error.what());
        console.jsonFailure(error.what(), 0);
        return kExitUsage;
    }
}

int run(int argc, char** argv) {
    Request request;
    std::unique_ptr<CLI::App> app = commandLine(request, false);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    Console console;
    console.json = std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
    try {
        parseCommandLine(*app, arguments);
        checkRequest(request);
    } catch (const CLI::ParseError& error) {
        if (error.get_exit_code() == 0) return app->exit(error);
        console.jsonFailure(error.what(), 0);
        app->exit(error);
        return kExitUsage;
    } catch (const UsageError& error) {
        console.jsonFailure(error.what(), 0);
        std::cerr << "orvanta: " << error.what() << "\nRun with --help for more information." << std::endl;
        return kExitUsage;
    }
    console.json = request.json;
    console.quiet = request.quiet;
    console.verbose = request.verbose;
    std::unique_ptr<Session> session;
    try {
        session = std::make_unique<Session>(request.applet, request.board, console);
    } catch (const Failure& failure) {
        console.error(failure.what());
        console.jsonFailure(failure.what(), failure.code());
        return kExitOpenFailure;
    }
    return runRequest(*session, request);
}

}  // namespace orvanta_tool

int main(int argc, char** argv) { return orvanta_tool::run(argc, argv); }
