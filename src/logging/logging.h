// Access to named loggers and the binding to the installation's logging dispatcher. Until a
// dispatcher is attached every name gets the shared default logger, whose threshold lies above
// every level used, so no record is ever built.
#pragma once

#include <cstdint>

#include "logging/guarded_singleton.h"
#include "logging/logger.h"
#include "orvanta/dispatcher_interface.h"

namespace vexo::tools::logging {

struct LoggingState;

class Logging : public templates::patterns::GuardedSingleton<Logging> {
public:
    // instance(): the process-wide object, created on first use; creation attaches the
    // dispatcher found below the installation directory, if there is one.

    // The logger for a name; the pointer stays valid for the life of the process. The default
    // logger while no dispatcher is attached; otherwise one logger per dispatcher handle, so
    // names the dispatcher gives the same handle share a logger.
    Logger* getLogger(const char* name);

    // Hands a record of `logger` to the dispatcher; a no-op while none is attached.
    void write(const Logger& logger, uint32_t level, const char* text, uint32_t value32, uint64_t value64);

    // Takes `descriptor` as the attached dispatcher and calls its attach function with this
    // object and the callbacks. Creation does this with the dispatcher library it loaded.
    void attachDispatcher(const DispatcherDescriptor* descriptor);
    bool dispatcherAttached() const;

    Logging(const Logging&) = delete;
    Logging& operator=(const Logging&) = delete;

private:
    friend class templates::patterns::GuardedSingleton<Logging>;

    Logging();
    // Nothing calls it while the library is loaded: loggers handed out must outlive every
    // wrapper, including wrappers that the runtime frees while the process shuts down.
    ~Logging() override;
    void initialise() override;

    // The callbacks the dispatcher receives; they act on the process-wide instance.
    static void resetCallback();
    static void setLevelCallback(uint64_t handle, uint32_t level);

    LoggingState* state;
};

}  // namespace vexo::tools::logging
