// Loading shared libraries with dlopen, dlsym and dlclose.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

#include <cstdio>

namespace vexo::templates::platform {

namespace {
// Plain characters rather than a std::string: a thread-local with a destructor in a library
// that is loaded and unloaded at run time leaves a destructor entry behind that outlives the
// library's code.
thread_local char lastErrorText[512];
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
        std::snprintf(lastErrorText, sizeof lastErrorText, "%s", text != nullptr ? text : "dlopen failed");
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

LoadError lastLoadError() { return {0, lastErrorText}; }

}  // namespace vexo::templates::platform
