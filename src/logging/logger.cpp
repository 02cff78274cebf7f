// Logger: the dispatcher's handle, a threshold, and the threads it is switched off for.
#include "logging/logger.h"

#include <atomic>
#include <set>

#include "logging/logging.h"
#include "platform/locks.h"
#include "platform/thread.h"

namespace vexo::tools::logging {

namespace platform = templates::platform;

struct LoggerState {
    LoggerState(uint64_t dispatcherHandle, uint32_t level) : handle(dispatcherHandle), threshold(level) {}

    uint64_t handle;
    platform::RecursiveMutex mutedThreadsLock;
    std::set<uint32_t> mutedThreads;
    // A single word that the dispatcher may change while other threads test it; relaxed
    // ordering is enough, a level change need not be seen at once.
    std::atomic<uint32_t> threshold;
};

Logger::Logger(uint64_t handle, uint32_t threshold) : state(new LoggerState(handle, threshold)) {}

Logger::~Logger() { delete state; }

bool Logger::isEnabledFor(uint32_t level) const {
    // The threshold first: a disabled level must cost no lock.
    if (level < state->threshold.load(std::memory_order_relaxed)) return false;
    platform::RecursiveMutexGuard guard(state->mutedThreadsLock);
    return state->mutedThreads.count(platform::currentThreadId()) == 0;
}

void Logger::log(uint32_t level, const char* text, uint32_t value32, uint64_t value64) const {
    Logging::instance().write(*this, level, text, value32, value64);
}

bool Logger::enableForCurrentThread(bool enable) {
    const uint32_t thread = platform::currentThreadId();
    platform::RecursiveMutexGuard guard(state->mutedThreadsLock);
    const bool wasEnabled = state->mutedThreads.count(thread) == 0;
    if (enable) {
        state->mutedThreads.erase(thread);
    } else {
        state->mutedThreads.insert(thread);
    }
    return wasEnabled;
}

uint64_t Logger::handle() const { return state->handle; }

uint32_t Logger::threshold() const { return state->threshold.load(std::memory_order_relaxed); }

void Logger::setThreshold(uint32_t level) { state->threshold.store(level, std::memory_order_relaxed); }

}  // namespace vexo::tools::logging
