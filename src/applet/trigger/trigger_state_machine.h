// The area trigger module's state machine: what the design must be told when the pair (area
// trigger mode, trigger state) changes, as one table of transitions walked by a small
// interpreter.
#pragma once

#include <cstdint>

namespace vexo::applet {
class Board;
}

namespace vexo::applet::trigger {

// Writes the steps of the transition from (oldMode, oldState) to (newMode, newState), of which
// one member changes per call; a pair without a transition writes nothing. Then the access
// flags of the trigger parameters follow newMode. A failing write leaves as a thrown int32_t
// code, the steps before it staying done.
void changeTriggerState(Board& w, uint32_t oldMode, uint32_t oldState, uint32_t newMode,
                        uint32_t newState);

}  // namespace vexo::applet::trigger
