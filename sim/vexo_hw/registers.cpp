// The hardware library's register functions: a write is kept in the board of its hardware
// handle, a read answers what was written last (0 for a register never written). Windows
// exports them by ordinal only (vexo_hw.def).
#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "orvanta/closed_libraries.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include "access_faults.h"
#include "board/board.h"

namespace {

// The answer to a register read without a place for the value.
constexpr int32_t kInvalidArgument = -1;

}  // namespace

extern "C" {

int32_t Hw_WriteRegister(uint64_t hardware, uint32_t address, uint64_t value) {
    if (const int32_t failure = sim::hw::countAccess(address, true)) return failure;
    sim::withBoard(*SimBoard_Of(hardware), [&](sim::BoardState& board) { board.registers[address] = value; });
    return 0;
}

int32_t Hw_ReadRegister(uint64_t hardware, uint32_t address, uint64_t* value) {
    if (const int32_t failure = sim::hw::countAccess(address, false)) return failure;
    if (value == nullptr) return kInvalidArgument;
    sim::withBoard(*SimBoard_Of(hardware), [&](sim::BoardState& board) {
        const auto found = board.registers.find(address);
        *value = found == board.registers.end() ? 0 : found->second;
    });
    return 0;
}

}  // extern "C"
