// Between the hardware library's register functions and its test control: the register files of
// the boards, one per hardware handle, and the count of every register access, with the failure
// a test injected for an address.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>

namespace sim::hw {

struct RegisterFiles {
    std::mutex mutex;
    // By hardware handle, then by address: the registers written so far (others read 0).
    std::map<uint64_t, std::map<uint32_t, uint64_t>> byHardware;
};

RegisterFiles& registerFiles();

// Counts a read or a write of `address` and answers the failure injected for it, or 0.
int32_t countAccess(uint32_t address, bool write);

}  // namespace sim::hw
