// The stand-ins' platform shim on POSIX systems: dladdr, getenv, dlopen.
#include <dlfcn.h>
#include <stdlib.h>

#include "sim_platform.h"

namespace sim::platform {

std::string moduleFolderOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string file = info.dli_fname;
    const std::size_t cut = file.find_last_of('/');
    return cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
}

bool environment(const char* name, std::string& value) {
    const char* text = getenv(name);
    if (text == nullptr) return false;
    value = text;
    return true;
}

// RTLD_NOW: a library with an unresolvable symbol fails here, as it would on Windows.
void* loadLibrary(const char* fileName) { return fileName != nullptr ? dlopen(fileName, RTLD_NOW) : nullptr; }

// dlsym would take a null module as "search every loaded library".
void* findSymbol(void* module, const char* name) { return module != nullptr ? dlsym(module, name) : nullptr; }

std::string libraryFileName(const std::string& name, bool plugIn) { return (plugIn ? "" : "lib") + name + ".so"; }

}  // namespace sim::platform
