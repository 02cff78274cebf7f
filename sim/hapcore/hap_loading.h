// Between the stand-ins only: the runtime has the HAP runtime load a HAP's design onto the board
// of a hardware handle when it opens an inner handle there, as configuring a board with a HAP
// would. Not part of the tests' control interface.
#pragma once

#include <cstdint>

#include "orvanta_sim/export.h"

extern "C" {
// Loads the NX parameters the open HAP lists onto the board of `hardware` (board/board.h): 0, or
// -1 for a HAP that is not open.
VEXO_SIM_HAP_API int32_t SimHap_LoadDesign(void* hap, uint64_t hardware);
// The position of the named event in the event list of an open HAP, or -1 (for a HAP that is
// not open too): the runtime raises the board's events by these positions.
VEXO_SIM_HAP_API int32_t SimHap_EventPosition(void* hap, const char* name);
}
