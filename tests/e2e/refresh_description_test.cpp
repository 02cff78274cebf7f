// The description records as an application reads them after writes that move other
// parameters' limits or access: each limit shown is the one the setter enforces, and the
// trigger mode and the simulator's select mode decide which records are writable.
#include <cstdint>
#include <map>
#include <string>

#include "describe/parameter_info_node.h"
#include "trigger_board.h"

using trigger_test::TriggerBoard;

namespace {

constexpr int32_t kOutOfRange = -6000;
constexpr uint32_t kWritable = 7, kReadOnly = 1;

void collect(const ParameterInfoNode* category, std::map<std::string, const ParameterInfoNode*>& records) {
    for (int32_t i = 0; i < category->value.category.childCount; ++i) {
        const ParameterInfoNode* child = category->value.category.children[i];
        if (child->type == PARAM_INFO_CATEGORY) {
            collect(child, records);
        } else {
            records[child->parameterName] = child;
        }
    }
}

// Every record of the description by parameter name, read afresh for every look.
std::map<std::string, const ParameterInfoNode*> records(void* fg) {
    std::map<std::string, const ParameterInfoNode*> found;
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg, 0); top != nullptr; top = top->older) {
        collect(top, found);
    }
    return found;
}

const ParameterInfoNode& record(void* fg, const std::string& name) {
    const auto found = records(fg);
    REQUIRE(found.count(name) == 1);
    return *found.at(name);
}

std::map<std::string, uint32_t> accessFlags(void* fg) {
    std::map<std::string, uint32_t> flags;
    for (const auto& [name, node] : records(fg)) flags[name] = node->access;
    return flags;
}

// The record's maximum is the largest value its setter takes: one above is refused.
void checkMaximumEnforced(TriggerBoard& b, const char* name) {
    const uint32_t maximum = record(b.fg, name).value.u32.max;
    CHECK_EQ(b.set(name, maximum + 1), kOutOfRange);
    CHECK_EQ(b.set(name, maximum), 0);
}

}  // namespace

TEST_CASE("region of interest: width and offset limit each other in the description") {
    TriggerBoard b;
    REQUIRE_EQ(b.set("FG_WIDTH", 1024u), 0);
    REQUIRE_EQ(b.set("FG_XOFFSET", 16u), 0);
    CHECK_EQ(record(b.fg, "FG_WIDTH").value.u32.max, 65520U);
    CHECK_EQ(b.set("FG_WIDTH", 65521u), kOutOfRange);
    REQUIRE_EQ(b.set("FG_WIDTH", 65520u), 0);
    CHECK_EQ(record(b.fg, "FG_XOFFSET").value.u32.max, 16U);
    REQUIRE_EQ(b.set("FG_YOFFSET", 100u), 0);
    CHECK_EQ(record(b.fg, "FG_HEIGHT").value.u32.max, 65436U);
    CHECK_EQ(record(b.fg, "FG_WIDTH").value.u32.min, 8U);  // the other limit stays
}

TEST_CASE("software trigger pulses follow the queue mode; downscales and phases bound each other") {
    TriggerBoard b;
    CHECK_EQ(record(b.fg, "FG_SENDSOFTWARETRIGGER").value.u32.max, 1U);
    REQUIRE_EQ(b.set("FG_TRIGGERQUEUE_MODE", 1), 0);
    CHECK_EQ(record(b.fg, "FG_SENDSOFTWARETRIGGER").value.u32.max, 2040U);
    REQUIRE_EQ(b.set("FG_TRIGGERQUEUE_MODE", 0), 0);
    CHECK_EQ(record(b.fg, "FG_SENDSOFTWARETRIGGER").value.u32.max, 1U);

    for (const std::string prefix : {"FG_TRIGGERIN_", "FG_TRIGGER_PULSEFORMGEN2_"}) {
        const std::string downscale = prefix + "DOWNSCALE", phase = downscale + "_PHASE";
        REQUIRE_EQ(b.set(downscale.c_str(), 5u), 0);
        CHECK_EQ(record(b.fg, phase).value.u32.max, 4U);
        REQUIRE_EQ(b.set(phase.c_str(), 3u), 0);
        CHECK_EQ(record(b.fg, downscale).value.u32.min, 4U);
        CHECK_EQ(b.set(downscale.c_str(), 3u), kOutOfRange);
    }
    CHECK_EQ(record(b.fg, "FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE").value.u32.min, 1U);
}

TEST_CASE("trigger mode External makes only the software trigger read only, until the mode changes") {
    TriggerBoard b;
    const std::map<std::string, uint32_t> before = accessFlags(b.fg);
    CHECK_EQ(before.at("FG_SENDSOFTWARETRIGGER"), kWritable);
    REQUIRE_EQ(b.set("FG_AREATRIGGERMODE", 2u), 0);  // ATM_EXTERNAL
    std::map<std::string, uint32_t> expected = before;
    expected["FG_SENDSOFTWARETRIGGER"] = kReadOnly;
    CHECK(accessFlags(b.fg) == expected);
    REQUIRE_EQ(b.set("FG_AREATRIGGERMODE", 1u), 0);  // ATM_GENERATOR
    CHECK(accessFlags(b.fg) == before);
}

TEST_CASE("the simulator's select mode decides which rate and gap records are writable") {
    TriggerBoard b;
    // One character per record: pixel frequency, line rate, frame rate, line gap, frame gap.
    const auto writable = [&] {
        std::string flags;
        for (const char* name : {"FG_CAMERASIMULATOR_PIXEL_FREQUENCY", "FG_CAMERASIMULATOR_LINERATE",
                                 "FG_CAMERASIMULATOR_FRAMERATE", "FG_CAMERASIMULATOR_LINE_GAP",
                                 "FG_CAMERASIMULATOR_FRAME_GAP"}) {
            const uint32_t access = record(b.fg, name).access;
            CHECK(access == kWritable || access == kReadOnly);
            flags += access == kWritable ? '1' : '0';
        }
        return flags;
    };
    CHECK_EQ(writable(), std::string("00100"));  // start-up selects frame-rate mode
    const std::map<uint32_t, std::string> expected = {{0, "10011"}, {1, "01001"}, {2, "00100"}};
    for (const auto& [mode, flags] : expected) {
        REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", mode), 0);
        CHECK_EQ(writable(), flags);
    }
}

TEST_CASE("the simulator's size limits shown are the ones its setters enforce") {
    TriggerBoard b;
    // Frame-rate mode, the start-up mode, runs without gaps.
    CHECK_EQ(record(b.fg, "FG_CAMERASIMULATOR_LINE_GAP").value.u32.max, 0U);
    CHECK_EQ(record(b.fg, "FG_CAMERASIMULATOR_FRAME_GAP").value.u32.max, 0U);

    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", 0u), 0);
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_WIDTH", 1000u), 0);  // rounded up to 1024
    CHECK_EQ(record(b.fg, "FG_CAMERASIMULATOR_LINE_GAP").value.u32.max, 64512U);
    CHECK_EQ(record(b.fg, "FG_CAMERASIMULATOR_LINERATE").value.dbl.max, 2e9 / 1056);
    CHECK_EQ(record(b.fg, "FG_CAMERASIMULATOR_FRAMERATE").value.dbl.max, 2e9 / (1056.0 * 1024));
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_FRAME_GAP", 100u), 0);
    CHECK_EQ(record(b.fg, "FG_CAMERASIMULATOR_HEIGHT").value.u32.max, 65436U);
    checkMaximumEnforced(b, "FG_CAMERASIMULATOR_HEIGHT");

    // In line-rate mode a short line period leaves room for fewer pixels.
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_SELECT_MODE", 1u), 0);
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_LINERATE", 100000.0), 0);
    CHECK(record(b.fg, "FG_CAMERASIMULATOR_LINE_GAP").value.u32.max < 19000U);
    checkMaximumEnforced(b, "FG_CAMERASIMULATOR_LINE_GAP");
    REQUIRE_EQ(b.set("FG_CAMERASIMULATOR_LINE_GAP", 0u), 0);
    CHECK(record(b.fg, "FG_CAMERASIMULATOR_WIDTH").value.u32.max < 20000U);
    checkMaximumEnforced(b, "FG_CAMERASIMULATOR_WIDTH");
}

CHECK_MAIN
