// The hardware and HAP handles of the most recent successful open, process-wide, for the
// applet descriptor, which has no board handle to ask.
#pragma once

#include <cstdint>

namespace vexo::wrapper {

// Remember-and-get: a non-zero argument is stored; 0 leaves the stored value. Both answer the
// stored value, 0 (null) before any open.
uint64_t lastHardwareHandle(uint64_t hardwareHandle = 0);
void* lastHapHandle(void* hapHandle = nullptr);

}  // namespace vexo::wrapper
