// The registers and events of the Orvanta design as its HAP lists them.
#include "hap_design.h"

namespace sim::hap {
namespace {

// Widths 8, 16, 32 and 40 bits, some only readable.
constexpr Register kRegisters[] = {
    {"ControlWord", 0x0000, 32, true},
    {"StatusWord", 0x0004, 32, false},
    {"TriggerPrescaler", 0x0010, 8, true},
    {"GpiLevels", 0x0014, 8, false},
    {"LinkErrorCount", 0x0018, 16, false},
    {"FrameCounter", 0x0020, 40, false},
    {"TimestampCompare", 0x0028, 40, true},
    {"ScratchPad", 0x0030, 32, true},
};

// The design's events in the order the HAP lists them (the order gives the event bits). The
// overflow comes first; a few events have no SDK name, and the debug tick is of another class.
constexpr EventRow kEvents[] = {
    {"Device1_Process0_Overflow_Overflow", 1},
    {"Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameStart", 1},
    {"Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameEnd", 1},
    {"Device1_Process0_CameraSimulator_Events_FrameDone", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin0", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin0", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin1", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin1", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin2", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin2", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin3", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin3", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin4", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin4", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin5", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin5", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin6", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin6", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin7", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin7", 1},
    {"Device1_Process0_Debug_Events_InternalTick", 2},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin0", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin0", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin1", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin1", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin2", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin2", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin3", 1},
    {"Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin3", 1},
    {"Device1_Process1_Trigger_Monitoring_QueueEvents_QueueEmpty", 1},
    {"Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0Override", 1},
    {"Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0MissingFrame", 1},
    {"Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0HysteresisOn", 1},
    {"Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0HysteresisOff", 1},
    {"Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0OutputEvent", 1},
    {"Device1_Process0_Buffer_0_DRAM_A_0_AlmostFull", 1},
};

}  // namespace

const Register* registers() { return kRegisters; }
int32_t registerCount() { return static_cast<int32_t>(sizeof kRegisters / sizeof kRegisters[0]); }

const Register* registerAt(uint32_t address) {
    for (const Register& r : kRegisters) {
        if (r.address == address) return &r;
    }
    return nullptr;
}

const EventRow* defaultEvents() { return kEvents; }
int32_t defaultEventCount() { return static_cast<int32_t>(sizeof kEvents / sizeof kEvents[0]); }

}  // namespace sim::hap
