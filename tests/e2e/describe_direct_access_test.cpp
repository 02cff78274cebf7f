// The pass-through parts of the description tree: direct register access records made from the
// HAP's registers, and direct NX access copies of the runtime's own records, each switched on
// by its environment variable before the board is opened.
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "describe/parameter_info_node.h"
#include "vexo_sim.h"

namespace {

using board::OpenBoard;
using board::Switch;

const ParameterInfoNode* topLevel(const ParameterInfoNode* head, const std::string& name) {
    for (const ParameterInfoNode* top = head; top != nullptr; top = top->older) {
        if (name == top->name) return top;
    }
    return nullptr;
}

// Every parameter record below `category`, by name, with the names of the categories above it
// (below `category` itself) joined by '/'.
void collect(const ParameterInfoNode* category, const std::string& path,
             std::map<std::string, std::pair<const ParameterInfoNode*, std::string>>& records) {
    std::set<std::string> childCategories;
    for (int32_t i = 0; i < category->value.category.childCount; ++i) {
        const ParameterInfoNode* child = category->value.category.children[i];
        if (child->type == PARAM_INFO_CATEGORY) {
            CHECK(childCategories.insert(child->name).second);  // each category copied once
            collect(child, path + "/" + child->name, records);
        } else {
            records[child->name] = {child, path};
        }
    }
}

// The runtime's own description of a fresh inner handle on board 0, keyed by NX name.
std::map<std::string, std::pair<const ParameterInfoNode*, std::string>> runtimeRecords(void* inner) {
    std::map<std::string, std::pair<const ParameterInfoNode*, std::string>> records;
    for (const ParameterInfoNode* top = Fg_getParameterInfo(inner, 0); top != nullptr; top = top->older) {
        collect(top, std::string("/") + top->name, records);
    }
    return records;
}

}  // namespace

TEST_CASE("direct register access describes each register by its width and writability") {
    const Switch dra("VEXO_ENABLE_DRA");
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    const ParameterInfoNode* head = Fg_getParameterInfo(board.fg, 0);
    REQUIRE(head != nullptr);
    CHECK_EQ(std::string(head->name), std::string("Direct Register Access"));
    REQUIRE(head->older != nullptr);
    CHECK_EQ(std::string(head->older->name), std::string("Miscellaneous"));
    CHECK_EQ(head->value.category.childCount, 8);

    std::map<std::string, std::pair<const ParameterInfoNode*, std::string>> records;
    collect(head, "", records);
    struct Expected {
        const char* name;
        int32_t type;
        uint64_t max;
        uint32_t access;
        int32_t address;
    };
    const Expected expected[] = {
        {"FrameCounter (40)", PARAM_INFO_UINT64, 1099511627775u, 1, 0x20},
        {"TimestampCompare (40)", PARAM_INFO_UINT64, 1099511627775u, 7, 0x28},
        {"TriggerPrescaler (8)", PARAM_INFO_UINT32, 255, 7, 0x10},
        {"GpiLevels (8)", PARAM_INFO_UINT32, 255, 1, 0x14},
        {"StatusWord (32)", PARAM_INFO_UINT32, 4294967295u, 1, 0x04},
    };
    for (const Expected& e : expected) {
        REQUIRE(records.count(e.name) == 1);
        const ParameterInfoNode* node = records.at(e.name).first;
        CHECK_EQ(node->type, e.type);
        CHECK_EQ(node->access, e.access);
        CHECK_EQ(node->id, 1000000 + e.address);
        CHECK_EQ(node->id, Fg_getParameterIdByName(board.fg, node->parameterName));
        CHECK_EQ(node->grade, 1U);
        CHECK_EQ(node->published, 1U);
        CHECK_EQ(node->value.words[0], e.type == PARAM_INFO_UINT64 ? uint64_t{0} : e.max << 32);  // min 0
        if (e.type == PARAM_INFO_UINT64) {
            CHECK_EQ(node->value.u64.max, e.max);
            CHECK_EQ(node->value.u64.inc, uint64_t{1});
        } else {
            CHECK_EQ(node->value.u32.inc, 1U);
        }
    }
    CHECK_EQ(std::string(records.at("FrameCounter (40)").first->parameterName), std::string("DRA_FrameCounter"));
}

TEST_CASE("direct NX access copies the runtime's records under copies of its categories") {
    const Switch dnxa("VEXO_ENABLE_DNXA");
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    const ParameterInfoNode* head = Fg_getParameterInfo(board.fg, 0);
    REQUIRE(head != nullptr);
    CHECK_EQ(std::string(head->name), std::string("Direct NX Access"));
    CHECK_EQ(std::string(head->older->name), std::string("Miscellaneous"));

    static int hapToken = 0;
    void* inner = Fg_InitHandleSlaveAware("Orvanta.hap", SimCtl_HardwareHandle(0), &hapToken, 0);
    REQUIRE(inner != nullptr);
    const auto runtime = runtimeRecords(inner);
    std::map<std::string, std::pair<const ParameterInfoNode*, std::string>> copies;
    collect(head, "", copies);
    CHECK_EQ(copies.size(), runtime.size());
    CHECK_EQ(int32_t(copies.size()), Fg_getNrOfParameter(board.fg) - 130);

    for (const auto& [name, copy] : copies) {
        REQUIRE(name.rfind("DNXA_", 0) == 0);
        const auto original = runtime.find(name.substr(5));
        REQUIRE(original != runtime.end());
        const ParameterInfoNode& source = *original->second.first;
        const ParameterInfoNode& node = *copy.first;
        CHECK_EQ(copy.second, original->second.second);  // same category chain
        CHECK_EQ(std::string(node.parameterName), name);
        CHECK_EQ(node.id, source.id + 2000000);
        CHECK_EQ(node.type, source.type);
        CHECK_EQ(node.access, source.access);
        CHECK_EQ(node.grade, source.grade);
        if (node.type == PARAM_INFO_STRING) {
            CHECK(node.value.text.filter != source.value.text.filter);
            CHECK_EQ(std::string(node.value.text.filter), std::string(source.value.text.filter));
        } else {
            for (int word = 0; word < 3; ++word) CHECK_EQ(node.value.words[word], source.value.words[word]);
        }
    }
    Fg_FreeGrabber(inner);
}

TEST_CASE("with both switches the NX copies come last and the registers before them") {
    const Switch dra("VEXO_ENABLE_DRA");
    const Switch dnxa("VEXO_ENABLE_DNXA");
    OpenBoard board;
    const ParameterInfoNode* head = Fg_getParameterInfo(board.fg, 0);
    REQUIRE(head != nullptr && head->older != nullptr);
    CHECK_EQ(std::string(head->name), std::string("Direct NX Access"));
    CHECK_EQ(std::string(head->older->name), std::string("Direct Register Access"));
    CHECK(topLevel(head, "Camera Link HS") != nullptr);
    CHECK(topLevel(head, "Camera Link HS")->older == nullptr);
}

CHECK_MAIN
