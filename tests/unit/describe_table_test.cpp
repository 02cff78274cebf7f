// The description store's creation operations on their own: what they refuse, how children,
// top-level categories and enumeration entries grow, and that running out of memory at any
// allocation leaves the store as it was (the sanitizer build checks that nothing leaks).
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "check.h"
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

ParameterTraits traits(int32_t id, int32_t port = 0) { return {7, 2, 1, "pixel", id, port}; }

// One creation operation per record type, all with the same parent and traits.
using Create = std::function<ParameterInfoNode*(ParameterInfoTable&, ParameterInfoNode*, const ParameterTraits&)>;

const std::vector<Create>& everyParameterType() {
    using T = ParameterInfoTable;
    using P = ParameterInfoNode*;
    using A = const ParameterTraits&;
    static const std::vector<Create> creators = {
        [](T& t, P p, A a) { return t.createEnumeration(p, "E", "FG_E", 2, a); },
        [](T& t, P p, A a) { return t.createUInt32(p, "U", "FG_U", 1, 2, 1, a); },
        [](T& t, P p, A a) { return t.createInt32(p, "I", "FG_I", -1, 2, 1, a); },
        [](T& t, P p, A a) { return t.createUInt64(p, "U6", "FG_U6", 0, 9, 1, a); },
        [](T& t, P p, A a) { return t.createInt64(p, "I6", "FG_I6", -9, 9, 1, a); },
        [](T& t, P p, A a) { return t.createDouble(p, "D", "FG_D", 0.5, 2.5, 0.1, a); },
        [](T& t, P p, A a) { return t.createText(p, "T", "FG_T", "*.mcf", a); },
    };
    return creators;
}

}  // namespace

TEST_CASE("creation is refused for a bad or locked port and a missing or non-category parent") {
    ParameterInfoTable table(1);
    CHECK(table.createCategory(1, nullptr, "Beyond") == nullptr);
    CHECK(table.createCategory(-1, nullptr, "Before") == nullptr);
    ParameterInfoNode* root = table.createCategory(0, nullptr, "Root");
    REQUIRE(root != nullptr);
    ParameterInfoNode* leaf = table.createUInt32(root, "Leaf", "FG_LEAF", 0, 1, 1, traits(1));
    REQUIRE(leaf != nullptr);
    CHECK(table.createCategory(0, leaf, "Under a parameter") == nullptr);

    int32_t id = 10;
    for (const Create& create : everyParameterType()) {
        CHECK(create(table, nullptr, traits(id)) == nullptr);
        CHECK(create(table, leaf, traits(id)) == nullptr);
        CHECK(create(table, root, traits(id, 1)) == nullptr);
        CHECK(table.findNode(id) == nullptr);
    }
    CHECK(table.createEnumeration(root, "E", "FG_E", -1, traits(id)) == nullptr);
    CHECK_EQ(root->value.category.childCount, 1);

    table.setPortLocked(0, true);
    CHECK(table.createCategory(0, nullptr, "Locked") == nullptr);
    CHECK(table.createCategory(0, root, "Locked") == nullptr);
    for (const Create& create : everyParameterType()) CHECK(create(table, root, traits(++id)) == nullptr);
    CHECK(table.getTree(0) == root);
    CHECK_EQ(root->value.category.childCount, 1);
    table.setPortLocked(0, false);
    CHECK(table.createCategory(0, root, "Unlocked") != nullptr);
}

TEST_CASE("top-level categories chain newest first and children grow in creation order") {
    ParameterInfoTable table(2);
    CHECK(table.getTree(0) == nullptr);
    ParameterInfoNode* first = table.createCategory(0, nullptr, "First");
    ParameterInfoNode* second = table.createCategory(0, nullptr, "Second");
    ParameterInfoNode* other = table.createCategory(1, nullptr, "Other port");
    CHECK(table.getTree(0) == second);
    CHECK(table.getTree(1) == other);
    CHECK(table.getTree(2) == nullptr);
    CHECK(second->older == first && first->newer == second);
    CHECK(first->older == nullptr && second->newer == nullptr && other->older == nullptr);
    CHECK_EQ(second->depth, 0);
    CHECK(second->parentName == nullptr);

    // Enough children to grow the array many times; the parent's name is a copy.
    ParameterInfoNode* sub = table.createCategory(0, first, "Sub");
    for (int32_t i = 1; i < 20; ++i) {
        REQUIRE(everyParameterType()[static_cast<size_t>(i) % 7](table, first, traits(100 + i)) != nullptr);
        CHECK_EQ(first->value.category.childCount, i + 1);
        CHECK_EQ(first->value.category.nextIndex, i + 1);
    }
    for (int32_t i = 0; i < 20; ++i) {
        const ParameterInfoNode* child = first->value.category.children[i];
        CHECK_EQ(child->index, i);
        CHECK_EQ(child->depth, 1);
        CHECK_EQ(std::string(child->parentName), std::string("First"));
        CHECK(child->parentName != first->name);
        CHECK(child->older == nullptr && child->newer == nullptr);
    }
    CHECK(first->value.category.children[0] == sub);
    ParameterInfoNode* deeper = table.createCategory(0, sub, "Deeper");
    ParameterInfoNode* leaf = table.createDouble(deeper, "Leaf", "FG_LEAF", 0, 1, 0, traits(7));
    CHECK_EQ(deeper->depth, 2);
    CHECK_EQ(leaf->depth, 3);
    CHECK(table.getTree(0) == second);  // children never become heads
}

TEST_CASE("records hold copies of their texts and their values in the words of their type") {
    ParameterInfoTable table(1);
    ParameterInfoNode* root = table.createCategory(0, nullptr, "Root");
    char unit[] = "pixel";
    char filter[] = "*.hap";
    ParameterInfoNode* text = table.createText(root, "HAP file", "FG_HAP_FILE", filter, {1, 1, 1, unit, 24108, 0});
    std::memcpy(unit, "xxxxx", 5);
    std::memcpy(filter, "xxxxx", 5);
    CHECK_EQ(std::string(text->unit), std::string("pixel"));
    CHECK_EQ(std::string(text->value.text.filter), std::string("*.hap"));
    CHECK_EQ(text->value.words[0], uint64_t{0});

    ParameterInfoNode* i32 = table.createInt32(root, "I", "FG_I", -5, 5, 2, {7, 2, 1, nullptr, 1, 0});
    CHECK(i32->unit == nullptr);
    CHECK_EQ(i32->value.i32.min, -5);
    CHECK_EQ(i32->value.words[0], uint64_t{0x00000005FFFFFFFBu});  // min in the low half
    CHECK_EQ(i32->value.words[1], uint64_t{2});
    CHECK_EQ(i32->value.words[2], uint64_t{0});
}

TEST_CASE("enumeration entries are set by index and the id map finds parameters only") {
    ParameterInfoTable table(1);
    ParameterInfoNode* root = table.createCategory(0, nullptr, "Root");
    ParameterInfoNode* node = table.createEnumeration(root, "Mode", "FG_MODE", 2, traits(300));
    CHECK_EQ(node->value.enumeration.entryCount, 2);
    CHECK(node->value.enumeration.entryNames[1] == nullptr);
    CHECK_EQ(table.setEnumerationEntry(node, 0, "On", 1, "FG_ON"), 0);
    CHECK_EQ(table.setEnumerationEntry(node, 0, "Off", 0, nullptr), 0);  // replaces, symbol gone
    CHECK_EQ(std::string(node->value.enumeration.entryNames[0]), std::string("Off"));
    CHECK_EQ(node->value.enumeration.entryValues[0], 0);
    CHECK(node->value.enumeration.entrySymbols[0] == nullptr);
    CHECK_EQ(table.setEnumerationEntry(node, 2, "Beyond", 2, "X"), kEntryNotStored);
    CHECK_EQ(table.setEnumerationEntry(node, -1, "Before", 2, "X"), kEntryNotStored);
    CHECK_EQ(table.setEnumerationEntry(root, 0, "Category", 2, "X"), kEntryNotStored);

    CHECK(table.findNode(300) == node);
    CHECK(table.createUInt32(root, "Same id", "FG_SAME", 0, 1, 1, traits(300)) != nullptr);
    CHECK(table.findNode(300) == node);  // the first record of an id keeps it
    CHECK(table.findNode(0) == nullptr);  // categories carry id 0 and are not entered
}

TEST_CASE("running out of memory at any allocation leaves the store unchanged") {
    for (const Create& create : everyParameterType()) {
        ParameterInfoTable table(1);
        ParameterInfoNode* root = table.createCategory(0, nullptr, "Root");
        ParameterInfoNode* created = nullptr;
        for (int failAt = 0; created == nullptr; ++failAt) {
            REQUIRE(failAt < 64);
            allocationsBeforeFailure = failAt;
            created = create(table, root, traits(failAt));
            allocationsBeforeFailure = -1;
            CHECK_EQ(root->value.category.childCount, created != nullptr ? 1 : 0);
            CHECK(table.findNode(failAt) == created);
        }
    }
    ParameterInfoTable table(1);
    ParameterInfoNode* head = nullptr;
    for (int failAt = 0; head == nullptr; ++failAt) {
        allocationsBeforeFailure = failAt;
        head = table.createCategory(0, nullptr, "Root");
        allocationsBeforeFailure = -1;
        CHECK(table.getTree(0) == head);
    }
    ParameterInfoNode* node = table.createEnumeration(head, "Mode", "FG_MODE", 1, traits(1));
    allocationsBeforeFailure = 0;
    const int32_t refused = table.setEnumerationEntry(node, 0, "On", 1, "FG_ON");
    allocationsBeforeFailure = -1;
    CHECK_EQ(refused, kEntryNotStored);
    CHECK(node->value.enumeration.entryNames[0] == nullptr);
    CHECK(node->value.enumeration.entrySymbols[0] == nullptr);
}

CHECK_MAIN
