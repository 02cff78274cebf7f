// The performance counter of the system.
#include "platform/clock.h"

#include "platform/win32/windows_api.h"

namespace vexo::templates::platform {

int64_t performanceCounter() {
    LARGE_INTEGER count{};
    QueryPerformanceCounter(&count);
    return static_cast<int64_t>(count.QuadPart);
}

int64_t performanceFrequency() {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<int64_t>(frequency.QuadPart);
}

}  // namespace vexo::templates::platform
