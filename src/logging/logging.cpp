// The logging singleton, so far without a dispatcher: every logger is the default logger.
#include "logging/logging.h"

namespace vexo::tools::logging {

struct LoggingState {
    Logger defaultLogger{0, kLevelAboveAll};
};

Logging& Logging::instance() {
    // Never destroyed: loggers handed out must outlive every wrapper, including wrappers
    // that the runtime frees while the process shuts down.
    static Logging* const singleton = new Logging();
    return *singleton;
}

Logging::Logging() : state(new LoggingState) {}

Logging::~Logging() { delete state; }

Logger* Logging::getLogger(const char* /*name*/) { return &state->defaultLogger; }

void Logging::write(const Logger& /*logger*/, uint32_t /*level*/, const char* /*text*/, uint32_t /*value32*/,
                    uint64_t /*value64*/) {}

}  // namespace vexo::tools::logging
