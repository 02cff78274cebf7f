// The runtime's test control: the record of the calls the applet made on inner handles and the
// failures a test injected (SimCtl_ in control.cpp). Process-wide, behind a lock of its own that
// is taken inside a board's and never around one. Every injected failure is looked up in one
// place, fault(): a plan of failures to come belongs there.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "fault_plan.h"
#include "model/description_tree.h"
#include "orvanta_sim/runtime_control.h"

namespace sim {

// What a call on an inner handle answers, and the handle's last error afterwards.
struct Outcome {
    int64_t result;
    int32_t error;
};

inline Outcome ok(int64_t result = 0) { return {result, 0}; }
inline Outcome failed(int32_t code) { return {code, code}; }

// The kinds of call a failure is injected for.
enum class CallKind {
    Call,     // any call, by its function name (SimCtl_FailCall)
    NxWrite,  // a write of an NX parameter, by its name (SimCtl_FailNxWrite)
    NxRead,   // a read of one (SimCtl_FailNxRead)
};

class TestControl {
public:
    // The injected answer for this call (its function, or the NX name it reaches), if any. Every
    // call asked about is counted by the plan of its kind (SimCtl_PlanFault), which fails it
    // before any failure injected by name.
    std::optional<Outcome> fault(CallKind kind, const SimCall& call);
    // The global last error an init call answers instead of opening; 0: none.
    int32_t failedInit() const;
    // Keeps the call in the log, unless recording is off.
    void keep(const SimCall& call);
    // Whether the name is hidden from the id lookup.
    bool hidden(const char* name) const;
    // A description of the design for Fg_getParameterInfo, with the hidden names left out and
    // looping as the control says.
    std::unique_ptr<DescriptionTree> describe(const DesignModel& design) const;

    int32_t callCount() const;
    bool call(int32_t index, SimCall& call) const;
    void clearCalls();
    void setRecording(bool on);
    void hide(const char* name);
    // A code of 0 removes the failure.
    void failNx(CallKind kind, const char* name, int32_t code);
    void failCall(const char* function, int64_t result, int32_t lastError);
    void failInit(int32_t globalLastError);
    void loopDescriptions(bool on);
    // False for a kind that is not the runtime's.
    bool planFault(int32_t kind, uint64_t nth, bool persistent, int32_t code);
    uint64_t plannedCalls(int32_t kind) const;
    // Everything forgotten, recording on.
    void reset();

private:
    struct InjectedCall {
        int64_t result;
        int32_t lastError;
    };

    mutable std::mutex mutex_;
    // The newest calls only: an application that opens and closes boards for hours on the
    // simulated board keeps a bounded log (16 MiB), and a test reads far fewer between clears.
    static constexpr size_t kCallsKept = 32768;
    std::deque<SimCall> calls_;
    // Transparent comparisons: looked up by the names calls carry, without copies.
    std::set<std::string, std::less<>> hiddenNames_;
    std::map<std::string, int32_t, std::less<>> failedNxWrites_;
    std::map<std::string, int32_t, std::less<>> failedNxReads_;
    std::map<std::string, InjectedCall, std::less<>> failedCalls_;
    int32_t failedInit_ = 0;
    // By SimFaultKind: NX writes, NX reads, the other calls.
    FaultPlan plans_[3];
    // Descriptions built while set come round on themselves (SimCtl_LoopDescription).
    bool loopingDescription_ = false;
    // While off, calls are not kept: the log's growth would count against tests that watch the
    // applet's own heap use.
    bool recording_ = true;
};

TestControl& control();

// Copies text into a fixed field, cut to fit and always terminated.
void copyText(char* field, std::size_t size, const char* text);

}  // namespace sim
