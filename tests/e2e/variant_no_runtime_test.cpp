// Start-up when the runtime library cannot be loaded at all.
#include "applet_host.h"
#include "check.h"

TEST_CASE("without a runtime library the applet does not open") {
    REQUIRE(host::applet() != nullptr);
    REQUIRE(host::runtime() == nullptr);
    int32_t error = 0;
    CHECK(HOSTED(Std_entry)(0x1000, &error, 0) == nullptr);
    CHECK_EQ(error, -2031);
    CHECK(HOSTED(Std_entry)(0x1000, nullptr, 0) == nullptr);
}

CHECK_MAIN
