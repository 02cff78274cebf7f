// The events of one board: the latest occurrence of each event bit, numbered in the order of the
// board's events, and what the application handles open on the board asked for: handlers per
// bit and the serial of their last wait. Handlers and waits compare serials, so both see every
// event independently. Handlers are called outside every lock: the runtime takes their calls
// out one by one (takeHandlerCall) and makes them with the board's lock released.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>

#include "model/board_events.h"
#include "orvanta/runtime.h"

namespace sim {

struct EventRecord {
    uint64_t serial = 0;  // 0: never
    uint64_t time = 0;
    uint64_t data = 0;
};

using EventRecordArray = std::array<EventRecord, 64>;

// The handler an application registered for one event bit.
struct EventHandler {
    Fg_EventFunc function = nullptr;
    void* data = nullptr;
    Fg_EventInfo* info = nullptr;
    uint64_t seen = 0;  // the event serial up to which it has been called
};

// The events of one application handle.
struct ApplicationEvents {
    uint64_t lastWait = 0;  // the event serial when the last wait returned (or the handle opened)
    std::array<EventHandler, 64> handlers{};
    // Handler calls on their way (taken, not yet returned): a change of handlers waits for them,
    // so that an application may free a handler's data and info record once it unregistered it.
    int32_t callsOnTheirWay = 0;
};

struct EventRecords {
    EventRecords() { bit.fill(-1); }

    // The bit of each event in the event list of the HAP last opened on the board; -1: none.
    std::array<int8_t, static_cast<size_t>(BoardEvent::Count)> bit{};
    EventRecordArray latest{};
    uint64_t serial = 0;              // counts the board's events
    bool pending = false;             // a handler may have events to be called with
    bool handlersRegistered = false;  // some application registered one, ever
    std::map<const void*, ApplicationEvents> applications;  // by application handle

    // Records an event at `time`; answers whether it has a bit (and so was recorded).
    bool record(BoardEvent event, uint64_t time, uint64_t data);
    // The bits of mask whose latest occurrence is newer than serial `since`.
    uint64_t occurredSince(uint64_t mask, uint64_t since) const;
    // As after power-up: nothing has occurred (handlers stay registered).
    void restart();
};

struct Board;

// Raises an event on the board at `time`: recorded for the waits, and due for the handlers, whom
// the clock thread is told about on the real clock.
void raiseEvent(Board& board, BoardEvent event, uint64_t time, uint64_t data);

// One handler call taken out of the records, to be made with no lock held.
struct HandlerCall {
    const void* application = nullptr;
    Fg_EventFunc function = nullptr;
    void* data = nullptr;
    Fg_EventInfo* info = nullptr;
    uint64_t events = 0;
    EventRecordArray records;
};

// The next handler with events it has not been called with, marked as called and counted among
// its application's calls on their way (handlerReturned ends that); false: none.
bool takeHandlerCall(EventRecords& events, HandlerCall& call);
void handlerReturned(EventRecords& events, const void* application);

// Fills an event record (of version 1; others are left alone) for the given bits.
void fillEventInfo(Fg_EventInfo* info, uint64_t events, const EventRecordArray& records);

}  // namespace sim
