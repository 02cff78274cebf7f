// The applet as the benchmarks drive it, its exports called directly with a handle record as the
// runtime routes an application's calls (so no runtime's routing is measured). Over the stand-in
// runtime, the board is opened through it as an application opens it, and its call log is off (it
// would be measured too, and allocates). Built with BENCH_OVER_DO_NOTHING, the executable lies in
// a folder with the do-nothing runtime (do_nothing_runtime.cpp) and copies of the applet and the
// other stand-ins, loads the applet itself and opens a board with Std_entry, as a runtime does:
// the applet then binds to the do-nothing runtime, and a row shows the applet's own cost.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "orvanta/export_prototypes.h"
#include "orvanta/type_codes.h"
#if defined(BENCH_OVER_DO_NOTHING)
#include "sim_platform.h"
#else
#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"
#endif

namespace bench {

namespace exports = vexo::api::prototypes;

using vexo::kTypeAllocatedText;
using vexo::kTypeDouble;
using vexo::kTypeU32;

// SDK ids the rows use.
inline constexpr int32_t kWidth = 100;
inline constexpr int32_t kHeight = 200;
inline constexpr int32_t kFramesPerSecond = 90;
inline constexpr int32_t kHapFile = 24108;
inline constexpr int32_t kFpgaTemperature = 200341;
inline constexpr int32_t kDnxaIdBase = 2000000;

#if defined(BENCH_OVER_DO_NOTHING)
// The applet library beside the executable, loaded once.
inline void* appletSymbol(const char* name) {
    static void* const module = sim::platform::loadLibrary(sim::platform::libraryFileName("Orvanta", true).c_str());
    return sim::platform::findSymbol(module, name);
}

// A function of the do-nothing runtime, which the applet has loaded by then.
template <typename Function>
Function runtimeFunction(const char* name) {
    static void* const module = sim::platform::loadLibrary(sim::platform::libraryFileName("rtcore5").c_str());
    void* symbol = sim::platform::findSymbol(module, name);
    if (symbol == nullptr) std::abort();
    return reinterpret_cast<Function>(symbol);
}
#else
inline void* appletSymbol(const char* name) { return SimCtl_AppletSymbol(name); }
#endif

template <typename Function>
Function appletExport(const char* name) {
    void* symbol = appletSymbol(name);
    if (symbol == nullptr) std::abort();  // a build without the applet measures nothing
    return reinterpret_cast<Function>(symbol);
}

// The applet's exports the rows call.
struct Applet {
    exports::Std_entry stdEntry = appletExport<exports::Std_entry>("Std_entry");
    exports::Info info = appletExport<exports::Info>("Info");
    exports::Fg_FreeGrabber freeGrabber = appletExport<exports::Fg_FreeGrabber>("Fg_FreeGrabber");
    exports::Fg_setParameterWithType set = appletExport<exports::Fg_setParameterWithType>("Fg_setParameterWithType");
    exports::Fg_getParameterWithType get = appletExport<exports::Fg_getParameterWithType>("Fg_getParameterWithType");
    exports::Fg_freeParameterStringWithType freeString =
        appletExport<exports::Fg_freeParameterStringWithType>("Fg_freeParameterStringWithType");
    exports::Fg_getParameterIdByName idByName = appletExport<exports::Fg_getParameterIdByName>("Fg_getParameterIdByName");
    exports::Fg_getParameterName nameAt = appletExport<exports::Fg_getParameterName>("Fg_getParameterName");
    exports::Fg_getNrOfParameter parameterCount = appletExport<exports::Fg_getNrOfParameter>("Fg_getNrOfParameter");
    exports::Fg_getParameterInfo parameterInfo = appletExport<exports::Fg_getParameterInfo>("Fg_getParameterInfo");
    exports::Fg_getParameterInfoXML parameterInfoXml =
        appletExport<exports::Fg_getParameterInfoXML>("Fg_getParameterInfoXML");
    exports::Fg_saveConfig saveConfig = appletExport<exports::Fg_saveConfig>("Fg_saveConfig");
    exports::Fg_loadConfig loadConfig = appletExport<exports::Fg_loadConfig>("Fg_loadConfig");
};

inline const Applet& applet() {
    static const Applet exports;
    return exports;
}

inline void setEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

#if defined(BENCH_OVER_DO_NOTHING)
// One board opened for the whole process with Std_entry, its wrapper in a handle record of the
// benchmark's own.
struct OpenedBoard {
    OpenedBoard(uint32_t boardIndex, bool directRegisterAccess) {
        if (directRegisterAccess) setEnvironment("VEXO_ENABLE_DRA", "1");
        int32_t error = 0;
        record.wrapper = applet().stdEntry(0x0B0A4D0000000001ULL + (uint64_t{boardIndex} << 8), &error, 0);
        if (record.wrapper == nullptr) std::abort();
        fg = &record;
    }
    OpenedBoard(const OpenedBoard&) = delete;
    OpenedBoard& operator=(const OpenedBoard&) = delete;

    // The runtime's record as the applet sees it: the wrapper in the first field.
    mutable struct {
        void* wrapper = nullptr;
    } record;
    void* fg = nullptr;
};

// The runtime's NX id of a name, as the applet resolved it.
inline int32_t runtimeId(const char* name) {
    using IdByName = int32_t (*)(void*, const char*);
    return runtimeFunction<IdByName>("Fg_getParameterIdByName")(nullptr, name);
}
#else
// One board opened for the whole process; `fg` is the runtime's handle record and `inner` the
// inner handle the applet opened on it.
struct OpenedBoard {
    OpenedBoard(uint32_t boardIndex, bool directRegisterAccess) {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        if (directRegisterAccess) setEnvironment("VEXO_ENABLE_DRA", "1");
        fg = Fg_InitEx("Orvanta", boardIndex, 0);
        if (fg == nullptr) std::abort();
        for (int32_t i = SimCtl_CallCount() - 1; i >= 0 && inner == nullptr; --i) {
            SimCall call{};
            if (SimCtl_GetCall(i, &call) == 0 && std::strcmp(call.function, "Fg_InitHandleSlaveAware") == 0) {
                inner = reinterpret_cast<void*>(static_cast<uintptr_t>(call.result));
            }
        }
        if (inner == nullptr) std::abort();
        SimCtl_SetRecording(0);
    }
    OpenedBoard(const OpenedBoard&) = delete;
    OpenedBoard& operator=(const OpenedBoard&) = delete;

    void* fg = nullptr;
    void* inner = nullptr;
};
#endif

// The one board of the process, opened at the first call, which decides whether direct register
// access is on for it.
inline const OpenedBoard& board(bool directRegisterAccess = false) {
    static const OpenedBoard opened(0, directRegisterAccess);
    return opened;
}

#if !defined(BENCH_OVER_DO_NOTHING)
// The runtime's NX id of a name, asked on the board's inner handle.
inline int32_t runtimeId(const char* name) { return Fg_getParameterIdByName(board().inner, name); }
#endif

}  // namespace bench
