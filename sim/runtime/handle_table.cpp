// The handle table.
#include "handle_table.h"

#include <thread>

#include "board/acquisition.h"
#include "board/clock.h"
#include "orvanta_sim/runtime.h"
#include "process_wide.h"

namespace sim {
namespace {

// The low bits of an inner handle's value; an address of anything the runtime allocates has
// them clear.
constexpr uintptr_t kInnerTag = 0x5;
constexpr uintptr_t kTagMask = 0xF;
constexpr unsigned kSlotShift = 4;
constexpr unsigned kGenerationShift = 32;

const void* innerValue(uint32_t slot, uint32_t generation) {
    const uint64_t value = (uint64_t{generation} << kGenerationShift) | (uint64_t{slot} << kSlotShift) | kInnerTag;
    return reinterpret_cast<const void*>(static_cast<uintptr_t>(value));
}

}  // namespace

HandleTable::~HandleTable() {
    std::vector<std::thread> producers;
    for (auto& entry : byHardware_) {
        Board& board = *entry.second;
        std::unique_lock<std::mutex> lock(board.mutex);
        for (auto& handle : board.handles) producers.push_back(retireAcquisition(board, *handle.second, lock));
    }
    for (std::thread& producer : producers) {
        if (producer.joinable()) producer.join();
    }
}

Board* HandleTable::board(uint64_t hardware) {
    std::lock_guard<std::mutex> lock(boardsMutex_);
    std::unique_ptr<Board>& board = byHardware_[hardware];
    if (board == nullptr && byHardware_.size() <= kMaxBoards) board = std::make_unique<Board>(hardware);
    if (board == nullptr) byHardware_.erase(hardware);
    return board.get();
}

size_t HandleTable::boards(BoardList& list) const {
    std::lock_guard<std::mutex> lock(boardsMutex_);
    size_t count = 0;
    for (const auto& entry : byHardware_) list[count++] = entry.second.get();
    return count;
}

const void* HandleTable::openInner(Board& board) {
    std::unique_lock<std::shared_mutex> lock(slotsMutex_);
    uint32_t slot = 0;
    if (freeSlots_.empty()) {
        slot = static_cast<uint32_t>(slots_.size());
        slots_.emplace_back();
    } else {
        slot = freeSlots_.back();
        freeSlots_.pop_back();
    }
    Slot& s = slots_[slot];
    s = Slot{s.generation + 1, true, &board};
    ++openInner_;
    return innerValue(slot, s.generation);
}

void HandleTable::closeInner(const void* value) {
    const auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(value));
    const auto slot = static_cast<uint32_t>((bits & 0xFFFFFFFFULL) >> kSlotShift);
    std::unique_lock<std::shared_mutex> lock(slotsMutex_);
    if (!looksInner(value) || slot >= slots_.size() || !slots_[slot].open ||
        slots_[slot].generation != static_cast<uint32_t>(bits >> kGenerationShift)) {
        return;
    }
    slots_[slot].open = false;
    freeSlots_.push_back(slot);
    --openInner_;
}

Board* HandleTable::innerBoard(const void* value, int32_t& error) const {
    error = SIM_ERR_INVALID_HANDLE;
    if (!looksInner(value)) return nullptr;
    const auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(value));
    const auto slot = static_cast<uint32_t>((bits & 0xFFFFFFFFULL) >> kSlotShift);
    const auto generation = static_cast<uint32_t>(bits >> kGenerationShift);
    std::shared_lock<std::shared_mutex> lock(slotsMutex_);
    if (slot >= slots_.size() || generation == 0 || generation > slots_[slot].generation) return nullptr;
    const Slot& s = slots_[slot];
    if (generation != s.generation || !s.open) {
        error = SIM_ERR_HANDLE_CLOSED;
        return nullptr;
    }
    error = 0;
    return s.board;
}

bool HandleTable::looksInner(const void* value) {
    const auto bits = reinterpret_cast<uintptr_t>(value);
    return (bits & kTagMask) == kInnerTag;
}

size_t HandleTable::openInnerCount() const {
    std::shared_lock<std::shared_mutex> lock(slotsMutex_);
    return openInner_;
}

void HandleTable::addApplication(AppHandle* app) {
    std::lock_guard<std::mutex> lock(appsMutex_);
    apps_[app] = app;
}

AppHandle* HandleTable::enterApplication(const void* fg) {
    if (fg == nullptr || looksInner(fg)) return nullptr;
    std::lock_guard<std::mutex> lock(appsMutex_);
    const auto found = apps_.find(fg);
    if (found == apps_.end()) return nullptr;
    ++found->second->calls;
    return found->second;
}

void HandleTable::leaveApplication(AppHandle* app) {
    std::lock_guard<std::mutex> lock(appsMutex_);
    if (--app->calls == 0 && app->closed) {
        delete app;
        return;
    }
    appCallsDone_.notify_all();
}

void HandleTable::releaseApplication(AppHandle* app) {
    std::lock_guard<std::mutex> lock(appsMutex_);
    app->closed = true;
    if (app->calls == 0) delete app;
}

bool HandleTable::retireApplication(AppHandle* app) {
    std::lock_guard<std::mutex> lock(appsMutex_);
    return apps_.erase(app) != 0;
}

void HandleTable::waitForCalls(AppHandle* app, uint32_t own) {
    std::unique_lock<std::mutex> lock(appsMutex_);
    appCallsDone_.wait(lock, [&] { return app->calls <= own; });
}

uint64_t hardwareOfBoard(uint32_t boardIndex) { return 0x0B0A4D0000000000ULL + (uint64_t{boardIndex} << 8) + 1; }

HandleTable& handles() {
    // The boards' clock goes after the table: the table's boards read it until they are gone.
    static BoardClock& clock = boardClock();
    static_cast<void>(clock);
    return platform::processWide<HandleTable>();
}

}  // namespace sim
