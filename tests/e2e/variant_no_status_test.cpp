// A forwarded export whose runtime function is missing.
#include "applet_host.h"

TEST(NoStatusRuntime, AMissingRuntimeFunctionAnswersMinus12AndBecomesTheLastError) {
    ASSERT_NE(host::applet(), nullptr);
    HandleRecord record;
    int32_t error = 1;
    record.wrapper = HOSTED(Std_entry)(0x1000, &error, 0);
    ASSERT_NE(record.wrapper, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(HOSTED(Fg_getStatusEx)(&record, 1, 0, 0, nullptr), int64_t{-12});
    EXPECT_EQ(HOSTED(Fg_getLastErrorNumber)(&record), -12);
    EXPECT_EQ(HOSTED(Fg_FreeGrabber)(&record), 0);
}
