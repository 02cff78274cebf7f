// The simulated runtime's process-wide state.
#include "runtime_state.h"

namespace sim {

State& state() {
    static State instance;
    return instance;
}

InnerHandle* State::inner(const void* handle) {
    const auto found = innerHandles.find(handle);
    return found == innerHandles.end() ? nullptr : found->second.get();
}

uint64_t hardwareOfBoard(uint32_t boardIndex) { return 0x0B0A4D0000000000ULL + (uint64_t{boardIndex} << 8) + 1; }

}  // namespace sim
