// Requests from the setters to bring the parameter description up to date after an accepted
// change moved the limits or access of other parameters.
#pragma once

#include <cstdint>

#include "applet/core/sdk_parameter_table.h"

namespace vexo::applet {

class Board;

// Recomputes the limits of parameter p from the stored values it depends on.
void refreshDescription(Board& w, SdkParameter p);

// Sets the access flags of the trigger parameters for the area trigger mode just stored.
void refreshTriggerAccess(Board& w, uint32_t newAreaTriggerMode);

// Sets the access flags of the camera simulator's rate and gap parameters for the select mode
// just stored: the rate of that mode (and the gaps it keeps) writable, the others read only.
void refreshCameraSimulatorAccess(Board& w, uint32_t selectMode);

}  // namespace vexo::applet
