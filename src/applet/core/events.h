// The design's events as applications name them: a 64-bit mask per event (bit i for the HAP's
// i-th event), known under its NX name and, for 32 of them, under an SDK name as well.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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
    static constexpr size_t kNoName = ~size_t{0};
    static constexpr std::array<size_t, kMaximumEventCount> noNames() {
        std::array<size_t, kMaximumEventCount> none{};
        for (size_t& name : none) name = kNoName;
        return none;
    }

    // A copy of the name at the end of `names`, answered as its offset there.
    size_t keep(const char* name);
    const char* textAt(size_t offset) const { return names.data() + offset; }
    // The entry of the name in maskByName, or where it would go.
    size_t positionOfName(const char* name) const;
    // A later mask of a name replaces the earlier one.
    void enter(size_t name, uint64_t mask);

    // Every name, each ended by a zero, in one buffer filled at build and not changed after:
    // the maps hold offsets into it.
    std::string names;
    std::vector<std::pair<size_t, uint64_t>> maskByName;  // sorted by name
    std::array<size_t, kMaximumEventCount> nameByBit = noNames();
};

}  // namespace vexo::applet
