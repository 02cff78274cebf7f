// The image path renders with memcpy and memset over chunks of the ramp, so every rendered byte is
// compared here with the pattern rule taken pixel by pixel, across regions that reach past the
// simulator's frame, chunk boundaries and each pattern; and the settings come from the registers
// by their design names.
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "model/image_path.h"

namespace {

using sim::FrameSettings;

// The rule, one pixel at a time: 0 outside the active frame.
uint8_t expectedByte(const FrameSettings& s, uint64_t k, uint64_t x, uint64_t y) {
    if (x >= s.activeWidth || y >= s.activeHeight) return 0;
    return static_cast<uint8_t>(s.enableX * x + s.yStep * y + s.frameStep * k + s.offset);
}

void expectRendered(const FrameSettings& s, uint64_t k) {
    std::vector<uint8_t> picture(s.transferBytes() + 1, 0xA5);
    sim::renderFrame(s, k, picture.data());
    EXPECT_EQ(picture.back(), 0xA5) << "written past the picture";
    for (uint64_t i = 0; i < s.transferBytes(); ++i) {
        const uint64_t x = s.firstByte + i % s.lineBytes();
        const uint64_t y = s.firstLine + i / s.lineBytes();
        if (picture[i] != expectedByte(s, k, x, y)) {
            ADD_FAILURE() << "byte " << i << " (x " << x << ", y " << y << ") is " << int(picture[i]);
            return;
        }
    }
}

FrameSettings frame(uint32_t enableX, uint32_t yStep, uint32_t frameStep, uint32_t offset) {
    FrameSettings s;
    s.activeWidth = 9000;  // past two ramp chunks
    s.activeHeight = 20;
    s.enableX = enableX;
    s.yStep = yStep;
    s.frameStep = frameStep;
    s.offset = offset;
    s.lastByte = s.activeWidth - 1;
    s.lineCount = s.activeHeight;
    return s;
}

}  // namespace

TEST(ImagePath, EveryPatternMatchesTheRuleByteForByteInsideAndOutsideTheActiveFrame) {
    // Horizontal, vertical, diagonal (steps as the divisors 1 and 256 give them), roll, offset,
    // and a step no pattern uses, which takes the slow path.
    const FrameSettings patterns[] = {frame(1, 0, 0, 7), frame(0, 1, 0, 200), frame(1, 1, 1, 0), frame(3, 5, 1, 9)};
    for (const FrameSettings& base : patterns) {
        SCOPED_TRACE(testing::Message() << "enableX " << base.enableX << " yStep " << base.yStep);
        expectRendered(base, 0);
        expectRendered(base, 300);
        FrameSettings beyond = base;  // a region that starts inside and ends past the frame
        beyond.firstByte = 8990;
        beyond.lastByte = 9100;
        beyond.firstLine = 15;
        beyond.lineCount = 10;
        expectRendered(beyond, 1);
        FrameSettings outside = base;  // a region wholly right of the frame
        outside.firstByte = 9500;
        outside.lastByte = 9531;
        expectRendered(outside, 2);
    }
}

TEST(ImagePath, SettingsAndFreeRunPeriodComeFromTheRegisters) {
    const std::pair<const char*, uint64_t> registers[] = {
        {"Enable_SelectSource", 1},   {"TriggerValve_FreeRun_Select", 1},
        {"LineGap_Number", 32},       {"Size_ImageWidth", 40},
        {"FrameGap_Number", 1000},    {"Size_ImageHeight", 1100},
        {"PixelFrequency_SequenceLength_ImageWidth", 2000}, {"PixelFrequency_ActivePixel_Number", 500},
        {"Y_Divisor", 256},           {"Frame_Divisor", 1},
        {"Offset_Value", 3},          {"EnableX_Enable_Value", 1},
    };
    std::vector<sim::DesignRow> rows;
    for (const auto& r : registers) {
        rows.push_back({std::string("Device1_Process0_CameraSimulator_") + r.first, 2, true});
    }
    rows.push_back({"Device1_Process0_Buffer_0_XROI_ROIRange_to", 2, true});
    sim::DesignValues state;
    state.design = std::make_shared<const sim::DesignModel>(rows);
    state.values = sim::startValues(*state.design);
    const auto valueOf = [&](const std::string& name) -> uint64_t& { return state.nx(name)->integer; };
    for (size_t i = 0; i < std::size(registers); ++i) valueOf(rows[i].name) = registers[i].second;
    valueOf(rows.back().name) = 2047;

    FrameSettings s = sim::readFrameSettings(state);
    EXPECT_TRUE(s.delivers);
    EXPECT_EQ(s.activeWidth, 1024u);
    EXPECT_EQ(s.activeHeight, 1000u);
    EXPECT_EQ(s.yStep, 1u);
    EXPECT_EQ(s.frameStep, 256u);
    EXPECT_EQ(s.lineBytes(), 2048u);
    EXPECT_EQ(s.lineCount, 0u);  // a name the design lacks reads 0
    // Pixel-frequency mode: 40 clocks x 1100 lines x 2000 / 500 x 8 ns.
    EXPECT_EQ(s.periodNanoseconds, 40u * 1100 * 2000 / 500 * 8);

    valueOf("Device1_Process0_CameraSimulator_PixelFrequency_ActivePixel_Number") = 0;
    EXPECT_FALSE(sim::readFrameSettings(state).delivers);
}
