// Events on an application's handle: handlers registered per event bit, and waits. The board's
// timeline records each event's latest occurrence with a serial number; a handler or a wait
// looks for serials newer than the ones it has seen.
#include <chrono>
#include <mutex>

#include "board_clock.h"
#include "orvanta_sim/runtime.h"
#include "runtime_state.h"

namespace sim {

static constexpr uint32_t kSinceLastWait = 1u << 0;

// The bits of mask whose latest occurrence is newer than serial `since`.
static uint64_t occurredSince(const BoardTimeline& t, uint64_t mask, uint64_t since) {
    uint64_t bits = 0;
    for (uint32_t bit = 0; bit < 64; ++bit) {
        if ((mask >> bit & 1) != 0 && t.events[bit].serial > since) bits |= uint64_t{1} << bit;
    }
    return bits;
}

}  // namespace sim

using sim::ApplicationEvents;
using sim::State;

extern "C" {

int32_t Fg_registerEventCallback(void* fg, uint64_t mask, Fg_EventFunc handler, void* data, uint32_t flags,
                                 Fg_EventInfo* info) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const auto found = s.applicationEvents.find(fg);
    if (found == s.applicationEvents.end()) return SIM_ERR_INVALID_HANDLE;
    if (flags != 0) return SIM_ERR_INVALID_PARAMETER;
    ApplicationEvents& app = found->second;
    if (handler != nullptr) s.handlersRegistered = true;
    for (uint32_t bit = 0; bit < 64; ++bit) {
        if ((mask >> bit & 1) == 0) continue;
        // Only events from now on reach the handler.
        app.handlers[bit] = handler == nullptr ? sim::EventHandler{} : sim::EventHandler{handler, data, info, s.eventSerial};
    }
    return 0;
}

uint64_t Fg_eventWait(void* fg, uint64_t mask, uint32_t timeoutMs, uint32_t flags, Fg_EventInfo* info) {
    State& s = sim::state();
    std::unique_lock<std::mutex> lock(s.mutex);
    const auto found = s.applicationEvents.find(fg);
    if (found == s.applicationEvents.end()) return 0;
    const uint64_t since = (flags & sim::kSinceLastWait) != 0 ? found->second.lastWait : s.eventSerial;
    sim::Board* const board = found->second.board;
    sim::BoardTimeline& t = sim::timelineOf(s, board);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    uint64_t bits = sim::occurredSince(t, mask, since);
    while (bits == 0 && s.changed.wait_until(lock, deadline) != std::cv_status::timeout) {
        bits = sim::occurredSince(t, mask, since);
    }
    if (bits == 0) bits = sim::occurredSince(t, mask, since);
    // The handle may have been freed while this thread waited.
    const auto still = s.applicationEvents.find(fg);
    if (still != s.applicationEvents.end()) still->second.lastWait = s.eventSerial;
    sim::fillEventInfo(info, bits, t.events);
    return bits;
}

}  // extern "C"
