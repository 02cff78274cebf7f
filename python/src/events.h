// A board's events for Python: handlers registered by event name, called with the GIL taken on
// whichever thread the runtime delivers the event on, and waits that release the GIL.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include <nanobind/nanobind.h>

#include "handle.h"
#include "orvanta/runtime.h"

namespace orvanta_python {

namespace nb = nanobind;

// The handlers of one board, by event bit. The runtime gets an id of this table, not its
// address: a call that arrives after the board closed finds nothing under the id. The table
// itself (with the event records the runtime fills before each call) stays until the runtime
// handle is freed.
struct EventRoutes {
    uint64_t id = 0;
    bool closed = false;                           // under the GIL
    std::array<nb::object, 64> handlers;           // under the GIL
    std::array<std::string, 64> names;
    std::array<std::unique_ptr<Fg_EventInfo>, 64> records;
    ~EventRoutes();
};

class Events {
public:
    Events();
    // The runtime may fill an event record until the handle is freed: the records stay as long.
    void keepWith(Handle& handle);

    // Registers handler (None: unregisters) for the event of that name.
    void on(const std::shared_ptr<Handle>& handle, const std::string& name, nb::object handler);
    // The next occurrence of the event within timeout seconds (with sinceLast, also one since the
    // last wait on this board returned), as an orvanta.Event; throws a time-out.
    nb::object wait(const std::shared_ptr<Handle>& handle, const std::string& name, double timeout, bool sinceLast);
    // Unregisters every handler; with the GIL, before the board closes.
    void close(const std::shared_ptr<Handle>& handle);

    // For the collector: the handlers, which may refer to their board, and dropping them (the
    // runtime then finds no handler to call until the board closes).
    int visitHandlers(visitproc visit, void* arg) const;
    void dropHandlers();

    // The Python type of what handlers and waits get: Event(name, timestamp, data).
    static void setEventType(nb::handle type);

private:
    uint64_t maskOf(Handle& handle, const std::string& name, const char* operation);

    std::shared_ptr<EventRoutes> routes_;
};

}  // namespace orvanta_python
