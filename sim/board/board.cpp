// A board's design and values: made with no HAP's design loaded (only the debug entries and the
// runtime's own parameters), given a design when an inner handle opens on a HAP.
#include "board.h"

#include "clock.h"

namespace sim {

Board::Board(uint64_t hardwareHandle) : hardware(hardwareHandle) {
    designs_.push_back(std::make_shared<const DesignModel>(std::vector<DesignRow>{}));
    design.design = designs_.back();
    design.values = startValues(*design.design);
    timeline.now = boardClock().now();
}

std::shared_ptr<InnerHandle> Board::handle(const void* value) const {
    const auto found = handles.find(value);
    return found == handles.end() ? nullptr : found->second;
}

void Board::loadDesign(const std::vector<DesignRow>& rows) {
    const DesignModel& old = *design.design;
    if (rows == old.designRows()) return;
    std::shared_ptr<const DesignModel> next;
    for (const auto& known : designs_) {
        if (known->designRows() == rows) next = known;
    }
    if (next == nullptr) {
        next = std::make_shared<const DesignModel>(rows);
        designs_.push_back(next);
    }
    std::vector<NxValue> carried = startValues(*next);
    for (std::size_t i = 0; i < carried.size(); ++i) {
        const int32_t before = old.indexOfAnyName(next->parameters()[i].name);
        if (before >= 0) carried[i] = design.values[static_cast<std::size_t>(before)];
    }
    design.values = std::move(carried);
    design.design = std::move(next);
}

void Board::restart() {
    design.values = startValues(*design.design);
    injectedPixels = 0;
    injection = CameraInjection{};
    restartTimeline(*this);
}

}  // namespace sim
