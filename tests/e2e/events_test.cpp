// Event names and masks as an application asks for them, on the design's own event list and on
// lists the HAP is given before the board opens: missing, overlong and differently classed.
#include <cstdint>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "vexo_sim.h"

namespace {

constexpr int32_t kInvalid = -2070;
const char* const kOverflow = "Device1_Process0_Overflow_Overflow";
const char* const kFrameStart = "Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameStart";

// The board opened on a HAP that lists exactly these events (classes 1 unless given).
struct EventBoard {
    EventBoard(const std::vector<std::string>& names, std::vector<uint32_t> classes = {}) {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        std::vector<const char*> pointers;
        for (const std::string& name : names) pointers.push_back(name.c_str());
        classes.resize(names.size(), 1);
        SimHap_SetEvents(pointers.data(), classes.data(), static_cast<int32_t>(names.size()));
        fg = Fg_Init("Orvanta", 0);
        REQUIRE(fg != nullptr);
    }
    ~EventBoard() {
        if (fg != nullptr) Fg_FreeGrabber(fg);
        SimHap_Reset();
    }
    EventBoard(const EventBoard&) = delete;
    EventBoard& operator=(const EventBoard&) = delete;
    void* fg = nullptr;
};

// The mask, or 0 with -2070 as last error for a name that is not offered.
uint64_t maskOf(void* fg, const char* name) {
    const uint64_t mask = Fg_getEventMask(fg, name);
    CHECK_EQ(Fg_getLastErrorNumber(fg), mask != 0 ? 0 : kInvalid);
    return mask;
}

std::string nameOf(void* fg, uint64_t mask) {
    const char* name = Fg_getEventName(fg, mask);
    CHECK_EQ(Fg_getLastErrorNumber(fg), name != nullptr ? 0 : kInvalid);
    return name != nullptr ? name : "(null)";
}

}  // namespace

TEST_CASE("the design's events answer under their SDK and NX names, one bit per list position") {
    board::OpenBoard board;
    REQUIRE(board.fg != nullptr);
    CHECK_EQ(maskOf(board.fg, "FG_OVERFLOW_CAM0"), uint64_t{1});
    CHECK_EQ(maskOf(board.fg, kOverflow), uint64_t{1});
    CHECK_EQ(nameOf(board.fg, 1), std::string("FG_OVERFLOW_CAM0"));
    CHECK_EQ(maskOf(board.fg, "FG_TRIGGER_OUTPUT_CAM0"), uint64_t{1} << 34);
    // Without an SDK name the NX name is the event's name.
    CHECK_EQ(maskOf(board.fg, "Device1_Process0_CameraSimulator_Events_FrameDone"), uint64_t{8});
    CHECK_EQ(nameOf(board.fg, 8), std::string("Device1_Process0_CameraSimulator_Events_FrameDone"));
    // The debug tick is of another class: not offered, yet its position keeps its bit.
    CHECK_EQ(maskOf(board.fg, "Device1_Process0_Debug_Events_InternalTick"), uint64_t{0});
    CHECK_EQ(nameOf(board.fg, uint64_t{1} << 20), std::string("(null)"));
    CHECK_EQ(maskOf(board.fg, "FG_TRIGGER_FRONT_GPI0_RISING"), uint64_t{1} << 21);
}

TEST_CASE("names and masks that are not one event's are refused with -2070") {
    board::OpenBoard board;
    REQUIRE(board.fg != nullptr);
    for (const char* name : {"", "fg_overflow_cam0", "FG_OVERFLOW_CAM0 ", "FG_NO_SUCH_EVENT"}) {
        CHECK_EQ(maskOf(board.fg, name), uint64_t{0});
    }
    CHECK_EQ(maskOf(board.fg, nullptr), uint64_t{0});
    for (const uint64_t mask : {uint64_t{0}, uint64_t{3}, uint64_t{1} << 40, ~uint64_t{0}}) {
        CHECK_EQ(nameOf(board.fg, mask), std::string("(null)"));
    }
}

TEST_CASE("an SDK name whose design event is missing is refused while the others work") {
    EventBoard board({kFrameStart, "Custom_Event"});
    CHECK_EQ(maskOf(board.fg, "FG_OVERFLOW_CAM0"), uint64_t{0});
    CHECK_EQ(maskOf(board.fg, "FG_START_OF_FRAME_CAM_PORT_0"), uint64_t{1});
    CHECK_EQ(maskOf(board.fg, "Custom_Event"), uint64_t{2});
    CHECK_EQ(nameOf(board.fg, 1), std::string("FG_START_OF_FRAME_CAM_PORT_0"));
}

TEST_CASE("only the first 64 positions of a longer list are read") {
    std::vector<std::string> names;
    for (int i = 0; i < 70; ++i) names.push_back("Event_" + std::to_string(i));
    names[64] = kOverflow;
    EventBoard board(names);
    CHECK_EQ(maskOf(board.fg, "Event_63"), uint64_t{1} << 63);
    CHECK_EQ(nameOf(board.fg, uint64_t{1} << 63), std::string("Event_63"));
    CHECK_EQ(maskOf(board.fg, "Event_65"), uint64_t{0});
    CHECK_EQ(maskOf(board.fg, "FG_OVERFLOW_CAM0"), uint64_t{0});
}

TEST_CASE("an event of another class is reachable through its SDK name only") {
    EventBoard board({kOverflow, kFrameStart}, {0, 1});
    CHECK_EQ(maskOf(board.fg, "FG_OVERFLOW_CAM0"), uint64_t{1});
    CHECK_EQ(maskOf(board.fg, kOverflow), uint64_t{0});
    CHECK_EQ(nameOf(board.fg, 1), std::string("FG_OVERFLOW_CAM0"));
    CHECK_EQ(maskOf(board.fg, kFrameStart), uint64_t{2});
}

CHECK_MAIN
