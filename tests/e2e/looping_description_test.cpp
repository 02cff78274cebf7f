// A runtime description that comes round on itself (a category lists its ancestor, the top-level
// chain leads back to its head): the applet's walks of it at start-up (direct NX access) and at a
// debug entry's selection have to end, and find what they would find in a proper tree.
#include <cstdint>

#include "trigger_board.h"

using trigger_test::PreparedBoard;

TEST(LoopingDescription, BoardOpensWithEachDirectNxParameterOnce) {
    const board::Switch dnxa("VEXO_ENABLE_DNXA");
    int32_t properCount = 0;
    {
        PreparedBoard proper([] {});
        ASSERT_NE(proper.fg, nullptr);
        properCount = Fg_getNrOfParameter(proper.fg);
    }
    ASSERT_GT(properCount, 130);  // the SDK parameters and the copies

    PreparedBoard looping([] { SimCtl_LoopDescription(1); });
    ASSERT_NE(looping.fg, nullptr);
    EXPECT_EQ(Fg_getNrOfParameter(looping.fg), properCount);
    const int32_t nxId = Fg_getParameterIdByName(board::innerHandleOfLastOpen(), "Device1_Process0_Debug_Entries");
    ASSERT_GT(nxId, 0);
    char text[256] = "";
    EXPECT_EQ(Fg_getParameterWithType(looping.fg, nxId + 2000000, text, 0, 6), 0);
    EXPECT_STREQ(text, "2");
}

// Entry 1 has a monitor: its pixel's maximum is looked up in the runtime's description, once
// where the description has it and once where the search has to go all the way round.
TEST(LoopingDescription, DebugEntrySelectionFindsOrMissesTheDescribedMaximum) {
    const board::Switch dnxa("VEXO_ENABLE_DNXA");
    for (const bool described : {true, false}) {
        SCOPED_TRACE(described ? "described" : "hidden");
        PreparedBoard looping([described] {
            SimCtl_LoopDescription(1);
            if (!described) SimCtl_HideNxName("Device1_Process0_DebugIn_Buffer_PixelValue");
        });
        ASSERT_NE(looping.fg, nullptr);
        const uint32_t entry = 1;
        ASSERT_EQ(Fg_setParameterWithType(looping.fg, 900001, &entry, 0, 2), 0);  // FG_DEBUGSOURCE
        EXPECT_EQ(trigger_test::record(looping.fg, "FG_DEBUGOUTPIXEL").value.u32.max, described ? 1023u : 0u);
    }
}
