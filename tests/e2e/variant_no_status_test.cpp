// A forwarded export whose runtime function is missing.
#include "applet_host.h"
#include "check.h"

TEST_CASE("a missing runtime function answers -12 and becomes the last error") {
    REQUIRE(host::applet() != nullptr);
    HandleRecord record;
    int32_t error = 1;
    record.wrapper = HOSTED(Std_entry)(0x1000, &error, 0);
    REQUIRE(record.wrapper != nullptr);
    CHECK_EQ(error, 0);
    CHECK_EQ(HOSTED(Fg_getStatusEx)(&record, 1, 0, 0, nullptr), int64_t{-12});
    CHECK_EQ(HOSTED(Fg_getLastErrorNumber)(&record), -12);
    CHECK_EQ(HOSTED(Fg_FreeGrabber)(&record), 0);
}

CHECK_MAIN
