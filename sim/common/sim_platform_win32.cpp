// The stand-ins' platform shim on Windows: GetModuleHandleEx, the process environment block,
// LoadLibrary, file attributes and the protection of mapped images.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
// K32GetProcessMemoryInfo lives in kernel32 from this version on: no psapi library to link.
#define PSAPI_VERSION 2
#include <psapi.h>

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

namespace {

// Write times count 100 ns steps; FAT volumes keep them to two seconds.
constexpr int64_t kSettledAfterTicks = int64_t{3} * 10000000;

int64_t ticksOf(const FILETIME& time) {
    return static_cast<int64_t>(uint64_t{time.dwHighDateTime} << 32 | time.dwLowDateTime);
}

bool isReadOnlyProtection(DWORD protection) {
    if ((protection & PAGE_GUARD) != 0) return false;
    const DWORD access = protection & 0xFFu;  // without the caching modifiers
    return access == PAGE_READONLY || access == PAGE_EXECUTE_READ;
}

}  // namespace

bool fileIdentity(const char* path, FileIdentity& identity) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path == nullptr || !GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return false;
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    identity.size = uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow;
    identity.writeTime = ticksOf(data.ftLastWriteTime);
    identity.fileNumber = 0;
    identity.settled = ticksOf(now) - identity.writeTime > kSettledAfterTicks;
    return true;
}

// Every region of the range must belong to the same mapped image and be read-only now.
bool readOnlyLibraryFile(const void* address, uint64_t size, std::string& file, FileIdentity& identity) {
    const auto begin = reinterpret_cast<uintptr_t>(address);
    if (address == nullptr || size == 0 || size > UINTPTR_MAX - begin) return false;
    const uintptr_t end = begin + static_cast<uintptr_t>(size);
    void* image = nullptr;
    for (uintptr_t at = begin; at < end;) {
        MEMORY_BASIC_INFORMATION region{};
        if (VirtualQuery(reinterpret_cast<const void*>(at), &region, sizeof region) == 0) return false;
        if (region.State != MEM_COMMIT || region.Type != MEM_IMAGE) return false;
        if (!isReadOnlyProtection(region.Protect)) return false;
        if (image == nullptr) image = region.AllocationBase;
        if (region.AllocationBase != image) return false;
        at = reinterpret_cast<uintptr_t>(region.BaseAddress) + region.RegionSize;
    }
    char path[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(static_cast<HMODULE>(image), path, sizeof path);
    if (length == 0 || length >= sizeof path) return false;
    file.assign(path, length);
    return fileIdentity(file.c_str(), identity);
}

std::string libraryFileName(const std::string& name, bool) { return name + ".dll"; }

uint64_t residentBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
}

}  // namespace sim::platform
