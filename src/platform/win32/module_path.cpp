// The file name of the module that contains an address: GetModuleHandleExA from the address,
// then GetModuleFileNameA.
#include "platform/module_path.h"

#include "platform/win32/windows_api.h"

namespace vexo::templates::platform {

size_t moduleFileNameOf(const void* address, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    HMODULE module = nullptr;
    // UNCHANGED_REFCOUNT: asking for a name must not keep the module loaded.
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module)) return 0;
    const DWORD capacity = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
    const DWORD length = GetModuleFileNameA(module, buffer, capacity);
    if (length == 0) return 0;
    if (length >= capacity) {
        buffer[capacity - 1] = '\0';
        return size;
    }
    return length;
}

char pathSeparator() { return '\\'; }

}  // namespace vexo::templates::platform
