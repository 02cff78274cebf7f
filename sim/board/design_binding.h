// What each parameter of the design on a board is to the board's timeline: a register of the
// trigger module, the camera status, a register deciding where frames come from, or nothing.
// Made when the timeline first runs on a design, so that a write or read finds its role in one
// lookup.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "model/design_model.h"
#include "model/trigger_module.h"

namespace sim {

struct Board;

// Roles of a design parameter beside the trigger registers (whose role is their number).
constexpr int16_t kNoRole = -1;
constexpr int16_t kCameraStatusRole = static_cast<int16_t>(TriggerRegister::Count);
constexpr int16_t kSourceRole = kCameraStatusRole + 1;

struct DesignBinding {
    const DesignModel* design = nullptr;  // null: none bound
    std::vector<int16_t> roleOfIndex;
    std::array<int32_t, static_cast<size_t>(TriggerRegister::Count)> triggerIndex{};
    int32_t cameraStatusIndex = -1;
};

// Binds the timeline to the design on the board unless bound to it already: the roles, the
// trigger module taking the register values the board holds, and the status published.
void ensureBound(Board& board);
// The role of parameter `index` of the design on the board (bound first).
int16_t roleOf(Board& board, int32_t index);

}  // namespace sim
