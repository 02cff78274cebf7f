// The area trigger module of the simulated board: a model of its registers on the board's clock.
// Pulses come from the generator, the software trigger and the trigger inputs; they pass the
// input's debounce, polarity and downscale, the queue, the generator's period and multiply, the
// four pulse form generators with their downscale, delay and width, and reach the camera-control
// output and the ten digital outputs through their select and invert. The status and statistics
// registers report what the model did. The board around it (board/timeline.h) advances the model,
// writes the applet's register values into it and takes the camera-control pulses and events.
//
// Times are nanoseconds on the board's clock; one tick of the module is 8 ns.
#pragma once

#include <cstdint>
#include <iterator>
#include <memory>

#include "board_events.h"

namespace sim {

// The registers the model reads or reports, by their names behind "Device1_Process1_Trigger_".
#define SIM_TRIGGER_REGISTERS(X)                                                          \
    X(SoftwareTrigger, "TriggerCam0_TriggerMode_SoftwareTrigger_Mode")                    \
    X(SelectExternal, "TriggerCam0_TriggerMode_SelectExternal_Select")                    \
    X(Debounce, "TriggerInput_Debounce8_Prescale_Period")                                 \
    X(InputSelect, "TriggerCam0_InputSelect_Select_Value")                                \
    X(InputInvert, "TriggerCam0_InputSelect_Polarity_Invert")                             \
    X(InputDownscale, "TriggerCam0_Downscale_Downscale_Downscale")                        \
    X(InputSelectedPulse, "TriggerCam0_Downscale_Downscale_SelectedPulse")                \
    X(InputDownscaleClear, "TriggerCam0_Downscale_Clear_Mode")                            \
    X(MinimumPeriod, "TriggerCam0_Generators_Generator_MinimumPeriod_Number")             \
    X(EnableQueue, "TriggerCam0_Generators_EnableQueue_Select")                           \
    X(ClearQueuePulse, "TriggerCam0_Generators_ClearQueuePulse_Mode")                     \
    X(QueueEnabled, "TriggerCam0_Generators_Queue_QueueEnabled_Select")                  \
    X(QueueFullValue, "TriggerCam0_Generators_Queue_QueueFullValue_Number")               \
    X(MultiplyDownscale, "TriggerCam0_Generators_Sequence_Downscale")                     \
    X(MultiplySelectedPulse, "TriggerCam0_Generators_Sequence_SelectedPulse")             \
    X(MultiplyClear, "TriggerCam0_Generators_ClearDownscale_Mode")                        \
    X(HysteresisOn, "TriggerCam0_Hysteresis_OnLevel_Number")                              \
    X(HysteresisOff, "TriggerCam0_Hysteresis_OffLevel_Number")                            \
    X(PulseFormEnable, "TriggerCam0_PulseFormGenerators_Enable_Select")                   \
    X(PulseFormClear, "TriggerCam0_PulseFormGenerators_Clear_Mode")                       \
    X(Pfg0Downscale, "TriggerCam0_PulseFormGenerators_PulseFormGenerator0_Downscale_Downscale")      \
    X(Pfg0SelectedPulse, "TriggerCam0_PulseFormGenerators_PulseFormGenerator0_Downscale_SelectedPulse") \
    X(Pfg0Delay, "TriggerCam0_PulseFormGenerators_PulseFormGenerator0_Delay_Delay_Width")           \
    X(Pfg0Width, "TriggerCam0_PulseFormGenerators_PulseFormGenerator0_Width_Width")                 \
    X(Pfg1Downscale, "TriggerCam0_PulseFormGenerators_PulseFormGenerator1_Downscale_Downscale")      \
    X(Pfg1SelectedPulse, "TriggerCam0_PulseFormGenerators_PulseFormGenerator1_Downscale_SelectedPulse") \
    X(Pfg1Delay, "TriggerCam0_PulseFormGenerators_PulseFormGenerator1_Delay_Delay_Width")           \
    X(Pfg1Width, "TriggerCam0_PulseFormGenerators_PulseFormGenerator1_Width_Width")                 \
    X(Pfg2Downscale, "TriggerCam0_PulseFormGenerators_PulseFormGenerator2_Downscale_Downscale")      \
    X(Pfg2SelectedPulse, "TriggerCam0_PulseFormGenerators_PulseFormGenerator2_Downscale_SelectedPulse") \
    X(Pfg2Delay, "TriggerCam0_PulseFormGenerators_PulseFormGenerator2_Delay_Delay_Width")           \
    X(Pfg2Width, "TriggerCam0_PulseFormGenerators_PulseFormGenerator2_Width_Width")                 \
    X(Pfg3Downscale, "TriggerCam0_PulseFormGenerators_PulseFormGenerator3_Downscale_Downscale")      \
    X(Pfg3SelectedPulse, "TriggerCam0_PulseFormGenerators_PulseFormGenerator3_Downscale_SelectedPulse") \
    X(Pfg3Delay, "TriggerCam0_PulseFormGenerators_PulseFormGenerator3_Delay_Delay_Width")           \
    X(Pfg3Width, "TriggerCam0_PulseFormGenerators_PulseFormGenerator3_Width_Width")                 \
    X(CameraSelect, "TriggerOutput_CameraControl0_SelectTrigger_Select_Select_Value")     \
    X(CameraInvert, "TriggerOutput_CameraControl0_SelectTrigger_Polarity_Invert")         \
    X(Gpo0Select, "TriggerOutput_SelectOutput_Select0_Select_Select_Value")               \
    X(Gpo0Invert, "TriggerOutput_SelectOutput_Select0_Polarity_Invert")                   \
    X(Gpo1Select, "TriggerOutput_SelectOutput_Select1_Select_Select_Value")               \
    X(Gpo1Invert, "TriggerOutput_SelectOutput_Select1_Polarity_Invert")                   \
    X(Gpo2Select, "TriggerOutput_SelectOutput_Select2_Select_Select_Value")               \
    X(Gpo2Invert, "TriggerOutput_SelectOutput_Select2_Polarity_Invert")                   \
    X(Gpo3Select, "TriggerOutput_SelectOutput_Select3_Select_Select_Value")               \
    X(Gpo3Invert, "TriggerOutput_SelectOutput_Select3_Polarity_Invert")                   \
    X(Gpo4Select, "TriggerOutput_SelectOutput_Select4_Select_Select_Value")               \
    X(Gpo4Invert, "TriggerOutput_SelectOutput_Select4_Polarity_Invert")                   \
    X(Gpo5Select, "TriggerOutput_SelectOutput_Select5_Select_Select_Value")               \
    X(Gpo5Invert, "TriggerOutput_SelectOutput_Select5_Polarity_Invert")                   \
    X(Gpo6Select, "TriggerOutput_SelectOutput_Select6_Select_Select_Value")               \
    X(Gpo6Invert, "TriggerOutput_SelectOutput_Select6_Polarity_Invert")                   \
    X(Gpo7Select, "TriggerOutput_SelectOutput_Select7_Select_Select_Value")               \
    X(Gpo7Invert, "TriggerOutput_SelectOutput_Select7_Polarity_Invert")                   \
    X(FrontGpo0Select, "TriggerOutput_SelectFrontOutput_Select0_Select_Select_Value")     \
    X(FrontGpo0Invert, "TriggerOutput_SelectFrontOutput_Select0_Polarity_Invert")         \
    X(FrontGpo1Select, "TriggerOutput_SelectFrontOutput_Select1_Select_Select_Value")     \
    X(FrontGpo1Invert, "TriggerOutput_SelectFrontOutput_Select1_Polarity_Invert")         \
    X(StatisticsSelect, "TriggerCam0_StatisticsSelect_Select_Value")                      \
    X(StatisticsInvert, "TriggerCam0_StatisticsSelect_Polarity_Invert")                   \
    X(InputPulsesClear, "TriggerCam0_InputStatistics_ClearPulses_Mode")                   \
    X(InputMinMaxClear, "TriggerCam0_InputStatistics_ClearMinMax_Value")                  \
    X(OutputStatisticsSelect, "TriggerCam0_OutputStatistics_Select_Select")               \
    X(OutputPulsesClear, "TriggerCam0_OutputStatistics_ClearPulses_Mode")                 \
    X(OutputEventSelect, "TriggerCam0_OutputEvent_Select_Select")                         \
    X(ExceededPeriodClear, "Monitoring_ClearOverrideCam0_Mode")                           \
    X(MissingFrameClear, "Monitoring_ClearMissingFrame_Cam0_Mode")                        \
    X(MissingFrameReset, "Monitoring_CheckForMissingFrame_Cam0_ResetMissing_Mode")        \
    /* status and statistics: the model's answers */                                      \
    X(GeneratorReady, "TriggerCam0_Generators_Generator_MaximumReached_Status")          \
    X(QueueValue, "TriggerCam0_Generators_QueueValue_Status")                             \
    X(QueueStatus, "Monitoring_ReadQueueStatus_Status")                                   \
    X(InputLevels, "TriggerInput_InputStatus_Status")                                     \
    X(FrontInputLevels, "TriggerInput_InputStatusFrontGPI_Status")                        \
    X(InputPulses, "TriggerCam0_InputStatistics_ReadPulses_Status")                       \
    X(InputPeriod, "TriggerCam0_InputStatistics_ReadPeriod_Status")                       \
    X(InputPeriodMin, "TriggerCam0_InputStatistics_ReadMin_Status")                       \
    X(InputPeriodMax, "TriggerCam0_InputStatistics_ReadMax_Status")                       \
    X(OutputPulses, "TriggerCam0_OutputStatistics_ReadPulses_Status")

enum class TriggerRegister : uint8_t {
#define SIM_TRIGGER_ENUM(name, nx) name,
    SIM_TRIGGER_REGISTERS(SIM_TRIGGER_ENUM)
#undef SIM_TRIGGER_ENUM
    Count
};

inline constexpr const char* kTriggerRegisterNames[] = {
#define SIM_TRIGGER_NAME(name, nx) "Device1_Process1_Trigger_" nx,
    SIM_TRIGGER_REGISTERS(SIM_TRIGGER_NAME)
#undef SIM_TRIGGER_NAME
};
static_assert(std::size(kTriggerRegisterNames) == static_cast<size_t>(TriggerRegister::Count), "one name each");

// The registers from GeneratorReady on are the model's answers; the rest the applet writes.
constexpr bool isTriggerStatus(TriggerRegister r) { return r >= TriggerRegister::GeneratorReady; }

// The digital outputs in the order of the applet's GPO parameters: GPO 0-7, front GPO 0 and 1.
inline constexpr uint32_t kDigitalOutputs = 10;

// Where the module's results go. Called from inside write(), setInputLevel() and advanceTo(), in
// time order, with the time of the occurrence (never later than the time the call runs to).
class TriggerSink {
public:
    // A rising edge of the camera-control output (after its select and invert).
    virtual void cameraPulse(uint64_t time) = 0;
    // One of the module's events: input edges (data: the input's number as the applet numbers
    // it), the queue fill level thresholds (data: the fill level), exceeded period, missing
    // frame, the output event, the queue running empty (data 0).
    virtual void raise(BoardEvent event, uint64_t time, uint64_t data) = 0;

protected:
    ~TriggerSink() = default;
};

class TriggerModule {
public:
    // Every register 0, inputs low, nothing in flight, the clock at 0.
    TriggerModule();
    ~TriggerModule();
    TriggerModule(const TriggerModule&) = delete;
    TriggerModule& operator=(const TriggerModule&) = delete;

    // The applet wrote `value` to register r at `time` (no earlier than the last time the model
    // ran to; the model first runs to it). Writes of the status registers are ignored.
    void write(TriggerRegister r, uint32_t value, uint64_t time, TriggerSink& sink);
    // The register's value as the applet would read it at the time the model last ran to: the
    // value written, or the model's answer for a status register.
    uint32_t read(TriggerRegister r) const;

    // Input `input` (0-7, 16-19) goes to `high` at `time`; a level that does not change makes no
    // edge. Other input numbers are ignored.
    void setInputLevel(uint32_t input, bool high, uint64_t time, TriggerSink& sink);
    // `count` pulses on the input, the first rising at `time`, then one every periodNanoseconds,
    // each high for half the period. They unfold as the model runs; pulses scheduled while
    // earlier ones still unfold on the same input replace the rest of those.
    void pulseInput(uint32_t input, uint64_t count, uint64_t periodNanoseconds, uint64_t time);
    // The camera did not take a pulse of the camera-control output (it was still sending):
    // the missing-frame status and event.
    void cameraMissedFrame(uint64_t time, TriggerSink& sink);

    // Runs everything that happens up to and including `time`.
    void advanceTo(uint64_t time, TriggerSink& sink);
    // The earliest time after the last one run to at which the model changes on its own, or
    // UINT64_MAX when nothing is pending.
    uint64_t nextChange() const;

    // Levels of the digital outputs at the time last run to (bit n: output n as in kDigitalOutputs)
    // and how many rising edges each has had since the model was made.
    uint32_t outputLevels() const;
    uint64_t outputPulses(uint32_t output) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace sim
