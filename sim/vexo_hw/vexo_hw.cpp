// The hardware library stand-in: one register file per hardware handle. A write is kept, a read
// answers what was written last (0 for a register never written). Windows exports the Hw_
// functions by ordinal only (vexo_hw.def); the SimHw_ control functions by name.
#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "orvanta/closed_libraries.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include <map>
#include <mutex>
#include <utility>

#include "vexo_sim.h"

namespace {

// The answer to a register access without a place for the value.
constexpr int32_t kInvalidArgument = -1;

struct HwState {
    std::mutex mutex;
    std::map<std::pair<uint64_t, uint32_t>, uint64_t> registers;
    std::map<uint32_t, int32_t> failures;
    int32_t writes = 0;
    int32_t reads = 0;

    int32_t failureAt(uint32_t address) const {
        const auto found = failures.find(address);
        return found == failures.end() ? 0 : found->second;
    }
};

HwState& hwState() {
    static HwState instance;
    return instance;
}

}  // namespace

extern "C" {

int32_t Hw_WriteRegister(uint64_t hardware, uint32_t address, uint64_t value) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.writes;
    if (const int32_t failure = s.failureAt(address)) return failure;
    s.registers[{hardware, address}] = value;
    return 0;
}

int32_t Hw_ReadRegister(uint64_t hardware, uint32_t address, uint64_t* value) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    ++s.reads;
    if (const int32_t failure = s.failureAt(address)) return failure;
    if (value == nullptr) return kInvalidArgument;
    const auto found = s.registers.find({hardware, address});
    *value = found == s.registers.end() ? 0 : found->second;
    return 0;
}

void SimHw_Reset(void) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.registers.clear();
    s.failures.clear();
    s.writes = 0;
    s.reads = 0;
}

int32_t SimHw_GetRegister(uint64_t hardware, uint32_t address, uint64_t* value) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (value == nullptr) return kInvalidArgument;
    const auto found = s.registers.find({hardware, address});
    *value = found == s.registers.end() ? 0 : found->second;
    return found == s.registers.end() ? -1 : 0;
}

void SimHw_SetRegister(uint64_t hardware, uint32_t address, uint64_t value) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.registers[{hardware, address}] = value;
}

void SimHw_FailAccess(uint32_t address, int32_t code) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (code == 0) {
        s.failures.erase(address);
    } else {
        s.failures[address] = code;
    }
}

int32_t SimHw_WriteCount(void) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.writes;
}

int32_t SimHw_ReadCount(void) {
    HwState& s = hwState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.reads;
}

}  // extern "C"
