// The tool's few operating-system calls, for Windows and for POSIX systems.
#include "host.h"

#include <atomic>
#include <chrono>
#include <csignal>
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

namespace {

std::atomic<bool> interruptSeen{false};

#if defined(_WIN32)
BOOL WINAPI noteInterrupt(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    interruptSeen = true;
    return TRUE;
}

HMODULE runtimeModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(&Fg_Init)), &module);
    return module;
}

std::string systemMessage(DWORD code) {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                   code, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = text != nullptr ? text : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message;
}
#else
struct sigaction previousAction;

void noteInterrupt(int) { interruptSeen = true; }

std::string runtimeFile() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Fg_Init), &info) == 0 || info.dli_fname == nullptr) return {};
    return info.dli_fname;
}
#endif

// An export of the library of that file name, provided the process has loaded it already; null
// otherwise (also when that library has no such export).
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

}  // namespace

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

std::string runtimeFolder() {
#if defined(_WIN32)
    char path[MAX_PATH] = {};
    const HMODULE module = runtimeModule();
    if (module == nullptr || GetModuleFileNameA(module, path, sizeof path) == 0) return {};
    return std::filesystem::path(path).parent_path().string();
#else
    const std::string file = runtimeFile();
    return file.empty() ? std::string() : std::filesystem::absolute(file).parent_path().string();
#endif
}

void* runtimeSymbol(const char* name) {
#if defined(_WIN32)
    const HMODULE module = runtimeModule();
    return module == nullptr ? nullptr : reinterpret_cast<void*>(GetProcAddress(module, name));
#else
    const std::string file = runtimeFile();
    void* library = file.empty() ? nullptr : dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (library == nullptr) return nullptr;
    void* symbol = dlsym(library, name);
    dlclose(library);
    return symbol;
#endif
}

std::string libraryLoadError(const std::string& path) {
#if defined(_WIN32)
    const HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (module != nullptr) {
        FreeLibrary(module);
        return {};
    }
    return systemMessage(GetLastError());
#else
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library != nullptr) {
        dlclose(library);
        return {};
    }
    const char* reason = dlerror();
    return reason != nullptr ? reason : "not loadable";
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

InterruptCatcher::InterruptCatcher() {
    interruptSeen = false;
#if defined(_WIN32)
    SetConsoleCtrlHandler(noteInterrupt, TRUE);
#else
    struct sigaction action {};
    action.sa_handler = noteInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &previousAction);
#endif
}

InterruptCatcher::~InterruptCatcher() {
#if defined(_WIN32)
    SetConsoleCtrlHandler(noteInterrupt, FALSE);
#else
    sigaction(SIGINT, &previousAction, nullptr);
#endif
}

bool InterruptCatcher::interrupted() { return interruptSeen; }

}  // namespace orvanta_tool
