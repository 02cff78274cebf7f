// Events on an application's handle: handlers registered per event bit, and waits. The board's
// event records keep each event's latest occurrence with a serial number; a handler or a wait
// looks for serials newer than the ones it has seen.
#include <chrono>
#include <mutex>

#include "application.h"
#include "clock_thread.h"
#include "orvanta_sim/runtime.h"

namespace {

constexpr uint32_t kSinceLastWait = 1u << 0;

}  // namespace

extern "C" {

int32_t Fg_registerEventCallback(void* fg, uint64_t mask, Fg_EventFunc handler, void* data, uint32_t flags,
                                 Fg_EventInfo* info) {
    const sim::app::Entered app(fg);
    if (!app) return SIM_ERR_INVALID_HANDLE;
    if (flags != 0) return SIM_ERR_INVALID_PARAMETER;
    sim::Board& board = *app.get()->board;
    std::unique_lock<std::mutex> lock(board.mutex);
    sim::EventRecords& events = board.events;
    auto found = events.applications.find(app.get());
    // A handler being called keeps its data and info record until it returns, unless it is the
    // one asking (it would wait for itself).
    if (!sim::inHandlerOf(app.get())) {
        board.changed.wait(lock, [&] {
            found = events.applications.find(app.get());
            return found == events.applications.end() || found->second.callsOnTheirWay == 0;
        });
    }
    if (found == events.applications.end()) return SIM_ERR_INVALID_HANDLE;
    if (handler != nullptr) events.handlersRegistered = true;
    for (uint32_t bit = 0; bit < 64; ++bit) {
        if ((mask >> bit & 1) == 0) continue;
        // Only events from now on reach the handler.
        found->second.handlers[bit] =
            handler == nullptr ? sim::EventHandler{} : sim::EventHandler{handler, data, info, events.serial};
    }
    return 0;
}

uint64_t Fg_eventWait(void* fg, uint64_t mask, uint32_t timeoutMs, uint32_t flags, Fg_EventInfo* info) {
    const sim::app::Entered app(fg);
    if (!app) return 0;
    sim::Board& board = *app.get()->board;
    std::unique_lock<std::mutex> lock(board.mutex);
    sim::EventRecords& events = board.events;
    auto found = events.applications.find(app.get());
    if (found == events.applications.end()) return 0;
    const uint64_t since = (flags & kSinceLastWait) != 0 ? found->second.lastWait : events.serial;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    uint64_t bits = events.occurredSince(mask, since);
    while (bits == 0 && board.changed.wait_until(lock, deadline) != std::cv_status::timeout) {
        // The handle may be closing meanwhile: its events are gone then.
        if (events.applications.count(app.get()) == 0) return 0;
        bits = events.occurredSince(mask, since);
    }
    if (bits == 0) bits = events.occurredSince(mask, since);
    found = events.applications.find(app.get());
    if (found != events.applications.end()) found->second.lastWait = events.serial;
    sim::fillEventInfo(info, bits, events.latest);
    return bits;
}

}  // extern "C"
