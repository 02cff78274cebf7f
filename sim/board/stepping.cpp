// Stepping a board's timeline from one change to the next: the camera's and the triggered
// simulator's frames end before a pulse of the same time comes; the trigger module's status is
// published to the board's values as it changes.
#include <algorithm>

#include "board.h"
#include "clock.h"

namespace sim {
namespace {

constexpr uint64_t kNever = UINT64_MAX;
// On the real clock a board runs at most this many changes per call: a trigger rate beyond what
// the simulation keeps up with makes the board's clock fall behind the real one, instead of
// holding the board's lock through ever longer catch-ups.
constexpr uint32_t kRealTimeSteps = 5000;
// Bits of the camera port's signals in the runtime's camera status.
constexpr uint64_t kPixelClock = 1u << 0;
constexpr uint64_t kLineValid = 1u << 1;
constexpr uint64_t kFrameValid = 1u << 2;

uint64_t ownChange(const Timeline& t) {
    const uint64_t camera = t.camera.sending ? t.camera.sendEnd : kNever;
    const uint64_t simulator = t.simulator.sending ? t.simulator.sendEnd : kNever;
    return std::min(camera, simulator);
}

void publish(Board& board, size_t slot, int32_t index, uint64_t value, bool always) {
    Timeline& t = board.timeline;
    if (index < 0 || (!always && t.published[slot] == value)) return;
    t.published[slot] = value;
    board.design.values[static_cast<size_t>(index)].integer = value;
}

bool isStatusRole(int16_t role) {
    return role == kCameraStatusRole ||
           (role >= 0 && role < kCameraStatusRole && isTriggerStatus(static_cast<TriggerRegister>(role)));
}

}  // namespace

void TimelinePort::cameraPulse(uint64_t time) {
    startCameraFrame(board_, time, *this);
    const FrameSource source = board_.timeline.source;
    if (source == FrameSource::LineTrigger || source == FrameSource::FrameTrigger) {
        startSimulatorFrame(board_, time, source);
    }
}

void TimelinePort::raise(BoardEvent event, uint64_t time, uint64_t data) { raiseEvent(board_, event, time, data); }

void publishStatus(Board& board, bool always) {
    const Timeline& t = board.timeline;
    const DesignBinding& b = t.binding;
    for (size_t r = static_cast<size_t>(TriggerRegister::GeneratorReady); r < b.triggerIndex.size(); ++r) {
        publish(board, r, b.triggerIndex[r], t.trigger->read(static_cast<TriggerRegister>(r)), always);
    }
    uint64_t status = t.camera.connected ? kPixelClock : 0;
    if (t.camera.sending) status |= kLineValid | kFrameValid;
    publish(board, b.triggerIndex.size(), b.cameraStatusIndex, status, always);
}

void runTimeline(Board& board, uint64_t time) {
    ensureBound(board);
    Timeline& t = board.timeline;
    TimelinePort port(board);
    for (uint32_t steps = boardClock().isVirtual() ? UINT32_MAX : kRealTimeSteps;; --steps) {
        const uint64_t own = ownChange(t);
        const uint64_t trigger = t.trigger->nextChange();
        if (std::min(own, trigger) > time) break;
        if (steps == 0) {
            publishStatus(board);
            return;
        }
        if (own <= trigger) {
            // What ends at a time ends before a pulse of the same time comes.
            t.now = std::max(t.now, own);
            finishCameraFrame(board);
            finishSimulatorFrame(board);
        } else {
            t.now = std::max(t.now, trigger);
            t.trigger->advanceTo(t.now, port);
        }
    }
    t.now = std::max(t.now, time);
    t.trigger->advanceTo(t.now, port);
    publishStatus(board);
}

void runTimelineToNow(Board& board) { runTimeline(board, std::max(boardClock().now(), board.timeline.now)); }

uint64_t nextChange(const Board& board) {
    const Timeline& t = board.timeline;
    return std::min(ownChange(t), t.trigger->nextChange());
}

void registerWritten(Board& board, int32_t index) {
    const int16_t role = roleOf(board, index);
    if (role < 0 || role == kCameraStatusRole) return;
    runTimelineToNow(board);
    Timeline& t = board.timeline;
    if (role == kSourceRole) t.source = readFrameSettings(board.design).source;
    if (role < kCameraStatusRole && !isTriggerStatus(static_cast<TriggerRegister>(role))) {
        const uint64_t planned = nextChange(board);
        TimelinePort port(board);
        t.trigger->write(static_cast<TriggerRegister>(role),
                         static_cast<uint32_t>(board.design.values[static_cast<size_t>(index)].integer), t.now, port);
        publishStatus(board);
        // The clock thread sleeps until the change it planned for; a sooner one wakes it.
        if (nextChange(board) < planned) boardClock().wake();
    }
}

void beforeRead(Board& board, int32_t index) {
    if (isStatusRole(roleOf(board, index))) runTimelineToNow(board);
}

void setInputLevel(Board& board, uint32_t input, bool high) {
    TimelinePort port(board);
    board.timeline.trigger->setInputLevel(input, high, board.timeline.now, port);
    publishStatus(board);
    boardClock().wake();
}

void restartTimeline(Board& board) {
    Timeline& t = board.timeline;
    t.trigger = std::make_unique<TriggerModule>();
    t.camera = Camera{};
    t.simulator = TriggeredSimulator{};
    t.binding.design = nullptr;
    board.events.restart();
}

}  // namespace sim
