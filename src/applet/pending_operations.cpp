// Operations of the applet class whose full form arrives with the registry, the write and read
// paths, the events and the configuration files. Until then they check what can be checked and
// answer as they will for a parameter, name or event the applet does not know.
#include <string>

#include "logging/log_record.h"
#include "wrapper/error_codes.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

using templates::platform::CriticalSectionGuard;
using tools::logging::kLevelUnserved;
using tools::logging::logRecord;

int32_t FgNxWrapperImpl::refuseParameter(const char* verb, int32_t id, uint32_t dma) {
    const auto process = dmaToProcess().find(static_cast<int32_t>(dma));
    if (process == dmaToProcess().end()) return errors::kInvalidParameter;
    if (process->second != 0) {
        logRecord(getLogger(), kLevelUnserved, "trying to ", verb, " SDK parameter '", id, "' on unknown process ",
                  process->second, "!");
        return errors::kInvalidParameter;
    }
    logRecord(getLogger(), kLevelUnserved, "trying to ", verb, " unknown SDK parameter '", id, "' on process 0!");
    return errors::kInvalidParameter;
}

int32_t FgNxWrapperImpl::setParameterWithType(int32_t id, const void* value, uint32_t dma, int32_t /*type*/) {
    if (value == nullptr) {
        setLastError(errors::kInvalidParameter);
        return errors::kInvalidParameter;
    }
    CriticalSectionGuard guard(appletLock);
    const int32_t result = refuseParameter("set", id, dma);
    setLastError(result);
    return result;
}

int32_t FgNxWrapperImpl::getParameterWithType(int32_t id, void* value, uint32_t dma, int32_t /*type*/) {
    if (value == nullptr) {
        setLastError(errors::kInvalidParameter);
        return errors::kInvalidParameter;
    }
    CriticalSectionGuard guard(appletLock);
    const int32_t result = refuseParameter("get", id, dma);
    setLastError(result);
    return result;
}

// No string has been handed out yet, so no pointer can be given back.
int32_t FgNxWrapperImpl::freeParameterStringWithType(int32_t, void*, uint32_t, int32_t) {
    setLastError(errors::kInvalidParameter);
    return errors::kInvalidParameter;
}

int32_t FgNxWrapperImpl::getParameterIdByName(const char*) {
    setLastError(errors::kInvalidParameter);
    return errors::kInvalidParameter;
}

const char* FgNxWrapperImpl::getParameterName(int32_t) {
    setLastError(errors::kInvalidParameter);
    return nullptr;
}

int32_t FgNxWrapperImpl::getParameterId(int32_t) {
    setLastError(errors::kInvalidParameter);
    return errors::kInvalidParameter;
}

int32_t FgNxWrapperImpl::getNrOfParameter() { return 0; }

uint64_t FgNxWrapperImpl::getEventMask(const char*) {
    setLastError(errors::kInvalidParameter);
    return 0;
}

const char* FgNxWrapperImpl::getEventName(uint64_t) {
    setLastError(errors::kInvalidParameter);
    return nullptr;
}

bool FgNxWrapperImpl::readConfiguration(config::McfParser&) { return false; }

void FgNxWrapperImpl::writeConfiguration(config::McfParser&) {}

}  // namespace vexo::wrapper
