// What happens on a simulated board over time apart from the free-running simulator's frames:
// the trigger module, the camera on the camera port, the simulator's triggered frames and the
// events they raise. One timeline per board, run up to the board's clock whenever something
// looks at it (a register written or read, a control call) and, on the real clock, by the
// runtime's clock thread; on the virtual clock by SimCtl_AdvanceClock. Every function here
// expects the runtime's mutex held; those given a BoardState also the board's lock.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "board/board.h"
#include "board_events.h"
#include "image_path.h"
#include "orvanta_sim/runtime.h"
#include "parameter_route.h"
#include "trigger_module.h"

namespace sim {

struct State;

// The camera on the camera port. Its frame is sent from the pulse that starts it until it is
// delivered, 1 / maxFramesPerSecond later.
struct Camera {
    bool connected = true;
    uint32_t width = 1024;
    uint32_t height = 1024;
    double maxFramesPerSecond = 200;
    bool sending = false;
    uint64_t sendEnd = 0;
    uint64_t frame = 0;     // k of the frame being sent, or of the next one
    FrameSettings settings;  // of the frame being sent, read when it started

    uint64_t frameNanoseconds() const;
};

// The camera simulator triggered by the camera-control output: a frame being sent (frame
// trigger) or being built line by line (line trigger).
struct TriggeredSimulator {
    bool sending = false;     // a frame (frame trigger) or a line (line trigger) is on its way
    uint64_t sendEnd = 0;
    uint32_t lines = 0;       // lines received of the frame being built
    bool frameDone = false;   // the line ending at sendEnd completes the frame
    FrameSettings settings;   // of the frame being sent or built, read at its first pulse
};

// The latest occurrence of an event bit, numbered in the order of all the runtime's events.
struct EventRecord {
    uint64_t serial = 0;  // 0: never
    uint64_t time = 0;
    uint64_t data = 0;
};

struct BoardTimeline {
    explicit BoardTimeline(Board* b) : board(b) {}

    Board* const board;
    uint64_t now = 0;  // the board time it has run to
    std::unique_ptr<TriggerModule> trigger = std::make_unique<TriggerModule>();
    Camera camera;
    TriggeredSimulator simulator;

    // The design the indices below belong to, and what each of its parameters is to the
    // timeline: a trigger register, the camera status, or nothing.
    const DesignModel* design = nullptr;
    std::vector<int16_t> roleOfIndex;
    std::array<int32_t, static_cast<size_t>(TriggerRegister::Count)> triggerIndex{};
    int32_t cameraStatusIndex = -1;
    // The status last published to the board: a value set through the control interface stays
    // until the model's own changes.
    std::array<uint64_t, static_cast<size_t>(TriggerRegister::Count) + 1> published{};
    // Where the design's frames come from, read again whenever the applet writes a source register.
    FrameSource source = FrameSource::None;
    // The bit of each event in the event list of the HAP last opened on the board; -1: none.
    std::array<int8_t, static_cast<size_t>(BoardEvent::Count)> eventBit{};
    std::array<EventRecord, 64> events{};
    // The lock-free path's route of the design bound; null while unbound. Routes are kept, one
    // per design, as a call may still be on an earlier one.
    std::atomic<const ParameterRoute*> route{nullptr};
    std::map<const DesignModel*, std::unique_ptr<ParameterRoute>> routes;
};

// The handler an application registered for one event bit.
struct EventHandler {
    Fg_EventFunc function = nullptr;
    void* data = nullptr;
    Fg_EventInfo* info = nullptr;
    uint64_t seen = 0;  // the event serial up to which it has been called
};

// The events on an application's handle.
struct ApplicationEvents {
    Board* board = nullptr;
    uint64_t lastWait = 0;  // the event serial when the last wait returned (or the handle opened)
    std::array<EventHandler, 64> handlers{};
};

// The board's clock in nanoseconds: the virtual clock, or the real one.
uint64_t boardNow(const State& s);

// The board's timeline, made at its first use.
BoardTimeline& timelineOf(State& s, Board* board);
// Starts the clock thread unless it runs: an inner handle is being opened.
void startClock(State& s);
// Binds the timeline to the design on the board, reading its registers, unless it is bound to it.
void bindTimeline(State& s, BoardTimeline& t, BoardState& board);
// Finds the board's events in the event list of an open HAP (not under the board's lock: the
// HAP runtime's lock is taken outside it).
void findEvents(BoardTimeline& t, void* hap);

// The applet wrote parameter `index`; a trigger register reaches the trigger module.
inline bool isTimelineRegister(const BoardTimeline* t, const BoardState& board, int32_t index) {
    return t != nullptr && (t->design != board.design.get() || t->roleOfIndex[static_cast<size_t>(index)] >= 0);
}
void registerWritten(State& s, BoardTimeline& t, BoardState& board, int32_t index);
// Parameter `index` is about to be read: the timeline runs to now and publishes its status.
void beforeRead(State& s, BoardTimeline& t, BoardState& board, int32_t index);

// The board as after power-up: the trigger module, camera and events start again, and the
// registers are read anew at the next use.
void restartTimeline(BoardTimeline& t);

// Runs the timeline up to the board's clock.
void runTimelineToNow(State& s, BoardTimeline& t, BoardState& board);
// Sets a trigger input's level now.
void setInputLevel(State& s, BoardTimeline& t, BoardState& board, uint32_t input, bool high);

// Raises an event on the board at `time`: recorded for the waits, handed to the handlers.
void raiseEvent(State& s, BoardTimeline& t, BoardEvent event, uint64_t time, uint64_t data);

// Fills an event record (of version 1; others are left alone) for the given bits.
void fillEventInfo(Fg_EventInfo* info, uint64_t events, const std::array<EventRecord, 64>& records);

// Runs every board's timeline to `time` (handlers are called with the mutex released, so the
// lock may be let go of in between). On the virtual clock the clock steps from change to change.
void runBoards(State& s, uint64_t time, std::unique_lock<std::mutex>& lock);
// Calls the handlers that have events pending, with the mutex released.
void dispatchEvents(State& s, std::unique_lock<std::mutex>& lock);
// The earliest board time at which a timeline changes by itself; UINT64_MAX: none.
uint64_t nextBoardChange(const State& s);

// The clock thread's body: runs the boards on the real clock until the state ends or another
// generation of the thread is due.
void runClockThread(State* s, uint64_t generation);
// Once no inner handle is open, the clock thread is not needed until the next one opens (and a
// runtime that its applet unloads then has no thread left): answers it to be joined once the
// mutex is released.
std::thread retireClockIfIdle(State& s);

}  // namespace sim
