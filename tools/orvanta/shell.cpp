// `shell`: commands read one per line (from standard input or a file) and run on the one open
// board, so that settings, and the simulated board's clock and camera, persist from line to line.
#include <fstream>
#include <iostream>

#include "commands.h"

namespace orvanta_tool {

namespace {

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

void shellOptions(CLI::App& command, Request& r) {
    command.add_option("script", r.arguments, "A file of commands to run instead of standard input")->expected(0, 1);
}

int runShell(Session& session, const Request& outer) {
    Console& console = session.console();
    std::ifstream script;
    if (!outer.arguments.empty()) {
        script.open(outer.arguments.front());
        if (!script) throw Failure("shell: cannot read " + outer.arguments.front());
    }
    std::istream& in = outer.arguments.empty() ? std::cin : script;
    const bool interactive = outer.arguments.empty() && isTerminal(stdin);
    bool allSucceeded = true;
    std::string line;
    for (int number = 1;; ++number) {
        if (interactive) std::cerr << "orvanta> " << std::flush;
        if (!std::getline(in, line)) break;
        line = trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        if (line == "exit" || line == "quit") break;
        if (line == "help") line = "--help";

        Request request;
        std::unique_ptr<CLI::App> app = commandLine(request, true);
        console.linePrefix = interactive ? "" : "line " + std::to_string(number) + ": ";
        console.json = outer.json || line.find("--json") != std::string::npos;
        int status = kExitSuccess;
        try {
            parseCommandLine(*app, CLI::detail::split_up(line));
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
                console.jsonFailure(console.linePrefix + error.what(), 0);
                status = kExitUsage;
            }
        } catch (const UsageError& error) {
            console.error(error.what());
            console.jsonFailure(console.linePrefix + error.what(), 0);
            status = kExitUsage;
        }
        std::cout << std::flush;
        allSucceeded = allSucceeded && status == kExitSuccess;
    }
    console.linePrefix.clear();
    return allSucceeded ? kExitSuccess : kExitFailure;
}

}  // namespace orvanta_tool
