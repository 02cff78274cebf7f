// The write operation: one lock around the three id ranges (direct NX access, direct register
// access, SDK parameters), and the SDK dispatch that refuses or hands the value to a setter.
#include <cstring>

#include "applet/registry.h"
#include "applet/setter_table.h"
#include "logging/log_record.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

using applet::kDraIdBase;
using applet::kNarrowRegisterBits;
using tools::logging::kLevelUnserved;
using tools::logging::logRecord;

int32_t FgNxWrapperImpl::setParameterWithType(int32_t id, const void* value, uint32_t dma, int32_t type) {
    return serveParameter(
        id, value,
        [&](int32_t nxId) {
            // Passed through as it is: the caller's type code and DMA index are the runtime's concern.
            return callRuntime<RuntimeSlot::Fg_setParameterWithType>(nxId, value, dma, type);
        },
        [&] { return writeRegister(id, value); }, [&] { setSdkParameter(id, value, dma); });
}

int32_t FgNxWrapperImpl::writeRegister(int32_t id, const void* value) {
    const uint32_t address = static_cast<uint32_t>(id - kDraIdBase);
    uint64_t word = 0;
    // A register up to 32 bits wide is written from a 32-bit value; reading 8 bytes there would
    // take bytes the caller never meant.
    if (Hap_GetRegisterWidth(hapHandle(), address) > kNarrowRegisterBits) {
        std::memcpy(&word, value, sizeof word);
    } else {
        uint32_t narrow = 0;
        std::memcpy(&narrow, value, sizeof narrow);
        word = narrow;
    }
    return Hw_WriteRegister(hardwareHandle(), address, word);
}

void FgNxWrapperImpl::checkDma(const char* verb, int32_t id, uint32_t dma) {
    const std::optional<int32_t> process = parameterRegistry.processOfDma(dma);
    if (!process) throw errors::kInvalidParameter;
    if (*process != 0) {
        logRecord(getLogger(), kLevelUnserved, "trying to ", verb, " SDK parameter '", id, "' on unknown process ",
                  *process, "!");
        throw errors::kInvalidParameter;
    }
}

void FgNxWrapperImpl::refuseUnknown(const char* verb, int32_t id) {
    logRecord(getLogger(), kLevelUnserved, "trying to ", verb, " unknown SDK parameter '", id, "' on process 0!");
    throw errors::kInvalidParameter;
}

void FgNxWrapperImpl::setSdkParameter(int32_t id, const void* value, uint32_t dma) {
    checkDma("set", id, dma);
    const std::optional<applet::SdkParameter> parameter = applet::sdkParameterOfId(id);
    const char* readOnlyName = nullptr;
    if (parameter) {
        const applet::SdkParameterInfo& info = applet::infoOf(*parameter);
        if (!applet::isWritable(info.access)) readOnlyName = info.name;
    } else if (id == applet::kParamDescrId) {
        readOnlyName = applet::kParamDescrName;
    }
    if (readOnlyName != nullptr) {
        logRecord(getLogger(), kLevelUnserved, "trying to set read-only SDK parameter '", readOnlyName,
                  "' on process 0!");
        throw errors::kReadOnlyParameter;
    }
    if (!parameter) refuseUnknown("set", id);
    applet::setterOf(*parameter).fromCaller(*this, value, true);
}

}  // namespace vexo::wrapper
