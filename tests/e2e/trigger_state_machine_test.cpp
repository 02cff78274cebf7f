// The trigger state machine through the exports: the register sequences of mode and state
// changes, the pairs that write nothing, and failures inside a sequence.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;

namespace {

constexpr uint32_t GENERATOR = 1, EXTERNAL = 2, SOFTWARE = 4;
constexpr uint32_t ACTIVE = 0, ASYNC_STOP = 1, SYNC_STOP = 2;
// The period register for the start-up rate of 8 Hz.
constexpr uint64_t kStartPeriod = 15624990;

Writes pfg(uint64_t x) { return {nx("TriggerCam0_PulseFormGenerators_Clear_Mode", x)}; }
Writes sel(uint64_t x) { return {nx("TriggerCam0_TriggerMode_SelectExternal_Select", x)}; }
Writes qclr(uint64_t x) { return {nx("TriggerCam0_Generators_ClearQueuePulse_Mode", x)}; }

Writes reset() { return Writes{nx("Monitoring_CheckForMissingFrame_Cam0_ResetMissing_Mode", 2)} + pfg(2); }

Writes start(uint64_t queue) {
    return qclr(1) +
           Writes{nx("TriggerCam0_Generators_EnableQueue_Select", queue),
                  nx("TriggerCam0_Generators_Generator_MinimumPeriod_Number", kStartPeriod),
                  nx("TriggerCam0_PulseFormGenerators_Enable_Select", 1)} +
           qclr(0);
}

Writes flush() {
    return Writes{nx("TriggerCam0_Downscale_Clear_Mode", 2)} + start(1) +
           Writes{nx("TriggerCam0_Generators_ClearDownscale_Mode", 2)} + reset() + pfg(0);
}

// A board brought to (mode, state) from the start-up pair Generator, Sync Stop.
struct Trigger : TriggerBoard {
    Trigger(uint32_t mode, uint32_t state) {
        REQUIRE_EQ(set("FG_AREATRIGGERMODE", mode), 0);
        REQUIRE_EQ(set("FG_TRIGGERSTATE", state), 0);
    }
};

}  // namespace

TEST_CASE("starting and stopping the generator") {
    Trigger t(GENERATOR, SYNC_STOP);
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ACTIVE), 0);
    CHECK_WRITES(reset() + start(0));
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ASYNC_STOP), 0);
    CHECK_WRITES(pfg(1) + qclr(1));
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ACTIVE), 0);
    CHECK_WRITES(reset() + pfg(0) + start(0));
    CHECK_EQ(t.write("FG_TRIGGERSTATE", SYNC_STOP), 0);
    CHECK_WRITES(qclr(1));
}

TEST_CASE("mode changes while active flush the queue and restart in the new mode") {
    Trigger generator(GENERATOR, ACTIVE);
    CHECK_EQ(generator.write("FG_AREATRIGGERMODE", EXTERNAL), 0);
    CHECK_WRITES(pfg(1) + flush() + sel(1));

    Trigger external(EXTERNAL, ACTIVE);
    CHECK_EQ(external.write("FG_AREATRIGGERMODE", GENERATOR), 0);
    CHECK_WRITES(sel(0) + pfg(1) + reset() + pfg(0) + start(0));

    Trigger software(SOFTWARE, ACTIVE);
    CHECK_EQ(software.write("FG_AREATRIGGERMODE", EXTERNAL), 0);
    CHECK_WRITES(pfg(1) + flush() + sel(1));
    CHECK_EQ(software.write("FG_TRIGGERSTATE", ASYNC_STOP), 0);
    CHECK_WRITES(pfg(1) + sel(0));
}

TEST_CASE("stopped, a mode change only stops the queue; the start follows the new mode") {
    Trigger t(EXTERNAL, SYNC_STOP);
    CHECK_EQ(t.write("FG_AREATRIGGERMODE", GENERATOR), 0);
    CHECK_WRITES(qclr(1));
    CHECK_EQ(t.write("FG_AREATRIGGERMODE", SOFTWARE), 0);  // no transition from Generator, stopped
    CHECK_WRITES(Writes{});
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ACTIVE), 0);
    CHECK_WRITES(pfg(1) + flush());
}

TEST_CASE("unchanged or unknown values write nothing") {
    Trigger t(GENERATOR, SYNC_STOP);
    CHECK_EQ(t.write("FG_TRIGGERSTATE", SYNC_STOP), 0);
    CHECK_EQ(t.write("FG_AREATRIGGERMODE", GENERATOR), 0);
    CHECK_EQ(t.write("FG_AREATRIGGERMODE", 3), -6000);
    CHECK_EQ(t.write("FG_TRIGGERSTATE", 3), -6000);
    CHECK_WRITES(Writes{});
}

TEST_CASE("a failure inside a sequence returns its code and keeps the old state") {
    Trigger t(GENERATOR, SYNC_STOP);
    const std::string enable = kTriggerPrefix + "TriggerCam0_PulseFormGenerators_Enable_Select";
    SimCtl_FailNxWrite(enable.c_str(), -2073);
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ACTIVE), -2073);
    SimCtl_FailNxWrite(enable.c_str(), 0);
    // Still stopped: the same request starts the generator again from the top.
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ACTIVE), 0);
    CHECK_WRITES(reset() + start(0));
}

TEST_CASE("the restart refuses a rate the pulse form generators no longer fit into") {
    Trigger t(GENERATOR, SYNC_STOP);
    // A delay register of 160 ms does not fit into the 125 ms period of 8 Hz.
    const std::string delay = kTriggerPrefix + "TriggerCam0_PulseFormGenerators_PulseFormGenerator0_Delay_Delay_Width";
    SimCtl_SetNxU64(0, delay.c_str(), 20000000);
    CHECK_EQ(t.write("FG_TRIGGERSTATE", ACTIVE), -2079);
    CHECK_WRITES(reset() + qclr(1) + Writes{nx("TriggerCam0_Generators_EnableQueue_Select", 0)});
}

CHECK_MAIN
