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

}  // namespace

// Each case starts from the start-up pair Generator, Sync Stop.
using TriggerStateMachine = TriggerBoard;

TEST_F(TriggerStateMachine, StartingAndStoppingTheGeneratorAndPairsThatWriteNothing) {
    EXPECT_WRITE("FG_TRIGGERSTATE", ACTIVE, reset() + start(0));
    EXPECT_WRITE("FG_TRIGGERSTATE", ASYNC_STOP, pfg(1) + qclr(1));
    EXPECT_WRITE("FG_TRIGGERSTATE", ACTIVE, reset() + pfg(0) + start(0));
    EXPECT_WRITE("FG_TRIGGERSTATE", SYNC_STOP, qclr(1));
    // Stopped again: the same state writes nothing, and unknown values are refused.
    EXPECT_WRITE("FG_TRIGGERSTATE", SYNC_STOP, Writes{});
    EXPECT_WRITE("FG_AREATRIGGERMODE", GENERATOR, Writes{});
    EXPECT_REFUSED("FG_AREATRIGGERMODE", 3, kOutOfRange);
    EXPECT_REFUSED("FG_TRIGGERSTATE", 3, kOutOfRange);
}

// Active, a mode change flushes the queue and restarts in the new mode.
TEST_F(TriggerStateMachine, ModeChangeWhileActiveFlushesAndRestarts) {
    ASSERT_EQ(set("FG_TRIGGERSTATE", ACTIVE), 0);
    EXPECT_WRITE("FG_AREATRIGGERMODE", EXTERNAL, pfg(1) + flush() + sel(1));
    EXPECT_WRITE("FG_AREATRIGGERMODE", GENERATOR, sel(0) + pfg(1) + reset() + pfg(0) + start(0));

    ASSERT_EQ(set("FG_AREATRIGGERMODE", SOFTWARE), 0);
    EXPECT_WRITE("FG_AREATRIGGERMODE", EXTERNAL, pfg(1) + flush() + sel(1));
    EXPECT_WRITE("FG_TRIGGERSTATE", ASYNC_STOP, pfg(1) + sel(0));
}

// Stopped, a mode change only stops the queue; the start follows the new mode.
TEST_F(TriggerStateMachine, ModeChangeWhileStoppedOnlyStopsTheQueue) {
    ASSERT_EQ(set("FG_AREATRIGGERMODE", EXTERNAL), 0);
    EXPECT_WRITE("FG_AREATRIGGERMODE", GENERATOR, qclr(1));
    EXPECT_WRITE("FG_AREATRIGGERMODE", SOFTWARE, Writes{});  // no transition from Generator, stopped
    EXPECT_WRITE("FG_TRIGGERSTATE", ACTIVE, pfg(1) + flush());
}

TEST_F(TriggerStateMachine, FailureInsideASequenceKeepsTheOldState) {
    const std::string enable = kTriggerPrefix + "TriggerCam0_PulseFormGenerators_Enable_Select";
    SimCtl_FailNxWrite(enable.c_str(), -2073);
    EXPECT_EQ(write("FG_TRIGGERSTATE", ACTIVE), -2073);
    SimCtl_FailNxWrite(enable.c_str(), 0);
    // Still stopped: the same request starts the generator again from the top.
    EXPECT_WRITE("FG_TRIGGERSTATE", ACTIVE, reset() + start(0));
}

TEST_F(TriggerStateMachine, RestartRefusesARateTheGeneratorsNoLongerFit) {
    // A delay register of 160 ms does not fit into the 125 ms period of 8 Hz.
    const std::string delay = kTriggerPrefix + "TriggerCam0_PulseFormGenerators_PulseFormGenerator0_Delay_Delay_Width";
    SimCtl_SetNxU64(0, delay.c_str(), 20000000);
    EXPECT_EQ(write("FG_TRIGGERSTATE", ACTIVE), -2079);
    EXPECT_WRITES(reset() + qclr(1) + Writes{nx("TriggerCam0_Generators_EnableQueue_Select", 0)});
}
