// The boards of the simulated hardware, owned by the hardware library: one per hardware handle,
// made at first use and kept until the process ends.
#include "board.h"

#include <mutex>

namespace sim {
namespace {

class HardwareBoard final : public Board {
public:
    HardwareBoard() {
        designs_.push_back(std::make_shared<const DesignModel>(std::vector<DesignRow>{}));
        state_.design = designs_.back();
        state_.values = startValues(*state_.design);
    }

    void visit(void (*visitor)(BoardState&, void*), void* context) override {
        std::lock_guard<std::mutex> lock(mutex_);
        visitor(state_, context);
    }

    void loadDesign(const std::vector<DesignRow>& rows) override {
        std::lock_guard<std::mutex> lock(mutex_);
        const DesignModel& old = *state_.design;
        if (rows == old.designRows()) return;
        auto next = std::make_shared<const DesignModel>(rows);
        std::vector<NxValue> carried = startValues(*next);
        for (std::size_t i = 0; i < carried.size(); ++i) {
            const int32_t before = old.indexOfAnyName(next->parameters()[i].name);
            if (before >= 0) carried[i] = state_.values[static_cast<std::size_t>(before)];
        }
        // The runtime's lock-free path may still write into the old values: they stay allocated.
        retiredValues_.push_back(std::move(state_.values));
        state_.values = std::move(carried);
        state_.design = next;
        designs_.push_back(std::move(next));
    }

private:
    std::mutex mutex_;
    BoardState state_;
    std::vector<std::shared_ptr<const DesignModel>> designs_;
    std::vector<std::vector<NxValue>> retiredValues_;
};

struct Boards {
    std::mutex mutex;
    std::map<uint64_t, std::unique_ptr<HardwareBoard>> byHardware;
};

// Never destroyed: the applet may still reach its board while the process shuts down.
Boards& boards() {
    static Boards* const instance = new Boards;
    return *instance;
}

}  // namespace
}  // namespace sim

extern "C" {

sim::Board* SimBoard_Of(uint64_t hardware) {
    sim::Boards& all = sim::boards();
    std::lock_guard<std::mutex> lock(all.mutex);
    auto& board = all.byHardware[hardware];
    if (!board) board = std::make_unique<sim::HardwareBoard>();
    return board.get();
}

void SimBoard_ForEach(void (*visitor)(sim::Board&, void*), void* context) {
    std::vector<sim::Board*> listed;
    {
        sim::Boards& all = sim::boards();
        std::lock_guard<std::mutex> lock(all.mutex);
        for (auto& entry : all.byHardware) listed.push_back(entry.second.get());
    }
    for (sim::Board* board : listed) visitor(*board, context);
}

}  // extern "C"
