// Parameter answers of a board, from the values of the design loaded on it.
#include "parameters.h"

#include <cstring>
#include <memory>
#include <string>

#include "board.h"
#include "orvanta/type_codes.h"
#include "orvanta_sim/runtime.h"

namespace sim {
namespace {

// Texts the design stores are cut to this many characters.
constexpr std::size_t kTextLimit = 255;

bool acceptsType(const DesignParameter& parameter, int32_t type, bool reading) {
    if (parameter.kind == ValueKind::Text) {
        return type == vexo::kTypeText || (reading && type == vexo::kTypeAllocatedText);
    }
    return numberTakesType(parameter.kind, type, parameter.anyIntegerType);
}

}  // namespace

ParameterAccess findParameter(const Board& board, int32_t id, const void* value, uint32_t dma, int32_t type,
                              bool reading) {
    ParameterAccess access;
    const DesignModel& model = *board.design.design;
    access.index = model.indexOfId(id);
    if (access.index < 0) {
        access.refusal = SIM_ERR_INVALID_PARAMETER;
        return access;
    }
    const DesignParameter& parameter = model.parameters()[static_cast<size_t>(access.index)];
    access.type = type < 0 ? nativeTypeCode(parameter.kind) : type;
    access.parameter = &parameter;
    if (dma != 0) {
        access.refusal = SIM_ERR_INVALID_PORT;
    } else if (value == nullptr) {
        access.refusal = SIM_ERR_NULL_VALUE;
    } else if (!acceptsType(parameter, access.type, reading)) {
        access.refusal = SIM_ERR_INVALID_TYPE;
    }
    return access;
}

int32_t writeParameter(Board& board, const ParameterAccess& access, const void* value) {
    const DesignParameter& parameter = *access.parameter;
    NxValue& stored = board.design.values[static_cast<size_t>(access.index)];
    if (parameter.kind == ValueKind::Text) {
        stored.text = std::string(static_cast<const char*>(value)).substr(0, kTextLimit);
    } else {
        storeNumber(stored, parameter.kind, access.type, value);
    }
    registerWritten(board, access.index);
    if (parameter.injectsPixel) ++board.injectedPixels;
    if (parameter.cameraInput == CameraInput::None) return 0;
    return feedCameraEntry(board.design, board.injection, parameter, stored);
}

void readParameter(Board& board, InnerHandle& handle, const ParameterAccess& access, void* value) {
    beforeRead(board, access.index);
    const DesignParameter& parameter = *access.parameter;
    const NxValue& stored = board.design.values[static_cast<size_t>(access.index)];
    if (parameter.kind != ValueKind::Text) {
        loadNumber(stored, parameter.kind, access.type, value);
    } else if (access.type == vexo::kTypeText) {
        std::memcpy(value, stored.text.c_str(), stored.text.size() + 1);
    } else {
        auto copy = std::make_unique<char[]>(stored.text.size() + 1);
        std::memcpy(copy.get(), stored.text.c_str(), stored.text.size() + 1);
        char* text = copy.get();
        std::memcpy(value, &text, sizeof text);
        handle.handedTexts.push_back(std::move(copy));
    }
}

}  // namespace sim
