// Start-up against a runtime that offers only the plain init function.
#include "applet_host.h"

TEST(PlainInitRuntime, WithoutTheSlaveAwareFormThePlainInitOpensTheHandle) {
    ASSERT_NE(host::applet(), nullptr);
    HandleRecord record;
    int32_t error = 1;
    record.wrapper = HOSTED(Std_entry)(0x1000, &error, 1);
    ASSERT_NE(record.wrapper, nullptr);
    EXPECT_EQ(error, 0);
    EXPECT_TRUE(host::runtimeRecorded("Fg_InitHandle"));
    EXPECT_EQ(HOSTED(Fg_FreeGrabber)(&record), 0);
}
