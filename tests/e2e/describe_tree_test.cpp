// The description tree through Fg_getParameterInfo: the top-level list, every record's links to
// its parent, values the applet computes or adjusts, and the order of enumeration entries.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "board_session.h"
#include "orvanta/parameter_info_node.h"

namespace {

std::string text(const char* value) { return value != nullptr ? value : "(null)"; }

// The whole tree of a fresh board, walked once per case: every link checked on the way.
class DescribeTree : public board::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        for (const ParameterInfoNode* top = Fg_getParameterInfo(fg(), 0); top != nullptr; top = top->older) {
            topLevel.push_back(top->name);
            SCOPED_TRACE(top->name);
            EXPECT_TRUE(top->type == PARAM_INFO_CATEGORY && top->depth == 0 && top->index == 0);
            EXPECT_TRUE(top->parentName == nullptr && top->parameterName == nullptr);
            EXPECT_TRUE(top->older == nullptr || top->older->newer == top);
            visit(top);
        }
    }

    void visit(const ParameterInfoNode* category) {
        ++categories;
        const auto& block = category->value.category;
        EXPECT_EQ(block.nextIndex, block.childCount);
        for (int32_t i = 0; i < block.childCount; ++i) {
            const ParameterInfoNode* child = block.children[i];
            ASSERT_NE(child, nullptr);
            SCOPED_TRACE(child->name);
            childNames[category->name].push_back(child->name);
            EXPECT_TRUE(child->index == i && child->depth == category->depth + 1 && child->port == 0);
            EXPECT_EQ(text(child->parentName), text(category->name));
            EXPECT_TRUE(child->older == nullptr && child->newer == nullptr);
            if (child->type == PARAM_INFO_CATEGORY) {
                visit(child);
            } else {
                EXPECT_EQ(child->published, 1U);
                EXPECT_TRUE(parameters.emplace(text(child->parameterName), child).second);
            }
        }
    }

    const ParameterInfoNode& parameter(const std::string& name) const { return *parameters.at(name); }

    std::vector<std::string> topLevel;                             // newest first
    std::map<std::string, std::vector<std::string>> childNames;  // by category name
    std::map<std::string, const ParameterInfoNode*> parameters;
    int32_t categories = 0;
};

}  // namespace

// Port 0 lists the top-level categories from Miscellaneous back to Camera Link HS.
TEST_F(DescribeTree, CategoriesInTheirOrderAndEveryRecordOnce) {
    EXPECT_EQ(Fg_getParameterInfo(fg(), 0)->newer, nullptr);
    const std::vector<std::string> expected = {"Miscellaneous", "Camera Simulator", "Output Format", "Image Selector",
                                               "Overflow",      "Trigger",          "ROI",           "Camera Link HS"};
    EXPECT_EQ(topLevel, expected);
    EXPECT_EQ(categories, 25);
    EXPECT_EQ(parameters.size(), size_t{123});
    // The tree and the registry agree on every name and id.
    for (const auto& [name, node] : parameters) EXPECT_EQ(node->id, Fg_getParameterIdByName(fg(), name.c_str()));

    // Child categories come before a category's own parameters.
    const std::vector<std::string> trigger = {
        "Trigger Input", "Sequencer", "Queue", "Pulse Form Generator 0", "Pulse Form Generator 1",
        "Pulse Form Generator 2", "Pulse Form Generator 3", "Camera Out Signal Mapping", "Digital Output",
        "Output Event", "Area Trigger Mode", "Trigger State", "Frames/Sec"};
    EXPECT_EQ(childNames["Trigger"], trigger);
    EXPECT_EQ(childNames["Miscellaneous"].front(), "Debug");
}

// Values in the words of their type, texts as the application reads them, limits start-up has
// already adjusted, and enumeration entries.
TEST_F(DescribeTree, RecordValuesAsTheApplicationReadsThem) {
    EXPECT_EQ(parameter("FG_WIDTH").grade, 2U);

    const ParameterInfoNode& fps = parameter("FG_TRIGGER_FRAMESPERSECOND");
    uint64_t minBits = 0;
    std::memcpy(&minBits, &fps.value.dbl.min, sizeof minBits);
    EXPECT_EQ(minBits, uint64_t{0x3F9DCD64FFFFFFFFu});
    EXPECT_EQ(fps.value.dbl.inc, 2.220446049250313e-16);
    EXPECT_STREQ(parameter("FG_TRIGGERIN_DEBOUNCE").unit, "\xB5\x73");
    EXPECT_EQ(parameter("FG_TRIGGERIN_DEBOUNCE").depth, 3);  // Trigger / Trigger Input / External
    EXPECT_STREQ(parameter("FG_GPI").unit, "");                // "no unit" is the empty text

    EXPECT_EQ(parameter("FG_DEBUGWRITEPIXEL").value.u64.max, uint64_t{144115188075855871u});
    EXPECT_STREQ(parameter("FG_DEBUGSAVECONFIG").value.text.filter, "*.mcf");
    EXPECT_STREQ(parameter("FG_DEBUGFILE").value.text.filter, "");
    // Start-up's FG_TRIGGERIN_DOWNSCALE = 1 has already lowered the phase maximum to 0.
    EXPECT_EQ(parameter("FG_TRIGGERIN_DOWNSCALE_PHASE").value.u32.max, 0U);
    EXPECT_EQ(parameter("FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL").access, 1U);

    // Enumeration entries keep the order of their tables.
    const auto& format = parameter("FG_FORMAT").value.enumeration;
    const std::vector<int32_t> formatValues = {3, 21, 22, 23, 1, 20, 2, 5, 4, 7, 9, 6, 408, 410, 412, 414, 416, 8, 50};
    ASSERT_EQ(format.entryCount, 19);
    EXPECT_EQ(std::vector<int32_t>(format.entryValues, format.entryValues + 19), formatValues);
    EXPECT_STREQ(format.entryNames[0], "Gray 8bit");
    EXPECT_STREQ(format.entrySymbols[0], "FG_GRAY");
    EXPECT_EQ(parameter("FG_FORMAT").value.words[3], uint64_t{0});
}
