// The runtime's test control: the record of the calls the applet made on inner handles and the
// failures a test injected (SimCtl_ in control.cpp). Kept in the runtime's state, behind its
// mutex.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "orvanta_sim/runtime_control.h"

namespace sim {

struct InjectedCall {
    int64_t result;
    int32_t lastError;
};

struct TestControl {
    std::deque<SimCall> calls;
    std::set<std::string, std::less<>> hiddenNames;  // transparent: looked up without a copy
    std::map<std::string, int32_t> failedNxWrites;
    std::map<std::string, int32_t> failedNxReads;
    // Found by the function name a call carries; the transparent comparison spares the key copy.
    std::map<std::string, InjectedCall, std::less<>> failedCalls;
    int32_t failedInit = 0;
    // Descriptions built while set come round on themselves (SimCtl_LoopDescription).
    bool loopingDescription = false;
    // While off, calls are not kept: the log's growth would count against tests that watch the
    // applet's own heap use. `unrecorded` stands in for the entry of a call that is not kept.
    bool recording = true;
    SimCall unrecorded{};

    // A new log entry for a call of `function` on `handle`.
    SimCall& record(const char* function, const void* handle);
    // The log entry for a call prepared by the caller, filled from seed; while not recording,
    // `unrecorded` as it is.
    SimCall& keep(const SimCall& seed);
    // The injected answer of the named function, or null.
    const InjectedCall* injected(const char* function) const;
    // The failure injected for writes or reads of the named parameter, or 0.
    int32_t failedWrite(const std::string& name) const;
    int32_t failedRead(const std::string& name) const;
    // Nothing to record and no failure injected: the calls may be answered without the locks.
    bool quiet() const {
        return !recording && failedNxWrites.empty() && failedNxReads.empty() && failedCalls.empty();
    }
    // Everything forgotten, recording on.
    void reset();
};

// Copies text into a fixed field, cut to fit and always terminated.
void copyText(char* field, std::size_t size, const char* text);

}  // namespace sim
