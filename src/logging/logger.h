// The logger interface every log site uses: ask the level check first, build the record only
// when it passes, then hand the text over. Loggers are owned by the logging system; callers
// keep plain pointers.
#pragma once

#include <cstdint>

namespace vexo::tools::logging {

// Levels: higher is more severe.
inline constexpr uint32_t kLevelUnserved = 4;       // a request that cannot be served
inline constexpr uint32_t kLevelFailedAccess = 5;   // a failed NX access or a failed open
inline constexpr uint32_t kLevelBinding = 6;        // a failure while binding to the runtime
inline constexpr uint32_t kLevelAboveAll = 7;       // threshold of a logger that writes nothing

struct LoggerState;

class Logger {
public:
    // handle: the dispatcher's identifier (0 for the default logger); threshold: the lowest
    // level logged.
    Logger(uint64_t handle, uint32_t threshold);
    Logger(const Logger&) = delete;
    Logger& operator=(const Logger&) = delete;
    virtual ~Logger();

    // True when a record of this level is to be written: at or above the threshold and the
    // calling thread not switched off.
    bool isEnabledFor(uint32_t level) const;
    // Hands the record over; does not repeat the level check.
    void log(uint32_t level, const char* text, uint32_t value32, uint64_t value64) const;

    // Switches this logger off (false) or on again (true) for the calling thread only. True
    // when the thread was not switched off before the call.
    bool enableForCurrentThread(bool enable);

    uint64_t handle() const;
    uint32_t threshold() const;
    // Set by the dispatcher at any time, read by the level check without a lock.
    void setThreshold(uint32_t level);

private:
    LoggerState* state;
};

}  // namespace vexo::tools::logging
