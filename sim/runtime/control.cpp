// The runtime's control interface for the project's tests: the call log, the boards' values by
// name, the injected failures and the virtual clock.
#include <initializer_list>
#include <mutex>

#include "acquisition.h"
#include "application.h"
#include "orvanta_sim/runtime_control.h"

namespace {

using sim::BoardState;
using sim::NxValue;
using sim::State;
using sim::ValueKind;

// Runs use(value, kind) on the named value of a board when it is of one of the given kinds;
// false for an unknown name or a value of another kind.
template <typename Use>
bool onBoardValue(uint32_t boardIndex, const char* name, std::initializer_list<ValueKind> kinds, Use use) {
    if (name == nullptr) return false;
    bool found = false;
    sim::withBoard(*SimBoard_Of(sim::hardwareOfBoard(boardIndex)), [&](BoardState& board) {
        const int32_t index = board.design->indexOfAnyName(name);
        if (index < 0) return;
        const ValueKind kind = board.design->parameters()[index].kind;
        for (const ValueKind accepted : kinds) {
            if (kind != accepted) continue;
            use(board.values[index], kind);
            found = true;
            return;
        }
    });
    return found;
}

void setFailure(std::map<std::string, int32_t>& failures, const char* name, int32_t code) {
    if (name == nullptr) return;
    if (code == 0) {
        failures.erase(name);
    } else {
        failures[name] = code;
    }
}

// Runs use(State&, BoardTimeline&, BoardState&) on a board's timeline run up to now, under the
// runtime's and the board's locks; false for an unknown board.
template <typename Use>
bool onTimeline(uint32_t boardIndex, Use use) {
    if (boardIndex >= SIM_BOARD_COUNT) return false;
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    sim::Board* board = SimBoard_Of(sim::hardwareOfBoard(boardIndex));
    sim::BoardTimeline& t = sim::timelineOf(s, board);
    sim::withBoard(*board, [&](BoardState& state) {
        sim::runTimelineToNow(s, t, state);
        use(s, t, state);
    });
    return true;
}

// Runs change(TestControl&) under the runtime's lock.
template <typename Change>
void control(Change change) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    change(s.control);
    s.controlChanged();
}

}  // namespace

extern "C" {

void SimCtl_Reset(void) {
    {
        State& s = sim::state();
        std::lock_guard<std::mutex> lock(s.mutex);
        s.control.reset();
        s.controlChanged();
        s.globalLastError = 0;
    }
    SimBoard_ForEach([](sim::Board& board, void*) {
        sim::withBoard(board, [](BoardState& state) {
            sim::restoreStartValues(*state.design, state.values);
            state.injectedPixels = 0;
            state.injection = sim::CameraInjection{};
        });
    }, nullptr);
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    for (auto& entry : s.timelines) sim::restartTimeline(*entry.second);
}

uint64_t SimCtl_HardwareHandle(uint32_t boardIndex) { return sim::hardwareOfBoard(boardIndex); }

void* SimCtl_AppletSymbol(const char* name) { return sim::app::appletSymbol("Orvanta", name); }

int32_t SimCtl_CallCount(void) {
    int32_t count = 0;
    control([&](sim::TestControl& c) { count = static_cast<int32_t>(c.calls.size()); });
    return count;
}

int32_t SimCtl_GetCall(int32_t index, SimCall* call) {
    int32_t result = -1;
    control([&](sim::TestControl& c) {
        if (call == nullptr || index < 0 || index >= static_cast<int32_t>(c.calls.size())) return;
        *call = c.calls[index];
        result = 0;
    });
    return result;
}

void SimCtl_ClearCalls(void) {
    control([](sim::TestControl& c) { c.calls.clear(); });
}

void SimCtl_SetRecording(int32_t on) {
    control([on](sim::TestControl& c) { c.recording = on != 0; });
}

int32_t SimCtl_SetNxU64(uint32_t boardIndex, const char* name, uint64_t value) {
    const bool set = onBoardValue(boardIndex, name, {ValueKind::U32, ValueKind::U64}, [value](NxValue& stored, ValueKind kind) {
        stored.integer = kind == ValueKind::U32 ? value & 0xFFFFFFFFULL : value;
    });
    return set ? 0 : -1;
}

int32_t SimCtl_GetNxU64(uint32_t boardIndex, const char* name, uint64_t* value) {
    if (value == nullptr) return -1;
    const bool got = onBoardValue(boardIndex, name, {ValueKind::U32, ValueKind::U64},
                                  [value](NxValue& stored, ValueKind) { *value = stored.integer; });
    return got ? 0 : -1;
}

int32_t SimCtl_SetNxDouble(uint32_t boardIndex, const char* name, double value) {
    const bool set = onBoardValue(boardIndex, name, {ValueKind::Double}, [value](NxValue& stored, ValueKind) { stored.real = value; });
    return set ? 0 : -1;
}

int32_t SimCtl_GetNxDouble(uint32_t boardIndex, const char* name, double* value) {
    if (value == nullptr) return -1;
    const bool got = onBoardValue(boardIndex, name, {ValueKind::Double}, [value](NxValue& stored, ValueKind) { *value = stored.real; });
    return got ? 0 : -1;
}

int32_t SimCtl_SetNxText(uint32_t boardIndex, const char* name, const char* text) {
    if (text == nullptr) return -1;
    const bool set = onBoardValue(boardIndex, name, {ValueKind::Text}, [text](NxValue& stored, ValueKind) { stored.text = text; });
    return set ? 0 : -1;
}

int32_t SimCtl_GetNxText(uint32_t boardIndex, const char* name, char* buffer, size_t size) {
    if (buffer == nullptr) return -1;
    const bool got = onBoardValue(boardIndex, name, {ValueKind::Text}, [buffer, size](NxValue& stored, ValueKind) {
        sim::copyText(buffer, size, stored.text.c_str());
    });
    return got ? 0 : -1;
}

void SimCtl_HideNxName(const char* name) {
    control([name](sim::TestControl& c) {
        if (name != nullptr) c.hiddenNames.insert(name);
    });
}

void SimCtl_FailNxWrite(const char* name, int32_t code) {
    control([&](sim::TestControl& c) { setFailure(c.failedNxWrites, name, code); });
}

void SimCtl_FailNxRead(const char* name, int32_t code) {
    control([&](sim::TestControl& c) { setFailure(c.failedNxReads, name, code); });
}

void SimCtl_LoopDescription(int32_t on) {
    control([on](sim::TestControl& c) { c.loopingDescription = on != 0; });
}

void SimCtl_FailInit(int32_t globalLastError) {
    control([globalLastError](sim::TestControl& c) { c.failedInit = globalLastError; });
}

void SimCtl_FailCall(const char* function, int64_t result, int32_t lastError) {
    control([&](sim::TestControl& c) {
        if (function == nullptr) return;
        if (result == 0 && lastError == 0) {
            c.failedCalls.erase(function);
        } else {
            c.failedCalls[function] = sim::InjectedCall{result, lastError};
        }
    });
}

void SimCtl_SetVirtualClock(int32_t on) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if ((on != 0) == s.virtualClock) return;
    // The board clock runs on across the switch: the timelines have run up to it already.
    const uint64_t now = std::max(sim::boardNow(s), s.virtualNow);
    if (on != 0) {
        s.virtualNow = now;
    } else {
        s.realZero = std::chrono::steady_clock::now() - std::chrono::nanoseconds(now);
    }
    s.virtualClock = on != 0;
    s.clockWake->notify_all();
}

void SimCtl_AdvanceClock(uint64_t nanoseconds) { sim::advanceVirtualClock(nanoseconds); }

int32_t SimCtl_PulseTriggerInput(uint32_t boardIndex, uint32_t input, uint64_t count, uint64_t periodNanoseconds) {
    if (!sim::isTriggerInput(input) || periodNanoseconds < 2) return -1;
    const bool done = onTimeline(boardIndex, [&](State& s, sim::BoardTimeline& t, BoardState&) {
        t.trigger->pulseInput(input, count, periodNanoseconds, t.now);
        s.clockWake->notify_all();
    });
    return done ? 0 : -1;
}

int32_t SimCtl_SetTriggerInputLevel(uint32_t boardIndex, uint32_t input, int32_t level) {
    if (!sim::isTriggerInput(input)) return -1;
    const bool done = onTimeline(boardIndex, [&](State& s, sim::BoardTimeline& t, BoardState& board) {
        sim::setInputLevel(s, t, board, input, level != 0);
    });
    return done ? 0 : -1;
}

int64_t SimCtl_TriggerOutputPulses(uint32_t boardIndex, uint32_t output) {
    if (output >= sim::kDigitalOutputs) return -1;
    int64_t pulses = -1;
    onTimeline(boardIndex, [&](State&, sim::BoardTimeline& t, BoardState&) {
        pulses = static_cast<int64_t>(t.trigger->outputPulses(output));
    });
    return pulses;
}

uint32_t SimCtl_TriggerOutputLevels(uint32_t boardIndex) {
    uint32_t levels = 0;
    onTimeline(boardIndex, [&](State&, sim::BoardTimeline& t, BoardState&) { levels = t.trigger->outputLevels(); });
    return levels;
}

int32_t SimCtl_SetCamera(uint32_t boardIndex, int32_t connected, uint32_t width, uint32_t height,
                         double maxFramesPerSecond) {
    if (width == 0 || height == 0 || !(maxFramesPerSecond > 0)) return -1;
    const bool done = onTimeline(boardIndex, [&](State&, sim::BoardTimeline& t, BoardState&) {
        t.camera = sim::Camera{};
        t.camera.connected = connected != 0;
        t.camera.width = width;
        t.camera.height = height;
        t.camera.maxFramesPerSecond = maxFramesPerSecond;
    });
    return done ? 0 : -1;
}

uint64_t SimCtl_InjectedPixelCount(uint32_t boardIndex) {
    uint64_t count = 0;
    sim::withBoard(*SimBoard_Of(sim::hardwareOfBoard(boardIndex)), [&](BoardState& board) { count = board.injectedPixels; });
    return count;
}

}  // extern "C"
