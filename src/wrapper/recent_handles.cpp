// Storage of the most recent hardware and HAP handles.
#include "wrapper/recent_handles.h"

#include <atomic>

namespace vexo::wrapper {

namespace {
// Words without ordering: with several boards opening at once they hold whichever open
// finished last, which is all the descriptor promises.
std::atomic<uint64_t> recentHardwareHandle{0};
std::atomic<void*> recentHapHandle{nullptr};
}  // namespace

uint64_t lastHardwareHandle(uint64_t hardwareHandle) {
    if (hardwareHandle != 0) recentHardwareHandle.store(hardwareHandle, std::memory_order_relaxed);
    return recentHardwareHandle.load(std::memory_order_relaxed);
}

void* lastHapHandle(void* hapHandle) {
    if (hapHandle != nullptr) recentHapHandle.store(hapHandle, std::memory_order_relaxed);
    return recentHapHandle.load(std::memory_order_relaxed);
}

}  // namespace vexo::wrapper
