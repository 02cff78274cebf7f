// An application's view of the simulated board for end-to-end tests: a board opened through the
// runtime like an application opens it, and the runtime's record of what the applet called on
// its inner handle (the NX writes in order, with their values).
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"
#include "test_process.h"

namespace board {

// Opens "Orvanta" on board 0 with a freshly reset simulated board; closes it again at the end.
struct OpenBoard {
    explicit OpenBoard(uint32_t flags = 0) {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        fg = Fg_InitEx("Orvanta", 0, flags);
    }
    ~OpenBoard() {
        if (fg != nullptr) Fg_FreeGrabber(fg);
    }
    OpenBoard(const OpenBoard&) = delete;
    OpenBoard& operator=(const OpenBoard&) = delete;
    void* fg = nullptr;
};

// A test case on a freshly reset board 0 opened with flags 0; the case fails at once when it
// does not open.
class BoardTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(board_.fg, nullptr); }
    void* fg() const { return board_.fg; }
    OpenBoard board_;
};

// Every recorded call of one runtime function, oldest first.
inline std::vector<SimCall> callsNamed(const char* function) {
    std::vector<SimCall> found;
    for (int32_t i = 0; i < SimCtl_CallCount(); ++i) {
        SimCall call{};
        if (SimCtl_GetCall(i, &call) == 0 && std::strcmp(call.function, function) == 0) found.push_back(call);
    }
    return found;
}

// The inner handle that the runtime opened for the applet most recently.
inline void* innerHandleOfLastOpen() {
    const std::vector<SimCall> inits = callsNamed("Fg_InitHandleSlaveAware");
    return inits.empty() ? nullptr : reinterpret_cast<void*>(static_cast<uintptr_t>(inits.back().result));
}

// Sets an environment switch for the boards opened while it lives, and removes it again.
struct Switch {
    explicit Switch(const char* switchName, const char* value = "1") : name(switchName) {
        test_process::setEnvironment(name, value);
    }
    ~Switch() { test_process::unsetEnvironment(name); }
    Switch(const Switch&) = delete;
    Switch& operator=(const Switch&) = delete;
    const char* name;
};

// One NX write as the runtime received it: the NX name and the integer value written.
struct NxWrite {
    std::string name;
    uint64_t value;
    bool operator==(const NxWrite& other) const { return name == other.name && value == other.value; }
};

// The NX writes since the last SimCtl_ClearCalls, in order, with the common "Device1_Process1_
// Trigger_" / "Device1_Process0_" prefix kept so that expectations read like the design's names.
inline std::vector<NxWrite> nxWrites() {
    std::vector<NxWrite> writes;
    for (const SimCall& call : callsNamed("Fg_setParameterWithType")) writes.push_back({call.nxName, call.u64});
    return writes;
}

// What start-up writes even with flag bit 0 (no initial values): the debug-entry step clears the
// pulse form generators and the queue of the trigger module, in this order.
inline std::vector<NxWrite> debugStepClearWrites() {
    const std::string trigger = "Device1_Process1_Trigger_TriggerCam0_";
    return {{trigger + "PulseFormGenerators_Clear_Mode", 1},
            {trigger + "Generators_ClearQueuePulse_Mode", 1},
            {trigger + "PulseFormGenerators_Clear_Mode", 0}};
}

}  // namespace board
