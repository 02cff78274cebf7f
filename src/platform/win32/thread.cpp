// The system's id of the calling thread, which is what log records and spin-lock owner words
// carry.
#include "platform/thread.h"

#include "platform/win32/windows_api.h"

namespace vexo::templates::platform {

uint32_t currentThreadId() { return static_cast<uint32_t>(GetCurrentThreadId()); }

}  // namespace vexo::templates::platform
