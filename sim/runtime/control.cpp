// The runtime's control interface for the project's tests: the call log, the boards' values by
// name, the injected failures and the virtual clock. A call on a board takes the board's lock,
// as every other call does.
#include <algorithm>
#include <initializer_list>
#include <mutex>

#include "application.h"
#include "board/clock.h"
#include "clock_thread.h"
#include "orvanta_sim/runtime_control.h"
#include "test_control.h"

namespace {

using sim::Board;
using sim::NxValue;
using sim::ValueKind;

// Runs use(Board&) under the lock of board `boardIndex`; false for an unknown board.
template <typename Use>
bool onBoard(uint32_t boardIndex, Use use) {
    Board* board = boardIndex < SIM_BOARD_COUNT ? sim::handles().board(sim::hardwareOfBoard(boardIndex)) : nullptr;
    if (board == nullptr) return false;
    std::lock_guard<std::mutex> lock(board->mutex);
    use(*board);
    return true;
}

// Runs use(value, kind) on the named value of a board when it is of one of the given kinds;
// false for an unknown name or a value of another kind.
template <typename Use>
bool onBoardValue(uint32_t boardIndex, const char* name, std::initializer_list<ValueKind> kinds, Use use) {
    if (name == nullptr) return false;
    bool found = false;
    onBoard(boardIndex, [&](Board& board) {
        const sim::DesignModel& design = *board.design.design;
        const int32_t index = design.indexOfAnyName(name);
        if (index < 0) return;
        const ValueKind kind = design.parameters()[static_cast<size_t>(index)].kind;
        if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end()) return;
        use(board.design.values[static_cast<size_t>(index)], kind);
        found = true;
    });
    return found;
}

// Runs use(Board&) on a board's timeline run up to now; false for an unknown board.
template <typename Use>
bool onTimeline(uint32_t boardIndex, Use use) {
    return onBoard(boardIndex, [&](Board& board) {
        sim::runTimelineToNow(board);
        use(board);
    });
}

}  // namespace

extern "C" {

void SimCtl_Reset(void) {
    sim::control().reset();
    sim::handles().globalLastError = 0;
    sim::HandleTable::BoardList boards;
    const size_t count = sim::handles().boards(boards);
    for (size_t i = 0; i < count; ++i) {
        std::lock_guard<std::mutex> lock(boards[i]->mutex);
        boards[i]->restart();
    }
}

uint64_t SimCtl_HardwareHandle(uint32_t boardIndex) { return sim::hardwareOfBoard(boardIndex); }

void* SimCtl_AppletSymbol(const char* name) { return sim::app::appletSymbol("Orvanta", name); }

int32_t SimCtl_PlanFault(int32_t kind, uint64_t nth, int32_t persistent, int32_t code) {
    return sim::control().planFault(kind, nth, persistent != 0, code) ? 0 : -1;
}

uint64_t SimCtl_FaultCalls(int32_t kind) { return sim::control().plannedCalls(kind); }

int32_t SimCtl_OpenInnerHandles(void) { return static_cast<int32_t>(sim::handles().openInnerCount()); }

int32_t SimCtl_CallCount(void) { return sim::control().callCount(); }

int32_t SimCtl_GetCall(int32_t index, SimCall* call) {
    return call != nullptr && sim::control().call(index, *call) ? 0 : -1;
}

void SimCtl_ClearCalls(void) { sim::control().clearCalls(); }

void SimCtl_SetRecording(int32_t on) { sim::control().setRecording(on != 0); }

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
    if (name != nullptr) sim::control().hide(name);
}

void SimCtl_FailNxWrite(const char* name, int32_t code) {
    if (name != nullptr) sim::control().failNx(sim::CallKind::NxWrite, name, code);
}

void SimCtl_FailNxRead(const char* name, int32_t code) {
    if (name != nullptr) sim::control().failNx(sim::CallKind::NxRead, name, code);
}

void SimCtl_LoopDescription(int32_t on) { sim::control().loopDescriptions(on != 0); }

void SimCtl_FailInit(int32_t globalLastError) { sim::control().failInit(globalLastError); }

void SimCtl_FailCall(const char* function, int64_t result, int32_t lastError) {
    if (function != nullptr) sim::control().failCall(function, result, lastError);
}

void SimCtl_SetVirtualClock(int32_t on) { sim::boardClock().setVirtual(on != 0); }

void SimCtl_AdvanceClock(uint64_t nanoseconds) { sim::advanceVirtualClock(nanoseconds); }

int32_t SimCtl_PulseTriggerInput(uint32_t boardIndex, uint32_t input, uint64_t count, uint64_t periodNanoseconds) {
    if (!sim::isTriggerInput(input) || periodNanoseconds < 2) return -1;
    const bool done = onTimeline(boardIndex, [&](Board& board) {
        board.timeline.trigger->pulseInput(input, count, periodNanoseconds, board.timeline.now);
        sim::boardClock().wake();
    });
    return done ? 0 : -1;
}

int32_t SimCtl_SetTriggerInputLevel(uint32_t boardIndex, uint32_t input, int32_t level) {
    if (!sim::isTriggerInput(input)) return -1;
    const bool done = onTimeline(boardIndex, [&](Board& board) { sim::setInputLevel(board, input, level != 0); });
    return done ? 0 : -1;
}

int64_t SimCtl_TriggerOutputPulses(uint32_t boardIndex, uint32_t output) {
    if (output >= sim::kDigitalOutputs) return -1;
    int64_t pulses = -1;
    onTimeline(boardIndex, [&](Board& board) { pulses = static_cast<int64_t>(board.timeline.trigger->outputPulses(output)); });
    return pulses;
}

uint32_t SimCtl_TriggerOutputLevels(uint32_t boardIndex) {
    uint32_t levels = 0;
    onTimeline(boardIndex, [&](Board& board) { levels = board.timeline.trigger->outputLevels(); });
    return levels;
}

int32_t SimCtl_SetCamera(uint32_t boardIndex, int32_t connected, uint32_t width, uint32_t height,
                         double maxFramesPerSecond) {
    if (width == 0 || height == 0 || !(maxFramesPerSecond > 0)) return -1;
    const bool done = onTimeline(boardIndex, [&](Board& board) {
        sim::Camera& camera = board.timeline.camera;
        camera = sim::Camera{};
        camera.connected = connected != 0;
        camera.width = width;
        camera.height = height;
        camera.maxFramesPerSecond = maxFramesPerSecond;
    });
    return done ? 0 : -1;
}

uint64_t SimCtl_InjectedPixelCount(uint32_t boardIndex) {
    uint64_t count = 0;
    onBoard(boardIndex, [&](Board& board) { count = board.injectedPixels; });
    return count;
}

}  // extern "C"
