// The calling thread's id and the processor's spin-wait hint.
#pragma once

#include <cstdint>

namespace vexo::templates::platform {

// GetCurrentThreadId on Windows, gettid on Linux.
uint32_t currentThreadId();

// A processor pause hint for spin loops.
void cpuPause();

}  // namespace vexo::templates::platform
