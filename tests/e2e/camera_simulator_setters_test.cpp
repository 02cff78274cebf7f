// The camera simulator's setters through the exports: sizes rounded to 32 pixels, the clock
// registers of each rate, the limits the timing modes set each other, and the start-up state.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;

namespace {

const std::string kPrefix = "Device1_Process0_CameraSimulator_";

NxWrite sim(const std::string& name, uint64_t value) { return {kPrefix + name, value}; }

Writes lineGeometry(uint64_t wholeLineClocks, uint64_t activeClocks) {
    return {sim("Size_ImageWidth", wholeLineClocks), sim("LineGap_Number", activeClocks)};
}

Writes frameGeometry(uint64_t wholeFrame, uint64_t active) {
    return {sim("Size_ImageHeight", wholeFrame), sim("FrameGap_Number", active)};
}

// Line-rate and frame-rate modes: one active clock in a sequence of the period's length.
Writes lineRate(uint64_t sequenceLength) {
    return Writes{sim("PixelFrequency_SequenceLength_ImageWidth", sequenceLength),
                  sim("PixelFrequency_ActivePixel_Number", 1)} +
           lineGeometry(32, 32);
}

// Pixel-frequency mode: active clocks of 2000, repeated with a divisor.
Writes pixelFrequency(uint64_t active, uint64_t divisor) {
    return {sim("PixelFrequency_ActivePixel_Number", active), sim("PixelFrequency_RepeatPat_Divisor", divisor),
            sim("PixelFrequency_SequenceLength_ImageWidth", 2000)};
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

using CameraSimulator = TriggerBoard;

TEST_F(CameraSimulator, StartUpLeavesFrameRateModeAt10FramesPerSecond) {
    const Writes selectMode =
        Writes{sim("ControlPixelClock_Mode", 1)} + lineGeometry(32, 32) + frameGeometry(1024, 1024);
    const Writes expected = Writes{sim("Enable_SelectSource", 0), sim("EnableX_Enable_Value", 1), sim("Y_Divisor", 256),
                                   sim("Offset_Value", 0), sim("Frame_Divisor", 256)} +
                            selectMode + lineRate(12207) + frameGeometry(1024, 1024) + valve(1, 2);
    EXPECT_EQ(listing(simulatorWrites()), listing(expected));
}

// The enable switch, patterns, offset and roll show in the frames the image path delivers.
TEST_F(CameraSimulator, TriggerModesPickTheValveRegisters) {
    EXPECT_WRITE("FG_CAMERASIMULATOR_TRIGGER_MODE", 8u, valve(0, 1));
    EXPECT_WRITE("FG_CAMERASIMULATOR_TRIGGER_MODE", 9u, valve(0, 2));
}

TEST_F(CameraSimulator, PixelFrequencyModeRoundsSizesAndCountsActiveClocks) {
    // Back to mode 0 re-applies the stored 40 MHz: 20 of 2000 clocks active.
    EXPECT_WRITE("FG_CAMERASIMULATOR_SELECT_MODE", 0,
                 Writes{sim("ControlPixelClock_Mode", 0)} + lineGeometry(32, 32) + frameGeometry(1024, 1024) +
                     pixelFrequency(20, 100));

    EXPECT_WRITE("FG_CAMERASIMULATOR_WIDTH", 1000, lineGeometry(32, 32));
    EXPECT_WRITE("FG_CAMERASIMULATOR_LINE_GAP", 40, lineGeometry(34, 32));
    EXPECT_WRITE("FG_CAMERASIMULATOR_WIDTH", 1000, lineGeometry(34, 32));
    // Beside the 64-pixel gap a line has room for 65472 active pixels.
    EXPECT_REFUSED("FG_CAMERASIMULATOR_WIDTH", 65473, kOutOfRange);
    EXPECT_WRITE("FG_CAMERASIMULATOR_WIDTH", 65472, lineGeometry(2048, 2046));

    EXPECT_WRITE("FG_CAMERASIMULATOR_PIXEL_FREQUENCY", 100.0, pixelFrequency(50, 40));
    // Below 1 MHz no clock would be active; above 4000 MHz is out of range, whatever the record shows.
    EXPECT_REFUSED("FG_CAMERASIMULATOR_PIXEL_FREQUENCY", 0.5, kOutOfRange);
    EXPECT_REFUSED("FG_CAMERASIMULATOR_PIXEL_FREQUENCY", 4000.0000000001, kOutOfRange);

    EXPECT_WRITE("FG_CAMERASIMULATOR_FRAME_GAP", 64512, frameGeometry(65536, 1024));
}

TEST_F(CameraSimulator, RateModesRunNoFrameGapAndLimitTheWidth) {
    // Start-up's frame-rate mode; line-rate mode is walked with the limits of its records.
    EXPECT_REFUSED("FG_CAMERASIMULATOR_FRAME_GAP", 1, kOutOfRange);
    EXPECT_WRITE("FG_CAMERASIMULATOR_FRAME_GAP", 0, frameGeometry(1024, 1024));
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 1u), 0);
    EXPECT_WRITE("FG_CAMERASIMULATOR_LINERATE", 10000.0, lineRate(12500));
    // At a million lines per second (125 clocks per line) a line holds 2000 pixels, 32 of them
    // the simulator's own.
    ASSERT_EQ(set("FG_CAMERASIMULATOR_LINERATE", 1000000.0), 0);
    EXPECT_REFUSED("FG_CAMERASIMULATOR_WIDTH", 1969, kOutOfRange);
    EXPECT_WRITE("FG_CAMERASIMULATOR_WIDTH", 1968, lineGeometry(62, 62));
    // Now the fastest line rate for a line of 1984 + 32 pixels is 2e9 / 2016.
    EXPECT_REFUSED("FG_CAMERASIMULATOR_LINERATE", 2e9 / 2016 * 1.000001, kOutOfRange);
}

TEST_F(CameraSimulator, FrameRateModeSpreadsThePeriodOverANewHeight) {
    EXPECT_WRITE("FG_CAMERASIMULATOR_HEIGHT", 512, frameGeometry(512, 512) + lineRate(24414) + frameGeometry(512, 512));
    // 2e9 / (1056 * 512) = 3699.2 frames per second at most.
    EXPECT_REFUSED("FG_CAMERASIMULATOR_FRAMERATE", 3700.0, kOutOfRange);
}

TEST_F(CameraSimulator, SelectModeTheGeometryDoesNotFitIsRefused) {
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_FRAME_GAP", 100), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 2), 0);
    // One frame per second leaves time for the tallest frame.
    ASSERT_EQ(set("FG_CAMERASIMULATOR_FRAMERATE", 1.0), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_HEIGHT", 65536), 0);
    // 65536 lines and the stored frame gap of 100 exceed the frame counter.
    EXPECT_EQ(write("FG_CAMERASIMULATOR_SELECT_MODE", 0), kOutOfRange);
    EXPECT_WRITES(Writes{sim("ControlPixelClock_Mode", 0)} + lineGeometry(32, 32));
    // Still frame-rate mode: no line gap is allowed there, though mode 0 would take one.
    EXPECT_REFUSED("FG_CAMERASIMULATOR_LINE_GAP", 32, kOutOfRange);
}
