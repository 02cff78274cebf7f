// The trigger conversions that no register write shows whole: the output multiplexer's tables
// over the sources a setter accepts, the GPO remapping, tick counts beyond 32 bits and the
// period rule's limits.
#include <cmath>
#include <cstdint>

#include <gtest/gtest.h>

#include "applet/description/published_limits.h"
#include "applet/trigger/trigger_conversions.h"

using namespace vexo::applet::trigger;
using vexo::applet::isPublishedEntry;
using vexo::applet::SdkParameter;

namespace {
bool acceptedOutputSource(int64_t source) { return isPublishedEntry(SdkParameter::FG_TRIGGEROUT_SELECT_GPO_0, source); }
}  // namespace

TEST(OutputSources, FortyTwoAcceptedValuesWithSelectCodeAndInversionByGroup) {
    int accepted = 0;
    for (int64_t s = -100; s <= 200; ++s) accepted += acceptedOutputSource(s) ? 1 : 0;
    EXPECT_EQ(accepted, 42);

    // {source, select code, inverted}: the ends of each group a setter accepts.
    const int32_t expected[][3] = {{0, 0, 0},   {6, 0, 1},   {50, 0, 0},  {60, 0, 1},  {3, 3, 0},  {9, 3, 1},
                                   {53, 3, 0},  {63, 3, 1},  {10, 8, 0},  {17, 15, 0}, {20, 8, 1}, {27, 15, 1},
                                   {30, 16, 0}, {33, 19, 0}, {40, 16, 1}, {43, 19, 1}, {4, 20, 0}, {5, 20, 1}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e[0]);
        EXPECT_TRUE(acceptedOutputSource(e[0]));
        EXPECT_EQ(outputSelectCode(e[0]), uint32_t(e[1]));
        EXPECT_EQ(outputInvertFlag(e[0]), uint32_t(e[2]));
    }
}

TEST(OutputSources, GpoPlainPulseGeneratorSourceIsCameraAs) {
    const int32_t remapped[][2] = {{PULSEGEN0, CAM_A_PULSEGEN0}, {PULSEGEN3, CAM_A_PULSEGEN3},
                                   {NOT_PULSEGEN0, CAM_A_NOT_PULSEGEN0}, {NOT_PULSEGEN3, CAM_A_NOT_PULSEGEN3}};
    for (const auto& r : remapped) EXPECT_EQ(effectiveOutputSource(r[0]), r[1]) << r[0];
    for (const int32_t kept : {GND, VCC, BYPASS_GPI_0, CAM_A_PULSEGEN1, NOT_BYPASS_FRONT_GPI_3}) {
        EXPECT_EQ(effectiveOutputSource(kept), kept);
    }
}

TEST(Ticks, RoundHalfUpAndKeepTheLow32Bits) {
    EXPECT_EQ(microsecondsToTicks(0.004), 1u);
    EXPECT_EQ(microsecondsToTicks(0.0039), 0u);
    EXPECT_EQ(delayTicks(34000000.0), 4250000000u);
    // The longest width is more ticks than the register holds.
    EXPECT_EQ(microsecondsToTicks(68000000.0), 4205032704u);
    EXPECT_EQ(microsecondsToTicks(std::nan("")), 0u);
    // In doubles 1000 Hz is 124999.99... ticks, and the period register truncates.
    EXPECT_EQ(minimumPeriodTicks(1000.0), 124990u);
}

TEST(Period, MustBeStrictlyLongerThanEveryGeneratorTime) {
    EXPECT_TRUE(periodCovers(1000.0, {999.0, 0.0}));
    EXPECT_FALSE(periodCovers(1000.0, {1.0, 1000.0}));
    EXPECT_FALSE(periodCovers(0.0, {}));
    EXPECT_FALSE(periodCovers(std::nan(""), {1.0}));
    // A downscale of 0 spreads a time over no pulse at all: never covered.
    EXPECT_FALSE(periodCovers(1e12, {generatorTimeMicroseconds(1, 0)}));
}
