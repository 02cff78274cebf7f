// Start-up against a runtime without Fg_getLastErrorNumber whose init refuses the handle.
#include "applet_host.h"
#include "check.h"

TEST_CASE("a refused init without the runtime's last error answers -100") {
    REQUIRE(host::applet() != nullptr);
    const auto failInit = host::runtimeSymbol<decltype(&SimCtl_FailInit)>("SimCtl_FailInit");
    REQUIRE(failInit != nullptr);
    failInit(-2010);
    int32_t error = 0;
    CHECK(HOSTED(Std_entry)(0x1000, &error, 0) == nullptr);
    CHECK_EQ(error, -100);
}

CHECK_MAIN
