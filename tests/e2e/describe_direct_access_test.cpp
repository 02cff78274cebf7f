// The pass-through parts of the description tree, both switched on before the board opens: register
// records made from the HAP's registers, and copies of the runtime's own NX records.
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "trigger_board.h"

namespace {

// Parameter records by name, with the path of the categories they sit in.
using Records = std::map<std::string, std::pair<const ParameterInfoNode*, std::string>>;

void collect(const ParameterInfoNode* category, const std::string& path, Records& records) {
    std::set<std::string> childCategories;
    for (int32_t i = 0; i < category->value.category.childCount; ++i) {
        const ParameterInfoNode* child = category->value.category.children[i];
        if (child->type == PARAM_INFO_CATEGORY) {
            EXPECT_TRUE(childCategories.insert(child->name).second) << child->name;  // each category copied once
            collect(child, path + "/" + child->name, records);
        } else {
            records[child->name] = {child, path};
        }
    }
}

class DirectAccess : private trigger_test::DirectAccessOn, public board::BoardTest {};

}  // namespace

// A register of 40 bits is an unsigned 64-bit record, of 8 or 32 bits an unsigned 32-bit one,
// each with the register's full range and writability.
TEST_F(DirectAccess, RegisterRecordsFollowWidthAndWritability) {
    struct {
        const char* parameterName;
        const char* name;
        int32_t type;
        uint64_t max;
        uint32_t access;
        int32_t address;
    } const expected[] = {
        {"DRA_FrameCounter", "FrameCounter (40)", PARAM_INFO_UINT64, 1099511627775u, 1, 0x20},
        {"DRA_TimestampCompare", "TimestampCompare (40)", PARAM_INFO_UINT64, 1099511627775u, 7, 0x28},
        {"DRA_TriggerPrescaler", "TriggerPrescaler (8)", PARAM_INFO_UINT32, 255, 7, 0x10},
        {"DRA_GpiLevels", "GpiLevels (8)", PARAM_INFO_UINT32, 255, 1, 0x14},
        {"DRA_StatusWord", "StatusWord (32)", PARAM_INFO_UINT32, 4294967295u, 1, 0x04},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        const ParameterInfoNode node = trigger_test::record(fg(), e.parameterName);
        const bool wide = e.type == PARAM_INFO_UINT64;
        EXPECT_STREQ(node.name, e.name);
        EXPECT_TRUE(node.type == e.type && node.access == e.access && node.grade == 1U);
        EXPECT_EQ(node.id, 1000000 + e.address);
        EXPECT_EQ(node.value.words[0], wide ? uint64_t{0} : e.max << 32);  // min 0
        EXPECT_EQ(wide ? node.value.u64.max : node.value.u32.max, e.max);
        EXPECT_EQ(wide ? node.value.u64.inc : node.value.u32.inc, uint64_t{1});
    }
}

// The NX copies come first, the registers next, then the applet's own categories; each copy has
// the runtime record's values under copies of the runtime's categories.
TEST_F(DirectAccess, NxRecordsAreCopiesUnderCopiesOfTheRuntimeCategories) {
    const ParameterInfoNode* head = Fg_getParameterInfo(fg(), 0);
    ASSERT_TRUE(head != nullptr && head->older != nullptr && head->older->older != nullptr);
    EXPECT_STREQ(head->name, "Direct NX Access");
    EXPECT_STREQ(head->older->name, "Direct Register Access");
    EXPECT_EQ(head->older->value.category.childCount, 8);
    EXPECT_STREQ(head->older->older->name, "Miscellaneous");

    Records runtime, copies;
    void* inner = board::innerHandleOfLastOpen();
    for (const ParameterInfoNode* top = Fg_getParameterInfo(inner, 0); top != nullptr; top = top->older) {
        collect(top, std::string("/") + top->name, runtime);
    }
    collect(head, "", copies);
    EXPECT_EQ(copies.size(), runtime.size());
    EXPECT_EQ(int32_t(copies.size()), Fg_getNrOfParameter(fg()) - 130 - 8);
    for (const auto& [name, copy] : copies) {
        SCOPED_TRACE(name);
        ASSERT_EQ(name.rfind("DNXA_", 0), 0u);
        const auto original = runtime.find(name.substr(5));
        ASSERT_NE(original, runtime.end());
        const ParameterInfoNode& source = *original->second.first;
        const ParameterInfoNode& node = *copy.first;
        EXPECT_EQ(copy.second, original->second.second);  // same category chain
        EXPECT_EQ(node.parameterName, name);
        EXPECT_EQ(node.id, source.id + 2000000);
        EXPECT_TRUE(node.type == source.type && node.access == source.access && node.grade == source.grade);
        if (node.type == PARAM_INFO_STRING) {
            EXPECT_NE(node.value.text.filter, source.value.text.filter);  // a copy of its own
            EXPECT_STREQ(node.value.text.filter, source.value.text.filter);
        } else {
            for (int word = 0; word < 3; ++word) EXPECT_EQ(node.value.words[word], source.value.words[word]) << word;
        }
    }
}
