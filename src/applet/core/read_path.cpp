// The read operation and the release of handed-out strings: one frame around the three id
// ranges (direct NX access, direct register access, SDK parameters), the SDK dispatch to the
// read rules, and the delivery of texts into the caller's buffer or as allocated strings.
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "applet/board.h"
#include "applet/core/parameter_checks.h"
#include "applet/core/read_rules.h"
#include "applet/core/registry.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"

namespace vexo::applet {

using nx::RuntimeSlot;
using templates::platform::CriticalSectionGuard;

namespace {

// Runs a text rule. Type code 22 goes through the text buffer into an array of exactly the
// text's length + 1, which the caller owns until it gives it back; any other code writes the
// text into the caller's buffer, which has to hold it.
template <typename Rule>
void deliverText(void* value, int32_t type, char* textBuffer, size_t textBufferSize, std::set<char*>& handedOut,
                 Rule&& rule) {
    if (type != kTypeAllocatedText) {
        rule(ReadRequest{value, 0, type, static_cast<char*>(value), SIZE_MAX});
        return;
    }
    textBuffer[0] = '\0';
    rule(ReadRequest{value, 0, type, textBuffer, textBufferSize});
    textBuffer[textBufferSize] = '\0';
    const size_t length = std::strlen(textBuffer);
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), textBuffer, length + 1);
    handedOut.insert(text.get());
    char* const pointer = text.release();
    std::memcpy(value, &pointer, sizeof pointer);
}

}  // namespace

int32_t Board::getParameter(int32_t id, void* value, uint32_t dma, int32_t type) {
    if (value == nullptr) return finish(errors::kInvalidParameter);
    CriticalSectionGuard guard(lock);
    switch (idRangeOf(id, draEnabled)) {
        case IdRange::DirectNx:
            return finish(callRuntime<RuntimeSlot::Fg_getParameterWithType>(id - kDnxaIdBase, value, dma, type));
        case IdRange::DirectRegister:
            return finish(readRegister(id, value));
        case IdRange::Sdk:
            break;
    }
    try {
        getSdkParameter(id, value, dma, type);
    } catch (int32_t code) {
        return finish(code);
    }
    return finish(errors::kSuccess);
}

int32_t Board::readRegister(int32_t id, void* value) {
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

void Board::getSdkParameter(int32_t id, void* value, uint32_t dma, int32_t type) {
    const std::optional<SdkParameter> parameter = sdkParameterOfId(id);
    // The process count is the one answer every DMA index may ask for.
    if (parameter != SdkParameter::FG_NR_OF_PROCESSES) checkDma(*this, "get", id, dma);
    const bool described = id == kParamDescrId;
    if (!described && !parameter) refuseUnknown(*this, "get", id);
    // Every rule needs a place for its answer, whoever calls the dispatch.
    if (value == nullptr) throw errors::kInvalidParameter;
    if (described) {
        // The name to describe is the caller's text at the value pointer.
        deliverText(value, type, readTextBuffer.data(), kReadTextBufferSize, allocatedStrings,
                    [&](const ReadRequest& request) {
                        describeParameterByName(*this, static_cast<const char*>(value), request);
                    });
    } else if (infoOf(*parameter).kind == ParameterKind::String) {
        deliverText(value, type, readTextBuffer.data(), kReadTextBufferSize, allocatedStrings,
                    [&](const ReadRequest& request) { runReadRule(*this, *parameter, request); });
    } else {
        runReadRule(*this, *parameter, ReadRequest{value, dma, type, nullptr, 0});
    }
}

int32_t Board::freeParameterString(int32_t id, void* value, uint32_t dma, int32_t type) {
    if (id > kDnxaIdBase) {
        return finish(callRuntime<RuntimeSlot::Fg_freeParameterStringWithType>(id - kDnxaIdBase, value, dma, type));
    }
    const std::optional<int32_t> process = parameterRegistry.processOfDma(dma);
    if (!process) return finish(errors::kInvalidParameter);
    // Texts of the parameters the runtime answers were allocated by the runtime.
    const std::optional<SdkParameter> parameter = sdkParameterOfId(id);
    if (*process == 0 && parameter && infoOf(*parameter).kind == ParameterKind::Forwarded) {
        return callRuntime<RuntimeSlot::Fg_freeParameterStringWithType>(id, value, dma, type);
    }
    // Any id gives back any string this board handed out. Success leaves the last error alone.
    char* const text = static_cast<char*>(value);
    {
        CriticalSectionGuard guard(lock);
        if (allocatedStrings.erase(text) == 0) return finish(errors::kInvalidParameter);
    }
    delete[] text;
    return errors::kSuccess;
}

}  // namespace vexo::applet
