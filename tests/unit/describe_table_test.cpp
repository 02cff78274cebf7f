// The description store's creation operations on their own: what they refuse, what records
// own and what they point at, how enumeration entries are set, and that running out of memory
// at any allocation leaves the store as it was (the sanitizer build checks that nothing leaks).
// The shape of a whole tree is tested end to end.
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "describe/parameter_info_table.h"

// Allocation failure on demand: the n-th allocation from now throws (-1: never).
static int allocationsBeforeFailure = -1;

static void* allocate(std::size_t size) {
    if (allocationsBeforeFailure == 0) throw std::bad_alloc();
    if (allocationsBeforeFailure > 0) --allocationsBeforeFailure;
    if (void* block = std::malloc(size != 0 ? size : 1)) return block;
    throw std::bad_alloc();
}

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

using vexo::describe::kEntryNotStored;
using vexo::describe::ParameterInfoTable;
using vexo::describe::ParameterTraits;
using vexo::describe::Text;
using Node = ParameterInfoNode*;

ParameterTraits traits(int32_t id, int32_t port = 0) { return {7, 2, 1, "pixel", id, port}; }

// One creation operation per record type, all with the same parent and traits.
using Create = std::function<Node(ParameterInfoTable&, Node, const ParameterTraits&)>;

using T = ParameterInfoTable;
using A = const ParameterTraits&;
const std::vector<Create> kEveryParameterType = {
    [](T& t, Node p, A a) { return t.createEnumeration(p, "E", "FG_E", 2, a); },
    [](T& t, Node p, A a) { return t.createUInt32(p, "U", "FG_U", 1, 2, 1, a); },
    [](T& t, Node p, A a) { return t.createInt32(p, "I", "FG_I", -1, 2, 1, a); },
    [](T& t, Node p, A a) { return t.createUInt64(p, "U6", "FG_U6", 0, 9, 1, a); },
    [](T& t, Node p, A a) { return t.createInt64(p, "I6", "FG_I6", -9, 9, 1, a); },
    [](T& t, Node p, A a) { return t.createDouble(p, "D", "FG_D", 0.5, 2.5, 0.1, a); },
    [](T& t, Node p, A a) { return t.createText(p, "T", "FG_T", "*.mcf", a); },
};

}  // namespace

// The builder does not check what it creates: a category that failed leaves its records with a
// missing parent, which must refuse them.
TEST(DescribeTable, RefusesBadPortsAndMissingOrNonCategoryParents) {
    ParameterInfoTable table(1);
    EXPECT_EQ(table.createCategory(1, nullptr, "Beyond"), nullptr);
    Node root = table.createCategory(0, nullptr, "Root");
    Node leaf = table.createUInt32(root, "Leaf", "FG_LEAF", 0, 1, 1, traits(1));
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(table.createCategory(0, leaf, "Under a parameter"), nullptr);

    int32_t id = 10;
    for (const Create& create : kEveryParameterType) {
        SCOPED_TRACE(id);
        EXPECT_EQ(create(table, nullptr, traits(id)), nullptr);
        EXPECT_EQ(create(table, leaf, traits(id)), nullptr);
        EXPECT_EQ(create(table, root, traits(id, 1)), nullptr);
        EXPECT_EQ(table.findNode(id++), nullptr);
    }
    EXPECT_EQ(table.createEnumeration(root, "E", "FG_E", -1, traits(id)), nullptr);
    EXPECT_EQ(root->value.category.childCount, 1);
}

TEST(DescribeTable, RecordsHoldCopiesOfTheirTextsUnlessLastingAndValuesInTheWordsOfTheirType) {
    ParameterInfoTable table(1);
    Node root = table.createCategory(0, nullptr, "Root");
    char unit[] = "pixel";
    char filter[] = "*.hap";
    Node text = table.createText(root, "HAP file", "FG_HAP_FILE", filter, {1, 1, 1, unit, 24108, 0});
    std::memcpy(unit, "xxxxx", 5);
    std::memcpy(filter, "xxxxx", 5);
    EXPECT_STREQ(text->unit, "pixel");
    EXPECT_STREQ(text->value.text.filter, "*.hap");
    EXPECT_NE(text->parentName, root->name);
    EXPECT_STREQ(text->parentName, "Root");
    EXPECT_EQ(text->value.words[0], uint64_t{0});

    static const char kName[] = "Width";
    static const char kSdkName[] = "FG_WIDTH";
    static const char kUnit[] = "pixel";
    Node kept = table.createUInt32(root, Text::lasting(kName), Text::lasting(kSdkName), 8, 16, 1,
                                   {3, 2, 1, Text::lasting(kUnit), 100, 0});
    EXPECT_EQ(kept->name, kName);
    EXPECT_EQ(kept->parameterName, kSdkName);
    EXPECT_EQ(kept->unit, kUnit);
    EXPECT_STREQ(kept->parentName, "Root");

    Node i32 = table.createInt32(root, "I", "FG_I", -5, 5, 2, {7, 2, 1, nullptr, 1, 0});
    EXPECT_EQ(i32->unit, nullptr);
    EXPECT_EQ(i32->value.words[0], uint64_t{0x00000005FFFFFFFBu});  // min in the low half
    EXPECT_EQ(i32->value.words[1], uint64_t{2});
    EXPECT_EQ(i32->value.words[2], uint64_t{0});
}

TEST(DescribeTable, EnumerationEntriesAreSetByIndexAndTheIdMapFindsParametersOnly) {
    ParameterInfoTable table(1);
    Node root = table.createCategory(0, nullptr, "Root");
    Node node = table.createEnumeration(root, "Mode", "FG_MODE", 2, traits(300));
    EXPECT_EQ(node->value.enumeration.entryNames[1], nullptr);
    EXPECT_EQ(table.setEnumerationEntry(node, 0, "On", 1, "FG_ON"), 0);
    EXPECT_EQ(table.setEnumerationEntry(node, 0, "Off", 0, nullptr), 0);  // replaces, symbol gone
    EXPECT_STREQ(node->value.enumeration.entryNames[0], "Off");
    EXPECT_EQ(node->value.enumeration.entryValues[0], 0);
    EXPECT_EQ(node->value.enumeration.entrySymbols[0], nullptr);
    EXPECT_EQ(table.setEnumerationEntry(node, 2, "Beyond", 2, "X"), kEntryNotStored);
    EXPECT_EQ(table.setEnumerationEntry(node, -1, "Before", 2, "X"), kEntryNotStored);
    EXPECT_EQ(table.setEnumerationEntry(root, 0, "Category", 2, "X"), kEntryNotStored);

    EXPECT_NE(table.createUInt32(root, "Same id", "FG_SAME", 0, 1, 1, traits(300)), nullptr);
    EXPECT_EQ(table.findNode(300), node);   // the first record of an id keeps it
    EXPECT_EQ(table.findNode(0), nullptr);  // categories carry id 0 and are not entered
}

// Records come from large blocks and the id map grows in steps: enough records, in a scrambled
// id order, that both happen on the way, each time refused once before it is let through.
TEST(DescribeTable, RunningOutOfMemoryAtAnyAllocationLeavesTheStoreUnchanged) {
    ParameterInfoTable table(1);
    Node head = nullptr;
    for (int failAt = 0; head == nullptr; ++failAt) {
        ASSERT_LT(failAt, 8);
        allocationsBeforeFailure = failAt;
        head = table.createCategory(0, nullptr, "Root");
        allocationsBeforeFailure = -1;
        EXPECT_EQ(table.getTree(0), head);
    }

    constexpr int32_t kRecords = 700;  // 701 is prime: i * 389 % 701 visits every id once
    int32_t refusals = 0;
    for (int32_t i = 0; i < kRecords; ++i) {
        const int32_t id = i * 389 % 701 + 1;
        const Create& create = kEveryParameterType[static_cast<size_t>(i) % kEveryParameterType.size()];
        Node created = nullptr;
        for (int failAt = 0; created == nullptr; ++failAt) {
            ASSERT_LT(failAt, 8);
            allocationsBeforeFailure = failAt;
            created = create(table, head, traits(id));
            allocationsBeforeFailure = -1;
            refusals += created == nullptr ? 1 : 0;
            ASSERT_EQ(head->value.category.childCount, created != nullptr ? i + 1 : i);
            ASSERT_EQ(table.findNode(id), created);
        }
    }
    EXPECT_GE(refusals, 4);
    for (int32_t i = 0; i < kRecords; ++i) {
        SCOPED_TRACE(i);
        const Node child = head->value.category.children[i];
        EXPECT_EQ(child->index, i);
        EXPECT_EQ(table.findNode(child->id), child);
    }

    // An entry whose texts need a new block is refused with both texts left out.
    Node node = table.createEnumeration(head, "Mode", "FG_MODE", 1, traits(kRecords + 1));
    ASSERT_NE(node, nullptr);
    const std::string longName(1000, 'x');
    int32_t answer = 0;
    allocationsBeforeFailure = 0;
    for (int attempt = 0; attempt < 100 && answer == 0; ++attempt) {
        answer = table.setEnumerationEntry(node, 0, longName.c_str(), 1, "FG_ON");
    }
    allocationsBeforeFailure = -1;
    EXPECT_EQ(answer, kEntryNotStored);
    EXPECT_EQ(node->value.enumeration.entryNames[0], nullptr);
    EXPECT_EQ(node->value.enumeration.entrySymbols[0], nullptr);
}
