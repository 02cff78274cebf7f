// The start-up step that creates the debug entries, together with the settings the applet has
// always made at that point: the camera simulator's start geometry and limits, a clear of the
// trigger pulses and the stored trigger output selections. Runs before the initial values are
// applied, so the setters applied then find all of it in place.
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "applet/board.h"
#include "applet/core/setter_framework.h"
#include "applet/debug/debug_injection.h"
#include "applet/trigger/trigger_conversions.h"
#include "nx/nx_access.h"
#include "orvanta/parameter_info_node.h"

namespace vexo::applet {

namespace {

using nx::NxParameter;
using namespace trigger::constants;

constexpr double kHzPerMHz = 1e6;

// The simulator's geometry before any setter ran: 1024 x 1024 without gaps at 10 frames per
// second; its pixel frequency can be set up to the maximum pixel rate.
void startCameraSimulator(Board& w) {
    CameraSimulatorState& simulator = w.cameraSimulator();
    simulator.width = 1024;
    simulator.lineGap = 0;
    simulator.height = 1024;
    simulator.frameGap = 0;
    simulator.maximumPixelRate = CameraSimulatorState::kMaximumPixelRate;
    const int32_t frequencyId = infoOf(SdkParameter::FG_CAMERASIMULATOR_PIXEL_FREQUENCY).id;
    if (ParameterInfoNode* record = w.parameterInfo().findNode(frequencyId)) {
        record->value.dbl.max = simulator.maximumPixelRate / kHzPerMHz;
    }
    simulator.frameRate = 10.0;
}

// Holds the pulse form generators in clear while the queue's pulses are cleared, then lets
// them go. The queue clear is at its start value here: the trigger setters have not run yet.
void clearTriggerPulses(Board& w) {
    constexpr uint32_t kQueueClearAtStart = 1;
    nx::writeNx<NxParameter::Process1_Trigger_TriggerCam0_PulseFormGenerators_Clear_Mode>(w, 1);
    nx::writeNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_ClearQueuePulse_Mode>(w, kQueueClearAtStart);
    nx::writeNx<NxParameter::Process1_Trigger_TriggerCam0_PulseFormGenerators_Clear_Mode>(w, 0);
}

// The outputs' selections in the order of the effective-source array; the registers follow
// when the initial values are applied.
constexpr SdkParameter kOutputSelections[] = {
    SdkParameter::FG_TRIGGEROUT_SELECT_GPO_0,       SdkParameter::FG_TRIGGEROUT_SELECT_GPO_1,
    SdkParameter::FG_TRIGGEROUT_SELECT_GPO_2,       SdkParameter::FG_TRIGGEROUT_SELECT_GPO_3,
    SdkParameter::FG_TRIGGEROUT_SELECT_GPO_4,       SdkParameter::FG_TRIGGEROUT_SELECT_GPO_5,
    SdkParameter::FG_TRIGGEROUT_SELECT_GPO_6,       SdkParameter::FG_TRIGGEROUT_SELECT_GPO_7,
    SdkParameter::FG_TRIGGEROUT_SELECT_FRONT_GPO_0, SdkParameter::FG_TRIGGEROUT_SELECT_FRONT_GPO_1};
constexpr int32_t kStartSources[] = {CAM_A_NOT_PULSEGEN0, CAM_A_NOT_PULSEGEN1, VCC, VCC, VCC, VCC, VCC, VCC,
                                     CAM_A_NOT_PULSEGEN0, CAM_A_NOT_PULSEGEN1};
static_assert(std::size(kOutputSelections) == std::size(kStartSources));

void storeOutputSelections(Board& w) {
    for (size_t i = 0; i < std::size(kOutputSelections); ++i) {
        store<int32_t>(w, kOutputSelections[i], kStartSources[i]);
        w.triggerOutputSources()[i] = static_cast<uint32_t>(kStartSources[i]);
    }
}

}  // namespace

// Start-up goes on whatever happens here: the first failure ends the step, and what was set
// before it, entries read so far included, stays.
void Board::createDebugEntries() {
    try {
        startCameraSimulator(*this);
        clearTriggerPulses(*this);
        storeOutputSelections(*this);
        readDebugEntries(*this);
    } catch (int32_t) {
    }
}

}  // namespace vexo::applet
