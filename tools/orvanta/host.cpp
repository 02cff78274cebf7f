// The tool's few operating-system calls, for Windows and for POSIX systems.
#include "host.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>
#endif

namespace orvanta_tool {

std::string appletLibraryName(const std::string& applet) {
#if defined(_WIN32)
    return applet + ".dll";
#else
    return applet + ".so";
#endif
}

InfoFunction loadedAppletInfo(const std::string& libraryName) {
    return reinterpret_cast<InfoFunction>(loadedSymbol(libraryName, "Info"));
}

std::string runtimeLibraryName() {
#if defined(_WIN32)
    return "rtcore5.dll";
#else
    return "librtcore5.so";
#endif
}

void* loadedSymbol(const std::string& libraryName, const char* symbol) {
#if defined(_WIN32)
    HMODULE module = GetModuleHandleA(libraryName.c_str());
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(module, symbol));
#else
    // RTLD_NOLOAD finds the library among those loaded under that name and only adds a
    // reference, which dlclose gives back; the process's own reference keeps it loaded.
    void* library = dlopen(libraryName.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return nullptr;
    void* address = dlsym(library, symbol);
    dlclose(library);
    return address;
#endif
}

bool isTerminal(std::FILE* stream) {
#if defined(_WIN32)
    return _isatty(_fileno(stream)) != 0;
#else
    return isatty(fileno(stream)) != 0;
#endif
}

void setBinary(std::FILE* stream) {
#if defined(_WIN32)
    std::fflush(stream);
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}

std::string temporaryPath(const std::string& suffix) {
    static std::atomic<uint32_t> counter{0};
    std::random_device device;
    const uint64_t stamp = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::string name = "orvanta-" + std::to_string(device()) + "-" + std::to_string(stamp % 1000000007u) +
                             "-" + std::to_string(counter++) + suffix;
    return (std::filesystem::temp_directory_path() / name).string();
}

}  // namespace orvanta_tool
