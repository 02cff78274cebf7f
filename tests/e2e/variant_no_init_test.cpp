// Start-up against a runtime that offers neither init function.
#include "applet_host.h"

TEST(NoInitRuntime, ARuntimeWithoutInitFunctionsIsRefused) {
    ASSERT_NE(host::applet(), nullptr);
    ASSERT_NE(host::runtime(), nullptr);
    int32_t error = 0;
    EXPECT_EQ(HOSTED(Std_entry)(0x1000, &error, 0), nullptr);
    EXPECT_EQ(error, -2031);
}
