// The trigger conversions that no register write shows whole: the output multiplexer's tables
// over all sources, the GPO remapping, tick counts beyond 32 bits and the period rule's limits.
#include <cmath>
#include <cstdint>

#include "applet/trigger_conversions.h"
#include "check.h"

using namespace vexo::applet::trigger;

TEST_CASE("output sources: 42 accepted values, select codes and inversion by group") {
    int accepted = 0;
    for (int64_t s = -100; s <= 200; ++s) accepted += inList(kOutputSources, s) ? 1 : 0;
    CHECK_EQ(accepted, 42);

    // {source, select code, inverted}: each group's ends, and sources in no group.
    const int32_t expected[][3] = {
        {0, 0, 0},   {6, 0, 1},   {50, 0, 0},  {60, 0, 1},  {3, 3, 0},   {9, 3, 1},   {53, 3, 0},
        {63, 3, 1},  {54, 4, 0},  {57, 7, 0},  {64, 4, 1},  {67, 7, 1},  {10, 8, 0},  {17, 15, 0},
        {20, 8, 1},  {27, 15, 1}, {30, 16, 0}, {33, 19, 0}, {40, 16, 1}, {43, 19, 1}, {4, 20, 0},
        {5, 20, 1},  {68, 21, 0}, {75, 28, 0}, {76, 21, 0}, {83, 28, 0}, {18, 0, 0},  {28, 0, 0},
        {44, 0, 0},  {58, 0, 0},  {84, 0, 0},  {-1, 0, 0}};
    for (const auto& e : expected) {
        CHECK_EQ(outputSelectCode(e[0]), uint32_t(e[1]));
        CHECK_EQ(outputInvertFlag(e[0]), uint32_t(e[2]));
    }
}

TEST_CASE("a GPO's plain pulse generator source is camera A's") {
    CHECK_EQ(effectiveOutputSource(PULSEGEN2), CAM_A_PULSEGEN2);
    CHECK_EQ(effectiveOutputSource(NOT_PULSEGEN0), CAM_A_NOT_PULSEGEN0);
    CHECK_EQ(effectiveOutputSource(NOT_PULSEGEN3), CAM_A_NOT_PULSEGEN3);
    for (const int32_t kept : {GND, VCC, BYPASS_GPI_0, CAM_A_PULSEGEN1, NOT_BYPASS_FRONT_GPI_3}) {
        CHECK_EQ(effectiveOutputSource(kept), kept);
    }
}

TEST_CASE("tick counts round half up and keep the low 32 bits") {
    CHECK_EQ(microsecondsToTicks(0.004), uint32_t{1});
    CHECK_EQ(microsecondsToTicks(0.0039), uint32_t{0});
    CHECK_EQ(delayTicks(0.0039), uint32_t{1});
    CHECK_EQ(delayTicks(34000000.0), uint32_t{4250000000u});
    // The longest width is more ticks than the register holds.
    CHECK_EQ(microsecondsToTicks(68000000.0), uint32_t{4205032704u});
    CHECK_EQ(microsecondsToTicks(std::nan("")), uint32_t{0});
    // In doubles 1000 Hz is 124999.99... ticks, and the period register truncates.
    CHECK_EQ(minimumPeriodTicks(1000.0), uint32_t{124990});
}

TEST_CASE("the period must be strictly longer than every generator time") {
    CHECK(periodCovers(1000.0, {999.0, 0.0}));
    CHECK(!periodCovers(1000.0, {1.0, 1000.0}));
    CHECK(!periodCovers(0.0, {}));
    CHECK(!periodCovers(std::nan(""), {1.0}));
    // A downscale of 0 spreads a time over no pulse at all: never covered.
    CHECK(!periodCovers(1e12, {generatorTimeMicroseconds(1, 0)}));
    CHECK_EQ(generatorTimeMicroseconds(125, 2), 0.5);
}

CHECK_MAIN
