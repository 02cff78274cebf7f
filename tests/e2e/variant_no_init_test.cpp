// Start-up against a runtime that offers neither init function.
#include "applet_host.h"
#include "check.h"

TEST_CASE("a runtime without init functions is refused") {
    REQUIRE(host::applet() != nullptr);
    REQUIRE(host::runtime() != nullptr);
    int32_t error = 0;
    CHECK(HOSTED(Std_entry)(0x1000, &error, 0) == nullptr);
    CHECK_EQ(error, -2031);
}

CHECK_MAIN
