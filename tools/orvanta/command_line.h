// The tool's command line: global options, the commands and their options, parsed with CLI11
// into one Request. The shell parses each of its lines the same way, without the options that
// choose the board.
#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "view/view_options.h"

namespace orvanta_tool {

// A command line that parsed but makes no sense (NAME=VALUE without '=', a bad file pattern).
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct GrabOptions {
    int64_t count = 1;
    std::string pattern = "frame-%04d.pgm";
    bool ring = false;
    bool blocking = false;
    int64_t buffers = 4;
    int32_t timeoutSeconds = 10;
    std::string trigger;  // empty: the trigger mode is left as it is
};

struct Request {
    uint32_t board = 0;
    std::string applet = "Orvanta";
    std::string config;
    std::vector<std::string> sets;
    bool json = false;
    bool quiet = false;
    bool verbose = false;

    std::string command;
    std::vector<std::string> arguments;  // get, set, describe
    std::string glob;                    // list
    bool tree = false;                   // list
    bool markdown = false;               // describe
    std::string file;                    // xml -o, save, load
    GrabOptions grab;
    ViewOptions view;
};

// The parser writes into `request`, which must outlive it. `shell`: a line of the shell.
std::unique_ptr<CLI::App> commandLine(Request& request, bool shell);

// Checks what the parser cannot; throws UsageError.
void checkRequest(const Request& request);

// "NAME=VALUE" split at the first '='.
std::pair<std::string, std::string> splitAssignment(const std::string& assignment);

}  // namespace orvanta_tool
