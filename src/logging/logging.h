// Access to named loggers. Until a logging dispatcher is attached every name gets the shared
// default logger, whose threshold lies above every level used, so no record is ever built.
#pragma once

#include <cstdint>

#include "logging/logger.h"

namespace vexo::tools::logging {

struct LoggingState;

class Logging {
public:
    // The process-wide instance, created on first use and kept for the life of the process.
    static Logging& instance();

    // The logger for a name; the pointer stays valid for the life of the process.
    Logger* getLogger(const char* name);

    // Hands a record of `logger` to the dispatcher; a no-op while none is attached.
    void write(const Logger& logger, uint32_t level, const char* text, uint32_t value32, uint64_t value64);

    Logging(const Logging&) = delete;
    Logging& operator=(const Logging&) = delete;

private:
    Logging();
    ~Logging();

    LoggingState* state;
};

}  // namespace vexo::tools::logging
