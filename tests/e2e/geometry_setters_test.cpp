// The image geometry setters through the exports: the buffer's byte positions for region and
// format, whole-byte refusals, the image selector's cross-check and the runtime's time-out.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;

namespace {

constexpr int32_t kNotWholeBytes = -7080;
constexpr uint32_t kGray10 = 21, kCol24 = 2;

NxWrite buffer(const std::string& name, uint64_t value) { return {"Device1_Process0_Buffer_0_" + name, value}; }

Writes roi(uint64_t from, uint64_t to) { return {buffer("XROI_ROIRange_from", from), buffer("XROI_ROIRange_to", to)}; }

// Each setter's own write order of the line length, the region within the line and the line offset.
Writes widthOrder(uint64_t length, uint64_t from, uint64_t to) {
    return roi(from, to) + Writes{buffer("DRAM_A_0_XLength", length)};
}
Writes formatOrder(uint64_t length, uint64_t from, uint64_t to) {
    return Writes{buffer("DRAM_A_0_XOffset", 0), buffer("DRAM_A_0_XLength", length)} + roi(from, to);
}
Writes offsetOrder(uint64_t length, uint64_t from, uint64_t to) {
    return Writes{buffer("DRAM_A_0_XLength", length)} + roi(from, to) + Writes{buffer("DRAM_A_0_XOffset", 0)};
}

}  // namespace

using Geometry = TriggerBoard;

TEST_F(Geometry, WidthOffsetAndFormatPlaceTheRegionInTheLine) {
    EXPECT_WRITE("FG_WIDTH", 1024, widthOrder(1024, 0, 1023));
    // The DMA line is never shorter than 64 bytes.
    EXPECT_WRITE("FG_WIDTH", 8, widthOrder(64, 0, 7));

    ASSERT_EQ(set("FG_WIDTH", 100), 0);
    EXPECT_WRITE("FG_FORMAT", kCol24, formatOrder(320, 0, 299));
    EXPECT_WRITE("FG_XOFFSET", 10, offsetOrder(352, 30, 329));
    EXPECT_WRITE("FG_YOFFSET", 64512, buffer("DRAM_A_0_YOffset", 64512));
    EXPECT_WRITE("FG_HEIGHT", 1000, buffer("DRAM_A_0_YLength", 1000));
}

TEST_F(Geometry, FormatNotEndingOnWholeBytesIsRefused) {
    ASSERT_EQ(set("FG_WIDTH", 1022), 0);
    EXPECT_REFUSED("FG_FORMAT", kGray10, kNotWholeBytes);
    // Still 8 bits per pixel: an offset of 2 is 2 bytes, where 10 bits would not end on a byte.
    EXPECT_WRITE("FG_XOFFSET", 2, offsetOrder(1024, 2, 1023));

    ASSERT_EQ(set("FG_XOFFSET", 0), 0);
    ASSERT_EQ(set("FG_WIDTH", 1024), 0);
    EXPECT_WRITE("FG_FORMAT", kGray10, formatOrder(1280, 0, 1279));
    // Once the format is set, the region must keep to it.
    EXPECT_REFUSED("FG_WIDTH", 1022, kNotWholeBytes);
    EXPECT_REFUSED("FG_XOFFSET", 3, kNotWholeBytes);
}

TEST_F(Geometry, PixelFormatTagAndImageSelectorPhase) {
    EXPECT_WRITE("FG_PIXELFORMAT", 257, Writes{});  // a tag for the application alone

    const std::string selector = "Device1_Process0_ImageSelector_FG_IMG_SELECT_";
    EXPECT_WRITE("FG_IMG_SELECT_PERIOD", 1, {selector + "PERIOD_Divisor", 1});
    EXPECT_REFUSED("FG_IMG_SELECT", 1, kOutOfRange);
    ASSERT_EQ(set("FG_IMG_SELECT_PERIOD", 256), 0);
    EXPECT_WRITE("FG_IMG_SELECT", 255, {selector + "PHASE_Number", 255});
    EXPECT_REFUSED("FG_IMG_SELECT_PERIOD", 255, kOutOfRange);
}

TEST_F(Geometry, TimeoutGoesToTheRuntimeParameter600) {
    EXPECT_EQ(write("FG_TIMEOUT", 5u), 0);
    const std::vector<SimCall> calls = board::callsNamed("Fg_setParameterWithType");
    ASSERT_EQ(calls.size(), size_t{1});
    EXPECT_EQ(calls[0].id, 600);
    EXPECT_EQ(calls[0].u64, uint64_t{5});
    EXPECT_EQ(calls[0].dma, 0u);
    EXPECT_EQ(calls[0].typeCode, 2);

    SimCtl_FailCall("Fg_setParameterWithType", -2070, -2070);
    EXPECT_EQ(set("FG_TIMEOUT", 7u), -2070);
    SimCtl_FailCall("Fg_setParameterWithType", 0, 0);
}
