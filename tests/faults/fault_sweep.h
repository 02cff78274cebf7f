// Failures injected one at a time: an operation is run again and again on a fresh board, the
// nth call of one kind failing (n = 1, 2, ... until a run no longer meets the failure), once as a
// single failure and once as a failure that persists from there on; after every run the board is
// checked for what the failure may and may not have changed. Each sweep counts the faults it
// tried and how many the applet survived, and prints them when its case ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <new>
#include <string>

#include <gtest/gtest.h>

#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime_control.h"

namespace faults {

// What a failed runtime call answers in these sweeps: a code no other path produces, so that an
// answer shows where it came from.
constexpr int32_t kInjected = -7701;

enum class Kind { NxWrite, NxRead, RuntimeCall, RegisterAccess, HapCall, Allocation };
constexpr Kind kStandInKinds[] = {Kind::NxWrite, Kind::NxRead, Kind::RuntimeCall, Kind::RegisterAccess,
                                  Kind::HapCall};
const char* nameOf(Kind kind);

// Whether allocations can be failed: the counting allocation functions of the test executable
// reach the applet only where it shares the executable's allocator (not on Windows, where the
// DLL carries its own).
bool allocationsPlanned();

// Counts the calls of a kind from here on, failing the nth (0: none) and, when persistent, every
// one after it. Allocations are counted on the calling thread only; the stand-ins count every
// call of the process.
void plan(Kind kind, uint64_t nth, bool persistent);
uint64_t calls(Kind kind);
// Every plan back to counting only, nothing failing.
void clearPlans();

// The faults of one operation: how many were tried and how many left the board as it should be.
struct Tally {
    explicit Tally(std::string what) : operation(std::move(what)) {}
    ~Tally();  // prints the summary line
    Tally(const Tally&) = delete;
    Tally& operator=(const Tally&) = delete;
    std::string operation;
    uint64_t runs = 0;  // operations swept (a parameter with one value, say)
    uint64_t tried = 0;
    uint64_t survived = 0;
};

// The checks of one faulted run. A failed check is reported as a test failure; a sweep reports
// only the first few in full, so that one defect does not bury the log under thousands of runs.
class Verdict {
public:
    explicit Verdict(std::string context) : context_(std::move(context)) {}
    bool expect(bool condition, const std::string& what);
    template <typename A, typename B>
    bool expectEqual(const A& actual, const B& expected, const std::string& what) {
        return expect(actual == expected, what + ": " + ::testing::PrintToString(actual) + ", expected " +
                                              ::testing::PrintToString(expected));
    }
    bool passed() const { return passed_; }

private:
    std::string context_;
    bool passed_ = true;
};

// One run of an operation with its nth call of `kind` failing: it sets the board up, plans the
// fault right before the operation, clears it right after, and checks what it left. Answers
// whether the run met the fault (when it did not, the sweep of that mode is over), with the
// verdict's result.
struct Attempted {
    bool reachedFault;
    bool survived;
};
using Attempt = std::function<Attempted(Kind kind, uint64_t nth, bool persistent)>;

// What a run of an operation met: the failure or not, and the operation's answer, or
// kAllocationFailed where std::bad_alloc reached the caller (the design gives no code for it).
constexpr int32_t kAllocationFailed = 1;
struct Faulted {
    bool reached;
    int32_t result;
};

// Runs `body` (answering an int32_t) with the nth call of `kind` failing, the runtime's call log
// paused (the log's own allocations are not the operation's).
template <typename Body>
Faulted withFault(Kind kind, uint64_t nth, bool persistent, Body&& body) {
    SimCtl_SetRecording(0);
    plan(kind, nth, persistent);
    int32_t result = kAllocationFailed;
    try {
        result = body();
    } catch (const std::bad_alloc&) {
    }
    const bool reached = calls(kind) >= nth;
    clearPlans();
    SimCtl_SetRecording(1);
    return {reached, result};
}

// "<operation>, <kind> <n> once|on", the context of a run's failed checks.
std::string what(const std::string& operation, Kind kind, uint64_t nth, bool persistent);

// n = 1, 2, ... for a single failure, then again for a persistent one, each until a run no
// longer meets the failure. Answers the number of places the operation has for that kind.
uint64_t sweep(Tally& tally, Kind kind, const Attempt& attempt);

}  // namespace faults
