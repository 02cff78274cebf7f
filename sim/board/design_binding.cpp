// Binding a design to a board's timeline. The trigger registers are the trigger module's table;
// the registers deciding the frame source are the image path's.
#include "design_binding.h"

#include "board.h"

namespace sim {

namespace {

void bindDesign(Board& board) {
    DesignBinding& b = board.timeline.binding;
    const DesignModel& design = *board.design.design;
    b.design = &design;
    b.roleOfIndex.assign(design.parameters().size(), kNoRole);
    for (size_t r = 0; r < b.triggerIndex.size(); ++r) {
        const int32_t index = design.indexOfNxName(kTriggerRegisterNames[r]);
        b.triggerIndex[r] = index;
        if (index >= 0) b.roleOfIndex[static_cast<size_t>(index)] = static_cast<int16_t>(r);
    }
    for (const ImageRegisterRow& row : kImageRegisters) {
        const int32_t index = row.source ? design.indexOfNxName(row.name) : -1;
        if (index >= 0) b.roleOfIndex[static_cast<size_t>(index)] = kSourceRole;
    }
    b.cameraStatusIndex = design.indexOfAnyName("FG_CAMSTATUS_EXTENDED");
    if (b.cameraStatusIndex >= 0) b.roleOfIndex[static_cast<size_t>(b.cameraStatusIndex)] = kCameraStatusRole;
    // The module takes the values the board holds; a software trigger written long ago is no
    // pulse now.
    Timeline& t = board.timeline;
    TimelinePort port(board);
    for (size_t r = 0; r < static_cast<size_t>(TriggerRegister::GeneratorReady); ++r) {
        const auto reg = static_cast<TriggerRegister>(r);
        const int32_t index = b.triggerIndex[r];
        if (index < 0 || reg == TriggerRegister::SoftwareTrigger) continue;
        t.trigger->write(reg, static_cast<uint32_t>(board.design.values[static_cast<size_t>(index)].integer), t.now, port);
    }
    t.source = readFrameSettings(board.design).source;
    publishStatus(board, true);
}

}  // namespace

void ensureBound(Board& board) {
    if (board.timeline.binding.design != board.design.design.get()) bindDesign(board);
}

int16_t roleOf(Board& board, int32_t index) {
    ensureBound(board);
    return board.timeline.binding.roleOfIndex[static_cast<size_t>(index)];
}

}  // namespace sim
