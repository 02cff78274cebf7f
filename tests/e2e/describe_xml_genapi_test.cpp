// The applet's GenApi description driven by a real GenApi engine, Aravis: a device whose register
// reads and writes go to an opened board, so that the addresses, lengths, signs and byte orders
// the XML declares meet the applet's typed values, and every record is a feature of its kind.
#include <arv.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "trigger_board.h"

// Register values pass between Aravis and the applet as they are: the XML declares them
// little-endian, as the hosts this test runs on are.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "register values are passed unconverted");

namespace {

using trigger_test::forEachRecord;

constexpr int32_t kUnsigned32 = 2, kDouble = 5, kText = 6;

}  // namespace

// An Aravis device whose memory is an opened board as the XML lays it out: address = SDK id;
// integers and enumerations 4 bytes, doubles 8, texts (read only here) a longer block.
G_DECLARE_FINAL_TYPE(OrvantaDevice, orvanta_device, ORVANTA, DEVICE, ArvDevice)

struct _OrvantaDevice {
    ArvDevice parent;
    void* fg;
    ArvGc* genicam;
    int writes;  // the writes that reached the applet
};

G_DEFINE_TYPE(OrvantaDevice, orvanta_device, ARV_TYPE_DEVICE)

static gboolean accessMemory(ArvDevice* device, guint64 address, guint32 size, void* buffer, bool write,
                             GError** error) {
    OrvantaDevice* self = ORVANTA_DEVICE(device);
    const int32_t id = static_cast<int32_t>(address);
    const int32_t typeCode = size == 8 ? kDouble : size == 4 ? kUnsigned32 : kText;
    self->writes += write ? 1 : 0;
    const int32_t code = write ? Fg_setParameterWithType(self->fg, id, buffer, 0, typeCode)
                               : Fg_getParameterWithType(self->fg, id, buffer, 0, typeCode);
    if (code == 0) return TRUE;
    g_set_error(error, ARV_DEVICE_ERROR, ARV_DEVICE_ERROR_PROTOCOL_ERROR, "%s of %u bytes at %u: %d",
                write ? "write" : "read", size, static_cast<unsigned>(address), code);
    return FALSE;
}

static void orvanta_device_init(OrvantaDevice*) {}

static void orvanta_device_class_init(OrvantaDeviceClass* klass) {
    ArvDeviceClass* device = ARV_DEVICE_CLASS(klass);
    device->get_genicam = [](ArvDevice* self) { return ORVANTA_DEVICE(self)->genicam; };
    device->read_memory = [](ArvDevice* self, guint64 address, guint32 size, void* buffer, GError** error) {
        return accessMemory(self, address, size, buffer, false, error);
    };
    device->write_memory = [](ArvDevice* self, guint64 address, guint32 size, void* buffer, GError** error) {
        return accessMemory(self, address, size, buffer, true, error);
    };
}

namespace {

// The Aravis device on a freshly opened board, its node map built from the applet's own XML;
// with both direct access switches on the document has its most features. Aravis reads every
// value afresh and checks the range before it writes.
class GenApiEngine : private trigger_test::DirectAccessOn, public board::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        const std::string xml = trigger_test::fetchXml(fg());
        device = ORVANTA_DEVICE(g_object_new(orvanta_device_get_type(), nullptr));
        device->fg = fg();
        device->genicam = arv_gc_new(ARV_DEVICE(device), xml.data(), xml.size());
        ASSERT_NE(device->genicam, nullptr);
        arv_device_set_register_cache_policy(arv(), ARV_REGISTER_CACHE_POLICY_DISABLE);
        arv_device_set_range_check_policy(arv(), ARV_RANGE_CHECK_POLICY_ENABLE);
    }
    void TearDown() override {
        if (device != nullptr) g_clear_object(&device->genicam);
        g_clear_object(&device);
        g_clear_error(&error);
    }

    ArvDevice* arv() const { return ARV_DEVICE(device); }
    ArvGcNode* node(const std::string& name) const { return arv_gc_get_node(device->genicam, name.c_str()); }

    // The applet's own answer for an SDK parameter, read directly.
    template <typename T>
    T applet(const char* name) const {
        T value{};
        const int32_t code = std::is_same_v<T, double> ? kDouble : kUnsigned32;
        EXPECT_EQ(Fg_getParameterWithType(fg(), Fg_getParameterIdByName(fg(), name), &value, 0, code), 0) << name;
        return value;
    }

    OrvantaDevice* device = nullptr;
    GError* error = nullptr;
};

// Each kind of feature reaches the applet's value: integer, enumeration and float both ways, the
// applet id's text register read.
TEST_F(GenApiEngine, FeaturesOfEachKindReachTheAppletsValues) {
    arv_device_set_integer_feature_value(arv(), "FG_WIDTH", 512, &error);
    ASSERT_EQ(error, nullptr) << error->message;
    EXPECT_EQ(device->writes, 1);
    EXPECT_EQ(applet<uint32_t>("FG_WIDTH"), 512u);
    EXPECT_EQ(arv_device_get_integer_feature_value(arv(), "FG_WIDTH", &error), 512);

    arv_device_set_string_feature_value(arv(), "FG_FORMAT", "FG_GRAY16", &error);
    ASSERT_EQ(error, nullptr) << error->message;
    EXPECT_EQ(applet<uint32_t>("FG_FORMAT"), 1u);
    EXPECT_STREQ(arv_device_get_string_feature_value(arv(), "FG_FORMAT", &error), "FG_GRAY16");

    arv_device_set_float_feature_value(arv(), "FG_TRIGGER_FRAMESPERSECOND", 1234.5, &error);
    ASSERT_EQ(error, nullptr) << error->message;
    const double stored = applet<double>("FG_TRIGGER_FRAMESPERSECOND");
    EXPECT_NEAR(stored, 1234.5, 1e-3);
    EXPECT_DOUBLE_EQ(arv_device_get_float_feature_value(arv(), "FG_TRIGGER_FRAMESPERSECOND", &error), stored);

    char id[256] = {};
    ASSERT_EQ(Fg_getParameterWithType(fg(), Fg_getParameterIdByName(fg(), "FG_APPLET_ID"), id, 0, kText), 0);
    ASSERT_NE(id[0], '\0');
    EXPECT_STREQ(arv_device_get_string_feature_value(arv(), "FG_APPLET_ID", &error), id);
    EXPECT_EQ(error, nullptr);
}

TEST_F(GenApiEngine, ValuesOutsideMinMaxNeverReachTheApplet) {
    for (const int64_t refused : {int64_t{7}, int64_t{65537}}) {
        arv_device_set_integer_feature_value(arv(), "FG_WIDTH", refused, &error);
        EXPECT_TRUE(g_error_matches(error, ARV_GC_ERROR, ARV_GC_ERROR_OUT_OF_RANGE)) << refused;
        g_clear_error(&error);
    }
    arv_device_set_float_feature_value(arv(), "FG_TRIGGER_FRAMESPERSECOND", 12500001.0, &error);
    EXPECT_TRUE(g_error_matches(error, ARV_GC_ERROR, ARV_GC_ERROR_OUT_OF_RANGE));
    EXPECT_EQ(device->writes, 0);
}

// Every record GenApi can show (the direct NX access copies too) is a feature of its kind, with
// the record's limits, entries, description, address, length and access, in exactly one category.
TEST_F(GenApiEngine, EveryRecordIsAFeatureOfItsKindInOneCategory) {
    std::map<std::string, int> listed;
    std::function<void(const char*)> list = [&](const char* category) {
        ASSERT_TRUE(ARV_IS_GC_CATEGORY(node(category))) << category;
        const GSList* features = arv_gc_category_get_features(ARV_GC_CATEGORY(node(category)));
        for (const GSList* item = features; item != nullptr; item = item->next) {
            const char* feature = static_cast<const char*>(item->data);
            ASSERT_NE(node(feature), nullptr) << feature;
            if (ARV_IS_GC_CATEGORY(node(feature))) list(feature);
            if (!ARV_IS_GC_CATEGORY(node(feature))) ++listed[feature];
        }
    };
    list("Root");
    int described = 0;
    forEachRecord(fg(), [&](const ParameterInfoNode& record) {
        if (record.type == PARAM_INFO_UINT64 || std::strncmp(record.parameterName, "DRA_", 4) == 0) return;
        SCOPED_TRACE(record.parameterName);
        const std::string name = record.parameterName;
        ArvGcNode* feature = node(name);
        ArvGcNode* reg = record.type == PARAM_INFO_STRING ? feature : node(name + "_Reg");
        ASSERT_NE(feature, nullptr);
        EXPECT_STREQ(arv_gc_feature_node_get_description(ARV_GC_FEATURE_NODE(feature)), record.name);
        if (record.type == PARAM_INFO_UINT32) {
            ASSERT_TRUE(ARV_IS_GC_INTEGER_NODE(feature) && ARV_IS_GC_INT_REG_NODE(reg));
            EXPECT_EQ(arv_gc_integer_get_min(ARV_GC_INTEGER(feature), &error), int64_t{record.value.u32.min});
            EXPECT_EQ(arv_gc_integer_get_max(ARV_GC_INTEGER(feature), &error), int64_t{record.value.u32.max});
            // Without an Inc element GenApi steps by 1.
            EXPECT_EQ(arv_gc_integer_get_inc(ARV_GC_INTEGER(feature), &error), std::max(record.value.u32.inc, 1U));
        } else if (record.type == PARAM_INFO_ENUM) {
            ASSERT_TRUE(ARV_IS_GC_ENUMERATION(feature) && ARV_IS_GC_INT_REG_NODE(reg));
            const auto& entries = record.value.enumeration;
            std::map<int64_t, std::string> expected, parsed;
            for (int32_t i = 0; i < entries.entryCount; ++i) {
                if (entries.entrySymbols[i] != nullptr) expected[entries.entryValues[i]] = entries.entrySymbols[i];
            }
            for (const GSList* item = arv_gc_enumeration_get_entries(ARV_GC_ENUMERATION(feature)); item;
                 item = item->next) {
                const int64_t value = arv_gc_enum_entry_get_value(ARV_GC_ENUM_ENTRY(item->data), &error);
                parsed[value] = arv_gc_feature_node_get_name(ARV_GC_FEATURE_NODE(item->data));
            }
            EXPECT_EQ(parsed, expected);
        } else if (record.type == PARAM_INFO_DOUBLE) {
            ASSERT_TRUE(ARV_IS_GC_FLOAT_NODE(feature) && ARV_IS_GC_FLOAT_REG_NODE(reg));
            const auto& limits = record.value.dbl;
            EXPECT_NEAR(arv_gc_float_get_min(ARV_GC_FLOAT(feature), &error), limits.min, 1e-11 * std::fabs(limits.min));
            EXPECT_NEAR(arv_gc_float_get_max(ARV_GC_FLOAT(feature), &error), limits.max, 1e-11 * std::fabs(limits.max));
        } else {
            ASSERT_TRUE(record.type == PARAM_INFO_STRING && ARV_IS_GC_STRING_REG_NODE(feature));
        }
        const uint64_t length = record.type == PARAM_INFO_STRING ? 4096 : record.type == PARAM_INFO_DOUBLE ? 8 : 4;
        EXPECT_EQ(arv_gc_register_get_address(ARV_GC_REGISTER(reg), &error), uint64_t(record.id));
        EXPECT_EQ(arv_gc_register_get_length(ARV_GC_REGISTER(reg), &error), length);
        EXPECT_EQ(arv_gc_feature_node_get_actual_access_mode(ARV_GC_FEATURE_NODE(reg)),
                  record.access & 2U ? ARV_GC_ACCESS_MODE_RW : ARV_GC_ACCESS_MODE_RO);
        EXPECT_EQ(listed[name], 1);
        listed.erase(name);
        ++described;
    });
    EXPECT_GT(described, 121);    // the direct NX access copies are described too
    EXPECT_TRUE(listed.empty());  // no category lists a feature the tree does not have
    EXPECT_EQ(error, nullptr);    // limits and addresses are constants
}

}  // namespace
