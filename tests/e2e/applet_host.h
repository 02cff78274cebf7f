// Being the runtime in a test: the applet library loaded by its plain file name from the test's
// own folder, its exports called directly with a handle record the test owns, and the control
// functions of whichever stand-in runtime sits beside it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "applet_exports.h"
#include "orvanta_sim/runtime_control.h"
#include "sim_platform.h"

namespace host {

namespace platform = sim::platform;

inline void* applet() {
    static void* const module = platform::loadLibrary(platform::libraryFileName("Orvanta", true).c_str());
    return module;
}

// The stand-in runtime as the applet finds it (null when this folder has none).
inline void* runtime() {
    static void* const module = platform::loadLibrary(platform::libraryFileName("rtcore5").c_str());
    return module;
}

inline void* appletSymbol(const char* name) { return platform::findSymbol(applet(), name); }

template <typename F>
F runtimeSymbol(const char* name) {
    return reinterpret_cast<F>(platform::findSymbol(runtime(), name));
}

// Whether the runtime recorded a call of `function` on an inner handle.
inline bool runtimeRecorded(const char* function) {
    const auto count = runtimeSymbol<decltype(&SimCtl_CallCount)>("SimCtl_CallCount");
    const auto get = runtimeSymbol<decltype(&SimCtl_GetCall)>("SimCtl_GetCall");
    for (int32_t i = 0; i < count(); ++i) {
        SimCall call{};
        if (get(i, &call) == 0 && std::strcmp(call.function, function) == 0) return true;
    }
    return false;
}

}  // namespace host

#define HOSTED(name) APPLET_EXPORT(host::appletSymbol, name)
