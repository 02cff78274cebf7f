// The applet's description read back by a real GenApi consumer, Aravis's parser, without a device:
// every record the tree holds is a feature of its kind with the limits, entries, address, length
// and access of the record, listed in one category, or is absent when GenApi cannot show it.
#include <arv.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "describe/parameter_info_node.h"
#include "platform/environment.h"
#include "vexo_sim.h"

namespace {

struct Document {
    explicit Document(const std::string& xml) : gc(arv_gc_new(nullptr, xml.data(), xml.size())) {}
    ~Document() {
        if (gc != nullptr) g_object_unref(gc);
        if (error != nullptr) g_error_free(error);
    }
    ArvGcNode* node(const std::string& name) const { return arv_gc_get_node(gc, name.c_str()); }
    ArvGc* gc;
    GError* error = nullptr;  // the first failed evaluation: constants need no device
};

bool near(double parsed, double stored) { return std::fabs(parsed - stored) <= 1e-11 * std::fabs(stored); }

void checkRegister(Document& doc, const std::string& name, const ParameterInfoNode& record, uint64_t length) {
    REQUIRE(ARV_IS_GC_REGISTER(doc.node(name)));
    ArvGcRegister* reg = ARV_GC_REGISTER(doc.node(name));
    CHECK_EQ(arv_gc_register_get_address(reg, &doc.error), uint64_t(record.id));
    CHECK_EQ(arv_gc_register_get_length(reg, &doc.error), length);
    const int mode = arv_gc_feature_node_get_actual_access_mode(ARV_GC_FEATURE_NODE(reg));
    CHECK_EQ(mode, int(record.access & 2U ? ARV_GC_ACCESS_MODE_RW : ARV_GC_ACCESS_MODE_RO));
}

void checkFeature(Document& doc, const ParameterInfoNode& record) {
    const std::string name = record.parameterName;
    ArvGcNode* node = doc.node(name);
    if (record.type == PARAM_INFO_UINT32) {
        REQUIRE(ARV_IS_GC_INTEGER_NODE(node) && ARV_IS_GC_INT_REG_NODE(doc.node(name + "_Reg")));
        CHECK_EQ(arv_gc_integer_get_min(ARV_GC_INTEGER(node), &doc.error), int64_t{record.value.u32.min});
        CHECK_EQ(arv_gc_integer_get_max(ARV_GC_INTEGER(node), &doc.error), int64_t{record.value.u32.max});
        // Without an Inc element GenApi steps by 1.
        const int64_t inc = std::max(record.value.u32.inc, 1U);
        CHECK_EQ(arv_gc_integer_get_inc(ARV_GC_INTEGER(node), &doc.error), inc);
        checkRegister(doc, name + "_Reg", record, 4);
    } else if (record.type == PARAM_INFO_ENUM) {
        REQUIRE(ARV_IS_GC_ENUMERATION(node) && ARV_IS_GC_INT_REG_NODE(doc.node(name + "_Reg")));
        const auto& entries = record.value.enumeration;
        std::map<int64_t, std::string> expected, parsed;
        for (int32_t i = 0; i < entries.entryCount; ++i) {
            if (entries.entrySymbols[i] != nullptr) expected[entries.entryValues[i]] = entries.entrySymbols[i];
        }
        for (const GSList* item = arv_gc_enumeration_get_entries(ARV_GC_ENUMERATION(node)); item; item = item->next) {
            ArvGcFeatureNode* entry = ARV_GC_FEATURE_NODE(item->data);
            const int64_t value = arv_gc_enum_entry_get_value(ARV_GC_ENUM_ENTRY(entry), &doc.error);
            parsed[value] = arv_gc_feature_node_get_name(entry);
        }
        CHECK(parsed == expected);
        checkRegister(doc, name + "_Reg", record, 4);
    } else if (record.type == PARAM_INFO_DOUBLE) {
        REQUIRE(ARV_IS_GC_FLOAT_NODE(node) && ARV_IS_GC_FLOAT_REG_NODE(doc.node(name + "_Reg")));
        CHECK(near(arv_gc_float_get_min(ARV_GC_FLOAT(node), &doc.error), record.value.dbl.min));
        CHECK(near(arv_gc_float_get_max(ARV_GC_FLOAT(node), &doc.error), record.value.dbl.max));
        checkRegister(doc, name + "_Reg", record, 8);
    } else {
        REQUIRE(record.type == PARAM_INFO_STRING && ARV_IS_GC_STRING_REG_NODE(node));
        checkRegister(doc, name, record, 4096);
    }
    CHECK_EQ(arv_gc_feature_node_get_description(ARV_GC_FEATURE_NODE(node)), static_cast<const char*>(record.name));
}

// Each feature listed by the categories below Root, with the number of categories listing it.
void listFeatures(const Document& doc, const std::string& category, std::map<std::string, int>& listed) {
    REQUIRE(ARV_IS_GC_CATEGORY(doc.node(category)));
    const GSList* features = arv_gc_category_get_features(ARV_GC_CATEGORY(doc.node(category)));
    for (const GSList* item = features; item != nullptr; item = item->next) {
        const std::string feature = static_cast<const char*>(item->data);
        REQUIRE(doc.node(feature) != nullptr);
        if (ARV_IS_GC_CATEGORY(doc.node(feature))) {
            listFeatures(doc, feature, listed);
        } else {
            ++listed[feature];
        }
    }
}

void checkRecords(Document& doc, const ParameterInfoNode* category, std::map<std::string, int>& listed) {
    const bool hidden = std::strcmp(category->name, "Direct Register Access") == 0;
    for (int32_t i = 0; i < category->value.category.childCount; ++i) {
        const ParameterInfoNode& child = *category->value.category.children[i];
        if (child.type == PARAM_INFO_CATEGORY) {
            checkRecords(doc, &child, listed);
        } else if (hidden || child.type == PARAM_INFO_UINT64) {
            CHECK(doc.node(child.parameterName) == nullptr);
        } else {
            checkFeature(doc, child);
            CHECK_EQ(listed[child.parameterName], 1);
            listed.erase(child.parameterName);
        }
    }
}

}  // namespace

TEST_CASE("a GenApi parser finds every written feature with its kind, limits and category") {
    using vexo::templates::platform::setEnvironment;
    setEnvironment("VEXO_ENABLE_DRA", "1");
    setEnvironment("VEXO_ENABLE_DNXA", "1");
    board::OpenBoard board;
    REQUIRE(board.fg != nullptr);
    size_t size = 0;
    REQUIRE_EQ(Fg_getParameterInfoXML(board.fg, 0, nullptr, &size), 0);
    std::vector<char> xml(size);
    REQUIRE_EQ(Fg_getParameterInfoXML(board.fg, 0, xml.data(), &size), 0);

    Document doc(std::string(xml.data(), size - 1));
    REQUIRE(doc.gc != nullptr);
    std::map<std::string, int> listed;
    listFeatures(doc, "Root", listed);
    CHECK(listed.size() > 121);
    for (const ParameterInfoNode* top = Fg_getParameterInfo(board.fg, 0); top != nullptr; top = top->older) {
        checkRecords(doc, top, listed);
    }
    CHECK(listed.empty());  // no category lists a feature the tree does not have
    CHECK(doc.error == nullptr);
}

CHECK_MAIN
