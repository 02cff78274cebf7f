// The trigger setters through the exports: the registers each write produces, in order, the
// refusals with their codes, and that a refused or failed write leaves the stored value as it was.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;

namespace {

constexpr double kLowestRate = 0.0291038304567337;

std::string generatorRegister(int g, const char* rest) {
    return "TriggerCam0_PulseFormGenerators_PulseFormGenerator" + std::to_string(g) + rest;
}

}  // namespace

using TriggerSetters = TriggerBoard;

TEST_F(TriggerSetters, RateWritesGeneratorPeriodWithinItsLimits) {
    const std::string period = "TriggerCam0_Generators_Generator_MinimumPeriod_Number";
    // The start-up pulse widths of 4 us would not fit into the 80 ns period of the top rate.
    for (int g = 0; g < 4; ++g) SimCtl_SetNxU64(0, (kTriggerPrefix + generatorRegister(g, "_Width_Width")).c_str(), 0);
    EXPECT_WRITE("FG_TRIGGER_FRAMESPERSECOND", 12500000.0, nx(period, 1));
    EXPECT_WRITE("FG_TRIGGER_FRAMESPERSECOND", kLowestRate, nx(period, 4294967287u));
    // A negative rate is refused like one below the range, and leaves its code as the last error.
    EXPECT_REFUSED("FG_TRIGGER_FRAMESPERSECOND", -1.0, kOutOfRange);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kOutOfRange);
}

TEST_F(TriggerSetters, EachPulseFormGeneratorWritesItsOwnRegisters) {
    for (int g = 0; g < 4; ++g) {
        SCOPED_TRACE(g);
        const auto p = [g](const char* rest) { return "FG_TRIGGER_PULSEFORMGEN" + std::to_string(g) + rest; };
        const auto r = [g](const char* rest) { return generatorRegister(g, rest); };
        EXPECT_WRITE(p("_DELAY").c_str(), 0.0, nx(r("_Delay_Delay_Width"), 1));
        EXPECT_WRITE(p("_WIDTH").c_str(), 4.0, nx(r("_Width_Width"), 500));
        EXPECT_WRITE(p("_DOWNSCALE").c_str(), 3, nx(r("_Downscale_Downscale"), 3));
        EXPECT_WRITE(p("_DOWNSCALE_PHASE").c_str(), 2, nx(r("_Downscale_SelectedPulse"), 3));
        // The phase stays below the downscale, the downscale above the phase.
        EXPECT_REFUSED(p("_DOWNSCALE_PHASE").c_str(), 3, kOutOfRange);
        EXPECT_REFUSED(p("_DOWNSCALE").c_str(), 2, kOutOfRange);
    }
}

TEST_F(TriggerSetters, GeneratorTimesMustFitIntoThePeriod) {
    ASSERT_EQ(set("FG_TRIGGER_FRAMESPERSECOND", 1000.0), 0);
    ASSERT_EQ(set("FG_TRIGGER_PULSEFORMGEN0_DELAY", 600.0), 0);
    EXPECT_REFUSED("FG_TRIGGER_PULSEFORMGEN0_WIDTH", 1000.0, -2079);
    // A faster rate would end the period inside generator 0's delay register.
    EXPECT_REFUSED("FG_TRIGGER_FRAMESPERSECOND", 2000.0, -2079);
    // The refused rate was not kept: 900 us still fit into the 1000 us period.
    EXPECT_WRITE("FG_TRIGGER_PULSEFORMGEN0_DELAY", 900.0, nx(generatorRegister(0, "_Delay_Delay_Width"), 112500));

    // A delay of 1800 us fits as long as generator 1 counts every second pulse.
    ASSERT_EQ(set("FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 2), 0);
    ASSERT_EQ(set("FG_TRIGGER_PULSEFORMGEN1_DELAY", 1800.0), 0);
    EXPECT_REFUSED("FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 1, -2078);
    EXPECT_EQ(write("FG_TRIGGER_PULSEFORMGEN1_DELAY", 1800.0), 0);
}

// The debounce register shows in the configuration saved after start-up.
TEST_F(TriggerSetters, InputSourceNumberingPolarityAndDownscale) {
    EXPECT_WRITE("FG_TRIGGERIN_SRC", 17, nx("TriggerCam0_InputSelect_Select_Value", 9));
    EXPECT_WRITE("FG_TRIGGERIN_STATS_SOURCE", 19, nx("TriggerCam0_StatisticsSelect_Select_Value", 11));
    EXPECT_WRITE("FG_TRIGGERIN_POLARITY", 1, nx("TriggerCam0_InputSelect_Polarity_Invert", 1));

    EXPECT_WRITE("FG_TRIGGERIN_DOWNSCALE", 5, nx("TriggerCam0_Downscale_Downscale_Downscale", 5));
    EXPECT_WRITE("FG_TRIGGERIN_DOWNSCALE_PHASE", 4, nx("TriggerCam0_Downscale_Downscale_SelectedPulse", 5));
    EXPECT_REFUSED("FG_TRIGGERIN_DOWNSCALE", 4, kOutOfRange);
}

// The select code and inversion come from the conversion table (unit-tested in full); here they
// reach the multiplexer's two registers, in this order.
TEST_F(TriggerSetters, OutputSourceWritesSelectCodeThenInversion) {
    const std::string block = "TriggerOutput_CameraControl0_SelectTrigger";
    EXPECT_WRITE("FG_TRIGGERCAMERA_OUT_SELECT", 23,  // NOT_BYPASS_GPI_3
                 nx(block + "_Select_Select_Value", 11), nx(block + "_Polarity_Invert", 1));
    EXPECT_WRITE("FG_CLHS_TRIGGER_PULSE_MESSAGE", 23,  // FG_PULSE_WIDTH
                 nx("TriggerOutput_CameraControl0_CLHSTrigger_EnablePulseWidth_Value", 1));
}

TEST_F(TriggerSetters, MultiplyingPulsesKeepsSelectedPulseWithinDownscale) {
    const std::string sequence = "TriggerCam0_Generators_Sequence_";
    const Writes restart{nx("TriggerCam0_Generators_ClearDownscale_Mode", 2)};
    const Writes grow = Writes{nx(sequence + "Downscale", 4), nx(sequence + "SelectedPulse", 4)} + restart;
    const Writes shrink = Writes{nx(sequence + "SelectedPulse", 2), nx(sequence + "Downscale", 2)} + restart;
    EXPECT_WRITE("FG_TRIGGER_MULTIPLY_PULSES", 4, grow);
    EXPECT_WRITE("FG_TRIGGER_MULTIPLY_PULSES", 2, shrink);
    EXPECT_WRITE("FG_TRIGGER_MULTIPLY_PULSES", 2, shrink);  // not growing: the selected pulse first
}

TEST_F(TriggerSetters, QueueThresholdsAndClears) {
    const std::string threshold = "FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_", level = "TriggerCam0_Hysteresis_";
    EXPECT_WRITE((threshold + "ON_THRESHOLD").c_str(), 2047, nx(level + "OnLevel_Number", 2047));
    EXPECT_WRITE((threshold + "OFF_THRESHOLD").c_str(), 2, nx(level + "OffLevel_Number", 2));

    const char* const clears[][2] = {
        {"FG_TRIGGERIN_STATS_PULSECOUNT_CLEAR", "TriggerCam0_InputStatistics_ClearPulses_Mode"},
        {"FG_TRIGGEROUT_STATS_PULSECOUNT_CLEAR", "TriggerCam0_OutputStatistics_ClearPulses_Mode"},
        {"FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR", "Monitoring_ClearOverrideCam0_Mode"},
        {"FG_MISSING_CAMERA_FRAME_RESPONSE_CLEAR", "Monitoring_ClearMissingFrame_Cam0_Mode"},
    };
    for (const auto& clear : clears) EXPECT_WRITE(clear[0], 1, nx(clear[1], 2));
    // The min/max statistics restart on a change of their clear level.
    const std::string minMax = "TriggerCam0_InputStatistics_ClearMinMax_Value";
    EXPECT_WRITE("FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR", 1, nx(minMax, 1));
    EXPECT_WRITE("FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR", 1, nx(minMax, 0));
}

TEST_F(TriggerSetters, SoftwareTriggerModeStateCountAndBusyGenerator) {
    const Writes pulse{nx("TriggerCam0_TriggerMode_SoftwareTrigger_Mode", 2)};
    const std::string busy = kTriggerPrefix + "TriggerCam0_Generators_Generator_MaximumReached_Status";
    const auto queue = [](uint64_t period, uint64_t full, uint64_t enabled) {
        return Writes{nx("TriggerCam0_Generators_Generator_MinimumPeriod_Number", period),
                      nx("TriggerCam0_Generators_Queue_QueueFullValue_Number", full),
                      nx("TriggerCam0_Generators_Queue_QueueEnabled_Select", enabled)};
    };
    // The queue mode is only kept while the generator runs the queue itself.
    EXPECT_WRITE("FG_TRIGGERQUEUE_MODE", 0, Writes{});
    ASSERT_EQ(set("FG_AREATRIGGERMODE", 4), 0);
    EXPECT_REFUSED("FG_SENDSOFTWARETRIGGER", 1, -2141);  // stopped
    ASSERT_EQ(set("FG_TRIGGERSTATE", 0), 0);

    SimCtl_SetNxU64(0, busy.c_str(), 0);
    EXPECT_REFUSED("FG_SENDSOFTWARETRIGGER", 1, -60);
    SimCtl_SetNxU64(0, busy.c_str(), 1);
    EXPECT_WRITE("FG_SENDSOFTWARETRIGGER", 1, pulse);

    // With the queue the generator takes up to 2040 pulses at once and is never busy.
    EXPECT_WRITE("FG_TRIGGERQUEUE_MODE", 1, queue(15624990, 2040, 1));
    SimCtl_SetNxU64(0, busy.c_str(), 0);
    EXPECT_WRITE("FG_SENDSOFTWARETRIGGER", 3, pulse + pulse + pulse);
    EXPECT_WRITE("FG_TRIGGERQUEUE_MODE", 0, queue(10, 1, 0));
}
