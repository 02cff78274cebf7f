// The runtime's control interface for the project's tests: the call log, the board values by
// name and the injected failures.
#include <initializer_list>

#include "application.h"
#include "vexo_sim.h"

namespace {

using sim::DesignModel;
using sim::State;
using sim::ValueKind;

struct NamedValue {
    sim::NxValue* value = nullptr;
    ValueKind kind = ValueKind::U32;
};

// The stored value of a named parameter of a board, when it is of one of the given kinds.
NamedValue boardValue(State& s, uint32_t boardIndex, const char* name, std::initializer_list<ValueKind> kinds) {
    if (name == nullptr) return {};
    const DesignModel& model = s.model();
    const int32_t index = model.indexOfAnyName(name);
    if (index < 0) return {};
    const ValueKind kind = model.parameters()[index].kind;
    for (const ValueKind accepted : kinds) {
        if (kind == accepted) return {&s.board(sim::hardwareOfBoard(boardIndex)).values[index], kind};
    }
    return {};
}

void setFailure(std::map<std::string, int32_t>& failures, const char* name, int32_t code) {
    if (name == nullptr) return;
    if (code == 0) {
        failures.erase(name);
    } else {
        failures[name] = code;
    }
}

}  // namespace

extern "C" {

void SimCtl_Reset(void) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.boards.clear();
    s.calls.clear();
    s.hiddenNames.clear();
    s.failedNxWrites.clear();
    s.failedNxReads.clear();
    s.failedCalls.clear();
    s.failedInit = 0;
    s.globalLastError = 0;
    s.recording = true;
    s.loopingDescription = false;
}

uint64_t SimCtl_HardwareHandle(uint32_t boardIndex) { return sim::hardwareOfBoard(boardIndex); }

void* SimCtl_AppletSymbol(const char* name) { return sim::app::appletSymbol("Orvanta", name); }

int32_t SimCtl_CallCount(void) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return static_cast<int32_t>(s.calls.size());
}

int32_t SimCtl_GetCall(int32_t index, SimCall* call) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (call == nullptr || index < 0 || index >= static_cast<int32_t>(s.calls.size())) return -1;
    *call = s.calls[index];
    return 0;
}

void SimCtl_ClearCalls(void) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.calls.clear();
}

void SimCtl_SetRecording(int32_t on) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.recording = on != 0;
}

int32_t SimCtl_SetNxU64(uint32_t boardIndex, const char* name, uint64_t value) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    const NamedValue named = boardValue(s, boardIndex, name, {ValueKind::U32, ValueKind::U64});
    if (named.value == nullptr) return -1;
    named.value->integer = named.kind == ValueKind::U32 ? value & 0xFFFFFFFFULL : value;
    return 0;
}

int32_t SimCtl_GetNxU64(uint32_t boardIndex, const char* name, uint64_t* value) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    sim::NxValue* stored = boardValue(s, boardIndex, name, {ValueKind::U32, ValueKind::U64}).value;
    if (stored == nullptr || value == nullptr) return -1;
    *value = stored->integer;
    return 0;
}

int32_t SimCtl_SetNxDouble(uint32_t boardIndex, const char* name, double value) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    sim::NxValue* stored = boardValue(s, boardIndex, name, {ValueKind::Double}).value;
    if (stored == nullptr) return -1;
    stored->real = value;
    return 0;
}

int32_t SimCtl_GetNxDouble(uint32_t boardIndex, const char* name, double* value) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    sim::NxValue* stored = boardValue(s, boardIndex, name, {ValueKind::Double}).value;
    if (stored == nullptr || value == nullptr) return -1;
    *value = stored->real;
    return 0;
}

int32_t SimCtl_SetNxText(uint32_t boardIndex, const char* name, const char* text) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    sim::NxValue* stored = boardValue(s, boardIndex, name, {ValueKind::Text}).value;
    if (stored == nullptr || text == nullptr) return -1;
    stored->text = text;
    return 0;
}

int32_t SimCtl_GetNxText(uint32_t boardIndex, const char* name, char* buffer, size_t size) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    sim::NxValue* stored = boardValue(s, boardIndex, name, {ValueKind::Text}).value;
    if (stored == nullptr || buffer == nullptr) return -1;
    sim::copyText(buffer, size, stored->text.c_str());
    return 0;
}

void SimCtl_HideNxName(const char* name) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (name != nullptr) s.hiddenNames.insert(name);
}

void SimCtl_FailNxWrite(const char* name, int32_t code) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    setFailure(s.failedNxWrites, name, code);
}

void SimCtl_FailNxRead(const char* name, int32_t code) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    setFailure(s.failedNxReads, name, code);
}

void SimCtl_LoopDescription(int32_t on) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.loopingDescription = on != 0;
}

void SimCtl_FailInit(int32_t globalLastError) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failedInit = globalLastError;
}

void SimCtl_FailCall(const char* function, int64_t result, int32_t lastError) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (function == nullptr) return;
    if (result == 0 && lastError == 0) {
        s.failedCalls.erase(function);
    } else {
        s.failedCalls[function] = sim::InjectedCall{result, lastError};
    }
}

uint64_t SimCtl_InjectedPixelCount(uint32_t boardIndex) {
    State& s = sim::state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.board(sim::hardwareOfBoard(boardIndex)).injectedPixels;
}

}  // extern "C"
