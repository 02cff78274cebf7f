// The runtime's own parameter description: the shape of the tree the applet walks breadth first
// (top-level list, children, depths) and the records of the NX parameters in it.
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "check.h"
#include "describe/parameter_info_node.h"
#include "sim_test_support.h"

using simtest::freshInner;
using simtest::nxId;

namespace {

struct Walk {
    std::map<std::string, const ParameterInfoNode*> parameters;
    int categories = 0;
};

// Visits a category's subtree, checking on the way what links a child to its parent.
void visit(const ParameterInfoNode* category, Walk& walk) {
    ++walk.categories;
    const int32_t count = category->value.category.childCount;
    CHECK_EQ(category->value.category.nextIndex, count);
    for (int32_t i = 0; i < count; ++i) {
        const ParameterInfoNode* child = category->value.category.children[i];
        REQUIRE(child != nullptr);
        CHECK_EQ(child->index, i);
        CHECK_EQ(child->depth, category->depth + 1);
        REQUIRE(child->parentName != nullptr);
        CHECK_EQ(std::string(child->parentName), std::string(category->name));
        CHECK(child->older == nullptr && child->newer == nullptr);
        if (child->type == PARAM_INFO_CATEGORY) {
            CHECK(child->parameterName == nullptr);
            visit(child, walk);
        } else {
            CHECK(walk.parameters.emplace(child->parameterName, child).second);
        }
    }
}

Walk walkTree(const ParameterInfoNode* head) {
    Walk walk;
    for (const ParameterInfoNode* top = head; top != nullptr; top = top->older) {
        CHECK_EQ(top->depth, 0);
        CHECK_EQ(top->type, int32_t{PARAM_INFO_CATEGORY});
        if (top->older != nullptr) CHECK(top->older->newer == top);
        visit(top, walk);
    }
    return walk;
}

}  // namespace

TEST_CASE("the description is a list of categories, newest first, with their subtrees") {
    void* fg = freshInner();
    const ParameterInfoNode* head = Fg_getParameterInfo(fg, 0);
    REQUIRE(head != nullptr);
    CHECK(head->newer == nullptr);
    CHECK_EQ(std::string(head->name), std::string("Process1"));
    REQUIRE(head->older != nullptr);
    CHECK_EQ(std::string(head->older->name), std::string("Process0"));
    CHECK(head->older->older == nullptr);
    CHECK(Fg_getParameterInfo(fg, 0) == head);  // kept while the handle is open
    CHECK(Fg_getParameterInfo(fg, 1) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(fg), SIM_ERR_INVALID_PORT);

    const Walk walk = walkTree(head);
    CHECK_EQ(walk.parameters.size(), size_t(Fg_getNrOfParameter(fg)));
    CHECK(walk.categories > 2);
    Fg_FreeGrabber(fg);
}

TEST_CASE("each NX parameter is described under its name and id with its type and access") {
    void* fg = freshInner();
    const Walk walk = walkTree(Fg_getParameterInfo(fg, 0));
    struct Expected {
        const char* name;
        int32_t type;
        uint32_t access;
    };
    const Expected expected[] = {
        {"Device1_Process0_CameraSimulator_Size_ImageWidth", PARAM_INFO_UINT32, 7},
        {"Device1_Process0_BoardStatus_FpgaDNA", PARAM_INFO_UINT64, 1},
        {"Device1_Process0_BoardStatus_FpgaTemperature", PARAM_INFO_DOUBLE, 1},
        {"Device1_Process0_AppletProperties_AppletUid", PARAM_INFO_STRING, 1},
        {"Device1_Process0_DebugIn_Buffer_DebugFile", PARAM_INFO_STRING, 7},
        {"Device1_Process0_DebugIn_Camera_Inject_WritePixel", PARAM_INFO_UINT64, 7},
    };
    for (const Expected& e : expected) {
        const auto found = walk.parameters.find(e.name);
        REQUIRE(found != walk.parameters.end());
        const ParameterInfoNode* node = found->second;
        CHECK_EQ(std::string(node->name), std::string(e.name));
        CHECK_EQ(node->id, nxId(fg, e.name));
        CHECK_EQ(node->type, e.type);
        CHECK_EQ(node->access, e.access);
        CHECK_EQ(node->published, 1U);
        CHECK_EQ(node->grade, 1U);
        CHECK_EQ(node->port, 0);
    }
    const ParameterInfoNode* width = walk.parameters.at("Device1_Process0_CameraSimulator_Size_ImageWidth");
    CHECK_EQ(width->value.u32.max, 0xFFFFFFFFU);
    CHECK_EQ(width->value.u32.inc, 1U);
    CHECK_EQ(std::string(width->parentName), std::string("Size"));
    const ParameterInfoNode* pixel = walk.parameters.at("Device1_Process0_DebugIn_Buffer_PixelValue");
    CHECK_EQ(pixel->value.u32.max, 1023U);
    const ParameterInfoNode* file = walk.parameters.at("Device1_Process0_DebugIn_Buffer_DebugFile");
    REQUIRE(file->value.text.filter != nullptr);
    CHECK_EQ(std::strlen(file->value.text.filter), size_t{0});
    Fg_FreeGrabber(fg);
}

TEST_CASE("a hidden name is missing from a description made after hiding it") {
    void* fg = freshInner();
    SimCtl_HideNxName("Device1_Process0_DebugIn_Buffer_PixelValue");
    const Walk walk = walkTree(Fg_getParameterInfo(fg, 0));
    CHECK(walk.parameters.count("Device1_Process0_DebugIn_Buffer_PixelValue") == 0);
    CHECK(walk.parameters.count("Device1_Process0_DebugIn_Buffer_XPosition") == 1);
    Fg_FreeGrabber(fg);
}
