// The kernel's id of the calling thread, which is what log records and spin-lock owner words
// carry.
#include "platform/thread.h"

#include <sys/syscall.h>
#include <unistd.h>

namespace vexo::templates::platform {

uint32_t currentThreadId() {
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 30))
    return static_cast<uint32_t>(gettid());
#else
    return static_cast<uint32_t>(syscall(SYS_gettid));
#endif
}

}  // namespace vexo::templates::platform
