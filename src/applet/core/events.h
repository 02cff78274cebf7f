// The design's events as applications name them: a 64-bit mask per event (bit i for the HAP's
// i-th event), known under its NX name and, for 32 of them, under an SDK name as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace vexo::applet {

class Board;

struct SdkEvent {
    const char* sdkName;
    const char* nxName;
};

inline constexpr SdkEvent kSdkEvents[] = {
#define SDK_EVENT(sdkName, nxName) {#sdkName, nxName},
#include "applet/core/events.def"
#undef SDK_EVENT
};

inline constexpr size_t kSdkEventCount = sizeof(kSdkEvents) / sizeof(kSdkEvents[0]);
static_assert(kSdkEventCount == 32, "the applet names 32 of the design's events");

// One bit per event: the HAP's list is read no further than this.
inline constexpr int32_t kMaximumEventCount = 64;

// Both directions, built once at start-up and read without a lock afterwards.
class EventMaps {
public:
    // Reads the event list of the wrapper's HAP; an SDK name whose design event is missing is
    // logged at level 4 on the wrapper's logger and left out.
    void build(Board& w);

    // Exact and case-sensitive; SDK and NX names alike.
    std::optional<uint64_t> maskOf(const char* name) const;
    // The SDK name where the event has one, else its NX name; null for a mask that is not
    // exactly one known event's bit. Valid as long as the maps live.
    const char* nameOf(uint64_t mask) const;

private:
    std::map<std::string, uint64_t> maskByName;
    std::map<uint64_t, std::string> nameByMask;
};

}  // namespace vexo::applet
