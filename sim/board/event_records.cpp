// A board's event records and the handler calls they make due.
#include "event_records.h"

#include "board.h"
#include "clock.h"

namespace sim {

void raiseEvent(Board& board, BoardEvent event, uint64_t time, uint64_t data) {
    EventRecords& events = board.events;
    if (!events.record(event, time, data)) return;
    board.changed.notify_all();
    // Handlers are called on the clock thread: it must not sleep through their events.
    if (events.handlersRegistered && !boardClock().isVirtual()) boardClock().wake();
}

bool EventRecords::record(BoardEvent event, uint64_t time, uint64_t data) {
    const int8_t b = bit[static_cast<size_t>(event)];
    if (b < 0) return false;
    latest[static_cast<size_t>(b)] = EventRecord{++serial, time, data};
    pending = true;
    return true;
}

uint64_t EventRecords::occurredSince(uint64_t mask, uint64_t since) const {
    uint64_t bits = 0;
    for (uint32_t b = 0; b < 64; ++b) {
        if ((mask >> b & 1) != 0 && latest[b].serial > since) bits |= uint64_t{1} << b;
    }
    return bits;
}

void EventRecords::restart() {
    // The serial runs on: what handlers and waits have seen stays seen.
    latest = {};
    pending = false;
}

bool takeHandlerCall(EventRecords& events, HandlerCall& call) {
    if (!events.pending) return false;
    for (auto& entry : events.applications) {
        ApplicationEvents& app = entry.second;
        for (uint32_t bit = 0; bit < 64; ++bit) {
            const EventHandler& first = app.handlers[bit];
            if (first.function == nullptr || events.latest[bit].serial <= first.seen) continue;
            // Every bit registered with the same handler, data and info goes into one call.
            call = HandlerCall{entry.first, first.function, first.data, first.info, 0, events.latest};
            for (uint32_t other = bit; other < 64; ++other) {
                EventHandler& h = app.handlers[other];
                if (h.function != call.function || h.data != call.data || h.info != call.info) continue;
                if (events.latest[other].serial > h.seen) call.events |= uint64_t{1} << other;
                h.seen = events.serial;
            }
            ++app.callsOnTheirWay;
            return true;
        }
    }
    events.pending = false;
    return false;
}

void handlerReturned(EventRecords& events, const void* application) {
    const auto found = events.applications.find(application);
    if (found != events.applications.end()) --found->second.callsOnTheirWay;
}

void fillEventInfo(Fg_EventInfo* info, uint64_t events, const EventRecordArray& records) {
    if (info == nullptr || info->version != 1) return;
    info->count = 0;
    for (uint32_t bit = 0; bit < 64; ++bit) {
        if ((events >> bit & 1) == 0) continue;
        info->timestampNs[info->count] = records[bit].time;
        info->data[info->count] = records[bit].data;
        ++info->count;
    }
}

}  // namespace sim
