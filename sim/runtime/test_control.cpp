// The runtime's call log and injected failures.
#include "test_control.h"

#include <cstring>
#include <new>
#include <string_view>

#include "process_wide.h"

namespace sim {
namespace {

int32_t failureOf(const std::map<std::string, int32_t, std::less<>>& failures, const char* name) {
    const auto found = failures.find(std::string_view(name));
    return found == failures.end() ? 0 : found->second;
}

// The plan that counts a call of this kind: a parameter call on an inner handle is counted as
// the NX read or write it makes, once its parameter is found, not as a call of its own.
FaultPlan* planOf(CallKind kind, const SimCall& call, FaultPlan (&plans)[3]) {
    if (kind == CallKind::NxWrite) return &plans[SIM_FAULT_NX_WRITE];
    if (kind == CallKind::NxRead) return &plans[SIM_FAULT_NX_READ];
    const std::string_view function = call.function;
    if (function == "Fg_setParameterWithType" || function == "Fg_getParameterWithType") return nullptr;
    return &plans[SIM_FAULT_RUNTIME_CALL];
}

}  // namespace

std::optional<Outcome> TestControl::fault(CallKind kind, const SimCall& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (FaultPlan* plan = planOf(kind, call, plans_)) {
        if (const int32_t code = plan->next()) return failed(code);
    }
    if (kind == CallKind::Call) {
        const auto found = failedCalls_.find(std::string_view(call.function));
        if (found == failedCalls_.end()) return std::nullopt;
        return Outcome{found->second.result, found->second.lastError};
    }
    const int32_t code = failureOf(kind == CallKind::NxWrite ? failedNxWrites_ : failedNxReads_, call.nxName);
    if (code == 0) return std::nullopt;
    return failed(code);
}

int32_t TestControl::failedInit() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return failedInit_;
}

void TestControl::keep(const SimCall& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!recording_) return;
    if (calls_.size() == kCallsKept) calls_.pop_front();
    // A record the heap has no room for is dropped: the call itself was answered.
    try {
        calls_.push_back(call);
    } catch (const std::bad_alloc&) {
    }
}

bool TestControl::hidden(const char* name) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return hiddenNames_.count(std::string_view(name)) != 0;
}

std::unique_ptr<DescriptionTree> TestControl::describe(const DesignModel& design) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<DescriptionTree>(design, hiddenNames_, loopingDescription_);
}

int32_t TestControl::callCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int32_t>(calls_.size());
}

bool TestControl::call(int32_t index, SimCall& call) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (index < 0 || index >= static_cast<int32_t>(calls_.size())) return false;
    call = calls_[static_cast<size_t>(index)];
    return true;
}

void TestControl::clearCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.clear();
}

void TestControl::setRecording(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    recording_ = on;
}

void TestControl::hide(const char* name) {
    std::lock_guard<std::mutex> lock(mutex_);
    hiddenNames_.insert(name);
}

void TestControl::failNx(CallKind kind, const char* name, int32_t code) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto& failures = kind == CallKind::NxWrite ? failedNxWrites_ : failedNxReads_;
    if (code == 0) {
        failures.erase(name);
    } else {
        failures[name] = code;
    }
}

void TestControl::failCall(const char* function, int64_t result, int32_t lastError) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (result == 0 && lastError == 0) {
        failedCalls_.erase(function);
    } else {
        failedCalls_[function] = InjectedCall{result, lastError};
    }
}

void TestControl::failInit(int32_t globalLastError) {
    std::lock_guard<std::mutex> lock(mutex_);
    failedInit_ = globalLastError;
}

void TestControl::loopDescriptions(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    loopingDescription_ = on;
}

bool TestControl::planFault(int32_t kind, uint64_t nth, bool persistent, int32_t code) {
    if (kind < SIM_FAULT_NX_WRITE || kind > SIM_FAULT_RUNTIME_CALL) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    plans_[kind].plan(nth, persistent, code);
    return true;
}

uint64_t TestControl::plannedCalls(int32_t kind) const {
    if (kind < SIM_FAULT_NX_WRITE || kind > SIM_FAULT_RUNTIME_CALL) return 0;
    std::lock_guard<std::mutex> lock(mutex_);
    return plans_[kind].calls;
}

void TestControl::reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (FaultPlan& plan : plans_) plan.clear();
    calls_.clear();
    hiddenNames_.clear();
    failedNxWrites_.clear();
    failedNxReads_.clear();
    failedCalls_.clear();
    failedInit_ = 0;
    recording_ = true;
    loopingDescription_ = false;
}

TestControl& control() { return platform::processWide<TestControl>(); }

void copyText(char* field, std::size_t size, const char* text) {
    if (size == 0) return;
    std::size_t length = text == nullptr ? 0 : std::strlen(text);
    if (length >= size) length = size - 1;
    if (length > 0) std::memcpy(field, text, length);
    field[length] = '\0';
}

}  // namespace sim
