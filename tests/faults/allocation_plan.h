// Failing the nth heap allocation of the thread that set the plan, through the test executable's
// own allocation functions (allocation_plan.cpp), which the applet and the stand-ins loaded at run
// time bind to as well on Linux.
#pragma once

#include <cstdint>

namespace faults::allocation {

bool available();
// Counts the calling thread's allocations from here on; the nth (0: none) fails, and with
// persistent every one after it. A failed allocation throws std::bad_alloc (the nothrow forms
// answer null).
void plan(uint64_t nth, bool persistent);
uint64_t calls();

}  // namespace faults::allocation
