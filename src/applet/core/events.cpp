// Building the event maps from the HAP's event list, and the applet's answers to
// Fg_getEventMask and Fg_getEventName.
#include "applet/core/events.h"

#include <cstring>
#include <vector>

#include "applet/board.h"
#include "logging/log_record.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

namespace {

// Only events of this class are offered under their NX names; the others are the HAP's own.
constexpr uint32_t kListedEventClass = 1;

uint64_t maskOfPosition(size_t position) { return uint64_t{1} << position; }

// The list up to the first gap: a position's bit belongs to it whether or not it is offered.
std::vector<const HapEventDescriptor*> readEventList(void* hap) {
    std::vector<const HapEventDescriptor*> events;
    for (int32_t position = 0; position < kMaximumEventCount; ++position) {
        const HapEventDescriptor* event = Hap_GetEvent(hap, position);
        if (event == nullptr) break;
        events.push_back(event);
    }
    return events;
}

// The first position carrying this NX name, whatever its class.
std::optional<size_t> positionOf(const std::vector<const HapEventDescriptor*>& events, const char* nxName) {
    for (size_t position = 0; position < events.size(); ++position) {
        const char* name = events[position]->name;
        if (name != nullptr && std::strcmp(name, nxName) == 0) return position;
    }
    return std::nullopt;
}

}  // namespace

void EventMaps::build(Board& w) {
    const std::vector<const HapEventDescriptor*> events = readEventList(w.hapHandle());
    for (size_t position = 0; position < events.size(); ++position) {
        const HapEventDescriptor& event = *events[position];
        if (event.eventClass != kListedEventClass || event.name == nullptr) continue;
        maskByName[event.name] = maskOfPosition(position);
        nameByMask[maskOfPosition(position)] = event.name;
    }
    for (const SdkEvent& sdkEvent : kSdkEvents) {
        const std::optional<size_t> position = positionOf(events, sdkEvent.nxName);
        if (!position) {
            // The logger is fetched only here: a complete design starts without logging.
            tools::logging::logRecord(w.getLogger(), tools::logging::kLevelUnserved,
                                      "cannot retrieve event id for internal event: '", sdkEvent.nxName, "'");
            continue;
        }
        maskByName[sdkEvent.sdkName] = maskOfPosition(*position);
        nameByMask[maskOfPosition(*position)] = sdkEvent.sdkName;
    }
}

std::optional<uint64_t> EventMaps::maskOf(const char* name) const {
    if (name == nullptr) return std::nullopt;
    const auto found = maskByName.find(name);
    if (found == maskByName.end()) return std::nullopt;
    return found->second;
}

const char* EventMaps::nameOf(uint64_t mask) const {
    const auto found = nameByMask.find(mask);
    return found == nameByMask.end() ? nullptr : found->second.c_str();
}

}  // namespace vexo::applet
