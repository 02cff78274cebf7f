// The logging singleton: loggers by dispatcher handle, the attachment of the dispatcher found
// in the installation, and the callbacks through which the dispatcher steers the loggers.
#include "logging/logging.h"

#include <atomic>
#include <map>
#include <memory>
#include <string>

#include "logging/dispatcher_library.h"
#include "logging/install_directory.h"
#include "platform/locks.h"

namespace vexo::tools::logging {

namespace platform = templates::platform;

struct LoggingState {
    Logger* defaultLogger = new Logger(0, kLevelAboveAll);
    DispatcherGetLoggerFn getLoggerFn = nullptr;
    DispatcherLogFn logFn = nullptr;
    // Cleared by the reset callback, possibly on another thread than the one logging.
    std::atomic<const DispatcherDescriptor*> descriptor{nullptr};
    std::map<uint64_t, std::unique_ptr<Logger>> loggers;
    DispatcherLibrary* library = nullptr;
    platform::ReadWriteLock loggersLock;
};

Logging::Logging() : state(new LoggingState) {}

Logging::~Logging() {
    state->loggers.clear();
    delete state->defaultLogger;
    const DispatcherDescriptor* descriptor = state->descriptor.exchange(nullptr);
    if (descriptor != nullptr && descriptor->detach != nullptr) descriptor->detach(this, descriptor);
    delete state->library;  // leaves the library loaded
    delete state;
}

void Logging::initialise() {
    // Whatever goes wrong here, the library runs on with logging off and says nothing.
    try {
        const char* directory = installDirectory();
        if (directory == nullptr) return;
        const std::string path = dispatcherLibraryPath(directory);
        auto library = std::make_unique<DispatcherLibrary>(path);
        if (library->module == nullptr) return;
        const auto* descriptor = static_cast<const DispatcherDescriptor*>(library->symbol(kDispatcherDescriptorSymbol));
        if (descriptor == nullptr) return;
        state->library = library.release();
        attachDispatcher(descriptor);
    } catch (...) {
    }
}

void Logging::attachDispatcher(const DispatcherDescriptor* descriptor) {
    // Stored first: the dispatcher may call back into the singleton from inside attach.
    state->descriptor.store(descriptor);
    if (descriptor != nullptr && descriptor->attach != nullptr) {
        descriptor->attach(this, &Logging::resetCallback, &Logging::setLevelCallback, &state->getLoggerFn,
                           &state->logFn);
    }
}

bool Logging::dispatcherAttached() const { return state->descriptor.load() != nullptr; }

Logger* Logging::getLogger(const char* name) {
    const DispatcherGetLoggerFn getLoggerFn = state->getLoggerFn;
    // A dispatcher still inside its attach has not given its functions yet.
    if (state->descriptor.load() == nullptr || getLoggerFn == nullptr) return state->defaultLogger;
    uint64_t handle = 0;
    uint32_t level = 0;
    getLoggerFn(name, &handle, &level);
    platform::ReadWriteLockGuard guard(state->loggersLock, platform::ReadWriteLockGuard::Exclusive);
    std::unique_ptr<Logger>& logger = state->loggers[handle];
    // A handle seen before keeps its logger and its threshold; the level answered now is moot.
    if (logger == nullptr) logger = std::make_unique<Logger>(handle, level);
    return logger.get();
}

void Logging::write(const Logger& logger, uint32_t level, const char* text, uint32_t value32, uint64_t value64) {
    const DispatcherLogFn logFn = state->logFn;
    if (state->descriptor.load() == nullptr || logFn == nullptr) return;
    logFn(logger.handle(), level, text, value32, value64);
}

void Logging::resetCallback() { instance().state->descriptor.store(nullptr); }

void Logging::setLevelCallback(uint64_t handle, uint32_t level) {
    LoggingState& state = *instance().state;
    platform::ReadWriteLockGuard guard(state.loggersLock, platform::ReadWriteLockGuard::Shared);
    const auto found = state.loggers.find(handle);
    if (found != state.loggers.end()) found->second->setThreshold(level);
}

}  // namespace vexo::tools::logging
