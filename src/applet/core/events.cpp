// Building the event maps from the HAP's event list, and the applet's answers to
// Fg_getEventMask and Fg_getEventName.
#include "applet/core/events.h"

#include <algorithm>
#include <cstring>

#include "applet/board.h"
#include "logging/log_record.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

namespace {

// Only events of this class are offered under their NX names; the others are the HAP's own.
constexpr uint32_t kListedEventClass = 1;

uint64_t maskOfPosition(size_t position) { return uint64_t{1} << position; }

using EventList = std::array<const HapEventDescriptor*, kMaximumEventCount>;

// The list up to the first gap: a position's bit belongs to it whether or not it is offered.
// Answers the number of events.
size_t readEventList(void* hap, EventList& events) {
    size_t count = 0;
    while (count < events.size()) {
        const HapEventDescriptor* event = Hap_GetEvent(hap, static_cast<int32_t>(count));
        if (event == nullptr) break;
        events[count++] = event;
    }
    return count;
}

bool isListed(const HapEventDescriptor& event) {
    return event.eventClass == kListedEventClass && event.name != nullptr;
}

// The first position carrying this NX name, whatever its class.
std::optional<size_t> positionOf(const EventList& events, size_t count, const char* nxName) {
    for (size_t position = 0; position < count; ++position) {
        const char* name = events[position]->name;
        if (name != nullptr && std::strcmp(name, nxName) == 0) return position;
    }
    return std::nullopt;
}

}  // namespace

size_t EventMaps::keep(const char* name) {
    const size_t offset = names.size();
    names.append(name);
    names.push_back('\0');
    return offset;
}

size_t EventMaps::positionOfName(const char* name) const {
    const auto before = [this](const std::pair<size_t, uint64_t>& entry, const char* key) {
        return std::strcmp(textAt(entry.first), key) < 0;
    };
    const auto at = std::lower_bound(maskByName.begin(), maskByName.end(), name, before);
    return static_cast<size_t>(at - maskByName.begin());
}

void EventMaps::enter(size_t name, uint64_t mask) {
    const size_t at = positionOfName(textAt(name));
    if (at < maskByName.size() && std::strcmp(textAt(maskByName[at].first), textAt(name)) == 0) {
        maskByName[at].second = mask;
    } else {
        maskByName.insert(maskByName.begin() + static_cast<std::ptrdiff_t>(at), {name, mask});
    }
}

void EventMaps::build(Board& w) {
    EventList events{};
    const size_t count = readEventList(w.hapHandle(), events);
    // Room for every name that can be entered, so that each container is filled in one allocation.
    size_t length = 0;
    for (size_t position = 0; position < count; ++position) {
        if (isListed(*events[position])) length += std::strlen(events[position]->name) + 1;
    }
    for (const SdkEvent& sdkEvent : kSdkEvents) length += std::strlen(sdkEvent.sdkName) + 1;
    names.reserve(length);
    maskByName.reserve(count + kSdkEventCount);

    for (size_t position = 0; position < count; ++position) {
        if (!isListed(*events[position])) continue;
        const size_t name = keep(events[position]->name);
        enter(name, maskOfPosition(position));
        nameByBit[position] = name;
    }
    for (const SdkEvent& sdkEvent : kSdkEvents) {
        const std::optional<size_t> position = positionOf(events, count, sdkEvent.nxName);
        if (!position) {
            // The logger is fetched only here: a complete design starts without logging.
            tools::logging::logRecord(w.getLogger(), tools::logging::kLevelUnserved,
                                      "cannot retrieve event id for internal event: '", sdkEvent.nxName, "'");
            continue;
        }
        const size_t name = keep(sdkEvent.sdkName);
        enter(name, maskOfPosition(*position));
        nameByBit[*position] = name;
    }
}

std::optional<uint64_t> EventMaps::maskOf(const char* name) const {
    if (name == nullptr) return std::nullopt;
    const size_t at = positionOfName(name);
    if (at == maskByName.size() || std::strcmp(textAt(maskByName[at].first), name) != 0) return std::nullopt;
    return maskByName[at].second;
}

// Exactly one bit, and one that carries a name.
const char* EventMaps::nameOf(uint64_t mask) const {
    if (mask == 0 || (mask & (mask - 1)) != 0) return nullptr;
    size_t bit = 0;
    while ((mask >> bit) != 1) ++bit;
    return bit < nameByBit.size() && nameByBit[bit] != kNoName ? textAt(nameByBit[bit]) : nullptr;
}

}  // namespace vexo::applet
