// A runtime whose description of the design comes round on itself: a category lists its own
// ancestor, and the chain of top-level categories leads back to its head. The applet walks that
// description at start-up (direct NX access) and when a debug entry is selected; both walks
// have to end, and find what they would find in a proper tree.
#include <cstdint>

#include "trigger_board.h"

namespace {

constexpr int32_t FG_DEBUGSOURCE = 900001;
constexpr int32_t kSdkParameterCount = 130;

// Board 0, freshly reset, opened while the runtime's descriptions loop or not.
struct Board {
    explicit Board(bool looping, const char* hiddenName = nullptr) {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        SimCtl_LoopDescription(looping ? 1 : 0);
        if (hiddenName != nullptr) SimCtl_HideNxName(hiddenName);
        fg = Fg_InitEx("Orvanta", 0, 0);
    }
    ~Board() {
        if (fg != nullptr) Fg_FreeGrabber(fg);
    }
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;
    void* fg = nullptr;
};

int32_t selectDebugSource(void* fg, uint32_t source) {
    return Fg_setParameterWithType(fg, FG_DEBUGSOURCE, &source, 0, 2);
}

}  // namespace

TEST(LoopingDescription, BoardOpensWithEachDirectNxParameterOnce) {
    const board::Switch dnxa("VEXO_ENABLE_DNXA");
    int32_t properCount = 0;
    {
        Board proper(false);
        ASSERT_NE(proper.fg, nullptr);
        properCount = Fg_getNrOfParameter(proper.fg);
    }
    ASSERT_GT(properCount, kSdkParameterCount);

    Board looping(true);
    ASSERT_NE(looping.fg, nullptr);
    // The runtime really does hand out a looping description.
    static int hapToken = 0;
    void* inner = Fg_InitHandleSlaveAware("Orvanta.hap", SimCtl_HardwareHandle(0), &hapToken, 0);
    ASSERT_NE(inner, nullptr);
    const ParameterInfoNode* head = Fg_getParameterInfo(inner, 0);
    ASSERT_NE(head, nullptr);
    const ParameterInfoNode* oldest = head->older;
    while (oldest != nullptr && oldest->older != head) oldest = oldest->older;
    EXPECT_NE(oldest, nullptr);
    const int32_t nxId = Fg_getParameterIdByName(inner, "Device1_Process0_Debug_Entries");
    Fg_FreeGrabber(inner);

    EXPECT_EQ(Fg_getNrOfParameter(looping.fg), properCount);
    ASSERT_GT(nxId, 0);
    char text[256] = "";
    EXPECT_EQ(Fg_getParameterWithType(looping.fg, nxId + 2000000, text, 0, 6), 0);
    EXPECT_STREQ(text, "2");
}

// Entry 1 has a monitor: its pixel's maximum is looked up in the runtime's description, once
// where the description has it and once where the search has to go all the way round.
TEST(LoopingDescription, DebugEntrySelectionFindsOrMissesTheDescribedMaximum) {
    const board::Switch dnxa("VEXO_ENABLE_DNXA");
    {
        Board looping(true);
        ASSERT_NE(looping.fg, nullptr);
        ASSERT_EQ(selectDebugSource(looping.fg, 1), 0);
        EXPECT_EQ(trigger_test::record(looping.fg, "FG_DEBUGOUTPIXEL").value.u32.max, 1023u);
    }
    Board looping(true, "Device1_Process0_DebugIn_Buffer_PixelValue");
    ASSERT_NE(looping.fg, nullptr);
    ASSERT_EQ(selectDebugSource(looping.fg, 1), 0);
    EXPECT_EQ(trigger_test::record(looping.fg, "FG_DEBUGOUTPIXEL").value.u32.max, 0u);
}
