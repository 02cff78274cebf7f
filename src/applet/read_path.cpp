// The read operation and the release of handed-out strings: one lock around the three id
// ranges (direct NX access, direct register access, SDK parameters), the SDK dispatch to the
// read rules, and the delivery of texts into the caller's buffer or as allocated strings.
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "applet/read_rules.h"
#include "applet/registry.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

using applet::kDnxaIdBase;
using applet::kDraIdBase;
using applet::kNarrowRegisterBits;
using applet::SdkParameter;
using templates::platform::CriticalSectionGuard;

namespace {

// Runs a text rule. Type code 22 goes through the text buffer into an array of exactly the
// text's length + 1, which the caller owns until it gives it back; any other code writes the
// text into the caller's buffer, which has to hold it.
template <typename Rule>
void deliverText(void* value, int32_t type, char* textBuffer, size_t textBufferSize, std::set<char*>& handedOut,
                 Rule&& rule) {
    if (type != kTypeAllocatedText) {
        rule(applet::ReadRequest{value, 0, type, static_cast<char*>(value), SIZE_MAX});
        return;
    }
    textBuffer[0] = '\0';
    rule(applet::ReadRequest{value, 0, type, textBuffer, textBufferSize});
    textBuffer[textBufferSize] = '\0';
    const size_t length = std::strlen(textBuffer);
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), textBuffer, length + 1);
    handedOut.insert(text.get());
    char* const pointer = text.release();
    std::memcpy(value, &pointer, sizeof pointer);
}

}  // namespace

int32_t FgNxWrapperImpl::getParameterWithType(int32_t id, void* value, uint32_t dma, int32_t type) {
    return serveParameter(
        id, value,
        [&](int32_t nxId) { return callRuntime<RuntimeSlot::Fg_getParameterWithType>(nxId, value, dma, type); },
        [&] { return readRegister(id, value); }, [&] { getSdkParameter(id, value, dma, type); });
}

int32_t FgNxWrapperImpl::readRegister(int32_t id, void* value) {
    const uint32_t address = static_cast<uint32_t>(id - kDraIdBase);
    uint64_t word = 0;
    const int32_t result = Hw_ReadRegister(hardwareHandle(), address, &word);
    if (result != errors::kSuccess) return result;
    // A narrow register fills only the low 32 bits; the rest of the caller's value stays as it is.
    if (Hap_GetRegisterWidth(hapHandle(), address) > kNarrowRegisterBits) {
        std::memcpy(value, &word, sizeof word);
    } else {
        const uint32_t narrow = static_cast<uint32_t>(word);
        std::memcpy(value, &narrow, sizeof narrow);
    }
    return errors::kSuccess;
}

void FgNxWrapperImpl::getSdkParameter(int32_t id, void* value, uint32_t dma, int32_t type) {
    const std::optional<SdkParameter> parameter = applet::sdkParameterOfId(id);
    // The process count is the one answer every DMA index may ask for.
    if (parameter != SdkParameter::FG_NR_OF_PROCESSES) checkDma("get", id, dma);
    const bool described = id == applet::kParamDescrId;
    if (!described && !parameter) refuseUnknown("get", id);
    // Every rule needs a place for its answer, whoever calls the dispatch.
    if (value == nullptr) throw errors::kInvalidParameter;
    if (described) {
        // The name to describe is the caller's text at the value pointer.
        deliverText(value, type, readTextBuffer.data(), kReadTextBufferSize, allocatedStrings,
                    [&](const applet::ReadRequest& request) {
                        applet::describeParameterByName(*this, static_cast<const char*>(value), request);
                    });
    } else if (applet::infoOf(*parameter).kind == applet::ParameterKind::String) {
        deliverText(value, type, readTextBuffer.data(), kReadTextBufferSize, allocatedStrings,
                    [&](const applet::ReadRequest& request) { applet::runReadRule(*this, *parameter, request); });
    } else {
        applet::runReadRule(*this, *parameter, applet::ReadRequest{value, dma, type, nullptr, 0});
    }
}

int32_t FgNxWrapperImpl::freeParameterStringWithType(int32_t id, void* value, uint32_t dma, int32_t type) {
    if (id > kDnxaIdBase) {
        const int32_t result =
            callRuntime<RuntimeSlot::Fg_freeParameterStringWithType>(id - kDnxaIdBase, value, dma, type);
        setLastError(result);
        return result;
    }
    const std::optional<int32_t> process = parameterRegistry.processOfDma(dma);
    if (!process) {
        setLastError(errors::kInvalidParameter);
        return errors::kInvalidParameter;
    }
    // Texts of the parameters the runtime answers were allocated by the runtime.
    const std::optional<SdkParameter> parameter = applet::sdkParameterOfId(id);
    if (*process == 0 && parameter && applet::infoOf(*parameter).kind == applet::ParameterKind::Forwarded) {
        return callRuntime<RuntimeSlot::Fg_freeParameterStringWithType>(id, value, dma, type);
    }
    // Any id gives back any string this wrapper handed out.
    char* const text = static_cast<char*>(value);
    {
        CriticalSectionGuard guard(appletLock);
        if (allocatedStrings.erase(text) == 0) {
            setLastError(errors::kInvalidParameter);
            return errors::kInvalidParameter;
        }
    }
    delete[] text;
    return errors::kSuccess;
}

}  // namespace vexo::wrapper
