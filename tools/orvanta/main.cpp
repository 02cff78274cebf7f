// `orvanta`: looks at and changes the applet's parameters, saves and loads its configuration and
// grabs frames, through the runtime's application interface. Exit statuses: 0 success,
// 1 an operation failed, 2 usage error, 3 the applet could not be opened.
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

// The settings that precede the command, then the command.
int runRequest(Session& session, const Request& request) {
    const Console& console = session.console();
    try {
        applySettings(session, request);
        return runCommand(session, request);
    } catch (const Failure& failure) {
        console.error(failure.what());
        return kExitFailure;
    } catch (const UsageError& error) {
        console.error(error.what());
        return kExitUsage;
    }
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// One command per line on the open board; settings persist from line to line.
int runShell(Session& session, Console& console, const Request& outer) {
    const bool interactive = isTerminal(stdin);
    bool allSucceeded = true;
    std::string line;
    for (int number = 1;; ++number) {
        if (interactive) std::cerr << "orvanta> " << std::flush;
        if (!std::getline(std::cin, line)) break;
        line = trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        if (line == "exit" || line == "quit") break;
        if (line == "help") line = "--help";

        Request request;
        std::unique_ptr<CLI::App> app = commandLine(request, true);
        console.linePrefix = interactive ? "" : "line " + std::to_string(number) + ": ";
        int status = kExitSuccess;
        try {
            app->parse(line, false);
            checkRequest(request);
            request.json = request.json || outer.json;
            request.quiet = request.quiet || outer.quiet;
            request.verbose = request.verbose || outer.verbose;
            console.json = request.json;
            console.quiet = request.quiet;
            console.verbose = request.verbose;
            status = runRequest(session, request);
        } catch (const CLI::ParseError& error) {
            // Help goes out as CLI11 writes it; a mistake as an error of its line.
            if (error.get_exit_code() == 0) {
                app->exit(error);
            } else {
                console.error(error.what());
                status = kExitUsage;
            }
        } catch (const UsageError& error) {
            console.error(error.what());
            status = kExitUsage;
        }
        std::cout << std::flush;
        allSucceeded = allSucceeded && status == kExitSuccess;
    }
    return allSucceeded ? kExitSuccess : kExitFailure;
}

}  // namespace

int run(int argc, char** argv) {
    Request request;
    std::unique_ptr<CLI::App> app = commandLine(request, false);
    try {
        app->parse(argc, argv);
        checkRequest(request);
    } catch (const CLI::ParseError& error) {
        return app->exit(error) == 0 ? kExitSuccess : kExitUsage;
    } catch (const UsageError& error) {
        std::cerr << "orvanta: " << error.what() << "\nRun with --help for more information." << std::endl;
        return kExitUsage;
    }
    Console console;
    console.json = request.json;
    console.quiet = request.quiet;
    console.verbose = request.verbose;
    std::unique_ptr<Session> session;
    try {
        session = std::make_unique<Session>(request.applet, request.board, console);
    } catch (const Failure& failure) {
        console.error(failure.what());
        return kExitOpenFailure;
    }
    if (request.command != "shell") return runRequest(*session, request);
    // Settings given with the shell hold for the whole session.
    try {
        applySettings(*session, request);
    } catch (const Failure& failure) {
        console.error(failure.what());
        return kExitFailure;
    }
    return runShell(*session, console, request);
}

}  // namespace orvanta_tool

int main(int argc, char** argv) { return orvanta_tool::run(argc, argv); }
