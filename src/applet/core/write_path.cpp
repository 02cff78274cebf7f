// The write operation: one frame around the three id ranges (direct NX access, direct register
// access, SDK parameters), and the SDK dispatch that refuses or hands the value to a setter.
#include <cstring>

#include "applet/board.h"
#include "applet/core/parameter_checks.h"
#include "applet/core/setter_table.h"
#include "logging/log_record.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

using nx::RuntimeSlot;
using templates::platform::CriticalSectionGuard;
using tools::logging::kLevelUnserved;
using tools::logging::logRecord;

int32_t Board::setParameter(int32_t id, const void* value, uint32_t dma, int32_t type) {
    if (value == nullptr) return finish(errors::kInvalidParameter);
    CriticalSectionGuard guard(lock);
    switch (idRangeOf(id, draEnabled)) {
        case IdRange::DirectNx:
            // Passed through as it is: the caller's type code and DMA index are the runtime's concern.
            return finish(callRuntime<RuntimeSlot::Fg_setParameterWithType>(id - kDnxaIdBase, value, dma, type));
        case IdRange::DirectRegister:
            return finish(writeRegister(id, value));
        case IdRange::Sdk:
            break;
    }
    quietRefusal = {};
    try {
        setSdkParameter(id, value, dma);
    } catch (int32_t code) {
        closeQuietRefusal();
        return finish(code);
    }
    closeQuietRefusal();
    return finish(quietRefusal.code);
}

int32_t Board::writeRegister(int32_t id, const void* value) {
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

void Board::setSdkParameter(int32_t id, const void* value, uint32_t dma) {
    checkDma(*this, "set", id, dma);
    const std::optional<SdkParameter> parameter = sdkParameterOfId(id);
    const char* readOnlyName = nullptr;
    if (parameter) {
        const SdkParameterInfo& info = infoOf(*parameter);
        if (!isWritable(info.access)) readOnlyName = info.name;
    } else if (id == kParamDescrId) {
        readOnlyName = kParamDescrName;
    }
    if (readOnlyName != nullptr) {
        logRecord(getLogger(), kLevelUnserved, "trying to set read-only SDK parameter '", readOnlyName,
                  "' on process 0!");
        throw errors::kReadOnlyParameter;
    }
    if (!parameter) refuseUnknown(*this, "set", id);
    quietRefusal = {true, *parameter, errors::kSuccess};
    setterOf(*parameter).fromCaller(*this, value, true);
}

}  // namespace vexo::applet
