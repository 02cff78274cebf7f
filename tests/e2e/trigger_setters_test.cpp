// The trigger setters through the exports: the registers each write produces, in order, the
// refusals with their codes, and that a refused or failed write leaves the stored value as it was.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;

namespace {

constexpr int32_t kOutOfRange = -6000;
constexpr double kLowestRate = 0.0291038304567337;

std::string generatorRegister(int g, const char* rest) {
    return "TriggerCam0_PulseFormGenerators_PulseFormGenerator" + std::to_string(g) + rest;
}

std::string generatorParameter(int g, const char* rest) {
    return "FG_TRIGGER_PULSEFORMGEN" + std::to_string(g) + rest;
}

}  // namespace

TEST_CASE("the trigger rate writes the generator period; outside its limits nothing is written") {
    TriggerBoard b;
    const std::string period = "TriggerCam0_Generators_Generator_MinimumPeriod_Number";
    // The start-up pulse widths of 4 us would not fit into the 80 ns period of the top rate.
    for (int g = 0; g < 4; ++g) SimCtl_SetNxU64(0, (kTriggerPrefix + generatorRegister(g, "_Width_Width")).c_str(), 0);
    CHECK_EQ(b.write("FG_TRIGGER_FRAMESPERSECOND", 12500000.0), 0);
    CHECK_WRITES(Writes{nx(period, 1)});
    CHECK_EQ(b.write("FG_TRIGGER_FRAMESPERSECOND", kLowestRate), 0);
    CHECK_WRITES(Writes{nx(period, 4294967287u)});
    for (const double refused : {0.0291038304567336, 12500000.000000002, -1.0}) {
        CHECK_EQ(b.write("FG_TRIGGER_FRAMESPERSECOND", refused), kOutOfRange);
        CHECK_WRITES(Writes{});
    }
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kOutOfRange);
}

TEST_CASE("each pulse form generator writes its own registers within its limits") {
    TriggerBoard b;
    for (int g = 0; g < 4; ++g) {
        const auto p = [g](const char* rest) { return generatorParameter(g, rest); };
        const auto r = [g](const char* rest) { return generatorRegister(g, rest); };
        CHECK_EQ(b.write(p("_DELAY").c_str(), 0.0), 0);
        CHECK_WRITES(Writes{nx(r("_Delay_Delay_Width"), 1)});
        CHECK_EQ(b.write(p("_WIDTH").c_str(), 4.0), 0);
        CHECK_WRITES(Writes{nx(r("_Width_Width"), 500)});
        CHECK_EQ(b.write(p("_DOWNSCALE").c_str(), 3), 0);
        CHECK_WRITES(Writes{nx(r("_Downscale_Downscale"), 3)});
        CHECK_EQ(b.write(p("_DOWNSCALE_PHASE").c_str(), 2), 0);
        CHECK_WRITES(Writes{nx(r("_Downscale_SelectedPulse"), 3)});
        // The phase stays below the downscale, the downscale above the phase.
        CHECK_EQ(b.write(p("_DOWNSCALE_PHASE").c_str(), 3), kOutOfRange);
        CHECK_EQ(b.write(p("_DOWNSCALE").c_str(), 2), kOutOfRange);
        CHECK_WRITES(Writes{});
    }
}

TEST_CASE("generator times must fit into the trigger period") {
    TriggerBoard b;
    REQUIRE_EQ(b.set("FG_TRIGGER_FRAMESPERSECOND", 1000.0), 0);
    REQUIRE_EQ(b.set("FG_TRIGGER_PULSEFORMGEN0_DELAY", 600.0), 0);
    CHECK_EQ(b.write("FG_TRIGGER_PULSEFORMGEN0_WIDTH", 1000.0), -2079);
    // A faster rate would end the period inside generator 0's delay register.
    CHECK_EQ(b.write("FG_TRIGGER_FRAMESPERSECOND", 2000.0), -2079);
    CHECK_WRITES(Writes{});
    // The refused rate was not kept: 900 us still fit into the 1000 us period.
    CHECK_EQ(b.write("FG_TRIGGER_PULSEFORMGEN0_DELAY", 900.0), 0);
    CHECK_WRITES(Writes{nx(generatorRegister(0, "_Delay_Delay_Width"), 112500)});

    // A delay of 1800 us fits as long as generator 1 counts every second pulse.
    REQUIRE_EQ(b.set("FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 2), 0);
    REQUIRE_EQ(b.set("FG_TRIGGER_PULSEFORMGEN1_DELAY", 1800.0), 0);
    CHECK_EQ(b.write("FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 1), -2078);
    CHECK_WRITES(Writes{});
    CHECK_EQ(b.write("FG_TRIGGER_PULSEFORMGEN1_DELAY", 1800.0), 0);
}

TEST_CASE("trigger inputs: source numbering, polarity and debounce") {
    TriggerBoard b;
    CHECK_EQ(b.write("FG_TRIGGERIN_SRC", 17), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_InputSelect_Select_Value", 9)});
    CHECK_EQ(b.write("FG_TRIGGERIN_STATS_SOURCE", 19), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_StatisticsSelect_Select_Value", 11)});
    CHECK_EQ(b.write("FG_TRIGGERIN_POLARITY", 1), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_InputSelect_Polarity_Invert", 1)});
    CHECK_EQ(b.write("FG_TRIGGERIN_DEBOUNCE", 1.0), 0);
    CHECK_WRITES(Writes{nx("TriggerInput_Debounce8_Prescale_Period", 42)});
    CHECK_EQ(b.write("FG_TRIGGERIN_SRC", 8), kOutOfRange);
    CHECK_EQ(b.write("FG_TRIGGERIN_DEBOUNCE", 1.513), kOutOfRange);
    CHECK_WRITES(Writes{});

    CHECK_EQ(b.write("FG_TRIGGERIN_DOWNSCALE", 5), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_Downscale_Downscale_Downscale", 5)});
    CHECK_EQ(b.write("FG_TRIGGERIN_DOWNSCALE_PHASE", 4), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_Downscale_Downscale_SelectedPulse", 5)});
    CHECK_EQ(b.write("FG_TRIGGERIN_DOWNSCALE", 4), kOutOfRange);
}

TEST_CASE("outputs: the multiplexer's select code and inversion for a source") {
    TriggerBoard b;
    const auto output = [](const char* block, int32_t select, int32_t invert) {
        return Writes{nx(std::string("TriggerOutput_") + block + "_Select_Select_Value", uint64_t(select)),
                      nx(std::string("TriggerOutput_") + block + "_Polarity_Invert", uint64_t(invert))};
    };
    CHECK_EQ(b.write("FG_TRIGGEROUT_SELECT_GPO_3", 2), 0);  // PULSEGEN2 drives camera A's generator 2
    CHECK_WRITES(output("SelectOutput_Select3", 2, 0));
    CHECK_EQ(b.write("FG_TRIGGEROUT_SELECT_GPO_3", 5), 0);  // VCC
    CHECK_WRITES(output("SelectOutput_Select3", 20, 1));
    CHECK_EQ(b.write("FG_TRIGGEROUT_SELECT_GPO_3", 4), 0);  // GND
    CHECK_WRITES(output("SelectOutput_Select3", 20, 0));
    CHECK_EQ(b.write("FG_TRIGGEROUT_SELECT_FRONT_GPO_1", 7), 0);  // NOT_PULSEGEN1
    CHECK_WRITES(output("SelectFrontOutput_Select1", 1, 1));
    CHECK_EQ(b.write("FG_TRIGGERCAMERA_OUT_SELECT", 23), 0);  // NOT_BYPASS_GPI_3
    CHECK_WRITES(output("CameraControl0_SelectTrigger", 11, 1));
    CHECK_EQ(b.write("FG_TRIGGEROUT_SELECT_GPO_0", 54), kOutOfRange);
    CHECK_WRITES(Writes{});

    CHECK_EQ(b.write("FG_CLHS_TRIGGER_PULSE_MESSAGE", 23), 0);  // FG_PULSE_WIDTH
    CHECK_WRITES(Writes{nx("TriggerOutput_CameraControl0_CLHSTrigger_EnablePulseWidth_Value", 1)});
    CHECK_EQ(b.write("FG_TRIGGER_OUTPUT_EVENT_SELECT", 4), kOutOfRange);
}

TEST_CASE("multiplying pulses keeps the selected pulse within the downscale between the writes") {
    TriggerBoard b;
    const Writes grow{nx("TriggerCam0_Generators_Sequence_Downscale", 4),
                      nx("TriggerCam0_Generators_Sequence_SelectedPulse", 4),
                      nx("TriggerCam0_Generators_ClearDownscale_Mode", 2)};
    CHECK_EQ(b.write("FG_TRIGGER_MULTIPLY_PULSES", 4), 0);
    CHECK_WRITES(grow);
    const Writes shrink{nx("TriggerCam0_Generators_Sequence_SelectedPulse", 2),
                        nx("TriggerCam0_Generators_Sequence_Downscale", 2),
                        nx("TriggerCam0_Generators_ClearDownscale_Mode", 2)};
    CHECK_EQ(b.write("FG_TRIGGER_MULTIPLY_PULSES", 2), 0);
    CHECK_WRITES(shrink);
    CHECK_EQ(b.write("FG_TRIGGER_MULTIPLY_PULSES", 2), 0);  // not growing: the selected pulse first
    CHECK_WRITES(shrink);
    CHECK_EQ(b.write("FG_TRIGGER_MULTIPLY_PULSES", 65536), kOutOfRange);

    // A design that refuses the last write: the runtime's code, the writes before it stay made,
    // and the stored count stays 2: going to 4 grows (from 8 it would shrink).
    SimCtl_FailNxWrite((kTriggerPrefix + "TriggerCam0_Generators_ClearDownscale_Mode").c_str(), -2073);
    CHECK_EQ(b.write("FG_TRIGGER_MULTIPLY_PULSES", 8), -2073);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), -2073);
    CHECK_EQ(board::nxWrites().size(), size_t{3});
    SimCtl_FailNxWrite((kTriggerPrefix + "TriggerCam0_Generators_ClearDownscale_Mode").c_str(), 0);
    CHECK_EQ(b.write("FG_TRIGGER_MULTIPLY_PULSES", 4), 0);
    CHECK_WRITES(grow);
}

TEST_CASE("queue thresholds and the statistics and monitoring clears") {
    TriggerBoard b;
    CHECK_EQ(b.write("FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD", 2047), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_Hysteresis_OnLevel_Number", 2047)});
    CHECK_EQ(b.write("FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD", 2), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_Hysteresis_OffLevel_Number", 2)});
    CHECK_EQ(b.write("FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD", 2048), kOutOfRange);

    const char* const clears[][2] = {
        {"FG_TRIGGERIN_STATS_PULSECOUNT_CLEAR", "TriggerCam0_InputStatistics_ClearPulses_Mode"},
        {"FG_TRIGGEROUT_STATS_PULSECOUNT_CLEAR", "TriggerCam0_OutputStatistics_ClearPulses_Mode"},
        {"FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR", "Monitoring_ClearOverrideCam0_Mode"},
        {"FG_MISSING_CAMERA_FRAME_RESPONSE_CLEAR", "Monitoring_ClearMissingFrame_Cam0_Mode"},
    };
    for (const auto& clear : clears) {
        CHECK_EQ(b.write(clear[0], 1), 0);
        CHECK_WRITES(Writes{nx(clear[1], 2)});
        CHECK_EQ(b.write(clear[0], 0), kOutOfRange);
    }
    // The min/max statistics restart on a change of their clear level.
    CHECK_EQ(b.write("FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR", 1), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_InputStatistics_ClearMinMax_Value", 1)});
    CHECK_EQ(b.write("FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR", 1), 0);
    CHECK_WRITES(Writes{nx("TriggerCam0_InputStatistics_ClearMinMax_Value", 0)});
}

TEST_CASE("software triggers: mode, state, count and the busy generator") {
    TriggerBoard b;
    const Writes pulse{nx("TriggerCam0_TriggerMode_SoftwareTrigger_Mode", 2)};
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 2), kOutOfRange);  // one at a time without the queue
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 1), -2140);        // Generator mode
    // The queue mode is only kept while the generator runs the queue itself.
    CHECK_EQ(b.write("FG_TRIGGERQUEUE_MODE", 2), kOutOfRange);
    CHECK_EQ(b.write("FG_TRIGGERQUEUE_MODE", 0), 0);
    CHECK_WRITES(Writes{});
    REQUIRE_EQ(b.set("FG_AREATRIGGERMODE", 4), 0);
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 1), -2141);  // stopped
    REQUIRE_EQ(b.set("FG_TRIGGERSTATE", 0), 0);

    SimCtl_SetNxU64(0, (kTriggerPrefix + "TriggerCam0_Generators_Generator_MaximumReached_Status").c_str(), 0);
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 1), -60);
    CHECK_WRITES(Writes{});
    SimCtl_SetNxU64(0, (kTriggerPrefix + "TriggerCam0_Generators_Generator_MaximumReached_Status").c_str(), 1);
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 1), 0);
    CHECK_WRITES(pulse);

    // With the queue the generator takes up to 2040 pulses at once and is never busy.
    CHECK_EQ(b.write("FG_TRIGGERQUEUE_MODE", 1), 0);
    CHECK_WRITES((Writes{nx("TriggerCam0_Generators_Generator_MinimumPeriod_Number", 15624990),
                         nx("TriggerCam0_Generators_Queue_QueueFullValue_Number", 2040),
                         nx("TriggerCam0_Generators_Queue_QueueEnabled_Select", 1)}));
    SimCtl_SetNxU64(0, (kTriggerPrefix + "TriggerCam0_Generators_Generator_MaximumReached_Status").c_str(), 0);
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 3), 0);
    CHECK_WRITES(pulse + pulse + pulse);
    CHECK_EQ(b.write("FG_SENDSOFTWARETRIGGER", 2041), kOutOfRange);
    CHECK_EQ(b.write("FG_TRIGGERQUEUE_MODE", 0), 0);
    CHECK_WRITES((Writes{nx("TriggerCam0_Generators_Generator_MinimumPeriod_Number", 10),
                         nx("TriggerCam0_Generators_Queue_QueueFullValue_Number", 1),
                         nx("TriggerCam0_Generators_Queue_QueueEnabled_Select", 0)}));
}

CHECK_MAIN
