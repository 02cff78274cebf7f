// `events`: the applet's events, and with --watch the events of the board as they come, until
// Ctrl-C, a number of events or a time on the board's clock.
#include <bitset>
#include <cinttypes>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <vector>

#include "commands.h"
#include "orvanta/runtime.h"
#include "waiting.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;

namespace {

struct Occurrence {
    int bit;
    uint64_t timeNs;
    uint64_t data;
};

// Filled by the runtime's handler calls (on its own thread on the real clock, inside the clock's
// advance on the virtual one) and emptied by the watching loop.
struct Inbox {
    std::mutex mutex;
    std::vector<Occurrence> occurrences;
};

int32_t receive(uint64_t events, void* data, const Fg_EventInfo* info) {
    Inbox& inbox = *static_cast<Inbox*>(data);
    const std::lock_guard<std::mutex> lock(inbox.mutex);
    uint32_t slot = 0;
    for (int bit = 0; bit < 64; ++bit) {
        if ((events >> bit & 1u) == 0) continue;
        // The info lists the bits that occurred in bit order, one time and data word each.
        const bool described = info != nullptr && slot < info->count && slot < 64;
        inbox.occurrences.push_back({bit, described ? info->timestampNs[slot] : 0, described ? info->data[slot] : 0});
        ++slot;
    }
    return 0;
}

// Every event of the applet: bit and name.
std::vector<std::pair<int, std::string>> eventList(const Session& session) {
    std::vector<std::pair<int, std::string>> list;
    for (int bit = 0; bit < 64; ++bit) {
        if (const char* name = Fg_getEventName(session.handle(), uint64_t{1} << bit)) list.emplace_back(bit, name);
    }
    return list;
}

int listEvents(const Session& session, const Request& request) {
    json out = json::array();
    for (const auto& [bit, name] : eventList(session)) {
        const uint64_t mask = uint64_t{1} << bit;
        if (request.json) {
            out.push_back(json{{"bit", bit}, {"mask", mask}, {"name", name}});
        } else {
            char row[48];
            std::snprintf(row, sizeof row, "%2d  0x%016" PRIx64 "  ", bit, mask);
            std::cout << row << name << "\n";
        }
    }
    if (request.json) std::cout << out.dump(2) << std::endl;
    return kExitSuccess;
}

// The mask of the named events, in any case; every event without names.
uint64_t watchedMask(const Session& session, const std::vector<std::string>& names,
                     const std::vector<std::pair<int, std::string>>& list) {
    uint64_t mask = 0;
    for (const auto& [bit, name] : list) {
        if (names.empty()) mask |= uint64_t{1} << bit;
    }
    for (const std::string& wanted : names) {
        bool found = false;
        for (const auto& [bit, name] : list) {
            if (sameName(name, wanted)) {
                mask |= uint64_t{1} << bit;
                found = true;
            }
        }
        if (!found) {
            throw Failure("events --watch: " + session.applet() + " has no event " + wanted +
                          " (`orvanta events` lists them)");
        }
    }
    return mask;
}

int watchEvents(Session& session, const Request& request) {
    const EventOptions& options = request.events;
    const std::vector<std::pair<int, std::string>> list = eventList(session);
    const uint64_t mask = watchedMask(session, options.names, list);
    const auto nameOf = [&list](int bit) {
        for (const auto& [b, name] : list) {
            if (b == bit) return name;
        }
        return std::to_string(bit);
    };

    Inbox inbox;
    Fg_EventInfo info{};
    info.version = 1;
    const InterruptCatcher catcher;
    if (const int32_t result = Fg_registerEventCallback(session.handle(), mask, receive, &inbox, 0, &info)) {
        throw Failure(callFailure("events --watch: Fg_registerEventCallback", result, Call::Acquisition), result);
    }
    session.console().news("watching " + std::to_string(std::bitset<64>(mask).count()) + " events" +
                           (session.sim().virtualClock() ? " on the virtual clock" : "") +
                           (options.events || options.seconds ? "" : "; Ctrl-C ends"));
    Waiting waiting(session, options.seconds.value_or(0));
    int64_t printed = 0;
    const auto printWaiting = [&] {
        std::vector<Occurrence> taken;
        {
            const std::lock_guard<std::mutex> lock(inbox.mutex);
            taken.swap(inbox.occurrences);
        }
        for (const Occurrence& o : taken) {
            if (options.events && printed >= *options.events) break;
            if (request.json) {
                std::cout << json{{"time_ns", o.timeNs}, {"bit", o.bit}, {"name", nameOf(o.bit)}, {"data", o.data}}.dump()
                          << std::endl;
            } else {
                char time[32];
                std::snprintf(time, sizeof time, "%.9f", static_cast<double>(o.timeNs) / 1e9);
                std::cout << time << "  " << nameOf(o.bit) << "  data " << o.data << std::endl;
            }
            ++printed;
        }
    };
    while (!(options.events && printed >= *options.events) && !InterruptCatcher::interrupted() && !waiting.expired()) {
        waiting.pause();
        printWaiting();
    }
    Fg_registerEventCallback(session.handle(), mask, nullptr, nullptr, 0, nullptr);
    printWaiting();
    return kExitSuccess;
}

}  // namespace

void eventOptions(CLI::App& command, Request& r) {
    command.add_flag("--watch", r.events.watch,
                     "Print the events as they come (time on the board's clock in seconds, name, data word) until "
                     "Ctrl-C; on the simulated board's virtual clock the tool moves the clock on while it watches");
    command.add_option("names", r.events.names, "With --watch: only these events (any case)");
    command.add_option("-n,--count", r.events.count, "With --watch: stop after this many events");
    command.add_option("--timeout", r.events.timeout, "With --watch: stop after this many seconds (fractions allowed)");
}

int events(Session& session, const Request& request) {
    return request.events.watch ? watchEvents(session, request) : listEvents(session, request);
}

}  // namespace orvanta_tool
