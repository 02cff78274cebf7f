// Helpers shared by the tests of the simulated board: a fresh runtime state and inner handles
// opened the way the applet opens them.
#pragma once

#include <cstdint>
#include <string>

#include "vexo_sim.h"

namespace simtest {

// Stands in for the HAP handle the applet passes: the runtime only needs it to be there.
inline void* hapToken() {
    static int token;
    return &token;
}

// An inner handle on board `board`, on a runtime with no recorded calls or injected failures.
inline void* freshInner(uint32_t board = 0) {
    SimCtl_Reset();
    void* fg = Fg_InitHandleSlaveAware("Orvanta.hap", SimCtl_HardwareHandle(board), hapToken(), 0);
    SimCtl_ClearCalls();
    return fg;
}

inline int32_t nxId(void* fg, const std::string& name) { return Fg_getParameterIdByName(fg, name.c_str()); }

// The most recent call in the runtime's log.
inline SimCall lastCall() {
    SimCall call{};
    SimCtl_GetCall(SimCtl_CallCount() - 1, &call);
    return call;
}

}  // namespace simtest
