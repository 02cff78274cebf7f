// The boards' timelines: the trigger module's camera-control pulses start the camera's and the
// triggered simulator's frames, which end and are delivered later; events are recorded for the
// waits and handed to the handlers outside every lock. A timeline runs step by step, from one
// change to the next, so that a frame that ends is gone before a pulse at the same time comes.
#include "board_clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "acquisition.h"
#include "hapcore/hap_loading.h"
#include "runtime_state.h"

namespace sim {
namespace {

using std::chrono::steady_clock;

constexpr uint64_t kNever = UINT64_MAX;
// Roles of a design parameter beside the trigger registers (whose role is their number).
constexpr int16_t kNoRole = -1;
constexpr int16_t kCameraStatusRole = static_cast<int16_t>(TriggerRegister::Count);
constexpr int16_t kSourceRole = kCameraStatusRole + 1;
// The simulator registers that decide where frames come from.
constexpr const char* kSourceRegisters[] = {
    "Device1_Process0_CameraSimulator_Enable_SelectSource",
    "Device1_Process0_CameraSimulator_TriggerValve_FreeRun_Select",
    "Device1_Process0_CameraSimulator_TriggerValve_TriggerValve_Mode",
};
// Bits of the camera port's signals in the runtime's camera status.
constexpr uint64_t kPixelClock = 1u << 0;
constexpr uint64_t kLineValid = 1u << 1;
constexpr uint64_t kFrameValid = 1u << 2;
// The real-time clock thread looks at the boards at least this often, so that a change it was
// not told about (a value set through the control interface) is not missed for long.
constexpr std::chrono::milliseconds kClockPoll{100};
constexpr uint32_t kRealTimeSteps = 5000;
constexpr std::chrono::milliseconds kBehindPause{1};

// Where the trigger module's results go while a timeline runs.
class Port final : public TriggerSink {
public:
    Port(State& s, BoardTimeline& t, BoardState& board) : s_(s), t_(t), board_(board) {}
    void cameraPulse(uint64_t time) override;
    void raise(BoardEvent event, uint64_t time, uint64_t data) override { raiseEvent(s_, t_, event, time, data); }

private:
    State& s_;
    BoardTimeline& t_;
    BoardState& board_;
};

void startCameraFrame(State& s, BoardTimeline& t, BoardState& board, uint64_t time, TriggerSink& sink) {
    Camera& camera = t.camera;
    if (!camera.connected) return;
    if (camera.sending) {
        t.trigger->cameraMissedFrame(time, sink);
        return;
    }
    camera.sending = true;
    camera.sendEnd = time + camera.frameNanoseconds();
    camera.settings = cameraFrameSettings(board, camera.width, camera.height);
    raiseEvent(s, t, BoardEvent::FrameStart, time, camera.frame + 1);
}

void startSimulatorFrame(BoardTimeline& t, BoardState& board, uint64_t time, FrameSource source) {
    TriggeredSimulator& simulator = t.simulator;
    if (simulator.sending) return;
    if (simulator.lines == 0) {
        simulator.settings = readFrameSettings(board);
        takeInjectedImage(board, simulator.settings);
    }
    const FrameSettings& settings = simulator.settings;
    uint64_t duration = settings.periodNanoseconds;
    if (source == FrameSource::LineTrigger) {
        duration /= std::max<uint32_t>(settings.frameLines, 1);
        simulator.frameDone = ++simulator.lines >= std::max<uint32_t>(settings.activeHeight, 1);
    } else {
        simulator.frameDone = true;
    }
    simulator.sending = true;
    simulator.sendEnd = time + std::max<uint64_t>(duration, 1);
}

void Port::cameraPulse(uint64_t time) {
    startCameraFrame(s_, t_, board_, time, *this);
    if (t_.source == FrameSource::LineTrigger || t_.source == FrameSource::FrameTrigger) {
        startSimulatorFrame(t_, board_, time, t_.source);
    }
}

// The camera's or the simulator's frame or line that ends at t.now.
void finishSending(State& s, BoardTimeline& t, BoardState& board) {
    Camera& camera = t.camera;
    if (camera.sending && camera.sendEnd <= t.now) {
        camera.sending = false;
        const uint64_t k = camera.frame++;
        raiseEvent(s, t, BoardEvent::FrameEnd, t.now, k + 1);
        if (camera.settings.source == FrameSource::CameraPort) deliverTriggeredFrame(s, t, board, camera.settings, &k);
    }
    TriggeredSimulator& simulator = t.simulator;
    if (simulator.sending && simulator.sendEnd <= t.now) {
        simulator.sending = false;
        if (simulator.frameDone) {
            simulator.lines = 0;
            simulator.frameDone = false;
            deliverTriggeredFrame(s, t, board, simulator.settings, nullptr);
            simulator.settings.injected.reset();
        }
    }
}

uint64_t ownChange(const BoardTimeline& t) {
    const uint64_t camera = t.camera.sending ? t.camera.sendEnd : kNever;
    const uint64_t simulator = t.simulator.sending ? t.simulator.sendEnd : kNever;
    return std::min(camera, simulator);
}

void publish(BoardTimeline& t, BoardState& board, size_t slot, int32_t index, uint64_t value, bool always) {
    if (index < 0 || (!always && t.published[slot] == value)) return;
    t.published[slot] = value;
    board.values[static_cast<size_t>(index)].integer = value;
}

// Writes the model's status registers and the camera status to the board's values; `always`:
// also those that did not change since they were last written.
void publishStatus(BoardTimeline& t, BoardState& board, bool always = false) {
    for (size_t r = static_cast<size_t>(TriggerRegister::GeneratorReady); r < t.triggerIndex.size(); ++r) {
        publish(t, board, r, t.triggerIndex[r], t.trigger->read(static_cast<TriggerRegister>(r)), always);
    }
    const Camera& camera = t.camera;
    uint64_t status = camera.connected ? kPixelClock : 0;
    if (camera.sending) status |= kLineValid | kFrameValid;
    publish(t, board, t.triggerIndex.size(), t.cameraStatusIndex, status, always);
}

void bindDesign(State& s, BoardTimeline& t, BoardState& board) {
    const DesignModel& design = *board.design;
    t.design = &design;
    t.roleOfIndex.assign(design.parameters().size(), kNoRole);
    for (size_t r = 0; r < t.triggerIndex.size(); ++r) {
        const int32_t index = design.indexOfNxName(kTriggerRegisterNames[r]);
        t.triggerIndex[r] = index;
        if (index >= 0) t.roleOfIndex[static_cast<size_t>(index)] = static_cast<int16_t>(r);
    }
    for (const char* name : kSourceRegisters) {
        const int32_t index = design.indexOfNxName(name);
        if (index >= 0) t.roleOfIndex[static_cast<size_t>(index)] = kSourceRole;
    }
    t.cameraStatusIndex = design.indexOfAnyName("FG_CAMSTATUS_EXTENDED");
    if (t.cameraStatusIndex >= 0) t.roleOfIndex[static_cast<size_t>(t.cameraStatusIndex)] = kCameraStatusRole;
    // The module takes the values the board holds; a software trigger written long ago is no
    // pulse now.
    Port port(s, t, board);
    for (size_t r = 0; r < static_cast<size_t>(TriggerRegister::GeneratorReady); ++r) {
        const auto reg = static_cast<TriggerRegister>(r);
        const int32_t index = t.triggerIndex[r];
        if (index < 0 || reg == TriggerRegister::SoftwareTrigger) continue;
        t.trigger->write(reg, static_cast<uint32_t>(board.values[static_cast<size_t>(index)].integer), t.now, port);
    }
    t.source = readFrameSettings(board).source;
    publishStatus(t, board, true);
    std::unique_ptr<ParameterRoute>& route = t.routes[&design];
    if (route == nullptr) route = buildRoute(design, board.values, t.roleOfIndex);
    t.route.store(route.get(), std::memory_order_release);
}

void ensureBound(State& s, BoardTimeline& t, BoardState& board) {
    if (t.design != board.design.get()) bindDesign(s, t, board);
}

// Runs one board's timeline to `time`. On the real clock at most kRealTimeSteps changes per call:
// a trigger rate beyond what the simulation keeps up with makes the board's clock fall behind the
// real one, instead of holding the runtime's lock through ever longer catch-ups.
void runTimeline(State& s, BoardTimeline& t, BoardState& board, uint64_t time) {
    ensureBound(s, t, board);
    Port port(s, t, board);
    for (uint32_t steps = s.virtualClock ? UINT32_MAX : kRealTimeSteps;; --steps) {
        const uint64_t own = ownChange(t);
        const uint64_t trigger = t.trigger->nextChange();
        if (std::min(own, trigger) > time) break;
        if (steps == 0) {
            publishStatus(t, board);
            return;
        }
        if (own <= trigger) {
            // What ends at a time ends before a pulse of the same time comes.
            t.now = std::max(t.now, own);
            finishSending(s, t, board);
        } else {
            t.now = std::max(t.now, trigger);
            t.trigger->advanceTo(t.now, port);
        }
    }
    t.now = std::max(t.now, time);
    t.trigger->advanceTo(t.now, port);
    publishStatus(t, board);
}

uint64_t nanosecondsSince(steady_clock::time_point zero) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(steady_clock::now() - zero).count();
    return elapsed > 0 ? static_cast<uint64_t>(elapsed) : 0;
}

void runTimelinesTo(State& s, uint64_t time) {
    for (auto& entry : s.timelines) {
        BoardTimeline& t = *entry.second;
        withBoard(*t.board, [&](BoardState& board) { runTimeline(s, t, board, time); });
    }
}

// One handler call taken out of the state, to be made with the mutex released.
struct HandlerCall {
    Fg_EventFunc function = nullptr;
    void* data = nullptr;
    Fg_EventInfo* info = nullptr;
    uint64_t events = 0;
    std::array<EventRecord, 64> records;
};

// The next handler with events it has not been called with, marked as called; false: none.
bool takeHandlerCall(State& s, HandlerCall& call) {
    for (auto& entry : s.applicationEvents) {
        ApplicationEvents& app = entry.second;
        const auto timeline = s.timelines.find(app.board);
        if (timeline == s.timelines.end()) continue;
        const std::array<EventRecord, 64>& records = timeline->second->events;
        for (uint32_t bit = 0; bit < 64; ++bit) {
            const EventHandler& first = app.handlers[bit];
            if (first.function == nullptr || records[bit].serial <= first.seen) continue;
            // Every bit registered with the same handler, data and info goes into one call.
            call = HandlerCall{first.function, first.data, first.info, 0, records};
            for (uint32_t other = bit; other < 64; ++other) {
                EventHandler& h = app.handlers[other];
                if (h.function != call.function || h.data != call.data || h.info != call.info) continue;
                if (records[other].serial > h.seen) call.events |= uint64_t{1} << other;
                h.seen = s.eventSerial;
            }
            return true;
        }
    }
    return false;
}

}  // namespace

void fillEventInfo(Fg_EventInfo* info, uint64_t events, const std::array<EventRecord, 64>& records) {
    if (info == nullptr || info->version != 1) return;
    info->count = 0;
    for (uint32_t bit = 0; bit < 64; ++bit) {
        if ((events >> bit & 1) == 0) continue;
        info->timestampNs[info->count] = records[bit].time;
        info->data[info->count] = records[bit].data;
        ++info->count;
    }
}

uint64_t Camera::frameNanoseconds() const {
    return static_cast<uint64_t>(std::llround(1e9 / maxFramesPerSecond));
}

std::thread retireClockIfIdle(State& s) {
    for (const auto& entry : s.innerHandles) {
        if (entry.second->open) return {};
    }
    ++s.clockGeneration;
    s.clockWake->notify_all();
    if (s.clockThread.get_id() == std::this_thread::get_id()) {
        // A handler closed the last board: the thread ends when the handler returns.
        s.clockThread.detach();
        return {};
    }
    return std::move(s.clockThread);
}

uint64_t boardNow(const State& s) { return s.virtualClock ? s.virtualNow : nanosecondsSince(s.realZero); }

BoardTimeline& timelineOf(State& s, Board* board) {
    std::unique_ptr<BoardTimeline>& t = s.timelines[board];
    if (!t) {
        t = std::make_unique<BoardTimeline>(board);
        t->now = boardNow(s);
        t->eventBit.fill(-1);
    }
    return *t;
}

void startClock(State& s) {
    if (!s.clockThread.joinable()) s.clockThread = std::thread(runClockThread, &s, ++s.clockGeneration);
}

void bindTimeline(State& s, BoardTimeline& t, BoardState& board) { ensureBound(s, t, board); }

void findEvents(BoardTimeline& t, void* hap) {
    for (size_t e = 0; e < t.eventBit.size(); ++e) {
        const int32_t position = SimHap_EventPosition(hap, kBoardEventNames[e]);
        t.eventBit[e] = static_cast<int8_t>(position >= 0 && position < 64 ? position : -1);
    }
}

void runTimelineToNow(State& s, BoardTimeline& t, BoardState& board) {
    runTimeline(s, t, board, std::max(boardNow(s), t.now));
}

void setInputLevel(State& s, BoardTimeline& t, BoardState& board, uint32_t input, bool high) {
    Port port(s, t, board);
    t.trigger->setInputLevel(input, high, t.now, port);
    publishStatus(t, board);
    s.clockWake->notify_all();
}

void restartTimeline(BoardTimeline& t) {
    t.trigger = std::make_unique<TriggerModule>();
    t.camera = Camera{};
    t.simulator = TriggeredSimulator{};
    t.design = nullptr;
    t.route.store(nullptr, std::memory_order_release);
    t.events = {};
}

void registerWritten(State& s, BoardTimeline& t, BoardState& board, int32_t index) {
    ensureBound(s, t, board);
    const int16_t role = t.roleOfIndex[static_cast<size_t>(index)];
    if (role < 0 || role == kCameraStatusRole) return;
    runTimelineToNow(s, t, board);
    if (role == kSourceRole) t.source = readFrameSettings(board).source;
    if (role < kCameraStatusRole && !isTriggerStatus(static_cast<TriggerRegister>(role))) {
        const uint64_t planned = std::min(ownChange(t), t.trigger->nextChange());
        Port port(s, t, board);
        t.trigger->write(static_cast<TriggerRegister>(role), static_cast<uint32_t>(board.values[static_cast<size_t>(index)].integer),
                        t.now, port);
        publishStatus(t, board);
        // The clock thread sleeps until the change it planned for; a sooner one wakes it. Waking
        // it at every write would hand the mutex to and fro through a board's start-up.
        if (std::min(ownChange(t), t.trigger->nextChange()) < planned) s.clockWake->notify_all();
    }
}

void beforeRead(State& s, BoardTimeline& t, BoardState& board, int32_t index) {
    ensureBound(s, t, board);
    const int16_t role = t.roleOfIndex[static_cast<size_t>(index)];
    const bool status = role == kCameraStatusRole || (role >= 0 && role < kCameraStatusRole &&
                                                      isTriggerStatus(static_cast<TriggerRegister>(role)));
    if (status) runTimelineToNow(s, t, board);
}

void raiseEvent(State& s, BoardTimeline& t, BoardEvent event, uint64_t time, uint64_t data) {
    const int8_t bit = t.eventBit[static_cast<size_t>(event)];
    if (bit < 0) return;
    t.events[static_cast<size_t>(bit)] = EventRecord{++s.eventSerial, time, data};
    s.eventsPending = true;
    s.changed.notify_all();
    // Handlers are called on the clock thread: it must not sleep through their events.
    if (!s.virtualClock && s.handlersRegistered) s.clockWake->notify_all();
}

void runBoards(State& s, uint64_t time, std::unique_lock<std::mutex>& lock) {
    if (s.virtualClock) {
        // The clock steps from change to change, so that a handler sees the board at its event.
        for (uint64_t next = nextBoardChange(s); next <= time; next = nextBoardChange(s)) {
            s.virtualNow = std::max(s.virtualNow, next);
            runTimelinesTo(s, s.virtualNow);
            dispatchEvents(s, lock);
            if (!s.virtualClock) return;
        }
        s.virtualNow = std::max(s.virtualNow, time);
        time = s.virtualNow;
    }
    runTimelinesTo(s, time);
    dispatchEvents(s, lock);
}

void dispatchEvents(State& s, std::unique_lock<std::mutex>& lock) {
    HandlerCall call;
    while (s.eventsPending) {
        if (!takeHandlerCall(s, call)) {
            s.eventsPending = false;
            break;
        }
        lock.unlock();
        fillEventInfo(call.info, call.events, call.records);
        call.function(call.events, call.data, call.info);
        lock.lock();
    }
}

uint64_t nextBoardChange(const State& s) {
    uint64_t next = kNever;
    for (const auto& entry : s.timelines) {
        const BoardTimeline& t = *entry.second;
        next = std::min({next, ownChange(t), t.trigger->nextChange()});
    }
    return next;
}

void runClockThread(State* s, uint64_t generation) {
    std::unique_lock<std::mutex> lock(s->mutex);
    while (!s->ending && s->clockGeneration == generation) {
        if (s->virtualClock) {
            s->clockWake->wait(lock);
            continue;
        }
        runBoards(*s, boardNow(*s), lock);
        if (s->ending || s->virtualClock || s->clockGeneration != generation) continue;
        steady_clock::time_point wake = steady_clock::now() + kClockPoll;
        const uint64_t next = nextBoardChange(*s);
        if (next <= boardNow(*s)) {
            // Behind the real clock: the others get the lock for a while between two runs (a
            // mere yield would let this thread take it straight back).
            s->clockWake->wait_for(lock, kBehindPause);
            continue;
        }
        if (next != kNever) wake = std::min(wake, s->realZero + std::chrono::nanoseconds(next));
        if (!s->eventsPending) s->clockWake->wait_until(lock, wake);
    }
}

}  // namespace sim
