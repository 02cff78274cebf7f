// The description records after writes that move other parameters' limits or access: each limit
// shown is the one enforced, and the trigger and simulator modes decide which records are writable.
#include <cstdint>
#include <map>
#include <string>

#include "trigger_board.h"

using namespace trigger_test;

namespace {

constexpr uint32_t kWritable = 7, kReadOnly = 1;

// The access flags of every record, read afresh.
std::map<std::string, uint32_t> accessFlags(void* fg) {
    std::map<std::string, uint32_t> flags;
    forEachRecord(fg, [&flags](const ParameterInfoNode& r) { flags[r.parameterName] = r.access; });
    return flags;
}

class DescriptionRefresh : public TriggerBoard {
protected:
    // The record shows this maximum, and it is the largest value the setter takes.
    void expectMaximum(const char* name, uint32_t maximum) {
        SCOPED_TRACE(name);
        EXPECT_EQ(record(fg(), name).value.u32.max, maximum);
        EXPECT_EQ(set(name, maximum + 1), kOutOfRange);
        EXPECT_EQ(set(name, maximum), 0);
    }
};

}  // namespace

// Sizes and offsets share the 65536 pixels of the buffer.
TEST_F(DescriptionRefresh, SizesAndOffsetsLimitEachOther) {
    ASSERT_EQ(set("FG_XOFFSET", 16u), 0);
    expectMaximum("FG_WIDTH", 65520);
    expectMaximum("FG_XOFFSET", 16);
    EXPECT_EQ(record(fg(), "FG_WIDTH").value.u32.min, 8U);  // the other limit stays

    ASSERT_EQ(set("FG_YOFFSET", 100u), 0);
    expectMaximum("FG_HEIGHT", 65436);
    expectMaximum("FG_YOFFSET", 100);
}

TEST_F(DescriptionRefresh, SoftwareTriggerPulsesFollowQueueModeAndDownscalesBoundPhases) {
    ASSERT_EQ(set("FG_TRIGGERQUEUE_MODE", 1), 0);
    EXPECT_EQ(record(fg(), "FG_SENDSOFTWARETRIGGER").value.u32.max, 2040U);
    ASSERT_EQ(set("FG_TRIGGERQUEUE_MODE", 0), 0);
    EXPECT_EQ(record(fg(), "FG_SENDSOFTWARETRIGGER").value.u32.max, 1U);

    for (const std::string prefix : {"FG_TRIGGERIN_", "FG_TRIGGER_PULSEFORMGEN2_"}) {
        SCOPED_TRACE(prefix);
        const std::string downscale = prefix + "DOWNSCALE", phase = downscale + "_PHASE";
        ASSERT_EQ(set(downscale.c_str(), 5u), 0);
        EXPECT_EQ(record(fg(), phase).value.u32.max, 4U);
        ASSERT_EQ(set(phase.c_str(), 3u), 0);
        EXPECT_EQ(record(fg(), downscale).value.u32.min, 4U);
    }
    EXPECT_EQ(record(fg(), "FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE").value.u32.min, 1U);
}

TEST_F(DescriptionRefresh, ExternalTriggerModeMakesOnlyTheSoftwareTriggerReadOnly) {
    const std::map<std::string, uint32_t> before = accessFlags(fg());
    ASSERT_EQ(set("FG_AREATRIGGERMODE", 2u), 0);  // ATM_EXTERNAL
    std::map<std::string, uint32_t> expected = before;
    expected["FG_SENDSOFTWARETRIGGER"] = kReadOnly;
    EXPECT_EQ(accessFlags(fg()), expected);
    ASSERT_EQ(set("FG_AREATRIGGERMODE", 1u), 0);  // ATM_GENERATOR
    EXPECT_EQ(accessFlags(fg()), before);
}

TEST_F(DescriptionRefresh, SimulatorSelectModeDecidesWritableRatesAndGaps) {
    // Per record, 1 writable or 0 read only: pixel frequency, line rate, frame rate, line gap, frame gap.
    const auto writable = [&] {
        std::string flags;
        for (const char* name : {"FG_CAMERASIMULATOR_PIXEL_FREQUENCY", "FG_CAMERASIMULATOR_LINERATE",
                                 "FG_CAMERASIMULATOR_FRAMERATE", "FG_CAMERASIMULATOR_LINE_GAP",
                                 "FG_CAMERASIMULATOR_FRAME_GAP"}) {
            const uint32_t access = record(fg(), name).access;
            flags += access == kWritable ? '1' : access == kReadOnly ? '0' : '?';
        }
        return flags;
    };
    EXPECT_EQ(writable(), std::string("00100"));  // start-up selects frame-rate mode
    const std::map<uint32_t, std::string> expected = {{0, "10011"}, {1, "01001"}, {2, "00100"}};
    for (const auto& [mode, flags] : expected) {
        SCOPED_TRACE(mode);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", mode), 0);
        EXPECT_EQ(writable(), flags);
    }
}

TEST_F(DescriptionRefresh, SimulatorSizeLimitsShownAreTheOnesEnforced) {
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 0u), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_WIDTH", 1000u), 0);  // rounded up to 1024
    EXPECT_EQ(record(fg(), "FG_CAMERASIMULATOR_LINE_GAP").value.u32.max, 64512U);
    EXPECT_EQ(record(fg(), "FG_CAMERASIMULATOR_LINERATE").value.dbl.max, 2e9 / 1056);
    EXPECT_EQ(record(fg(), "FG_CAMERASIMULATOR_FRAMERATE").value.dbl.max, 2e9 / (1056.0 * 1024));
    ASSERT_EQ(set("FG_CAMERASIMULATOR_FRAME_GAP", 100u), 0);
    expectMaximum("FG_CAMERASIMULATOR_HEIGHT", 65436);

    // In line-rate mode a short line period leaves room for fewer pixels.
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 1u), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_LINERATE", 100000.0), 0);
    // 20000 pixels a line: 1024 of them active and 32 the simulator's own.
    expectMaximum("FG_CAMERASIMULATOR_LINE_GAP", 18944);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_LINE_GAP", 0u), 0);
    expectMaximum("FG_CAMERASIMULATOR_WIDTH", 19968);
}
