// The setters of the area trigger module. Each checks the caller's value, stores it and turns it
// into writes of the design's trigger registers through the common setter contract; the mode
// and state setters hand the register work to the trigger state machine.
#include "applet/core/setters.h"

#include <chrono>
#include <thread>

#include "applet/description/description_refresh.h"
#include "applet/description/published_limits.h"
#include "applet/trigger/trigger_conversions.h"
#include "applet/trigger/trigger_state_machine.h"
#include "nx/nx_access.h"
#include "platform/clock.h"
#include "platform/thread.h"

namespace vexo::applet {

namespace {

namespace platform = templates::platform;
using namespace trigger;
using nx::NxAccess;
using nx::NxParameter;
using nx::readNx;
using nx::writeNx;
// Registers picked at run time: from the tables below, or by the callers of the shared helpers.
using WritableU32 = nx::U32Register<NxAccess::Write>;
using ReadWritableU32 = nx::U32Register<NxAccess::WriteRead>;

// The registers and stored values of one pulse form generator.
struct PulseFormGenerator {
    SdkParameter downscale;
    SdkParameter phase;
    SdkParameter delay;
    SdkParameter width;
    WritableU32 downscaleRegister;
    WritableU32 selectedPulseRegister;
    ReadWritableU32 delayRegister;
    ReadWritableU32 widthRegister;
};

#define GENERATOR_REGISTER(g, name) \
    nx::row<NxParameter::Process1_Trigger_TriggerCam0_PulseFormGenerators_PulseFormGenerator##g##_##name>
#define PULSE_FORM_GENERATOR(g)                                                                           \
    {SdkParameter::FG_TRIGGER_PULSEFORMGEN##g##_DOWNSCALE,                                                 \
     SdkParameter::FG_TRIGGER_PULSEFORMGEN##g##_DOWNSCALE_PHASE,                                           \
     SdkParameter::FG_TRIGGER_PULSEFORMGEN##g##_DELAY,                                                     \
     SdkParameter::FG_TRIGGER_PULSEFORMGEN##g##_WIDTH,                                                     \
     GENERATOR_REGISTER(g, Downscale_Downscale),                                                           \
     GENERATOR_REGISTER(g, Downscale_SelectedPulse),                                                       \
     GENERATOR_REGISTER(g, Delay_Delay_Width),                                                             \
     GENERATOR_REGISTER(g, Width_Width)}
constexpr PulseFormGenerator kGenerators[] = {PULSE_FORM_GENERATOR(0), PULSE_FORM_GENERATOR(1),
                                              PULSE_FORM_GENERATOR(2), PULSE_FORM_GENERATOR(3)};
#undef PULSE_FORM_GENERATOR
#undef GENERATOR_REGISTER

// The multiplexer registers of one trigger output.
struct TriggerOutput {
    SdkParameter parameter;
    WritableU32 selectRegister;
    WritableU32 invertRegister;
};

#define OUTPUT(sdkName, block, n)                                                             \
    {SdkParameter::sdkName##n,                                                                \
     nx::row<NxParameter::Process1_Trigger_TriggerOutput_##block##n##_Select_Select_Value>, \
     nx::row<NxParameter::Process1_Trigger_TriggerOutput_##block##n##_Polarity_Invert>}
constexpr TriggerOutput kOutputs[] = {
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 0),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 1),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 2),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 3),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 4),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 5),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 6),
    OUTPUT(FG_TRIGGEROUT_SELECT_GPO_, SelectOutput_Select, 7),
    OUTPUT(FG_TRIGGEROUT_SELECT_FRONT_GPO_, SelectFrontOutput_Select, 0),
    OUTPUT(FG_TRIGGEROUT_SELECT_FRONT_GPO_, SelectFrontOutput_Select, 1),
};
#undef OUTPUT
static_assert(sizeof(kOutputs) / sizeof(kOutputs[0]) == 10, "one row per kept effective output source");

// Writing 2 to a "Mode" register of the design fires its action once.
constexpr uint32_t kPulse = 2;
// The period register value the generator gets when the queue is switched off.
constexpr uint32_t kUnqueuedMinimumPeriod = 10;

template <typename T>
void setAndWrite(Board& w, SdkParameter p, T value, bool accepted, WritableU32 target, uint32_t nxValue,
                 bool throwOnError) {
    runSetter(w, p, value, accepted, throwOnError, [&] { writeNx(w, target, nxValue); });
}

// The period the pulse form generator setters check against: from the recomputed stored rate.
double generatorPeriod(const Board& w) {
    return periodMicroseconds(recomputedRate(stored<double>(w, SdkParameter::FG_TRIGGER_FRAMESPERSECOND)));
}

double registerTime(Board& w, ReadWritableU32 timeRegister, uint32_t downscale) {
    return generatorTimeMicroseconds(readNx(w, timeRegister), downscale);
}

void setGeneratorDownscale(Board& w, const PulseFormGenerator& g, uint32_t value, bool throwOnError) {
    const bool accepted = value >= uint64_t{stored<uint32_t>(w, g.phase)} + 1 && inPublishedRange(g.downscale, value);
    runSetter(w, g.downscale, value, accepted, throwOnError, [&] {
        const double delay = registerTime(w, g.delayRegister, value);
        const double width = registerTime(w, g.widthRegister, value);
        if (!periodCovers(generatorPeriod(w), {delay, width})) throw errors::kDownscaleInconsistent;
        writeNx(w, g.downscaleRegister, value);
        refreshDescription(w, g.phase);
    });
}

void setGeneratorDownscalePhase(Board& w, const PulseFormGenerator& g, uint32_t value, bool throwOnError) {
    const bool accepted = uint64_t{value} + 1 <= stored<uint32_t>(w, g.downscale);
    runSetter(w, g.phase, value, accepted, throwOnError, [&] {
        writeNx(w, g.selectedPulseRegister, value + 1);
        refreshDescription(w, g.downscale);
    });
}

void setGeneratorDelay(Board& w, const PulseFormGenerator& g, double value, bool throwOnError) {
    runSetter(w, g.delay, value, inPublishedRange(g.delay, value), throwOnError, [&] {
        const uint32_t downscale = stored<uint32_t>(w, g.downscale);
        const double width = registerTime(w, g.widthRegister, downscale);
        if (!periodCovers(generatorPeriod(w), {value / downscale, width})) throw errors::kTimingInconsistent;
        writeNx(w, g.delayRegister, delayTicks(value));
    });
}

void setGeneratorWidth(Board& w, const PulseFormGenerator& g, double value, bool throwOnError) {
    runSetter(w, g.width, value, inPublishedRange(g.width, value), throwOnError, [&] {
        const uint32_t downscale = stored<uint32_t>(w, g.downscale);
        const double delay = registerTime(w, g.delayRegister, downscale);
        if (!periodCovers(generatorPeriod(w), {value / downscale, delay})) throw errors::kTimingInconsistent;
        writeNx(w, g.widthRegister, microsecondsToTicks(value));
    });
}

void setOutputSource(Board& w, size_t index, int32_t value, bool throwOnError) {
    const TriggerOutput& output = kOutputs[index];
    runSetter(w, output.parameter, value, isPublishedEntry(output.parameter, value), throwOnError, [&] {
        const int32_t effective = effectiveOutputSource(value);
        w.triggerOutputSources()[index] = static_cast<uint32_t>(effective);
        writeNx(w, output.selectRegister, outputSelectCode(effective));
        writeNx(w, output.invertRegister, outputInvertFlag(effective));
    });
}

void clearOnApply(Board& w, SdkParameter p, uint32_t value, WritableU32 modeRegister, bool throwOnError) {
    setAndWrite(w, p, value, isPublishedEntry(p, value), modeRegister, kPulse, throwOnError);
}

// Software trigger pulses must lie 80 ns apart, far below any sleep: the wait spins on the
// performance counter over whole microseconds (for 80 ns none, so it returns at once).
void waitFor(int64_t seconds, int64_t nanoseconds) {
    const int64_t frequency = platform::performanceFrequency();
    if (frequency <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(seconds * 1000 + nanoseconds / 1000000));
        return;
    }
    const int64_t microseconds = nanoseconds / 1000;
    const int64_t counts = seconds * frequency + microseconds * frequency / 1000000;
    const int64_t start = platform::performanceCounter();
    while (platform::performanceCounter() - start < counts) platform::cpuPause();
}

// Without the queue a software trigger is only taken when the generator has finished its last
// period and holds no pending pulse.
void requireIdleGenerator(Board& w) {
    const uint32_t maximumReached =
        readNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status>(w);
    const uint32_t queueValue = readNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_QueueValue_Status>(w);
    if (!(maximumReached != 0 && queueValue == 0)) throw errors::kTriggerBusy;
}

}  // namespace

void setTriggerFramesPerSecond(Board& w, double value, bool throwOnError) {
    const bool accepted = inPublishedRange(SdkParameter::FG_TRIGGER_FRAMESPERSECOND, value);
    runSetter(w, SdkParameter::FG_TRIGGER_FRAMESPERSECOND, value, accepted, throwOnError, [&] {
        const double period = periodMicroseconds(value);
        for (const PulseFormGenerator& g : kGenerators) {
            const uint32_t downscale = stored<uint32_t>(w, g.downscale);
            const double delay = registerTime(w, g.delayRegister, downscale);
            const double width = registerTime(w, g.widthRegister, downscale);
            if (!periodCovers(period, {delay, width})) throw errors::kTimingInconsistent;
        }
        writeNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_Generator_MinimumPeriod_Number>(w,
            minimumPeriodTicks(value));
    });
}

void setAreaTriggerMode(Board& w, uint32_t value, bool throwOnError) {
    const uint32_t oldMode = stored<uint32_t>(w, SdkParameter::FG_AREATRIGGERMODE);
    const uint32_t state = stored<uint32_t>(w, SdkParameter::FG_TRIGGERSTATE);
    runSetter(w, SdkParameter::FG_AREATRIGGERMODE, value, isPublishedEntry(SdkParameter::FG_AREATRIGGERMODE, value), throwOnError,
              [&] { changeTriggerState(w, oldMode, state, value, state); });
}

void setTriggerState(Board& w, uint32_t value, bool throwOnError) {
    const uint32_t mode = stored<uint32_t>(w, SdkParameter::FG_AREATRIGGERMODE);
    const uint32_t oldState = stored<uint32_t>(w, SdkParameter::FG_TRIGGERSTATE);
    runSetter(w, SdkParameter::FG_TRIGGERSTATE, value, isPublishedEntry(SdkParameter::FG_TRIGGERSTATE, value), throwOnError,
              [&] { changeTriggerState(w, mode, oldState, mode, value); });
}

void setTriggerInDebounce(Board& w, double value, bool throwOnError) {
    const bool accepted = inPublishedRange(SdkParameter::FG_TRIGGERIN_DEBOUNCE, value);
    setAndWrite(w, SdkParameter::FG_TRIGGERIN_DEBOUNCE, value, accepted,
                nx::row<NxParameter::Process1_Trigger_TriggerInput_Debounce8_Prescale_Period>, debounceTicks(value),
                throwOnError);
}

void setTriggerInSource(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGERIN_SRC, value, isPublishedEntry(SdkParameter::FG_TRIGGERIN_SRC, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_InputSelect_Select_Value>, inputSelectValue(value),
                throwOnError);
}

void setTriggerInPolarity(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGERIN_POLARITY, value, isPublishedEntry(SdkParameter::FG_TRIGGERIN_POLARITY, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_InputSelect_Polarity_Invert>, value, throwOnError);
}

void setTriggerInStatsSource(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGERIN_STATS_SOURCE, value,
                isPublishedEntry(SdkParameter::FG_TRIGGERIN_STATS_SOURCE, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_StatisticsSelect_Select_Value>,
                inputSelectValue(value), throwOnError);
}

void setTriggerInStatsPolarity(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGERIN_STATS_POLARITY, value,
                isPublishedEntry(SdkParameter::FG_TRIGGERIN_STATS_POLARITY, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_StatisticsSelect_Polarity_Invert>, value,
                throwOnError);
}

void setTriggerInDownscale(Board& w, uint32_t value, bool throwOnError) {
    const uint64_t minimum = uint64_t{stored<uint32_t>(w, SdkParameter::FG_TRIGGERIN_DOWNSCALE_PHASE)} + 1;
    runSetter(w, SdkParameter::FG_TRIGGERIN_DOWNSCALE, value, value >= minimum && inPublishedRange(SdkParameter::FG_TRIGGERIN_DOWNSCALE, value),
              throwOnError, [&] {
                  writeNx<NxParameter::Process1_Trigger_TriggerCam0_Downscale_Downscale_Downscale>(w, value);
                  refreshDescription(w, SdkParameter::FG_TRIGGERIN_DOWNSCALE_PHASE);
              });
}

void setTriggerInDownscalePhase(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted = uint64_t{value} + 1 <= stored<uint32_t>(w, SdkParameter::FG_TRIGGERIN_DOWNSCALE);
    runSetter(w, SdkParameter::FG_TRIGGERIN_DOWNSCALE_PHASE, value, accepted, throwOnError, [&] {
        writeNx<NxParameter::Process1_Trigger_TriggerCam0_Downscale_Downscale_SelectedPulse>(w, value + 1);
        refreshDescription(w, SdkParameter::FG_TRIGGERIN_DOWNSCALE);
    });
}

// The sequence's selected pulse must never exceed its downscale, not even between the two
// writes: growing writes the downscale first, shrinking the selected pulse first.
void setTriggerMultiplyPulses(Board& w, uint32_t value, bool throwOnError) {
    const uint32_t old = stored<uint32_t>(w, SdkParameter::FG_TRIGGER_MULTIPLY_PULSES);
    const bool accepted = inPublishedRange(SdkParameter::FG_TRIGGER_MULTIPLY_PULSES, value);
    runSetter(w, SdkParameter::FG_TRIGGER_MULTIPLY_PULSES, value, accepted, throwOnError, [&] {
        constexpr NxParameter downscale = NxParameter::Process1_Trigger_TriggerCam0_Generators_Sequence_Downscale;
        constexpr NxParameter selected = NxParameter::Process1_Trigger_TriggerCam0_Generators_Sequence_SelectedPulse;
        if (old < value) {
            writeNx<downscale>(w, value);
            writeNx<selected>(w, value);
        } else {
            writeNx<selected>(w, value);
            writeNx<downscale>(w, value);
        }
        writeNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_ClearDownscale_Mode>(w, kPulse);
    });
}

void setTriggerQueueOnThreshold(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD, value,
                inPublishedRange(SdkParameter::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_Hysteresis_OnLevel_Number>, value, throwOnError);
}

void setTriggerQueueOffThreshold(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD, value,
                inPublishedRange(SdkParameter::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_Hysteresis_OffLevel_Number>, value, throwOnError);
}

// In Generator mode the queue registers belong to the running generator; the stored mode is
// applied when the area trigger mode changes.
void setTriggerQueueMode(Board& w, int32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_TRIGGERQUEUE_MODE, value, isPublishedEntry(SdkParameter::FG_TRIGGERQUEUE_MODE, value),
              throwOnError, [&] {
        if (stored<uint32_t>(w, SdkParameter::FG_AREATRIGGERMODE) != static_cast<uint32_t>(ATM_GENERATOR)) {
            constexpr NxParameter full =
                NxParameter::Process1_Trigger_TriggerCam0_Generators_Queue_QueueFullValue_Number;
            constexpr NxParameter enabled =
                NxParameter::Process1_Trigger_TriggerCam0_Generators_Queue_QueueEnabled_Select;
            if (value == FG_OFF) {
                writeNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_Generator_MinimumPeriod_Number>(w,
                    kUnqueuedMinimumPeriod);
                writeNx<full>(w, 1);
                writeNx<enabled>(w, 0);
            } else {
                setTriggerFramesPerSecond(
                    w, recomputedRate(stored<double>(w, SdkParameter::FG_TRIGGER_FRAMESPERSECOND)), true);
                writeNx<full>(w, kQueueCapacity);
                writeNx<enabled>(w, 1);
            }
        }
        refreshDescription(w, SdkParameter::FG_SENDSOFTWARETRIGGER);
    });
}

void sendSoftwareTrigger(Board& w, uint32_t value, bool throwOnError) {
    const bool queued = stored<int32_t>(w, SdkParameter::FG_TRIGGERQUEUE_MODE) == FG_ON;
    const bool accepted = queued ? value >= 1 && value <= kQueueCapacity : value == 1;
    runSetter(w, SdkParameter::FG_SENDSOFTWARETRIGGER, value, accepted, throwOnError, [&] {
        if (stored<uint32_t>(w, SdkParameter::FG_AREATRIGGERMODE) != static_cast<uint32_t>(ATM_SOFTWARE)) {
            throw errors::kNotSoftwareTriggerMode;
        }
        if (stored<uint32_t>(w, SdkParameter::FG_TRIGGERSTATE) != static_cast<uint32_t>(TS_ACTIVE)) {
            throw errors::kTriggerNotActive;
        }
        if (!queued) requireIdleGenerator(w);
        for (uint32_t pulse = 0; pulse < value; ++pulse) {
            writeNx<NxParameter::Process1_Trigger_TriggerCam0_TriggerMode_SoftwareTrigger_Mode>(w, kPulse);
            waitFor(0, 80);
        }
    });
}

#define PULSE_FORM_GENERATOR_SETTERS(g)                                                                   \
    void setPulseFormGenerator##g##Downscale(Board& w, uint32_t value, bool throwOnError) {      \
        setGeneratorDownscale(w, kGenerators[g], value, throwOnError);                                    \
    }                                                                                                     \
    void setPulseFormGenerator##g##DownscalePhase(Board& w, uint32_t value, bool throwOnError) { \
        setGeneratorDownscalePhase(w, kGenerators[g], value, throwOnError);                               \
    }                                                                                                     \
    void setPulseFormGenerator##g##Delay(Board& w, double value, bool throwOnError) {            \
        setGeneratorDelay(w, kGenerators[g], value, throwOnError);                                        \
    }                                                                                                     \
    void setPulseFormGenerator##g##Width(Board& w, double value, bool throwOnError) {            \
        setGeneratorWidth(w, kGenerators[g], value, throwOnError);                                        \
    }
PULSE_FORM_GENERATOR_SETTERS(0)
PULSE_FORM_GENERATOR_SETTERS(1)
PULSE_FORM_GENERATOR_SETTERS(2)
PULSE_FORM_GENERATOR_SETTERS(3)
#undef PULSE_FORM_GENERATOR_SETTERS

void setTriggerCameraOutSelect(Board& w, uint32_t value, bool throwOnError) {
    const int32_t source = static_cast<int32_t>(value);
    runSetter(w, SdkParameter::FG_TRIGGERCAMERA_OUT_SELECT, value,
              isPublishedEntry(SdkParameter::FG_TRIGGERCAMERA_OUT_SELECT, value), throwOnError, [&] {
        writeNx<NxParameter::Process1_Trigger_TriggerOutput_CameraControl0_SelectTrigger_Select_Select_Value>(w,
            outputSelectCode(source));
        writeNx<NxParameter::Process1_Trigger_TriggerOutput_CameraControl0_SelectTrigger_Polarity_Invert>(w,
            outputInvertFlag(source));
    });
}

#define OUTPUT_SETTER(function, index)                                          \
    void function(Board& w, int32_t value, bool throwOnError) {       \
        setOutputSource(w, index, value, throwOnError);               \
    }
OUTPUT_SETTER(setTriggerOutSelectGpo0, 0)
OUTPUT_SETTER(setTriggerOutSelectGpo1, 1)
OUTPUT_SETTER(setTriggerOutSelectGpo2, 2)
OUTPUT_SETTER(setTriggerOutSelectGpo3, 3)
OUTPUT_SETTER(setTriggerOutSelectGpo4, 4)
OUTPUT_SETTER(setTriggerOutSelectGpo5, 5)
OUTPUT_SETTER(setTriggerOutSelectGpo6, 6)
OUTPUT_SETTER(setTriggerOutSelectGpo7, 7)
OUTPUT_SETTER(setTriggerOutSelectFrontGpo0, 8)
OUTPUT_SETTER(setTriggerOutSelectFrontGpo1, 9)
#undef OUTPUT_SETTER

void setClhsTriggerPulseMessage(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted = isPublishedEntry(SdkParameter::FG_CLHS_TRIGGER_PULSE_MESSAGE, value);
    setAndWrite(w, SdkParameter::FG_CLHS_TRIGGER_PULSE_MESSAGE, value, accepted,
                nx::row<NxParameter::Process1_Trigger_TriggerOutput_CameraControl0_CLHSTrigger_EnablePulseWidth_Value>,
                value == static_cast<uint32_t>(FG_PULSE_WIDTH) ? 1 : 0, throwOnError);
}

void setTriggerOutStatsSource(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGEROUT_STATS_SOURCE, value,
                isPublishedEntry(SdkParameter::FG_TRIGGEROUT_STATS_SOURCE, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_OutputStatistics_Select_Select>, value, throwOnError);
}

void setTriggerOutputEventSelect(Board& w, uint32_t value, bool throwOnError) {
    setAndWrite(w, SdkParameter::FG_TRIGGER_OUTPUT_EVENT_SELECT, value,
                isPublishedEntry(SdkParameter::FG_TRIGGER_OUTPUT_EVENT_SELECT, value),
                nx::row<NxParameter::Process1_Trigger_TriggerCam0_OutputEvent_Select_Select>, value, throwOnError);
}

void clearTriggerInStatsPulseCount(Board& w, uint32_t value, bool throwOnError) {
    clearOnApply(w, SdkParameter::FG_TRIGGERIN_STATS_PULSECOUNT_CLEAR, value,
                 nx::row<NxParameter::Process1_Trigger_TriggerCam0_InputStatistics_ClearPulses_Mode>, throwOnError);
}

void clearTriggerOutStatsPulseCount(Board& w, uint32_t value, bool throwOnError) {
    clearOnApply(w, SdkParameter::FG_TRIGGEROUT_STATS_PULSECOUNT_CLEAR, value,
                 nx::row<NxParameter::Process1_Trigger_TriggerCam0_OutputStatistics_ClearPulses_Mode>, throwOnError);
}

void clearTriggerExceededPeriodLimits(Board& w, uint32_t value, bool throwOnError) {
    clearOnApply(w, SdkParameter::FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR, value,
                 nx::row<NxParameter::Process1_Trigger_Monitoring_ClearOverrideCam0_Mode>, throwOnError);
}

void clearMissingCameraFrameResponse(Board& w, uint32_t value, bool throwOnError) {
    clearOnApply(w, SdkParameter::FG_MISSING_CAMERA_FRAME_RESPONSE_CLEAR, value,
                 nx::row<NxParameter::Process1_Trigger_Monitoring_ClearMissingFrame_Cam0_Mode>, throwOnError);
}

// The min/max statistics restart on every change of this level, not on a level itself.
void clearTriggerInStatsMinMaxFrequency(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR, value,
              isPublishedEntry(SdkParameter::FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR, value), throwOnError,
              [&] {
                  constexpr NxParameter level =
                      NxParameter::Process1_Trigger_TriggerCam0_InputStatistics_ClearMinMax_Value;
                  writeNx<level>(w, readNx<level>(w) == 0 ? 1 : 0);
              });
}

}  // namespace vexo::applet
