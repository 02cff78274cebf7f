// Start-up against a runtime that offers only the plain init function.
#include "applet_host.h"
#include "check.h"

TEST_CASE("without the slave-aware form the plain init opens the handle") {
    REQUIRE(host::applet() != nullptr);
    HandleRecord record;
    int32_t error = 1;
    record.wrapper = HOSTED(Std_entry)(0x1000, &error, 1);
    REQUIRE(record.wrapper != nullptr);
    CHECK_EQ(error, 0);
    CHECK(host::runtimeRecorded("Fg_InitHandle"));
    CHECK(!host::runtimeRecorded("Fg_InitHandleSlaveAware"));
    CHECK_EQ(HOSTED(Fg_FreeGrabber)(&record), 0);
}

CHECK_MAIN
