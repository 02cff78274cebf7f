// The image geometry setters through the exports: the byte positions the region of interest
// and the format give the frame buffer, the limits the parameters put on each other, the image
// selector's cross-check and the time-out handed to the runtime.
#include <string>

#include "trigger_board.h"

using namespace trigger_test;
using board::NxWrite;

namespace {

constexpr int32_t kOutOfRange = -6000;
constexpr int32_t kNotWholeBytes = -7080;
constexpr uint32_t kGray = 3, kGray10 = 21, kCol24 = 2, kBinary = 8;

NxWrite buffer(const std::string& name, uint64_t value) { return {"Device1_Process0_Buffer_0_" + name, value}; }

Writes roi(uint64_t from, uint64_t to) { return {buffer("XROI_ROIRange_from", from), buffer("XROI_ROIRange_to", to)}; }

}  // namespace

TEST_CASE("width, x offset and format place the region in the line, in their own write orders") {
    TriggerBoard b;
    CHECK_EQ(b.write("FG_WIDTH", 1024), 0);
    CHECK_WRITES(roi(0, 1023) + Writes{buffer("DRAM_A_0_XLength", 1024)});
    // The DMA line is never shorter than 64 bytes.
    CHECK_EQ(b.write("FG_WIDTH", 8), 0);
    CHECK_WRITES(roi(0, 7) + Writes{buffer("DRAM_A_0_XLength", 64)});
    CHECK_EQ(b.write("FG_WIDTH", 7), kOutOfRange);

    REQUIRE_EQ(b.set("FG_WIDTH", 100), 0);
    CHECK_EQ(b.write("FG_FORMAT", kCol24), 0);
    CHECK_WRITES((Writes{buffer("DRAM_A_0_XOffset", 0), buffer("DRAM_A_0_XLength", 320)} + roi(0, 299)));
    CHECK_EQ(b.write("FG_XOFFSET", 10), 0);
    CHECK_WRITES(Writes{buffer("DRAM_A_0_XLength", 352)} + roi(30, 329) + Writes{buffer("DRAM_A_0_XOffset", 0)});
}

TEST_CASE("a format the region does not fit on whole bytes is refused and the old one kept") {
    TriggerBoard b;
    REQUIRE_EQ(b.set("FG_WIDTH", 1022), 0);
    CHECK_EQ(b.write("FG_FORMAT", kGray10), kNotWholeBytes);
    CHECK_WRITES(Writes{});
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kNotWholeBytes);
    // Still 8 bits per pixel: an offset of 2 is 2 bytes, where 10 bits would not end on a byte.
    CHECK_EQ(b.write("FG_XOFFSET", 2), 0);
    CHECK_WRITES(Writes{buffer("DRAM_A_0_XLength", 1024)} + roi(2, 1023) + Writes{buffer("DRAM_A_0_XOffset", 0)});

    REQUIRE_EQ(b.set("FG_XOFFSET", 0), 0);
    REQUIRE_EQ(b.set("FG_WIDTH", 1024), 0);
    CHECK_EQ(b.write("FG_FORMAT", kGray10), 0);
    CHECK_WRITES((Writes{buffer("DRAM_A_0_XOffset", 0), buffer("DRAM_A_0_XLength", 1280)} + roi(0, 1279)));
    // Once the format is set, the region must keep to it.
    CHECK_EQ(b.write("FG_WIDTH", 1022), kNotWholeBytes);
    CHECK_EQ(b.write("FG_XOFFSET", 3), kNotWholeBytes);
    REQUIRE_EQ(b.set("FG_FORMAT", kBinary), 0);
    CHECK_EQ(b.write("FG_WIDTH", 1020), kNotWholeBytes);
    CHECK_EQ(b.write("FG_FORMAT", 11), kOutOfRange);
    CHECK_WRITES(Writes{});
}

TEST_CASE("sizes and offsets share the 65536 pixels and lines of the buffer") {
    TriggerBoard b;
    REQUIRE_EQ(b.set("FG_FORMAT", kGray), 0);
    CHECK_EQ(b.write("FG_XOFFSET", 16), 0);
    CHECK_EQ(b.write("FG_WIDTH", 65521), kOutOfRange);
    CHECK_EQ(b.write("FG_WIDTH", 65520), 0);
    CHECK_EQ(b.write("FG_XOFFSET", 17), kOutOfRange);

    CHECK_EQ(b.write("FG_HEIGHT", 0), kOutOfRange);
    CHECK_EQ(b.write("FG_YOFFSET", 64513), kOutOfRange);
    CHECK_WRITES(Writes{});
    CHECK_EQ(b.write("FG_YOFFSET", 64512), 0);
    CHECK_WRITES(Writes{buffer("DRAM_A_0_YOffset", 64512)});
    CHECK_EQ(b.write("FG_HEIGHT", 1025), kOutOfRange);
    CHECK_EQ(b.write("FG_HEIGHT", 1000), 0);
    CHECK_WRITES(Writes{buffer("DRAM_A_0_YLength", 1000)});
}

TEST_CASE("the pixel format is a tag and the image selector keeps the phase inside the period") {
    TriggerBoard b;
    CHECK_EQ(b.write("FG_PIXELFORMAT", 257), 0);
    CHECK_EQ(b.write("FG_PIXELFORMAT", 0), 0);
    CHECK_EQ(b.write("FG_PIXELFORMAT", 259), kOutOfRange);
    CHECK_WRITES(Writes{});

    const std::string selector = "Device1_Process0_ImageSelector_FG_IMG_SELECT_";
    CHECK_EQ(b.write("FG_IMG_SELECT_PERIOD", 1), 0);
    CHECK_WRITES((Writes{{selector + "PERIOD_Divisor", 1}}));
    CHECK_EQ(b.write("FG_IMG_SELECT", 1), kOutOfRange);
    CHECK_WRITES(Writes{});
    // The refused phase was not kept: a period of 1 still has room for phase 0.
    CHECK_EQ(b.write("FG_IMG_SELECT_PERIOD", 1), 0);
    REQUIRE_EQ(b.set("FG_IMG_SELECT_PERIOD", 256), 0);
    CHECK_EQ(b.write("FG_IMG_SELECT", 255), 0);
    CHECK_WRITES((Writes{{selector + "PHASE_Number", 255}}));
    CHECK_EQ(b.write("FG_IMG_SELECT_PERIOD", 255), kOutOfRange);
    CHECK_EQ(b.write("FG_IMG_SELECT_PERIOD", 257), kOutOfRange);
    CHECK_EQ(b.write("FG_IMG_SELECT", 256), kOutOfRange);
    CHECK_WRITES(Writes{});
}

TEST_CASE("the time-out goes to the runtime's own parameter 600 and its refusal comes back") {
    TriggerBoard b;
    SimCtl_ClearCalls();
    CHECK_EQ(b.set("FG_TIMEOUT", 1u), kOutOfRange);
    CHECK_EQ(b.set("FG_TIMEOUT", 2147483647u), kOutOfRange);
    CHECK(board::callsNamed("Fg_setParameterWithType").empty());

    CHECK_EQ(b.set("FG_TIMEOUT", 5u), 0);
    const std::vector<SimCall> calls = board::callsNamed("Fg_setParameterWithType");
    REQUIRE_EQ(calls.size(), size_t{1});
    CHECK_EQ(calls[0].id, 600);
    CHECK_EQ(calls[0].u64, uint64_t{5});
    CHECK_EQ(calls[0].dma, 0u);
    CHECK_EQ(calls[0].typeCode, 2);

    SimCtl_FailCall("Fg_setParameterWithType", -2070, -2070);
    CHECK_EQ(b.set("FG_TIMEOUT", 7u), -2070);
    SimCtl_FailCall("Fg_setParameterWithType", 0, 0);
}

TEST_CASE("a failing buffer write puts the stored offset back") {
    TriggerBoard b;
    SimCtl_FailNxWrite("Device1_Process0_Buffer_0_DRAM_A_0_XLength", -2073);
    CHECK_EQ(b.write("FG_XOFFSET", 60000), -2073);
    SimCtl_FailNxWrite("Device1_Process0_Buffer_0_DRAM_A_0_XLength", 0);
    // A width of 8000 fits beside the kept offset of 0, not beside 60000.
    CHECK_EQ(b.write("FG_WIDTH", 8000), 0);
    CHECK_WRITES(roi(0, 7999) + Writes{buffer("DRAM_A_0_XLength", 8000)});
}

CHECK_MAIN
