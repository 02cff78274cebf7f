// The runtime function table: the runtime's public functions resolved by name into numbered
// slots, read back with their own prototypes. The slots, names and prototypes come from
// runtime_functions.def; the init functions and the NX id lookup, which the wrapper keeps
// apart from the table, have their prototypes here too.
#pragma once

#include <cstddef>
#include <cstdint>

#include "orvanta/parameter_info_node.h"
#include "platform/dynamic_library.h"

namespace vexo::nx {

enum class RuntimeSlot : uint32_t {
#define RUNTIME_FUNCTION(slot, name, ...) name = slot,
#include "nx/runtime_functions.def"
#undef RUNTIME_FUNCTION
};

template <RuntimeSlot Slot>
struct RuntimeSignature;

#define RUNTIME_FUNCTION(slot, name, result, ...)                   \
    template <>                                                     \
    struct RuntimeSignature<RuntimeSlot::name> {                    \
        using Function = result (*)(__VA_ARGS__);                   \
    };
#include "nx/runtime_functions.def"
#undef RUNTIME_FUNCTION

using InitHandleSlaveAwareFn = void* (*)(const char* hapName, uint64_t hardware, void* hap, uint32_t flags);
using InitHandleFn = void* (*)(const char* hapName, uint64_t hardware, void* hap);
using GetParameterIdByNameFn = int32_t (*)(void* fg, const char* name);
using GetLastErrorNumberFn = int32_t (*)(void* fg);

// A function pointer as found in the library, before it is given its prototype.
using AnyFunction = void (*)();

// The address of `name` in `module` as a function of type F, or null when it is not exported.
template <typename F>
F resolveFunction(templates::platform::ModuleHandle module, const char* name) {
    return reinterpret_cast<F>(templates::platform::findSymbol(module, name));
}

class RuntimeFunctions {
public:
    // The table has always had this many slots; only the ones listed in the .def are used.
    static constexpr size_t kSlotCount = 109;

    // Resolves every listed name from the module; a name the module lacks leaves its slot null.
    void resolve(templates::platform::ModuleHandle module);

    template <RuntimeSlot Slot>
    typename RuntimeSignature<Slot>::Function get() const {
        return reinterpret_cast<typename RuntimeSignature<Slot>::Function>(slots[static_cast<size_t>(Slot)]);
    }

private:
    AnyFunction slots[kSlotCount] = {};
};

struct RuntimeFunctionName {
    RuntimeSlot slot;
    const char* name;
};

inline constexpr RuntimeFunctionName kRuntimeFunctionNames[] = {
#define RUNTIME_FUNCTION(slot, name, ...) {RuntimeSlot::name, #name},
#include "nx/runtime_functions.def"
#undef RUNTIME_FUNCTION
};

constexpr bool slotsFitTable() {
    for (const RuntimeFunctionName& entry : kRuntimeFunctionNames) {
        if (static_cast<size_t>(entry.slot) >= RuntimeFunctions::kSlotCount) return false;
    }
    return true;
}
static_assert(slotsFitTable(), "every runtime function has a slot inside the table");

}  // namespace vexo::nx
