// Opening the applet on a board: the choice of the HAP, failures that must leave nothing open,
// and the init call the runtime receives.
#include <cstdint>
#include <vector>

#include "board_session.h"

namespace {

void resetBoard() {
    SimCtl_Reset();
    SimHap_Reset();
}

SimHapOpen lastHapOpen() {
    SimHapOpen open{};
    SimHap_GetOpen(SimHap_OpenCount() - 1, &open);
    return open;
}

// Opens through the runtime and expects a refusal with `code`, nothing left open.
void expectRefusedOpen(int32_t code) {
    EXPECT_EQ(Fg_Init("Orvanta", 0), nullptr);
    EXPECT_EQ(Fg_getLastErrorNumber(nullptr), code);
    EXPECT_EQ(SimHap_LiveHandles(), 0);
}

}  // namespace

// The image itself is compared with the descriptor's HAP image.
TEST(AppletStartup, TheBuiltInHapImageGoesToTheSlaveAwareInitWithTheHardwareHandleAndTheFlags) {
    const uint32_t flags = 0x11;
    board::OpenBoard board(flags);
    ASSERT_NE(board.fg, nullptr);
    const SimHapOpen open = lastHapOpen();
    EXPECT_EQ(open.fromFile, 0);
    EXPECT_EQ(open.flag, 1);
    const std::vector<SimCall> inits = board::callsNamed("Fg_InitHandleSlaveAware");
    ASSERT_EQ(inits.size(), 1u);
    EXPECT_TRUE(board::callsNamed("Fg_InitHandle").empty());
    EXPECT_STREQ(inits[0].text, "Orvanta.hap");
    EXPECT_EQ(inits[0].u64, SimCtl_HardwareHandle(0));
    EXPECT_EQ(inits[0].args[0], static_cast<uint64_t>(reinterpret_cast<uintptr_t>(open.handle)));
    EXPECT_EQ(inits[0].args[1], uint64_t{flags});
}

// Defined, even empty, the switch selects the file; its name goes to the HAP runtime as it is.
TEST(AppletStartup, AnExternalHapFileIsOpenedWhenForced) {
    const board::Switch external("__VEXO_FORCE_EXTERNAL_HAP", "");
    board::OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    const SimHapOpen open = lastHapOpen();
    EXPECT_EQ(open.fromFile, 1);
    EXPECT_STREQ(open.fileName, "Orvanta.hap");
    EXPECT_EQ(open.boardType, 1874);
    EXPECT_EQ(open.flag, 1);
}

TEST(AppletStartup, AFailedOpenLeavesNothingBehind) {
    resetBoard();
    SimHap_FailOpen(1);
    expectRefusedOpen(-100);
    SimHap_FailOpen(0);

    resetBoard();
    SimCtl_FailInit(-2010);
    expectRefusedOpen(-2010);
    EXPECT_EQ(SimHap_OpenCount(), 1);

    // A refusal whose global last error reads 0 must not pass for success.
    resetBoard();
    SimCtl_FailCall("Fg_InitHandleSlaveAware", 1, 0);
    expectRefusedOpen(-100);
}
