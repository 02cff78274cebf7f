// Loading DLLs with LoadLibraryA, GetProcAddress and FreeLibrary.
#include "platform/dynamic_library.h"

#include <cstdio>

#include "platform/win32/windows_api.h"

namespace vexo::templates::platform {

namespace {

// Plain values rather than a std::string: a thread-local with a destructor in a DLL that is
// loaded and unloaded at run time must not outlive the DLL's code.
thread_local uint32_t lastErrorCode;
thread_local char lastErrorText[512];

// The system's own text for an error code, in the neutral default language.
std::string systemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message(text != nullptr ? text : "", length);
    if (text != nullptr) LocalFree(text);
    // The system's texts end in a line break, which does not belong inside a log record.
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
        message.pop_back();
    }
    if (message.empty()) message = "system error " + std::to_string(code);
    return message;
}

}  // namespace

std::string nativeLibraryFileName(const std::string& windowsFileName) { return windowsFileName; }

ModuleHandle loadLibrary(const char* fileName) {
    HMODULE module = LoadLibraryA(fileName);
    if (module == nullptr) {
        const DWORD code = GetLastError();
        lastErrorCode = static_cast<uint32_t>(code);
        std::snprintf(lastErrorText, sizeof lastErrorText, "%s", systemMessage(code).c_str());
    }
    return module;
}

void* findSymbol(ModuleHandle module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void unloadLibrary(ModuleHandle module) {
    if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

LoadError lastLoadError() { return {lastErrorCode, lastErrorText}; }

}  // namespace vexo::templates::platform
