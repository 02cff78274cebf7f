// The line layout and the camera simulator's conversions on their own, at the boundaries the
// end-to-end tests do not reach: odd pixel sizes, the widest line, a format without layout, and
// the rounding of sizes and rates to whole clocks.
#include <cstdint>

#include <gtest/gtest.h>

#include "applet/camera_simulator/camera_simulator_conversions.h"
#include "applet/geometry/geometry.h"
#include "orvanta/error_codes.h"

using namespace vexo::applet;

namespace {

constexpr uint32_t kGray10 = 21, kCol30 = 5, kRgbx64 = 416, kBinary = 8;

int32_t layoutError(uint32_t xOffset, uint32_t width, uint32_t format) {
    try {
        lineLayout(xOffset, width, format);
    } catch (int32_t code) {
        return code;
    }
    return 0;
}

}  // namespace

// The region setters show the usual formats end to end; a format outside the nineteen delivered
// has no layout.
TEST(LineLayout, OddPixelSizesTheWidestLineAndUnknownFormats) {
    EXPECT_EQ(layoutError(0, 1024, 11), vexo::errors::kDesignValueInvalid);
    EXPECT_EQ(lineLayout(4, 1024, kGray10).offsetBytes, 5u);
    const LineLayout widest = lineLayout(0, 65536, kRgbx64);
    EXPECT_EQ(widest.widthBytes, 524288u);
    EXPECT_EQ(widest.lineEnd, 524288u);
    EXPECT_EQ(layoutError(8, 1024, kBinary), 0);
    EXPECT_EQ(layoutError(0, 2, kCol30), vexo::errors::kRegionNotWholeBytes);
}

TEST(CameraSimulator, SizesRoundUpToWholeClocksAndRatesToTheNearestClockCount) {
    using namespace simulator;
    EXPECT_EQ(roundToProcessingWidth(0), uint64_t{0});
    EXPECT_EQ(roundToProcessingWidth(1), uint64_t{32});
    EXPECT_EQ(roundToProcessingWidth(1025), uint64_t{1056});
    EXPECT_EQ(activePixelsForFrequency(4000.0), 2000u);
    EXPECT_EQ(activePixelsForFrequency(0.99), 0u);
    EXPECT_EQ(activePixelsForFrequency(1.0), 1u);
    EXPECT_EQ(sequenceLengthForLineRate(0.1), 1250000000u);
}
