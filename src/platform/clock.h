// The high-resolution performance counter.
#pragma once

#include <cstdint>

namespace vexo::templates::platform {

// QueryPerformanceCounter on Windows; CLOCK_MONOTONIC in nanoseconds on Linux.
int64_t performanceCounter();
// Counts per second: QueryPerformanceFrequency on Windows; 1e9 on Linux.
int64_t performanceFrequency();

}  // namespace vexo::templates::platform
