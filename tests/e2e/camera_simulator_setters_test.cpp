// The camera simulator's setters through the exports: geometry rounded to 32 pixels, the clock
// registers each rate programs, the limits the timing modes put on each other, the select-mode
// sequence and the state start-up leaves the simulator in.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;
using board::NxWrite;

namespace {

constexpr int32_t kOutOfRange = -6000;
const std::string kPrefix = "Device1_Process0_CameraSimulator_";

NxWrite sim(const std::string& name, uint64_t value) { return {kPrefix + name, value}; }

Writes lineGeometry(uint64_t wholeLineClocks, uint64_t activeClocks) {
    return {sim("Size_ImageWidth", wholeLineClocks), sim("LineGap_Number", activeClocks)};
}

Writes frameGeometry(uint64_t wholeFrame, uint64_t active) {
    return {sim("Size_ImageHeight", wholeFrame), sim("FrameGap_Number", active)};
}

Writes frameRate(uint64_t sequenceLength) {
    return Writes{sim("PixelFrequency_SequenceLength_ImageWidth", sequenceLength),
                  sim("PixelFrequency_ActivePixel_Number", 1)} +
           lineGeometry(32, 32) + frameGeometry(1024, 1024);
}

Writes valve(uint64_t freeRun, uint64_t mode) {
    return {sim("TriggerValve_FreeRun_Select", freeRun), sim("TriggerValve_TriggerValve_Mode", mode)};
}

Writes simulatorWrites() {
    Writes found;
    for (const NxWrite& w : board::nxWrites()) {
        if (w.name.compare(0, kPrefix.size(), kPrefix) == 0) found.push_back(w);
    }
    return found;
}

}  // namespace

TEST_CASE("start-up leaves the simulator in frame-rate mode at 10 frames per second over 1024 x 1024") {
    TriggerBoard b;
    const Writes selectMode =
        Writes{sim("ControlPixelClock_Mode", 1)} + lineGeometry(32, 32) + frameGeometry(1024, 1024);
    const Writes expected = Writes{sim("Enable_SelectSource", 0), sim("EnableX_Enable_Value", 1), sim("Y_Divisor", 256),
                                   sim("Offset_Value", 0), sim("Frame_Divisor", 256)} +
                            selectMode + frameRate(12207) + valve(1, 2);
    CHECK_EQ(listing(simulatorWrites()), listing(expected));
}

TEST_CASE("value lists of source, pattern, roll and trigger mode pick their register values") {
    TriggerBoard b;
    struct Row {
        const char* parameter;
        uint32_t value;
        Writes writes;
    };
    const Row rows[] = {
        {"FG_CAMERASIMULATOR_ENABLE", 1, {sim("Enable_SelectSource", 1)}},
        {"FG_CAMERASIMULATOR_PATTERN", 1, {sim("EnableX_Enable_Value", 1), sim("Y_Divisor", 1)}},
        {"FG_CAMERASIMULATOR_PATTERN", 2, {sim("EnableX_Enable_Value", 0), sim("Y_Divisor", 256)}},
        {"FG_CAMERASIMULATOR_PATTERN", 3, {sim("EnableX_Enable_Value", 1), sim("Y_Divisor", 256)}},
        {"FG_CAMERASIMULATOR_PATTERN_OFFSET", 255, {sim("Offset_Value", 255)}},
        {"FG_CAMERASIMULATOR_ROLL", 0, {sim("Frame_Divisor", 1)}},
        {"FG_CAMERASIMULATOR_TRIGGER_MODE", 8, valve(0, 1)},
        {"FG_CAMERASIMULATOR_TRIGGER_MODE", 9, valve(0, 2)},
    };
    for (const Row& row : rows) {
        CHECK_EQ(b.write(row.parameter, row.value), 0);
        CHECK_WRITES(row.writes);
    }
    const std::pair<const char*, uint32_t> refused[] = {
        {"FG_CAMERASIMULATOR_ENABLE", 2},           {"FG_CAMERASIMULATOR_PATTERN", 0},
        {"FG_CAMERASIMULATOR_PATTERN_OFFSET", 256}, {"FG_CAMERASIMULATOR_ROLL", 2},
        {"FG_CAMERASIMULATOR_TRIGGER_MODE", 1},     {"FG_CAMERASIMULATOR_SELECT_MODE", 3}};
    for (const auto& [parameter, value] : refused) {
        CHECK_EQ(b.write(parameter, value), kOutOfRange);
        CHECK_WRITES(Writes{});
    }
}

TEST_CASE("pixel-frequency mode: sizes round up to 32 pixels, the frequency becomes active clocks") {
    TriggerBoard b;
    // Back to mode 0 re-applies the stored 40 MHz: 20 of 2000 clocks active.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
    CHECK_WRITES((Writes{sim("ControlPixelClock_Mode", 0)} + lineGeometry(32, 32) + frameGeometry(1024, 1024) +
                  Writes{sim("PixelFrequency_ActivePixel_Number", 20), sim("PixelFrequency_RepeatPat_Divisor", 100),
                         sim("PixelFrequency_SequenceLength_ImageWidth", 2000)}));

    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 1000), 0);
    CHECK_WRITES(lineGeometry(32, 32));
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_LINE_GAP", 40), 0);
    CHECK_WRITES(lineGeometry(34, 32));
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 1000), 0);
    CHECK_WRITES(lineGeometry(34, 32));
    // Beside the 64-pixel gap a line has room for 65472 active pixels.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 65473), kOutOfRange);
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 65472), 0);
    CHECK_WRITES(lineGeometry(2048, 2046));
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 0), kOutOfRange);

    CHECK_EQ(b.write("FG_CAMERASIMULATOR_PIXEL_FREQUENCY", 100.0), 0);
    CHECK_WRITES((Writes{sim("PixelFrequency_ActivePixel_Number", 50), sim("PixelFrequency_RepeatPat_Divisor", 40),
                         sim("PixelFrequency_SequenceLength_ImageWidth", 2000)}));
    // Below 1 MHz no clock would be active; above 4000 MHz is out of range.
    for (const double refused : {0.5, 0.0, 4000.0000000001, -1.0}) {
        CHECK_EQ(b.write("FG_CAMERASIMULATOR_PIXEL_FREQUENCY", refused), kOutOfRange);
        CHECK_WRITES(Writes{});
    }

    CHECK_EQ(b.write("FG_CAMERASIMULATOR_FRAME_GAP", 64512), 0);
    CHECK_WRITES(frameGeometry(65536, 1024));
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_FRAME_GAP", 64513), kOutOfRange);
}

TEST_CASE("line-rate and frame-rate modes run no frame gap and limit the width") {
    TriggerBoard b;
    for (const uint32_t mode : {2u, 1u}) {
        REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", mode), 0);
        CHECK_EQ(b.write("FG_CAMERASIMULATOR_FRAME_GAP", 1), kOutOfRange);
        CHECK_EQ(b.write("FG_CAMERASIMULATOR_FRAME_GAP", 0), 0);
        CHECK_WRITES(frameGeometry(1024, 1024));
    }
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_LINERATE", 10000.0), 0);
    CHECK_WRITES(
        (Writes{sim("PixelFrequency_SequenceLength_ImageWidth", 12500), sim("PixelFrequency_ActivePixel_Number", 1)} +
         lineGeometry(32, 32)));
    // At a million lines per second (125 clocks per line) a line holds 2000 pixels, 32 of them
    // the simulator's own.
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_LINERATE", 1000000.0), 0);
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 1969), kOutOfRange);
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_WIDTH", 1968), 0);
    CHECK_WRITES(lineGeometry(62, 62));
    // Now the fastest line rate for a line of 1984 + 32 pixels is 2e9 / 2016.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_LINERATE", 2e9 / 2016 * 1.000001), kOutOfRange);
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_LINERATE", 0.09), kOutOfRange);
    CHECK_WRITES(Writes{});
}

TEST_CASE("frame-rate mode spreads the frame period over the lines of a new height") {
    TriggerBoard b;
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_HEIGHT", 512), 0);
    CHECK_WRITES(
        (frameGeometry(512, 512) +
         Writes{sim("PixelFrequency_SequenceLength_ImageWidth", 24414), sim("PixelFrequency_ActivePixel_Number", 1)} +
         lineGeometry(32, 32) + frameGeometry(512, 512)));
    // 2e9 / (1056 * 512) = 3699.2 frames per second at most.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_FRAMERATE", 3700.0), kOutOfRange);
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_LINE_GAP", 32), kOutOfRange);
    CHECK_WRITES(Writes{});
}

TEST_CASE("a select mode the stored geometry does not fit is refused and only the mode goes back") {
    TriggerBoard b;
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_FRAME_GAP", 100), 0);
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", 2), 0);
    // One frame per second leaves time for the tallest frame.
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_FRAMERATE", 1.0), 0);
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_HEIGHT", 65536), 0);
    // 65536 lines and the stored frame gap of 100 exceed the frame counter.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_SELECT_MODE", 0), kOutOfRange);
    CHECK_WRITES(Writes{sim("ControlPixelClock_Mode", 0)} + lineGeometry(32, 32));
    // Still frame-rate mode: no line gap is allowed there, though mode 0 would take one.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_LINE_GAP", 32), kOutOfRange);
}

TEST_CASE("a failing register write puts the stored value back") {
    TriggerBoard b;
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
    SimCtl_FailNxWrite((kPrefix + "Size_ImageHeight").c_str(), -2073);
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_HEIGHT", 60000), -2073);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), -2073);
    SimCtl_FailNxWrite((kPrefix + "Size_ImageHeight").c_str(), 0);
    // A frame gap of 6000 fits beside the kept height of 1024, not beside 60000.
    CHECK_EQ(b.write("FG_CAMERASIMULATOR_FRAME_GAP", 6000), 0);
    CHECK_WRITES(frameGeometry(7024, 1024));
}

CHECK_MAIN
