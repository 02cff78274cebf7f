// The simulated runtime's own state: inner and application handles, the applet modules, the
// frame memories and acquisitions, the global last error and the test control, all behind one
// mutex. The boards the handles are opened on belong to the hardware library (board/board.h); a
// board's lock is taken inside this one, never around it. Calls into the applet are never made
// while the mutex is held, since the applet calls back into the runtime from under its own lock.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "board/board.h"
#include "board_clock.h"
#include "description_tree.h"
#include "frame_memory.h"
#include "image_path.h"
#include "test_control.h"

namespace sim {

// The acquisition on a handle's one DMA channel (acquisition.h runs it). Times are nanoseconds
// from its start, on the real clock or on the virtual one.
struct Acquisition {
    FrameMemory* memory = nullptr;  // acquiring, or the last acquired into; null: none since
    uint64_t generation = 0;        // counts the starts, so that a producer knows its own
    bool running = false;
    bool virtualClock = false;
    bool producing = false;  // a frame is being rendered outside the mutex
    std::chrono::steady_clock::time_point realStart;
    uint64_t virtualStart = 0;
    uint64_t frame = 0;       // k of the next source frame
    uint64_t frameStart = 0;  // when it started (its settings are read then)
    bool framePending = false;
    uint64_t frameDue = 0;
    FrameSettings settings;  // of the pending frame
    std::thread producer;    // real time only; joined outside the mutex
};

struct InnerHandle {
    uint64_t hardware = 0;
    Board* board = nullptr;  // the board of `hardware`
    BoardTimeline* timeline = nullptr;  // the board's
    uint64_t serial = 0;     // the newest open handle of a board serves its application's calls
    bool open = true;
    std::atomic<int32_t> lastError{0};  // the lock-free path clears it too
    std::unique_ptr<DescriptionTree> description;      // built on the first request
    std::vector<std::unique_ptr<char[]>> handedTexts;  // type 22 reads not yet given back
    Acquisition acquisition;                           // the design has one DMA channel
};

// The runtime's record of an application's handle. The applet reads and writes only the first
// pointer-sized field.
struct AppHandle {
    void* wrapper = nullptr;
    uint32_t boardIndex = 0;
    void* applet = nullptr;  // the applet module the calls are routed to
};

struct State {
    std::mutex mutex;
    // Closed inner handles stay known (and allocated), so that a late call is told apart from a
    // call with a stray pointer, and no new handle can take a closed one's address.
    std::map<const void*, std::unique_ptr<InnerHandle>> innerHandles;
    std::set<const void*> appHandles;
    std::map<std::string, void*> appletModules;
    int32_t globalLastError = 0;
    uint64_t handlesOpened = 0;
    TestControl control;

    std::map<const void*, std::unique_ptr<FrameMemory>> memories;
    // Signalled whenever a picture arrives, a frame's rendering ends or an acquisition stops.
    // Signalled too whenever an event occurs.
    std::condition_variable changed;
    bool virtualClock = false;
    uint64_t virtualNow = 0;
    // The real clock's zero on the board clock, moved when the clock returns from virtual time
    // so that the board clock runs on without a jump.
    std::chrono::steady_clock::time_point realZero = std::chrono::steady_clock::now();
    // Serialises SimCtl_AdvanceClock; taken before `mutex`, never inside it.
    std::mutex advancing;

    // Per board: trigger module, camera and events; the application handles' events.
    std::map<const Board*, std::unique_ptr<BoardTimeline>> timelines;
    std::map<const void*, ApplicationEvents> applicationEvents;
    uint64_t eventSerial = 0;    // counts every event raised
    bool eventsPending = false;  // a handler has events to be called with
    bool handlersRegistered = false;  // some application registered one, ever
    // Runs the timelines on the real clock while an inner handle is open; woken when one may
    // change sooner than it planned. Each thread runs while the generation is its own.
    std::thread clockThread;
    uint64_t clockGeneration = 0;
    // On the heap: see ~State.
    std::unique_ptr<std::condition_variable> clockWake = std::make_unique<std::condition_variable>();
    bool ending = false;

    State() = default;
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    // Stops the acquisitions still running and the clock thread, and joins them.
    ~State();

    InnerHandle* inner(const void* handle);
    // Tells the lock-free path whether the control is quiet; after every change to `control`.
    void controlChanged();
    // The handle inner() found last: an applet makes its calls on one handle, and the map of
    // every handle ever opened grows with each open. Never stale, as no handle leaves the map.
    const void* lastInnerKey = nullptr;
    InnerHandle* lastInner = nullptr;
    FrameMemory* memory(const void* handle);
};

// What the lock-free parameter path (quick_calls.h) reads: whether the test control is quiet
// (TestControl::quiet) and the open handles it answers on, listed when opened and unlisted when
// closed, as many as fit. Changed under State's mutex only. A plain global, constant-initialised,
// so that a call does not test a function-local static's guard first.
struct QuickCalls {
    std::atomic<bool> quiet{false};
    std::array<std::atomic<InnerHandle*>, 8> slots{};

    // The listed handle fg, or null. A listed handle is an inner one, never an application's.
    InnerHandle* listed(const void* fg) const {
        if (fg == nullptr) return nullptr;
        for (const std::atomic<InnerHandle*>& slot : slots) {
            InnerHandle* handle = slot.load(std::memory_order_acquire);
            if (handle == fg) return handle;
        }
        return nullptr;
    }
    // The listed handle fg while the control is quiet, or null.
    InnerHandle* handle(const void* fg) const {
        return quiet.load(std::memory_order_acquire) ? listed(fg) : nullptr;
    }
    void list(InnerHandle* handle);
    void unlist(InnerHandle* handle);
};
extern QuickCalls quickCalls;

// The process-wide state. It goes with the library: an applet that loaded the runtime itself
// unloads it again when its last board closes.
State& state();

// The hardware handle of board `boardIndex`, as Std_entry receives it.
uint64_t hardwareOfBoard(uint32_t boardIndex);

}  // namespace sim
