// The parameter calls' lock-free forms: a call that succeeds on a plain number of the design
// (parameter_route.h), on a listed open handle while the test control is quiet, is answered
// without the runtime's and the board's locks and without the call log. They are true when they
// answered; any other call is left to the full forms (inner_calls.h), which answer it as they
// answer everything. Inline, as the exports call them first.
#pragma once

#include <atomic>
#include <cstdint>

#include "parameter_route.h"
#include "runtime_state.h"

namespace sim::inner {

// The route entry of `id` for a call on fg, or null; `values` is set with it.
inline const RouteEntry* quickEntry(void* fg, int32_t id, const void* value, uint32_t dma, InnerHandle*& handle,
                                    NxValue*& values) {
    handle = quickCalls.handle(fg);
    if (handle == nullptr || dma != 0 || value == nullptr) return nullptr;
    const ParameterRoute* route = handle->timeline->route.load(std::memory_order_acquire);
    if (route == nullptr) return nullptr;
    values = route->values;
    return route->find(id);
}

inline bool writeQuickly(void* fg, int32_t id, const void* value, uint32_t dma, int32_t type) {
    InnerHandle* handle = nullptr;
    NxValue* values = nullptr;
    const RouteEntry* entry = quickEntry(fg, id, value, dma, handle, values);
    if (entry == nullptr || !entry->writable) return false;
    const int32_t code = type < 0 ? entry->nativeType : type;
    if (!numberTakesType(entry->kind, code)) return false;
    storeNumber(values[entry->index], entry->kind, code, value);
    handle->lastError.store(0, std::memory_order_relaxed);
    return true;
}

inline bool readQuickly(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    InnerHandle* handle = nullptr;
    NxValue* values = nullptr;
    const RouteEntry* entry = quickEntry(fg, id, value, dma, handle, values);
    if (entry == nullptr) return false;
    const int32_t code = type < 0 ? entry->nativeType : type;
    if (!numberTakesType(entry->kind, code)) return false;
    loadNumber(values[entry->index], entry->kind, code, value);
    handle->lastError.store(0, std::memory_order_relaxed);
    return true;
}

}  // namespace sim::inner
