// How every call on an inner handle runs: under the runtime's mutex, recorded in the call log,
// refused for a handle that is not open, answered from an injected failure when a test set one,
// and leaving the handle's last error behind.
#pragma once

#include <cstdint>
#include <cstring>
#include <mutex>
#include <type_traits>

#include "orvanta_sim/runtime.h"
#include "runtime_state.h"

namespace sim::inner {

struct Outcome {
    int64_t result;
    int32_t error;  // the handle's last error afterwards
};

inline Outcome ok(int64_t result = 0) { return {result, 0}; }
inline Outcome failed(int32_t code) { return {code, code}; }

inline SimCall callOf(const char* function, void* fg) {
    SimCall call;
    std::memset(&call, 0, sizeof call);
    copyText(call.function, sizeof call.function, function);
    call.handle = fg;
    return call;
}

// Checks the handle and the injected failures, runs body on an open handle and records the call
// with its answer. A body that takes the lock as a fourth argument may wait on it; the call is
// logged when it ends, so a wait holds no reference into the log.
template <typename Body>
int64_t onInner(SimCall call, Body body) {
    State& s = state();
    std::unique_lock<std::mutex> lock(s.mutex);
    InnerHandle* handle = s.inner(call.handle);
    Outcome outcome;
    const bool wasOpen = handle != nullptr && handle->open;
    if (handle == nullptr) {
        outcome = failed(SIM_ERR_INVALID_HANDLE);
    } else if (!handle->open) {
        outcome = failed(SIM_ERR_HANDLE_CLOSED);
    } else if (const InjectedCall* injected = s.control.injected(call.function)) {
        outcome = Outcome{injected->result, injected->lastError};
    } else if constexpr (std::is_invocable_v<Body, State&, InnerHandle&, SimCall&, std::unique_lock<std::mutex>&>) {
        outcome = body(s, *handle, call, lock);
    } else {
        outcome = body(s, *handle, call);
    }
    if (wasOpen) handle->lastError = outcome.error;
    call.result = outcome.result;
    s.control.keep(call);
    return outcome.result;
}

}  // namespace sim::inner
