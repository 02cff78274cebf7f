// The applet as the benchmarks drive it: board opened through the stand-in runtime as an
// application opens it, and the applet's exports called directly with the runtime's handle
// record, as the runtime routes an application's calls (so the stand-in's routing is not
// measured). The runtime's call log is switched off: it would be measured too, and allocates.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "orvanta/export_prototypes.h"
#include "orvanta/type_codes.h"
#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"

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

template <typename Function>
Function appletExport(const char* name) {
    void* symbol = SimCtl_AppletSymbol(name);
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

// The one board of the process, opened at the first call, which decides whether direct register
// access is on for it.
inline const OpenedBoard& board(bool directRegisterAccess = false) {
    static const OpenedBoard opened(0, directRegisterAccess);
    return opened;
}

}  // namespace bench
