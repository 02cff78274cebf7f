// A board keeps its values across a new design for the names both designs have, and names
// handed out from an earlier design stay readable: the applet keeps them while the runtime
// opens further handles, possibly on another HAP.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"

namespace {

using sim::BoardState;
using sim::DesignRow;

// The value of a named integer parameter on the board, or -1 when its design lacks the name.
int64_t valueOf(sim::Board& board, const std::string& name) {
    int64_t value = -1;
    sim::withBoard(board, [&](BoardState& state) {
        const int32_t index = state.design->indexOfAnyName(name);
        if (index >= 0) value = static_cast<int64_t>(state.values[index].integer);
    });
    return value;
}

void setValue(sim::Board& board, const std::string& name, uint64_t value) {
    sim::withBoard(board, [&](BoardState& state) { state.values[state.design->indexOfAnyName(name)].integer = value; });
}

}  // namespace

TEST(SimBoard, ANewDesignKeepsTheValuesOfSharedNamesAndOldNamesStayValid) {
    sim::Board& board = *SimBoard_Of(0x5151);
    EXPECT_EQ(SimBoard_Of(0x5151), &board);
    EXPECT_EQ(valueOf(board, "Device1_Process0_A"), -1);  // no HAP loaded yet
    EXPECT_EQ(valueOf(board, "FG_TIMEOUT"), 1000000);     // the runtime's own values are there

    board.loadDesign({{"Device1_Process0_A", 2, true}, {"Device1_Process0_B", 2, true}});
    const char* oldName = nullptr;
    sim::withBoard(board, [&](BoardState& state) { oldName = state.design->parameters()[1].name.c_str(); });
    setValue(board, "Device1_Process0_A", 11);
    setValue(board, "Device1_Process0_B", 22);
    setValue(board, "FG_TIMEOUT", 33);

    board.loadDesign({{"Device1_Process0_A", 2, true}, {"Device1_Process0_C", 2, true}});
    EXPECT_EQ(valueOf(board, "Device1_Process0_A"), 11);
    EXPECT_EQ(valueOf(board, "Device1_Process0_B"), -1);
    EXPECT_EQ(valueOf(board, "Device1_Process0_C"), 0);
    EXPECT_EQ(valueOf(board, "FG_TIMEOUT"), 33);
    EXPECT_STREQ(oldName, "Device1_Process0_B");

    // Another hardware handle is another board.
    EXPECT_EQ(valueOf(*SimBoard_Of(0x5152), "Device1_Process0_A"), -1);
}
