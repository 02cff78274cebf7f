// How every call on an inner handle runs: the handle table finds the handle's board, the call
// runs under that board's lock (refused for a handle that is not open, answered from an injected
// failure when a test set one), leaves the handle's last error behind and is recorded in the
// call log.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <type_traits>

#include "handle_table.h"
#include "orvanta_sim/runtime.h"
#include "test_control.h"

namespace sim::inner {

using Lock = std::unique_lock<std::mutex>;

inline SimCall callOf(const char* function, const void* fg) {
    SimCall call;
    std::memset(&call, 0, sizeof call);
    copyText(call.function, sizeof call.function, function);
    call.handle = const_cast<void*>(fg);
    return call;
}

// When an injected failure is asked for: before the body, or after it for a call that must have
// its effect whatever it answers (closing a handle frees it also when it fails).
enum class Injected { Before, After };

// Runs body(Board&, InnerHandle&, SimCall&[, Lock&]) on an open handle and
// records the call with its answer. A body that takes the lock may wait on it; the call is logged
// when it ends.
template <typename Body>
int64_t onInner(SimCall call, Body body, Injected injectedAt = Injected::Before) {
    int32_t error = 0;
    Board* board = handles().innerBoard(call.handle, error);
    Outcome outcome = failed(error);
    std::shared_ptr<InnerHandle> handle;  // released after the lock: a closed handle goes here
    if (board != nullptr) {
        Lock lock(board->mutex);
        handle = board->handle(call.handle);
        if (handle == nullptr || !handle->open) {
            outcome = failed(SIM_ERR_HANDLE_CLOSED);
        } else if (const std::optional<Outcome> injected =
                       injectedAt == Injected::Before ? control().fault(CallKind::Call, call) : std::nullopt) {
            outcome = *injected;
        } else {
            // A runtime answers a lack of memory with a code: nothing is thrown across its interface.
            try {
                if constexpr (std::is_invocable_v<Body, Board&, InnerHandle&, SimCall&, Lock&>) {
                    outcome = body(*board, *handle, call, lock);
                } else {
                    outcome = body(*board, *handle, call);
                }
            } catch (const std::bad_alloc&) {
                outcome = failed(SIM_ERR_OUT_OF_MEMORY);
            }
            if (injectedAt == Injected::After) {
                if (const std::optional<Outcome> injected = control().fault(CallKind::Call, call)) outcome = *injected;
            }
        }
        if (handle != nullptr && handle->open) handle->lastError = outcome.error;
    }
    call.result = outcome.result;
    control().keep(call);
    return outcome.result;
}

}  // namespace sim::inner
