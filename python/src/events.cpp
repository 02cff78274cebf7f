// Event handlers and waits. The runtime calls `dispatch` on its own thread (on the real clock) or
// inside the test control's clock advance (on the virtual clock), without any lock of its own
// held; the GIL is taken there.
#include "events.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

#include <nanobind/stl/string.h>

#include "failure.h"
#include "gil.h"

namespace orvanta_python {

namespace {

PyObject* eventType = nullptr;  // kept for the life of the process

// The event routes by id; an id is never used twice.
struct Registry {
    std::mutex mutex;
    std::unordered_map<uint64_t, std::weak_ptr<EventRoutes>> routes;
    uint64_t lastId = 0;
};

Registry& registry() {
    static Registry* r = new Registry;  // never destroyed: handlers may run while the process ends
    return *r;
}

nb::object event(const std::string& name, const Fg_EventInfo& record, uint32_t index) {
    const bool filled = record.count > index;
    return nb::borrow(eventType)(name, filled ? record.timestampNs[index] : 0, filled ? record.data[index] : 0);
}

int32_t dispatch(uint64_t events, void* data, const Fg_EventInfo* record) {
    std::shared_ptr<EventRoutes> routes;
    {
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        const auto found = r.routes.find(reinterpret_cast<uintptr_t>(data));
        if (found != r.routes.end()) routes = found->second.lock();
    }
    if (!routes || !nb::is_alive()) return 0;
    nb::gil_scoped_acquire gil;
    // Each handler is registered for one bit, so its record holds that bit's occurrence first.
    for (uint32_t bit = 0; bit < 64 && !routes->closed; ++bit) {
        if ((events >> bit & 1) == 0 || !routes->handlers[bit].is_valid()) continue;
        nb::object handler = routes->handlers[bit];
        try {
            handler(event(routes->names[bit], record != nullptr ? *record : Fg_EventInfo{}, 0));
        } catch (nb::python_error& error) {
            error.discard_as_unraisable(handler);
        }
    }
    return 0;
}

uint32_t bitOf(uint64_t mask) {
    uint32_t bit = 0;
    while ((mask >> bit & 1) == 0) ++bit;
    return bit;
}

}  // namespace

EventRoutes::~EventRoutes() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.routes.erase(id);
}

Events::Events() : routes_(std::make_shared<EventRoutes>()) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    routes_->id = ++r.lastId;
    r.routes.emplace(routes_->id, routes_);
}

void Events::keepWith(Handle& handle) { handle.keepUntilFreed(routes_); }

void Events::setEventType(nb::handle type) {
    Py_XINCREF(type.ptr());
    eventType = type.ptr();
}

uint64_t Events::maskOf(Handle& handle, const std::string& name, const char* operation) {
    const uint64_t mask = withoutGil([&] {
        Handle::Use use(handle, operation);
        return Fg_getEventMask(handle.fg(), name.c_str());
    });
    // The runtime answers 0 for a name that is not one event.
    if (mask == 0 || (mask & (mask - 1)) != 0) {
        refuse(Kind::NotFound, std::string(operation) + " " + name + ": no such event", -2070);
    }
    return mask;
}

void Events::on(const std::shared_ptr<Handle>& handle, const std::string& name, nb::object handler) {
    if (!handler.is_none() && !PyCallable_Check(handler.ptr())) {
        refuse(Kind::WrongType, "on " + name + ": the handler is not callable");
    }
    const uint64_t mask = maskOf(*handle, name, "on");
    const uint32_t bit = bitOf(mask);
    EventRoutes& routes = *routes_;
    if (!routes.records[bit]) routes.records[bit] = std::make_unique<Fg_EventInfo>();
    Fg_EventInfo* record = routes.records[bit].get();
    record->version = 1;
    routes.names[bit] = name;
    const bool registering = !handler.is_none();
    // Set before the runtime may call: an event can come the moment the handler is in place.
    nb::object previous = routes.handlers[bit];
    routes.handlers[bit] = registering ? handler : nb::object();
    const int32_t result = withoutGil([&] {
        Handle::Use use(*handle, "on");
        void* id = reinterpret_cast<void*>(static_cast<uintptr_t>(routes.id));
        return Fg_registerEventCallback(handle->fg(), mask, registering ? dispatch : nullptr, id, 0, record);
    });
    if (result != 0) {
        routes.handlers[bit] = previous;
        fail("on " + name, result, Call::Acquisition);
    }
}

nb::object Events::wait(const std::shared_ptr<Handle>& handle, const std::string& name, double timeout,
                        bool sinceLast) {
    if (!(timeout >= 0)) refuse(Kind::OutOfRange, "wait_event " + name + ": a time-out below 0", -6000);
    const uint64_t mask = maskOf(*handle, name, "wait_event");
    Fg_EventInfo record{};
    record.version = 1;
    // Waits in slices, so that a closing board and Ctrl-C are noticed within one.
    constexpr double kSlice = 0.1;
    double left = timeout;
    for (bool first = true;; first = false) {
        const double slice = std::min(left, kSlice);
        const uint64_t bits = withoutGil([&] {
            Handle::Use use(*handle, "wait_event");
            const uint32_t flags = sinceLast || !first ? FG_EVENT_WAIT_SINCE_LAST : 0;
            return Fg_eventWait(handle->fg(), mask, static_cast<uint32_t>(std::ceil(slice * 1000)), flags, &record);
        });
        if ((bits & mask) != 0) return event(name, record, 0);
        left -= slice;
        if (left <= 0) break;
        if (PyErr_CheckSignals() != 0) throw nb::python_error();
    }
    refuse(Kind::Timeout, "wait_event " + name + ": no event within " + std::to_string(timeout) + " s", -2120);
}

int Events::visitHandlers(visitproc visit, void* arg) const {
    for (const nb::object& handler : routes_->handlers) Py_VISIT(handler.ptr());
    return 0;
}

void Events::dropHandlers() {
    for (nb::object& handler : routes_->handlers) handler = nb::object();
}

void Events::close(const std::shared_ptr<Handle>& handle) {
    EventRoutes& routes = *routes_;
    routes.closed = true;
    uint64_t registered = 0;
    for (uint32_t bit = 0; bit < 64; ++bit) {
        if (routes.handlers[bit].is_valid()) registered |= uint64_t{1} << bit;
        routes.handlers[bit] = nb::object();
    }
    if (registered != 0) {
        withoutGil([&] { Fg_registerEventCallback(handle->fg(), registered, nullptr, nullptr, 0, nullptr); });
    }
}

}  // namespace orvanta_python
