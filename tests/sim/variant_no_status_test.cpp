// The runtime variants are reachable the way the applet reaches the runtime: a test placed in
// the "no-status" folder that loads the runtime by name gets the variant, which lacks
// Fg_getStatusEx and keeps the rest.
#include "check.h"
#include "platform/dynamic_library.h"

CHECK_MAIN

namespace platform = vexo::templates::platform;

TEST_CASE("the runtime found by name in the variant folder lacks Fg_getStatusEx only") {
    platform::ModuleHandle runtime = platform::loadLibrary(platform::nativeLibraryFileName("rtcore5.dll").c_str());
    REQUIRE(runtime != nullptr);
    CHECK(platform::findSymbol(runtime, "Fg_getStatusEx") == nullptr);
    for (const char* present : {"Fg_getParameterWithType", "Fg_InitHandleSlaveAware", "Fg_InitHandle",
                                "Fg_getLastErrorNumber", "Fg_AcquireEx", "SimCtl_Reset"}) {
        CHECK(platform::findSymbol(runtime, present) != nullptr);
    }
    // The other stand-ins lie beside it.
    platform::ModuleHandle hap = platform::loadLibrary(platform::nativeLibraryFileName("hapcore.dll").c_str());
    CHECK(hap != nullptr);
    platform::unloadLibrary(hap);
    platform::unloadLibrary(runtime);
}
