// Board 0 of the simulated runtime, opened once per fuzzing process and kept open: opening
// checks the whole HAP image, far too slow to repeat for every input.
#pragma once

#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"

namespace fuzz {

// The runtime stops recording calls, which would otherwise grow for as long as the fuzzer runs.
// A board that does not open is a failure of the fuzz target.
inline void* openBoardOnce() {
    static void* const fg = [] {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        void* handle = Fg_InitEx("Orvanta", 0, 0);
        if (handle == nullptr) __builtin_trap();
        SimCtl_SetRecording(0);
        return handle;
    }();
    return fg;
}

}  // namespace fuzz
