// Event names and masks as an application asks for them, on the design's own event list and on
// lists the HAP is given before the board opens: missing, overlong and differently classed.
#include <cstdint>
#include <string>
#include <vector>

#include "trigger_board.h"

namespace {

using trigger_test::PreparedBoard;

constexpr int32_t kInvalid = -2070;
const char* const kOverflow = "Device1_Process0_Overflow_Overflow";
const char* const kFrameStart = "Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameStart";

// Has the HAP list exactly these events, of class 1 unless given.
void listEvents(const std::vector<std::string>& names, std::vector<uint32_t> classes = {}) {
    std::vector<const char*> pointers;
    for (const std::string& name : names) pointers.push_back(name.c_str());
    classes.resize(names.size(), 1);
    SimHap_SetEvents(pointers.data(), classes.data(), static_cast<int32_t>(names.size()));
}

// The mask, or 0 with -2070 as last error for a name that is not offered.
uint64_t maskOf(void* fg, const char* name) {
    const uint64_t mask = Fg_getEventMask(fg, name);
    EXPECT_EQ(Fg_getLastErrorNumber(fg), mask != 0 ? 0 : kInvalid) << (name != nullptr ? name : "(null)");
    return mask;
}

std::string nameOf(void* fg, uint64_t mask) {
    const char* name = Fg_getEventName(fg, mask);
    EXPECT_EQ(Fg_getLastErrorNumber(fg), name != nullptr ? 0 : kInvalid) << mask;
    return name != nullptr ? name : "(null)";
}

}  // namespace

using Events = board::BoardTest;

// The design's events answer under their SDK and NX names, one bit per list position; nothing
// else answers.
TEST_F(Events, DesignEventsAnswerUnderSdkAndNxNamesOnly) {
    EXPECT_EQ(maskOf(fg(), "FG_OVERFLOW_CAM0"), uint64_t{1});
    EXPECT_EQ(maskOf(fg(), kOverflow), uint64_t{1});
    EXPECT_EQ(nameOf(fg(), 1), "FG_OVERFLOW_CAM0");
    EXPECT_EQ(maskOf(fg(), "FG_TRIGGER_OUTPUT_CAM0"), uint64_t{1} << 34);
    // Without an SDK name the NX name is the event's name.
    EXPECT_EQ(maskOf(fg(), "Device1_Process0_CameraSimulator_Events_FrameDone"), uint64_t{8});
    EXPECT_EQ(nameOf(fg(), 8), "Device1_Process0_CameraSimulator_Events_FrameDone");
    // The debug tick is of another class: not offered, yet its position keeps its bit.
    EXPECT_EQ(maskOf(fg(), "Device1_Process0_Debug_Events_InternalTick"), uint64_t{0});
    EXPECT_EQ(nameOf(fg(), uint64_t{1} << 20), "(null)");
    EXPECT_EQ(maskOf(fg(), "FG_TRIGGER_FRONT_GPI0_RISING"), uint64_t{1} << 21);

    // Names and masks of no single event are refused.
    for (const char* name : {"", "fg_overflow_cam0", "FG_OVERFLOW_CAM0 ", "FG_NO_SUCH_EVENT"}) {
        EXPECT_EQ(maskOf(fg(), name), uint64_t{0}) << name;
    }
    EXPECT_EQ(maskOf(fg(), nullptr), uint64_t{0});
    for (const uint64_t mask : {uint64_t{0}, uint64_t{3}, uint64_t{1} << 40, ~uint64_t{0}}) {
        EXPECT_EQ(nameOf(fg(), mask), "(null)") << mask;
    }
}

// An SDK name answers only while the HAP lists its design event, of whatever class; an event of
// another class than 1 has no NX name to answer under.
TEST(EventList, SdkNamesFollowTheListAndOtherClassesAnswerUnderTheirSdkNameOnly) {
    PreparedBoard board([] { listEvents({kOverflow, kFrameStart, "Custom_Event"}, {0, 1, 1}); });
    ASSERT_NE(board.fg, nullptr);
    EXPECT_EQ(maskOf(board.fg, "FG_TRIGGER_OUTPUT_CAM0"), uint64_t{0});
    EXPECT_EQ(maskOf(board.fg, "FG_OVERFLOW_CAM0"), uint64_t{1});
    EXPECT_EQ(maskOf(board.fg, kOverflow), uint64_t{0});
    EXPECT_EQ(nameOf(board.fg, 1), "FG_OVERFLOW_CAM0");
    EXPECT_EQ(maskOf(board.fg, "FG_START_OF_FRAME_CAM_PORT_0"), uint64_t{2});
    EXPECT_EQ(maskOf(board.fg, kFrameStart), uint64_t{2});
    EXPECT_EQ(maskOf(board.fg, "Custom_Event"), uint64_t{4});
    EXPECT_EQ(nameOf(board.fg, 2), "FG_START_OF_FRAME_CAM_PORT_0");
}

TEST(EventList, OnlyTheFirst64PositionsAreRead) {
    std::vector<std::string> names;
    for (int i = 0; i < 70; ++i) names.push_back("Event_" + std::to_string(i));
    names[64] = kOverflow;
    PreparedBoard board([&names] { listEvents(names); });
    ASSERT_NE(board.fg, nullptr);
    EXPECT_EQ(maskOf(board.fg, "Event_63"), uint64_t{1} << 63);
    EXPECT_EQ(nameOf(board.fg, uint64_t{1} << 63), "Event_63");
    EXPECT_EQ(maskOf(board.fg, "Event_65"), uint64_t{0});
    EXPECT_EQ(maskOf(board.fg, "FG_OVERFLOW_CAM0"), uint64_t{0});
}
