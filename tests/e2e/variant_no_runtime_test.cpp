// Start-up when the runtime library cannot be loaded at all.
#include "applet_host.h"

TEST(NoRuntime, WithoutARuntimeLibraryTheAppletDoesNotOpen) {
    ASSERT_NE(host::applet(), nullptr);
    ASSERT_EQ(host::runtime(), nullptr);
    int32_t error = 0;
    EXPECT_EQ(HOSTED(Std_entry)(0x1000, &error, 0), nullptr);
    EXPECT_EQ(error, -2031);
    EXPECT_EQ(HOSTED(Std_entry)(0x1000, nullptr, 0), nullptr);
}
