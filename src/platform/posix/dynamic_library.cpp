// Loading shared libraries with dlopen, dlsym and dlclose.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace vexo::templates::platform {

namespace {
thread_local LoadError lastError{0, {}};
}  // namespace

std::string nativeLibraryFileName(const std::string& windowsFileName) {
    return linuxLibraryFileName(windowsFileName);
}

ModuleHandle loadLibrary(const char* fileName) {
    // RTLD_NOW: a library with an unresolvable symbol fails here, as on Windows, and not at
    // its first call.
    ModuleHandle module = dlopen(fileName, RTLD_NOW);
    if (module == nullptr) {
        const char* text = dlerror();
        lastError = {0, text != nullptr ? text : "dlopen failed"};
    }
    return module;
}

void* findSymbol(ModuleHandle module, const char* name) {
    // dlsym would take a null handle as "search every loaded library".
    return module != nullptr ? dlsym(module, name) : nullptr;
}

void unloadLibrary(ModuleHandle module) {
    if (module != nullptr) dlclose(module);
}

LoadError lastLoadError() { return lastError; }

}  // namespace vexo::templates::platform
