// The simulated runtime's model of the Orvanta design as the applet reaches it on an inner
// handle: ids, typed reads and writes, start values, debug entries and injected failures.
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "check.h"
#include "sim_test_support.h"

using simtest::freshInner;
using simtest::nxId;

namespace {

struct NxRow {
    std::string name;
    int32_t typeCode;
    bool readOnly;
};

enum class NxUse { Write, Read, WriteRead };

const std::vector<NxRow>& appletRows() {
    static const std::vector<NxRow> rows = {
#define NX_PARAMETER(identifier, access, typeCode) \
    {"Device1_" #identifier, typeCode, NxUse::access == NxUse::Read},
#include "nx/nx_parameters.def"
#undef NX_PARAMETER
    };
    return rows;
}

const int32_t kRuntimeIds[] = {600, 601, 2050, 3050, 3060, 3070, 3080, 3090, 5210, 24092};

const char* const kFpgaTemperature = "Device1_Process0_BoardStatus_FpgaTemperature";
const char* const kImageWidth = "Device1_Process0_CameraSimulator_Size_ImageWidth";

}  // namespace

TEST_CASE("every NX parameter of the applet resolves to an id of its own") {
    void* fg = freshInner();
    REQUIRE(fg != nullptr);
    REQUIRE_EQ(appletRows().size(), size_t{118});
    std::set<int32_t> ids(std::begin(kRuntimeIds), std::end(kRuntimeIds));
    int32_t row = 0;
    for (const NxRow& nx : appletRows()) {
        ++row;
        const int32_t id = nxId(fg, nx.name);
        CHECK(id >= 1);
        CHECK(id != row);
        CHECK(ids.insert(id).second);  // no clash with another NX id nor with the runtime's own
        // Each answers a read of its declared type.
        char buffer[256] = {};
        CHECK_EQ(Fg_getParameterWithType(fg, id, buffer, 0, nx.typeCode), 0);
    }
    Fg_FreeGrabber(fg);
}

TEST_CASE("a written value reads back for each type code, in the type's width") {
    void* fg = freshInner();
    const int32_t u32 = nxId(fg, kImageWidth);
    uint32_t width = 1234;
    CHECK_EQ(Fg_setParameterWithType(fg, u32, &width, 0, 2), 0);
    uint32_t narrow[2] = {0, 0xA5A5A5A5U};
    CHECK_EQ(Fg_getParameterWithType(fg, u32, narrow, 0, 2), 0);
    CHECK_EQ(narrow[0], 1234U);
    CHECK_EQ(narrow[1], 0xA5A5A5A5U);  // a 32-bit read writes 4 bytes only

    const int32_t u64 = nxId(fg, "Device1_Process0_DebugIn_Camera_Inject_WritePixel");
    const uint64_t pixel = 0x01FFFFFFFFFFFFFFULL;
    CHECK_EQ(Fg_setParameterWithType(fg, u64, &pixel, 0, 4), 0);
    uint64_t wide = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, u64, &wide, 0, 3), 0);
    CHECK_EQ(wide, pixel);

    const int32_t text = nxId(fg, "Device1_Process0_DebugIn_Buffer_DebugFile");
    CHECK_EQ(Fg_setParameterWithType(fg, text, "frames/test image.tif", 0, 6), 0);
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    CHECK_EQ(Fg_getParameterWithType(fg, text, buffer, 0, 6), 0);
    CHECK_EQ(std::string(buffer), std::string("frames/test image.tif"));

    // A read with type code 22 hands out a text of the runtime's until it is given back.
    char* handed = nullptr;
    CHECK_EQ(Fg_getParameterWithType(fg, text, &handed, 0, 22), 0);
    REQUIRE(handed != nullptr);
    CHECK_EQ(std::string(handed), std::string("frames/test image.tif"));
    CHECK_EQ(Fg_freeParameterStringWithType(fg, text, handed, 0, 22), 0);

    // Double values are only board monitors, which the design reports: set through control.
    REQUIRE_EQ(SimCtl_SetNxDouble(0, kFpgaTemperature, 61.25), 0);
    double temperature = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, kFpgaTemperature), &temperature, 0, 5), 0);
    CHECK_EQ(temperature, 61.25);
    Fg_FreeGrabber(fg);
}

TEST_CASE("accesses that do not fit the parameter are refused and leave it unchanged") {
    void* fg = freshInner();
    const int32_t width = nxId(fg, kImageWidth);
    const uint32_t value = 77;
    REQUIRE_EQ(Fg_setParameterWithType(fg, width, &value, 0, 2), 0);
    const uint64_t wide = 5;
    const double real = 5.0;
    struct Case {
        int32_t id;
        const void* value;
        uint32_t dma;
        int32_t type;
        int32_t expected;
    };
    const Case cases[] = {
        {width, &wide, 0, 4, SIM_ERR_INVALID_TYPE},
        {width, &real, 0, 5, SIM_ERR_INVALID_TYPE},
        {width, &value, 1, 2, SIM_ERR_INVALID_PORT},
        {width, nullptr, 0, 2, SIM_ERR_NULL_VALUE},
        {1, &value, 0, 2, SIM_ERR_INVALID_PARAMETER},
        {nxId(fg, kFpgaTemperature), &real, 0, 5, SIM_ERR_READ_ONLY},
        {3070, &value, 0, 2, SIM_ERR_READ_ONLY},
    };
    for (const Case& c : cases) {
        CHECK_EQ(Fg_setParameterWithType(fg, c.id, c.value, c.dma, c.type), c.expected);
        CHECK_EQ(Fg_getLastErrorNumber(fg), c.expected);
    }
    uint32_t readBack = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, width, &readBack, 0, 2), 0);
    CHECK_EQ(readBack, 77U);
    CHECK_EQ(Fg_getLastErrorNumber(fg), 0);
    CHECK_EQ(Fg_getParameterWithType(fg, width, &readBack, 0, 6), SIM_ERR_INVALID_TYPE);
    Fg_FreeGrabber(fg);
}

TEST_CASE("the board starts powered and idle with plausible monitor values") {
    void* fg = freshInner();
    auto real = [fg](const char* name) {
        double v = -1;
        CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, name), &v, 0, 5), 0);
        return v;
    };
    auto integer = [fg](const char* name) {
        uint32_t v = 0xDEAD;
        CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, name), &v, 0, 2), 0);
        return v;
    };
    const double temperature = real(kFpgaTemperature);
    CHECK(temperature >= 45.0 && temperature <= 55.0);
    CHECK(std::fabs(real("Device1_Process0_BoardStatus_FpgaVccInt") - 1.0) < 0.05);
    CHECK(std::fabs(real("Device1_Process0_BoardStatus_FpgaVccAux") - 1.8) < 0.05);
    CHECK(std::fabs(real("Device1_Process0_BoardStatus_FpgaVccBram") - 1.0) < 0.05);
    CHECK(real("Device1_Process0_BoardStatus_PcieCurrentLinkSpeed") > 0.0);
    const uint32_t lanes = integer("Device1_Process0_BoardStatus_PcieCurrentLinkWidth");
    CHECK(lanes == 4 || lanes == 8);
    CHECK_EQ(integer("Device1_Process0_BoardStatus_AlternativeBoardDetection"), 0U);
    // An idle trigger generator: period reached, nothing queued, so a software trigger is free.
    CHECK_EQ(integer("Device1_Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status"), 1U);
    for (const char* idle : {"Device1_Process1_Trigger_TriggerCam0_Generators_QueueValue_Status",
                             "Device1_Process1_Trigger_Monitoring_ReadQueueStatus_Status",
                             "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel", "Device1_Process0_Overflow_OverflowOccurred",
                             "Device1_Process1_Trigger_TriggerInput_InputStatus_Status"}) {
        CHECK_EQ(integer(idle), 0U);
    }
    CHECK(integer("Device1_Process1_Trigger_TriggerCam0_InputStatistics_ReadPeriod_Status") > 0U);

    uint64_t dna = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, "Device1_Process0_BoardStatus_FpgaDNA"), &dna, 0, 4), 0);
    CHECK(dna >> 56 == 1);  // 57 significant bits
    char uid[256] = {};
    CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, "Device1_Process0_AppletProperties_AppletUid"), uid, 0, 6), 0);
    CHECK_EQ(std::strlen(uid), size_t{36});
    CHECK(uid[8] == '-' && uid[13] == '-' && uid[18] == '-' && uid[23] == '-');
    char built[256] = {};
    CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, "Device1_Process0_AppletProperties_BuildTime"), built, 0, 6), 0);
    CHECK_EQ(std::strlen(built), size_t{19});
    Fg_FreeGrabber(fg);
}

TEST_CASE("the runtime's own parameters answer on the inner handle") {
    void* fg = freshInner();
    uint32_t processes = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, 3070, &processes, 0, 2), 0);
    CHECK_EQ(processes, 2U);
    uint64_t dmas = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, 3050, &dmas, 0, 4), 0);
    CHECK_EQ(dmas, uint64_t{1});
    const uint32_t timeout = 42;
    CHECK_EQ(Fg_setParameterWithType(fg, 600, &timeout, 0, 2), 0);
    uint32_t readBack = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, 600, &readBack, 0, 2), 0);
    CHECK_EQ(readBack, 42U);
    for (const int32_t id : kRuntimeIds) {
        uint64_t v = 0;
        CHECK_EQ(Fg_getParameterWithType(fg, id, &v, 0, 4), 0);
    }
    // They are no NX parameters: the name lookup does not know them.
    CHECK_EQ(Fg_getParameterIdByName(fg, "FG_TIMEOUT"), 0);
    Fg_FreeGrabber(fg);
}

TEST_CASE("the design announces its debug entries and their parameters exist") {
    void* fg = freshInner();
    auto text = [fg](const std::string& name) {
        char buffer[256] = {};
        CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, name), buffer, 0, 6), 0);
        return std::string(buffer);
    };
    const std::string entries = text("Device1_Process0_Debug_Entries");
    REQUIRE_EQ(entries, std::string("2"));
    std::set<std::string> types;
    for (int e = 0; e < 2; ++e) {
        const std::string digit(1, static_cast<char>('0' + e));
        const std::string type = text("Device1_Process0_Debug_Type" + digit);
        const std::string path = "Device1_Process0_" + text("Device1_Process0_Debug_Path" + digit);
        CHECK(!text("Device1_Process0_Debug_Name" + digit).empty());
        types.insert(type);
        for (const char* suffix : {"_OperationMode", "_Insert", "_Inject_WritePixel", "_Inject_WriteFlag",
                                   "_Inject_ReadyForInjection", "_DebugFile"}) {
            CHECK(nxId(fg, path + suffix) > 0);
        }
        for (const char* suffix : {"_XPosition", "_YPosition", "_PixelValue"}) {
            CHECK_EQ(nxId(fg, path + suffix) > 0, type == "InjectMonitor");
        }
        uint32_t ready = 0;
        CHECK_EQ(Fg_getParameterWithType(fg, nxId(fg, path + "_Inject_ReadyForInjection"), &ready, 0, 2), 0);
        CHECK_EQ(ready, 1U);
        const uint64_t pixel = 0x123;
        CHECK_EQ(Fg_setParameterWithType(fg, nxId(fg, path + "_Inject_WritePixel"), &pixel, 0, 4), 0);
    }
    CHECK(types == (std::set<std::string>{"Inject", "InjectMonitor"}));
    CHECK_EQ(SimCtl_InjectedPixelCount(0), uint64_t{2});
    CHECK_EQ(SimCtl_InjectedPixelCount(1), uint64_t{0});
    Fg_FreeGrabber(fg);
}

TEST_CASE("hidden names and injected NX failures") {
    void* fg = freshInner();
    const int32_t width = nxId(fg, kImageWidth);
    SimCtl_HideNxName(kImageWidth);
    CHECK_EQ(nxId(fg, kImageWidth), 0);
    CHECK_EQ(Fg_getLastErrorNumber(fg), SIM_ERR_INVALID_PARAMETER);
    CHECK_EQ(nxId(fg, "Device1_NoSuchThing"), 0);
    CHECK_EQ(Fg_getParameterIdByName(fg, nullptr), 0);
    CHECK(nxId(fg, kFpgaTemperature) > 0);

    const uint32_t first = 10;
    const uint32_t second = 20;
    REQUIRE_EQ(Fg_setParameterWithType(fg, width, &first, 0, 2), 0);
    SimCtl_FailNxWrite(kImageWidth, -2222);
    CHECK_EQ(Fg_setParameterWithType(fg, width, &second, 0, 2), -2222);
    CHECK_EQ(Fg_getLastErrorNumber(fg), -2222);
    uint32_t value = 0;
    CHECK_EQ(Fg_getParameterWithType(fg, width, &value, 0, 2), 0);
    CHECK_EQ(value, 10U);  // the failed write stored nothing

    SimCtl_FailNxRead(kImageWidth, -3333);
    value = 99;
    CHECK_EQ(Fg_getParameterWithType(fg, width, &value, 0, 2), -3333);
    CHECK_EQ(value, 99U);
    SimCtl_FailNxRead(kImageWidth, 0);
    SimCtl_FailNxWrite(kImageWidth, 0);
    CHECK_EQ(Fg_setParameterWithType(fg, width, &second, 0, 2), 0);
    Fg_FreeGrabber(fg);
}

TEST_CASE("values belong to their board until the reset") {
    void* a = freshInner(0);
    void* b = Fg_InitHandle("Orvanta.hap", SimCtl_HardwareHandle(1), simtest::hapToken());
    const int32_t width = nxId(a, kImageWidth);
    const uint32_t value = 640;
    REQUIRE_EQ(Fg_setParameterWithType(a, width, &value, 0, 2), 0);
    uint32_t other = 1;
    CHECK_EQ(Fg_getParameterWithType(b, width, &other, 0, 2), 0);
    CHECK_EQ(other, 0U);
    uint64_t control = 0;
    CHECK_EQ(SimCtl_GetNxU64(0, kImageWidth, &control), 0);
    CHECK_EQ(control, uint64_t{640});

    // The board keeps its values across handles, as the hardware would.
    Fg_FreeGrabber(a);
    void* again = Fg_InitHandle("Orvanta.hap", SimCtl_HardwareHandle(0), simtest::hapToken());
    CHECK_EQ(Fg_getParameterWithType(again, width, &other, 0, 2), 0);
    CHECK_EQ(other, 640U);
    SimCtl_Reset();
    CHECK_EQ(Fg_getParameterWithType(again, width, &other, 0, 2), 0);
    CHECK_EQ(other, 0U);

    CHECK_EQ(SimCtl_SetNxU64(0, "Device1_NoSuchThing", 1), -1);
    CHECK_EQ(SimCtl_SetNxDouble(0, kImageWidth, 1.0), -1);  // not a double
    CHECK_EQ(SimCtl_SetNxU64(0, "FG_CAMSTATUS_EXTENDED", 0x1FF), 0);
    CHECK_EQ(SimCtl_GetNxU64(0, "FG_CAMSTATUS_EXTENDED", &control), 0);
    CHECK_EQ(control, uint64_t{0x1FF});
    Fg_FreeGrabber(again);
    Fg_FreeGrabber(b);
}

CHECK_MAIN
