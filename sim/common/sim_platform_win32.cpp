// The stand-ins' platform shim on Windows: GetModuleHandleEx, the process environment block,
// LoadLibrary.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <vector>

#include "sim_platform.h"

namespace sim::platform {

std::string moduleFolderOf(const void* address) {
    HMODULE module = nullptr;
    // Asking for a name must not keep the module loaded.
    const DWORD flags = GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!GetModuleHandleExA(flags, static_cast<LPCSTR>(address), &module)) return {};
    char file[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(module, file, sizeof file);
    if (length == 0 || length >= sizeof file) return {};
    const std::string path(file, length);
    const std::size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// The C library's copy of the environment does not see SetEnvironmentVariable: ask Win32.
bool environment(const char* name, std::string& value) {
    SetLastError(ERROR_SUCCESS);
    const DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    if (needed == 0) {
        if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
        value.clear();
        return true;
    }
    std::vector<char> text(needed);
    const DWORD length = GetEnvironmentVariableA(name, text.data(), needed);
    if (length >= needed) return false;  // changed in between: treat as unset
    value.assign(text.data(), length);
    return true;
}

void* loadLibrary(const char* fileName) {
    return fileName != nullptr ? reinterpret_cast<void*>(LoadLibraryA(fileName)) : nullptr;
}

void* findSymbol(void* module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

std::string libraryFileName(const std::string& name, bool) { return name + ".dll"; }

}  // namespace sim::platform
