// The applet's description tree as an application sees it through Fg_getParameterInfo: the
// top-level list, the links of every record to its parent, a sample of records field by field
// and the order of enumeration entries.
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "describe/parameter_info_node.h"
#include "vexo_sim.h"

namespace {

using board::OpenBoard;

struct Walk {
    std::map<std::string, const ParameterInfoNode*> parameters;
    std::map<std::string, std::vector<std::string>> childNames;  // by category name
    int32_t categories = 0;
};

std::string text(const char* value) { return value != nullptr ? value : "(null)"; }

void visit(const ParameterInfoNode* category, Walk& walk) {
    ++walk.categories;
    const auto& block = category->value.category;
    CHECK_EQ(block.nextIndex, block.childCount);
    std::vector<std::string>& names = walk.childNames[category->name];
    for (int32_t i = 0; i < block.childCount; ++i) {
        const ParameterInfoNode* child = block.children[i];
        REQUIRE(child != nullptr);
        names.push_back(child->name);
        CHECK_EQ(child->index, i);
        CHECK_EQ(child->depth, category->depth + 1);
        CHECK_EQ(text(child->parentName), text(category->name));
        CHECK_EQ(child->port, 0);
        CHECK(child->older == nullptr && child->newer == nullptr);
        if (child->type == PARAM_INFO_CATEGORY) {
            visit(child, walk);
        } else {
            CHECK_EQ(child->published, 1U);
            CHECK(walk.parameters.emplace(text(child->parameterName), child).second);
        }
    }
}

// Walks the whole tree from the head and answers the top-level names, newest first.
std::vector<std::string> walkTree(const ParameterInfoNode* head, Walk& walk) {
    std::vector<std::string> topLevel;
    for (const ParameterInfoNode* top = head; top != nullptr; top = top->older) {
        topLevel.push_back(top->name);
        CHECK_EQ(top->type, int32_t{PARAM_INFO_CATEGORY});
        CHECK_EQ(top->depth, 0);
        CHECK_EQ(top->index, 0);
        CHECK(top->parentName == nullptr && top->parameterName == nullptr);
        if (top->older != nullptr) CHECK(top->older->newer == top);
        visit(top, walk);
    }
    return topLevel;
}

uint64_t bitsOf(double value) {
    uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

TEST_CASE("port 0 lists the top-level categories from Miscellaneous back to Camera Link HS") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    const ParameterInfoNode* head = Fg_getParameterInfo(board.fg, 0);
    REQUIRE(head != nullptr);
    CHECK(head->newer == nullptr);
    CHECK(Fg_getParameterInfo(board.fg, 1) == nullptr);
    CHECK(Fg_getParameterInfo(board.fg, -1) == nullptr);

    Walk walk;
    const std::vector<std::string> expected = {"Miscellaneous", "Camera Simulator", "Output Format", "Image Selector",
                                               "Overflow",      "Trigger",          "ROI",           "Camera Link HS"};
    CHECK(walkTree(head, walk) == expected);
    CHECK_EQ(walk.categories, 25);
    CHECK_EQ(walk.parameters.size(), size_t{123});
    // The tree and the registry agree on every name and id.
    for (const auto& [name, node] : walk.parameters) {
        CHECK_EQ(node->id, Fg_getParameterIdByName(board.fg, name.c_str()));
    }
}

TEST_CASE("child categories come before a category's own parameters") {
    OpenBoard board;
    Walk walk;
    walkTree(Fg_getParameterInfo(board.fg, 0), walk);
    const std::vector<std::string> trigger = {
        "Trigger Input", "Sequencer", "Queue", "Pulse Form Generator 0", "Pulse Form Generator 1",
        "Pulse Form Generator 2", "Pulse Form Generator 3", "Camera Out Signal Mapping", "Digital Output",
        "Output Event", "Area Trigger Mode", "Trigger State", "Frames/Sec"};
    CHECK(walk.childNames["Trigger"] == trigger);
    const std::vector<std::string>& digitalOutput = walk.childNames["Digital Output"];
    REQUIRE_EQ(digitalOutput.size(), size_t{11});
    CHECK_EQ(digitalOutput[0], std::string("Statistics"));
    CHECK_EQ(digitalOutput[5], std::string("Output GPO 4 (not available on Duskrail)"));
    CHECK_EQ(digitalOutput[10], std::string("Output Front GPO 1"));
    const std::vector<std::string> debug = {"Input", "Output", "Debug Source", "Debug Source Name",
                                            "Debug Save Config"};
    CHECK(walk.childNames["Debug"] == debug);
    CHECK_EQ(walk.childNames["Miscellaneous"].front(), std::string("Debug"));
}

TEST_CASE("sample records carry their limits, access, grade and unit") {
    OpenBoard board;
    Walk walk;
    walkTree(Fg_getParameterInfo(board.fg, 0), walk);
    const ParameterInfoNode* width = walk.parameters.at("FG_WIDTH");
    CHECK_EQ(width->type, int32_t{PARAM_INFO_UINT32});
    CHECK_EQ(text(width->name), std::string("Width"));
    CHECK_EQ(width->id, 100);
    CHECK_EQ(width->value.u32.min, 8U);
    CHECK_EQ(width->value.u32.max, 65536U);
    CHECK_EQ(width->value.u32.inc, 1U);
    CHECK_EQ(width->value.words[2], uint64_t{0});
    CHECK_EQ(width->access, 3U);
    CHECK_EQ(width->grade, 2U);
    CHECK_EQ(text(width->unit), std::string("pixel"));
    CHECK_EQ(text(width->parentName), std::string("ROI"));

    const ParameterInfoNode* fps = walk.parameters.at("FG_TRIGGER_FRAMESPERSECOND");
    CHECK_EQ(fps->type, int32_t{PARAM_INFO_DOUBLE});
    CHECK_EQ(bitsOf(fps->value.dbl.min), uint64_t{0x3F9DCD64FFFFFFFFu});
    CHECK_EQ(fps->value.dbl.max, 12500000.0);
    CHECK_EQ(fps->value.dbl.inc, 2.220446049250313e-16);
    CHECK_EQ(text(fps->unit), std::string("Hz"));
    CHECK_EQ(fps->access, 7U);
    CHECK_EQ(fps->id, 90);

    const ParameterInfoNode* debounce = walk.parameters.at("FG_TRIGGERIN_DEBOUNCE");
    REQUIRE(debounce->unit != nullptr);
    CHECK_EQ(std::string(debounce->unit), std::string("\xB5\x73"));
    CHECK_EQ(debounce->value.dbl.min, 0.048);
    CHECK_EQ(debounce->value.dbl.inc, 0.024);
    CHECK_EQ(debounce->depth, 3);  // Trigger / Trigger Input / External

    const ParameterInfoNode* pixel = walk.parameters.at("FG_DEBUGWRITEPIXEL");
    CHECK_EQ(pixel->type, int32_t{PARAM_INFO_UINT64});
    CHECK_EQ(pixel->value.u64.max, uint64_t{144115188075855871u});
    CHECK_EQ(pixel->value.u64.inc, uint64_t{1});

    const ParameterInfoNode* saveConfig = walk.parameters.at("FG_DEBUGSAVECONFIG");
    CHECK_EQ(saveConfig->type, int32_t{PARAM_INFO_STRING});
    CHECK_EQ(text(saveConfig->value.text.filter), std::string("*.mcf"));
    CHECK_EQ(text(walk.parameters.at("FG_DEBUGFILE")->value.text.filter), std::string(""));
    CHECK_EQ(text(walk.parameters.at("FG_GPI")->unit), std::string(""));  // "no unit" is the empty text
    CHECK_EQ(walk.parameters.at("FG_SYSTEMMONITOR_FPGA_VCC_INT")->value.dbl.min, -1000.0);
    // Start-up's FG_TRIGGERIN_DOWNSCALE = 1 has already lowered the phase maximum to 0.
    CHECK_EQ(walk.parameters.at("FG_TRIGGERIN_DOWNSCALE_PHASE")->value.u32.max, 0U);
    CHECK_EQ(walk.parameters.at("FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL")->access, 1U);
}

TEST_CASE("enumeration entries keep the order of their tables") {
    OpenBoard board;
    Walk walk;
    walkTree(Fg_getParameterInfo(board.fg, 0), walk);
    const auto& format = walk.parameters.at("FG_FORMAT")->value.enumeration;
    const std::vector<int32_t> formatValues = {3, 21, 22, 23, 1, 20, 2, 5, 4, 7, 9, 6, 408, 410, 412, 414, 416, 8, 50};
    REQUIRE_EQ(format.entryCount, 19);
    CHECK(std::vector<int32_t>(format.entryValues, format.entryValues + 19) == formatValues);
    CHECK_EQ(text(format.entryNames[0]), std::string("Gray 8bit"));
    CHECK_EQ(text(format.entrySymbols[0]), std::string("FG_GRAY"));
    CHECK_EQ(text(format.entryNames[18]), std::string("RAW"));
    CHECK_EQ(walk.parameters.at("FG_FORMAT")->value.words[3], uint64_t{0});

    const auto& outputs = walk.parameters.at("FG_TRIGGEROUT_SELECT_GPO_7")->value.enumeration;
    REQUIRE_EQ(outputs.entryCount, 42);
    CHECK_EQ(text(outputs.entryNames[0]), std::string("Vcc"));
    CHECK_EQ(text(outputs.entryNames[18]), std::string("Bypass GPI 4 (not available on Duskrail)"));
    CHECK_EQ(outputs.entryValues[18], 14);
    CHECK_EQ(text(outputs.entrySymbols[19]), std::string("NOT_BYPASS_GPI_4"));
    CHECK_EQ(outputs.entryValues[41], 9);

    const auto& sources = walk.parameters.at("FG_TRIGGERIN_STATS_SOURCE")->value.enumeration;
    REQUIRE_EQ(sources.entryCount, 12);
    CHECK_EQ(sources.entryValues[8], 16);
    CHECK_EQ(text(sources.entrySymbols[11]), std::string("TRGINSRC_FRONT_GPI_3"));
    const auto& polarity = walk.parameters.at("FG_TRIGGERIN_POLARITY")->value.enumeration;
    CHECK_EQ(text(polarity.entryNames[0]), std::string("Low Active"));
    CHECK_EQ(polarity.entryValues[0], 1);
}

CHECK_MAIN
