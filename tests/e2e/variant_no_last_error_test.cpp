// Start-up against a runtime without Fg_getLastErrorNumber whose init refuses the handle.
#include "applet_host.h"

TEST(NoLastErrorRuntime, ARefusedInitWithoutTheRuntimesLastErrorAnswersMinus100) {
    ASSERT_NE(host::applet(), nullptr);
    const auto failInit = host::runtimeSymbol<decltype(&SimCtl_FailInit)>("SimCtl_FailInit");
    ASSERT_NE(failInit, nullptr);
    failInit(-2010);
    int32_t error = 0;
    EXPECT_EQ(HOSTED(Std_entry)(0x1000, &error, 0), nullptr);
    EXPECT_EQ(error, -100);
}
