// Where the applet carries its own allocator (Windows), its allocations cannot be failed from
// the test executable: the allocation sweeps are left out there.
#include "allocation_plan.h"

namespace faults::allocation {

bool available() { return false; }
void plan(uint64_t, bool) {}
uint64_t calls() { return 0; }

}  // namespace faults::allocation
