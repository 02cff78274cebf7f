// The loaded logging dispatcher library. It is never unloaded: loggers and records may reach it
// from any thread until the process ends.
#pragma once

#include <cstdint>
#include <string>

#include "platform/dynamic_library.h"

namespace vexo::tools::logging {

inline constexpr const char* kDispatcherLibraryName = "common-logging-dispatcher";
inline constexpr const char* kDispatcherDescriptorSymbol = "logging_dispatcher_descriptor";

// "<dir>\bin\common-logging-dispatcher.dll" on Windows, "<dir>/bin/libcommon-logging-
// dispatcher.so" on Linux. Not cut to any length: a path the system cannot take fails to load.
std::string dispatcherLibraryPath(const char* installDirectory);

struct DispatcherLibrary {
    // Loads the library; on failure `module` is null and the error is kept.
    explicit DispatcherLibrary(std::string libraryPath);
    DispatcherLibrary(const DispatcherLibrary&) = delete;
    DispatcherLibrary& operator=(const DispatcherLibrary&) = delete;
    ~DispatcherLibrary();

    // An exported function or data symbol, or null.
    void* symbol(const char* name) const;

    templates::platform::ModuleHandle module = nullptr;
    bool unloadOnDestroy = false;
    std::string path;
    uint32_t loadError = 0;  // the system's error code of a failed load, else 0
    std::string errorText;   // the system's message for it
};

}  // namespace vexo::tools::logging
