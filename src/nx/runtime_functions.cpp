// Filling the runtime function table from the loaded runtime library.
#include "nx/runtime_functions.h"

namespace vexo::nx {

void RuntimeFunctions::resolve(templates::platform::ModuleHandle module) {
    for (const RuntimeFunctionName& entry : kRuntimeFunctionNames) {
        slots[static_cast<size_t>(entry.slot)] = resolveFunction<AnyFunction>(module, entry.name);
    }
}

}  // namespace vexo::nx
