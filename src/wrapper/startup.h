// Opening the applet on one board: what the exported Std_entry does.
#pragma once

#include <cstdint>

namespace vexo::wrapper {

class FgNxWrapper;

// Creates the applet's wrapper object for a board, binds it to the runtime, opens the HAP and
// the inner handle and runs the start-up steps. Null on failure, with nothing left open; the
// error cell (when not null) receives 0 or the failure code. Flag bit 0 skips writing the
// initial values; the flags also go to the runtime's slave-aware init function.
FgNxWrapper* startApplet(uint64_t hardwareHandle, int32_t* errorCell, uint32_t flags);

}  // namespace vexo::wrapper
