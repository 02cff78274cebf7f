// Loading the logging dispatcher library from the installation's bin folder.
#include "logging/dispatcher_library.h"

#include <utility>

#include "platform/module_path.h"

namespace vexo::tools::logging {

namespace platform = templates::platform;

std::string dispatcherLibraryPath(const char* installDirectory) {
    const char separator = platform::pathSeparator();
    // Formed with the Windows file name; the platform's naming rule makes it "lib<name>.so".
    std::string path = installDirectory;
    path += separator;
    path += "bin";
    path += separator;
    path += kDispatcherLibraryName;
    path += ".dll";
    return platform::nativeLibraryFileName(path);
}

DispatcherLibrary::DispatcherLibrary(std::string libraryPath) : path(std::move(libraryPath)) {
    module = platform::loadLibrary(path.c_str());
    if (module == nullptr) {
        platform::LoadError error = platform::lastLoadError();
        loadError = error.code;
        errorText = std::move(error.text);
    }
}

DispatcherLibrary::~DispatcherLibrary() {
    if (unloadOnDestroy) platform::unloadLibrary(module);
}

void* DispatcherLibrary::symbol(const char* name) const { return platform::findSymbol(module, name); }

}  // namespace vexo::tools::logging
