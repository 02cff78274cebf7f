// The spin-wait hint, which depends on the processor rather than the operating system.
#include "platform/thread.h"

namespace vexo::templates::platform {

void cpuPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__) || defined(__arm__)
    __asm__ __volatile__("yield");
#endif
}

}  // namespace vexo::templates::platform
