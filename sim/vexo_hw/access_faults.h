// Between the hardware library's register functions and its test control: every register
// access is counted, and an address may be made to fail.
#pragma once

#include <cstdint>

namespace sim::hw {

// Counts a read or a write of `address` and answers the failure injected for it, or 0.
int32_t countAccess(uint32_t address, bool write);

}  // namespace sim::hw
