// The tool's command line: global options, then one command of the command table with its own
// options, parsed with CLI11 into one Request. The shell parses each of its lines the same way,
// without the options that choose the board.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
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
    std::string count;  // -n as written; empty: until Ctrl-C
    std::string pattern = "frame-%04d.pgm";
    bool ring = false;
    bool blocking = false;
    std::string buffers = "4";
    std::string timeout = "10";  // seconds per frame
    std::string trigger;         // empty: the trigger is left as it is
    std::string rate;            // --rate: the trigger generator's rate in Hz

    // Filled by checkRequest from the texts above.
    std::optional<int64_t> frames;
    int64_t bufferCount = 4;
    double timeoutSeconds = 10;
    std::optional<double> triggerRate;
};

struct EventOptions {
    bool watch = false;
    std::vector<std::string> names;  // none: every event
    std::string count;               // -n: stop after this many events
    std::string timeout;             // stop after this many seconds on the board's clock

    std::optional<int64_t> events;
    std::optional<double> seconds;
};

// `sim`: one action of the simulated board's control and its arguments.
struct SimOptions {
    std::string action;  // clock, advance, camera, pulse, level, outputs
    std::vector<std::string> arguments;
    std::string count = "1";          // pulse -n
    std::string period = "1ms";       // pulse --period
    std::optional<bool> connected;    // camera --connect / --disconnect
    std::string size;                 // camera --size WxH
    std::string rate;                 // camera --rate FPS
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
    std::vector<std::string> arguments;  // get, set, describe, diff; shell: the script file
    std::string glob;                    // list
    bool tree = false;                   // list
    bool markdown = false;               // describe
    std::string file;                    // xml -o, save, load, check
    bool force = false;                  // load
    GrabOptions grab;
    EventOptions events;
    SimOptions sim;
    ViewOptions view;
};

// The parser writes into `request`, which must outlive it. `shell`: a line of the shell.
std::unique_ptr<CLI::App> commandLine(Request& request, bool shell);

// Parses `arguments` (without the program's name) with `app`; a first word that is no command
// is reported as such. Throws CLI::ParseError (help and --version too) or UsageError.
void parseCommandLine(CLI::App& app, std::vector<std::string> arguments);

// Checks and converts what the parser cannot; throws UsageError.
void checkRequest(Request& request);

// "NAME=VALUE" split at the first '='.
std::pair<std::string, std::string> splitAssignment(const std::string& assignment);

}  // namespace orvanta_tool
