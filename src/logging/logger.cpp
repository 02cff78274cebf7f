// Logger: a threshold and the dispatcher's handle. Without a dispatcher nothing is written.
#include "logging/logger.h"

#include "logging/logging.h"

namespace vexo::tools::logging {

struct LoggerState {
    uint64_t handle;
    uint32_t threshold;
};

Logger::Logger(uint64_t handle, uint32_t threshold) : state(new LoggerState{handle, threshold}) {}

Logger::~Logger() { delete state; }

bool Logger::isEnabledFor(uint32_t level) const { return level >= state->threshold; }

void Logger::log(uint32_t level, const char* text, uint32_t value32, uint64_t value64) const {
    Logging::instance().write(*this, level, text, value32, value64);
}

uint64_t Logger::handle() const { return state->handle; }

}  // namespace vexo::tools::logging
