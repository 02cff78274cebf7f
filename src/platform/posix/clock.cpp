// The performance counter as the monotonic clock in nanoseconds.
#include "platform/clock.h"

#include <time.h>

namespace vexo::templates::platform {

namespace {
constexpr int64_t nanosecondsPerSecond = 1000000000;
}  // namespace

int64_t performanceCounter() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * nanosecondsPerSecond + static_cast<int64_t>(now.tv_nsec);
}

int64_t performanceFrequency() { return nanosecondsPerSecond; }

}  // namespace vexo::templates::platform
