// `sim`: the simulated board's control from the command line: its clock (virtual or real, moved
// on by hand), the camera on its camera port, pulses and levels on its trigger inputs, and what
// its trigger outputs did. The simulated runtime lives in the tool's process, so these last for
// one `orvanta` run: a `shell` session drives a triggered acquisition as a test would.
#include <cinttypes>
#include <cstdio>
#include <iostream>

#include "commands.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;

namespace {

constexpr uint32_t kOutputs = 10;  // GPO 0-7, then front GPO 0 and 1

void print(const Request& request, const json& out, const std::string& text) {
    if (request.json) {
        std::cout << out.dump(2) << std::endl;
    } else if (!request.quiet) {
        std::cout << text << "\n";
    }
}

uint64_t duration(const std::string& text, const std::string& what) {
    const std::optional<uint64_t> nanoseconds = parseDuration(text);
    if (!nanoseconds) {
        throw UsageError(what + " takes a time such as 20ms, 1.5s, 500us or 100ns (a bare number is seconds), not '" +
                         text + "'");
    }
    return *nanoseconds;
}

// A trigger input as the applet numbers them (0-7, front inputs 16-19), or its named constant
// (TRGINSRC_GPI_0, TRGINSRC_FRONT_GPI_2, any case).
uint32_t inputOf(const Session& session, const std::string& text) {
    if (const std::optional<Number> number = parseNumber(text); number && number->integer && !number->negative) {
        return static_cast<uint32_t>(number->magnitude);
    }
    if (const std::optional<int32_t> constant = session.namedConstant(text); constant && *constant >= 0) {
        return static_cast<uint32_t>(*constant);
    }
    throw UsageError("'" + text + "' is no trigger input: give its number (0-7, front inputs 16-19) or its name "
                     "(TRGINSRC_GPI_0 ...)");
}

std::pair<uint32_t, uint32_t> sizeOf(const std::string& text) {
    const size_t x = text.find_first_of("xX");
    const std::optional<Number> width = parseNumber(text.substr(0, x));
    const std::optional<Number> height = x == std::string::npos ? std::nullopt : parseNumber(text.substr(x + 1));
    if (!width || !height || !width->integer || !height->integer || width->negative || height->negative ||
        width->magnitude == 0 || height->magnitude == 0 || width->magnitude > 65536 || height->magnitude > 65536) {
        throw UsageError("sim camera --size takes WIDTHxHEIGHT in pixels (1024x768), not '" + text + "'");
    }
    return {static_cast<uint32_t>(width->magnitude), static_cast<uint32_t>(height->magnitude)};
}

int clock(Session& session, const Request& request) {
    const std::string& mode = request.sim.arguments.at(0);
    if (!sameName(mode, "virtual") && !sameName(mode, "real")) {
        throw UsageError("sim clock takes virtual or real, not '" + mode + "'");
    }
    session.sim().setVirtualClock(sameName(mode, "virtual"));
    const std::string text = session.sim().virtualClock() ? "virtual" : "real";
    print(request, json{{"clock", text}},
          "clock: " + text + (session.sim().virtualClock() ? " (it moves only with sim advance, grab and events "
                                                             "--watch)"
                                                           : ""));
    return kExitSuccess;
}

int advance(Session& session, const Request& request) {
    if (!session.sim().virtualClock()) {
        throw Failure("sim advance: the clock is real; sim clock virtual stops it first");
    }
    const uint64_t step = duration(request.sim.arguments.at(0), "sim advance");
    session.sim().advance(step);
    // The board's clock runs on from where the real one stood: the tool tells the time it moved
    // it on, as the events tell the board's time.
    const uint64_t since = session.sim().virtualNanoseconds();
    print(request, json{{"advanced_ns", step}, {"since_virtual_ns", since}},
          "clock: moved on " + formatDouble(static_cast<double>(step) / 1e6) + " ms, " +
              formatDouble(static_cast<double>(since) / 1e6) + " ms since sim clock virtual");
    return kExitSuccess;
}

int camera(Session& session, const Request& request) {
    const SimOptions& o = request.sim;
    SimControl::Camera camera = session.sim().camera();
    if (o.connected) camera.connected = *o.connected;
    if (!o.size.empty()) std::tie(camera.width, camera.height) = sizeOf(o.size);
    if (!o.rate.empty()) {
        const std::optional<Number> rate = parseNumber(o.rate);
        if (!rate || rate->negative || !(rate->real > 0)) {
            throw UsageError("sim camera --rate takes frames per second above 0, not '" + o.rate + "'");
        }
        camera.framesPerSecond = rate->real;
    }
    session.sim().setCamera(camera);
    print(request,
          json{{"connected", camera.connected}, {"width", camera.width}, {"height", camera.height},
               {"frames_per_second", camera.framesPerSecond}},
          std::string("camera: ") + (camera.connected ? "connected" : "disconnected") + ", " +
              std::to_string(camera.width) + " x " + std::to_string(camera.height) + ", at most " +
              formatDouble(camera.framesPerSecond) + " frames/s");
    return kExitSuccess;
}

int pulse(Session& session, const Request& request) {
    const SimOptions& o = request.sim;
    const uint32_t input = inputOf(session, o.arguments.at(0));
    const std::optional<Number> count = parseNumber(o.count);
    if (!count || !count->integer || count->negative || count->magnitude == 0) {
        throw UsageError("sim pulse -n takes a number of pulses of at least 1, not '" + o.count + "'");
    }
    const uint64_t period = duration(o.period, "sim pulse --period");
    session.sim().pulse(input, count->magnitude, period);
    print(request, json{{"input", input}, {"pulses", count->magnitude}, {"period_ns", period}},
          "input " + std::to_string(input) + ": " + std::to_string(count->magnitude) + " pulses " +
              formatDouble(static_cast<double>(period) / 1e6) + " ms apart, the first now");
    return kExitSuccess;
}

int level(Session& session, const Request& request) {
    const SimOptions& o = request.sim;
    const uint32_t input = inputOf(session, o.arguments.at(0));
    const std::string& level = o.arguments.at(1);
    if (!sameName(level, "high") && !sameName(level, "low")) {
        throw UsageError("sim level takes high or low, not '" + level + "'");
    }
    session.sim().setLevel(input, sameName(level, "high"));
    print(request, json{{"input", input}, {"level", sameName(level, "high") ? "high" : "low"}},
          "input " + std::to_string(input) + ": " + (sameName(level, "high") ? "high" : "low"));
    return kExitSuccess;
}

int outputs(Session& session, const Request& request) {
    const uint32_t levels = session.sim().outputLevels();
    json out = json::array();
    std::string text = "output  name         rising edges  level";
    for (uint32_t output = 0; output < kOutputs; ++output) {
        const std::string name = output < 8 ? "GPO_" + std::to_string(output) : "FRONT_GPO_" + std::to_string(output - 8);
        const int64_t pulses = session.sim().outputPulses(output);
        const bool high = (levels >> output & 1u) != 0;
        out.push_back(json{{"output", output}, {"name", name}, {"rising_edges", pulses}, {"level", high ? "high" : "low"}});
        char row[80];
        std::snprintf(row, sizeof row, "\n%6" PRIu32 "  %-12s %12" PRId64 "  %s", output, name.c_str(), pulses,
                      high ? "high" : "low");
        text += row;
    }
    if (request.json) {
        std::cout << out.dump(2) << std::endl;
    } else {
        std::cout << text << "\n";
    }
    return kExitSuccess;
}

CLI::App* action(CLI::App& sim, Request& r, const char* name, const char* description) {
    CLI::App* sub = sim.add_subcommand(name, description);
    sub->callback([&r, name] { r.sim.action = name; });
    return sub;
}

}  // namespace

void simOptions(CLI::App& command, Request& r) {
    command.require_subcommand(1);
    command.footer("The simulated board lives in this orvanta process: drive it from one `orvanta shell` session "
                   "(orvanta shell script.txt), where the clock, the camera and the inputs keep what is set.\n\n" +
                   command.get_footer());
    action(command, r, "clock", "Stop the board's clock (virtual: it moves only with sim advance, and while grab "
                                "and events --watch wait) or let it run with real time again")
        ->add_option("mode", r.sim.arguments, "virtual or real")
        ->required();
    action(command, r, "advance", "Move the virtual clock on; everything due meanwhile happens")
        ->add_option("duration", r.sim.arguments, "20ms, 1.5s, 500us, 100ns (a bare number is seconds)")
        ->required();
    CLI::App* camera = action(command, r, "camera", "The camera on the camera port: connected, size, rate");
    camera->add_flag_function("--connect", [&r](int64_t) { r.sim.connected = true; }, "Connect it (the default)");
    camera->add_flag_function("--disconnect", [&r](int64_t) { r.sim.connected = false; }, "Disconnect it");
    camera->add_option("--size", r.sim.size, "WIDTHxHEIGHT in pixels (default 1024x1024)");
    camera->add_option("--rate", r.sim.rate, "At most this many frames per second (default 200)");
    CLI::App* pulse = action(command, r, "pulse", "Pulses on a trigger input, the first now");
    pulse->add_option("input", r.sim.arguments, "0-7, front inputs 16-19, or TRGINSRC_GPI_0 ...")->required();
    pulse->add_option("-n,--count", r.sim.count, "Number of pulses (default 1)");
    pulse->add_option("--period", r.sim.period, "Time from one rising edge to the next (default 1ms); high half of it");
    CLI::App* level = action(command, r, "level", "A level on a trigger input that stays until changed");
    level->add_option("input-and-level", r.sim.arguments, "The input, then high or low")->expected(2)->required();
    action(command, r, "outputs", "How many rising edges each trigger output had since the board started, and its "
                                  "level now");
}

int simulate(Session& session, const Request& request) {
    const std::string& a = request.sim.action;
    if (a == "clock") return clock(session, request);
    if (a == "advance") return advance(session, request);
    if (a == "camera") return camera(session, request);
    if (a == "pulse") return pulse(session, request);
    if (a == "level") return level(session, request);
    if (a == "outputs") return outputs(session, request);
    throw UsageError("sim: name an action: clock, advance, camera, pulse, level, outputs");
}

}  // namespace orvanta_tool
