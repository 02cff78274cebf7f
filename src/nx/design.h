// The hardware design as one opened board's applet state reaches it: the binding the wrapper
// made (the runtime's function table, the inner handle, the HAP and hardware handles), the NX
// ids resolved at start-up, and the logger that failed accesses are reported to. Setters, read
// rules and the NX accessors take this, never the wrapper.
#pragma once

#include <atomic>
#include <cstdint>

#include "logging/logger.h"
#include "nx/nx_parameters.h"
#include "nx/runtime_functions.h"
#include "orvanta/error_codes.h"

namespace vexo::nx {

// The wrapper's last error: one 32-bit word that every operation on every thread writes without
// a lock, whichever wrote last winning. Relaxed is enough: the word orders nothing else, it only
// must not tear.
class LastError {
public:
    int32_t get() const { return word.load(std::memory_order_relaxed); }
    void set(int32_t code) { word.store(code, std::memory_order_relaxed); }

private:
    std::atomic<int32_t> word{errors::kSuccess};
};

// What the wrapper bound one board to. Filled while the board opens and fixed afterwards.
struct Binding {
    const RuntimeFunctions* functions = nullptr;
    void* innerHandle = nullptr;
    void* hapHandle = nullptr;
    uint64_t hardwareHandle = 0;
    GetParameterIdByNameFn parameterIdByName = nullptr;

    // The runtime function of `Slot` on the inner handle with these further arguments, or -12
    // when the runtime lacks it: a missing function fails every call alike.
    template <RuntimeSlot Slot, typename... Args>
    int32_t call(Args... args) const {
        const auto function = functions != nullptr ? functions->get<Slot>() : nullptr;
        return function != nullptr ? function(innerHandle, args...) : errors::kRuntimeFunctionMissing;
    }
    // The runtime's Fg_getParameterIdByName on the inner handle; 0 when it is unresolved.
    int32_t nxParameterIdByName(const char* name) const {
        return parameterIdByName != nullptr ? parameterIdByName(innerHandle, name) : 0;
    }
};

class Design {
public:
    // `loggerName` names the logger of the applet class, fetched at the first report.
    Design(const Binding& binding, const char* loggerName) : binding(binding), loggerName(loggerName) {}
    Design(const Design&) = delete;
    Design& operator=(const Design&) = delete;

    template <RuntimeSlot Slot, typename... Args>
    int32_t callRuntime(Args... args) const {
        return binding.call<Slot>(args...);
    }
    // For the runtime functions that answer other than a status code.
    const RuntimeFunctions& runtimeFunctions() const { return *binding.functions; }
    void* innerHandle() const { return binding.innerHandle; }
    void* hapHandle() const { return binding.hapHandle; }
    uint64_t hardwareHandle() const { return binding.hardwareHandle; }
    int32_t nxParameterIdByName(const char* name) const { return binding.nxParameterIdByName(name); }

    NxIdTable& nxIds() { return ids; }
    const NxIdTable& nxIds() const { return ids; }

    tools::logging::Logger* getLogger();

private:
    const Binding& binding;
    NxIdTable ids;
    const char* loggerName;
    tools::logging::Logger* logger = nullptr;
};

}  // namespace vexo::nx
