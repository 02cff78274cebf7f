// Running the boards: on the real clock the runtime's clock thread runs every board's timeline
// and sleeps until the next change, while an inner handle is open; on the virtual clock
// SimCtl_AdvanceClock steps the boards from change to change. Either way the handlers with
// events due are called with no lock held, one board at a time.
#pragma once

#include <cstdint>
#include <thread>

namespace sim {

// An inner handle opened: the clock thread runs from now on.
void innerHandleOpened();
// An inner handle closed. When it was the last, the clock thread ends and is answered, to be
// joined once the caller holds no lock (empty when closed from the thread itself, in a handler).
std::thread innerHandleClosed();

// Moves the virtual clock on and produces everything that falls due on it meanwhile.
void advanceVirtualClock(uint64_t nanoseconds);

// Whether this thread is inside a handler call for the application handle.
bool inHandlerOf(const void* application);

}  // namespace sim
