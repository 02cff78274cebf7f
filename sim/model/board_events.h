// The design's events that the simulated board itself causes, by the names the HAP lists them
// under: the runtime finds each one's position in the list of the HAP loaded on the board, and
// that position is the event's bit towards applications.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace sim {

enum class BoardEvent : uint8_t {
    Overflow,
    FrameStart,  // at the camera port
    FrameEnd,
    InputRising0, InputRising1, InputRising2, InputRising3,
    InputRising4, InputRising5, InputRising6, InputRising7,
    InputFalling0, InputFalling1, InputFalling2, InputFalling3,
    InputFalling4, InputFalling5, InputFalling6, InputFalling7,
    FrontRising0, FrontRising1, FrontRising2, FrontRising3,
    FrontFalling0, FrontFalling1, FrontFalling2, FrontFalling3,
    QueueEmpty,
    ExceededPeriod,
    MissingFrame,
    QueueFillLevelOn,
    QueueFillLevelOff,
    OutputEvent,
    Count
};

inline constexpr const char* kBoardEventNames[] = {
    "Device1_Process0_Overflow_Overflow",
    "Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameStart",
    "Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameEnd",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin3",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin4",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin5",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin6",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin7",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin3",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin4",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin5",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin6",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin7",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin3",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin3",
    "Device1_Process1_Trigger_Monitoring_QueueEvents_QueueEmpty",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0Override",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0MissingFrame",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0HysteresisOn",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0HysteresisOff",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0OutputEvent",
};
static_assert(std::size(kBoardEventNames) == static_cast<size_t>(BoardEvent::Count), "one name per event");

// The trigger inputs as the applet numbers them (GPI 0-7, front GPI 16-19) and as the model
// counts its twelve pins (0-11).
inline constexpr uint32_t kTriggerPins = 12;
inline constexpr uint32_t kFrontInputBase = 16;
constexpr bool isTriggerInput(uint32_t input) { return input < 8 || (input >= kFrontInputBase && input < kFrontInputBase + 4); }
constexpr uint32_t pinOfInput(uint32_t input) { return input < 8 ? input : input - kFrontInputBase + 8; }
constexpr uint32_t inputOfPin(uint32_t pin) { return pin < 8 ? pin : pin - 8 + kFrontInputBase; }

// The edge events of a pin.
constexpr BoardEvent risingEdgeEvent(uint32_t pin) {
    return static_cast<BoardEvent>(pin < 8 ? static_cast<uint32_t>(BoardEvent::InputRising0) + pin
                                           : static_cast<uint32_t>(BoardEvent::FrontRising0) + pin - 8);
}
constexpr BoardEvent fallingEdgeEvent(uint32_t pin) {
    return static_cast<BoardEvent>(pin < 8 ? static_cast<uint32_t>(BoardEvent::InputFalling0) + pin
                                           : static_cast<uint32_t>(BoardEvent::FrontFalling0) + pin - 8);
}

}  // namespace sim
