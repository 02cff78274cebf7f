// The applet's exports as the runtime reaches them: handle checks, forwarding to the runtime
// with the inner handle, the last error they leave, shading answers and Fg_FreeGrabber.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "applet_exports.h"
#include "board_session.h"

#define APPLET(name) APPLET_EXPORT(SimCtl_AppletSymbol, name)

namespace {

using Exports = board::BoardTest;
using board::callsNamed;

// One forwarded export, called through the runtime on an application's handle.
struct Forwarded {
    const char* name;
    bool is64Bit;
    std::function<int64_t(void*)> call;
};

// A frame memory of the runtime's, allocated by the case that uses the table.
void* memory = nullptr;
const Forwarded kForwarded[] = {
    {"Fg_getAppletId", false, [](void* fg) { return int64_t{Fg_getAppletId(fg, &memory)}; }},
    {"Fg_getStatusEx", true, [](void* fg) { return Fg_getStatusEx(fg, 7, 0x100000002u, 0, memory); }},
    {"Fg_AcquireEx", false, [](void* fg) { return int64_t{Fg_AcquireEx(fg, 0, 10, 1, memory)}; }},
    {"Fg_stopAcquireEx", false, [](void* fg) { return int64_t{Fg_stopAcquireEx(fg, 0, memory, 0)}; }},
    {"Fg_getLastPicNumberEx", true, [](void* fg) { return Fg_getLastPicNumberEx(fg, 0, memory); }},
    {"Fg_getLastPicNumberBlockingEx", true,
     [](void* fg) { return Fg_getLastPicNumberBlockingEx(fg, 0, 0, 2, memory); }},
};

// Every export called on a given handle record, with the answer for a record without wrapper.
// The last eight are the shading line functions.
std::vector<std::pair<std::function<int64_t(void*)>, int64_t>> everyExport() {
    static void* const none = nullptr;
    static size_t bufferSize = 16;
    static char buffer[16] = {};
    static uint64_t value = 0;
    auto pointer = [](const void* p) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)); };
    return {
        {[](void* r) { return APPLET(Fg_setParameterWithType)(r, 100, &value, 0, 2); }, -2001},
        {[](void* r) { return APPLET(Fg_getParameterWithType)(r, 100, &value, 0, 2); }, -2001},
        {[](void* r) { return APPLET(Fg_freeParameterStringWithType)(r, 100, &value, 0, 22); }, -2001},
        {[](void* r) { return APPLET(Fg_getParameterIdByName)(r, "FG_WIDTH"); }, -2001},
        {[=](void* r) { return pointer(APPLET(Fg_getParameterName)(r, 0)); }, 0},
        {[](void* r) { return APPLET(Fg_getParameterId)(r, 0); }, -2001},
        {[](void* r) { return APPLET(Fg_getNrOfParameter)(r); }, -2001},
        {[](void* r) { return static_cast<int64_t>(APPLET(Fg_getEventMask)(r, "FG_OVERFLOW_CAM0")); }, 0},
        {[=](void* r) { return pointer(APPLET(Fg_getEventName)(r, 1)); }, 0},
        {[](void* r) { return APPLET(Fg_saveConfig)(r, "unused.mcf"); }, -2001},
        {[](void* r) { return APPLET(Fg_loadConfig)(r, "unused.mcf"); }, -2001},
        {[](void* r) { return APPLET(Fg_getParameterInfoXML)(r, 0, buffer, &bufferSize); }, -2001},
        {[](void* r) { return APPLET(Fg_getAppletId)(r, none); }, -2001},
        {[](void* r) { return APPLET(Fg_getStatusEx)(r, 1, 0, 0, none); }, -2001},
        {[](void* r) { return APPLET(Fg_AcquireEx)(r, 0, 1, 0, none); }, -2001},
        {[](void* r) { return APPLET(Fg_stopAcquireEx)(r, 0, none, 0); }, -2001},
        {[](void* r) { return APPLET(Fg_getLastPicNumberEx)(r, 0, none); }, -2001},
        {[](void* r) { return APPLET(Fg_getLastPicNumberBlockingEx)(r, 1, 0, 1, none); }, -2001},
        {[](void* r) { return APPLET(Fg_getLastErrorNumber)(r); }, -2001},
        {[=](void* r) { return pointer(APPLET(Fg_getParameterInfo)(r, 0)); }, 0},
        {[](void* r) { return APPLET(Fg_FreeGrabber)(r); }, -2001},
        {[=](void* r) { return pointer(APPLET(Fg_AllocShading)(r, none, none, none)); }, 0},
        {[](void* r) { return APPLET(Fg_FreeShading)(r, none, none, none); }, -2001},
        {[](void* r) { return APPLET(Shad_SetSubValueLine)(r, none, none, none, 1.5f); }, -2001},
        {[](void* r) { return APPLET(Shad_SetMultValueLine)(r, none, none, none, 1.5f); }, -2001},
        {[](void* r) { return APPLET(Shad_SetFixedPatternNoiseLine)(r, none, none, none, 3); }, -2001},
        {[](void* r) { return APPLET(Shad_GetMaxLine)(r, none, none, none); }, -2001},
        {[](void* r) { return APPLET(Shad_GetAccess)(r, none, none, none); }, -2001},
        {[](void* r) { return APPLET(Shad_FreeAccess)(r, none, none, none); }, -2001},
        {[](void* r) { return APPLET(Shad_WriteActLine)(r, none, none, none); }, -2001},
    };
}

}  // namespace

TEST_F(Exports, ForwardedExportsCallTheRuntimeWithTheInnerHandleAndKeepItsLastError) {
    void* inner = board::innerHandleOfLastOpen();
    ASSERT_NE(inner, nullptr);
    memory = Fg_AllocMemEx(fg(), 1024, 2);
    ASSERT_NE(memory, nullptr);
    for (const Forwarded& exported : kForwarded) {
        SCOPED_TRACE(exported.name);
        SimCtl_ClearCalls();
        SimCtl_FailCall(exported.name, -2010, -2020);
        EXPECT_EQ(exported.call(fg()), -2010);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), -2020);
        const std::vector<SimCall> calls = callsNamed(exported.name);
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].handle, inner);
        if (exported.is64Bit) {
            // Negative results are judged in the export's own width: only as 32 bits is this one.
            SimCtl_FailCall(exported.name, int64_t{0x80000000}, -2030);
            EXPECT_EQ(exported.call(fg()), int64_t{0x80000000});
            EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
            SimCtl_FailCall(exported.name, -(int64_t{1} << 40), -2030);
            EXPECT_EQ(exported.call(fg()), -(int64_t{1} << 40));
            EXPECT_EQ(Fg_getLastErrorNumber(fg()), -2030);
        }
        SimCtl_FailCall(exported.name, 0, 0);
        EXPECT_GE(exported.call(fg()), 0);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
    }
}

TEST(ExportsWithoutBoard, EveryExportRefusesANullRecordAndARecordWithoutWrapper) {
    const auto exports = everyExport();
    for (size_t i = 0; i < exports.size(); ++i) {
        SCOPED_TRACE("export row " + std::to_string(i));
        HandleRecord empty;
        EXPECT_EQ(exports[i].first(nullptr), exports[i].second);
        EXPECT_EQ(exports[i].first(&empty), exports[i].second);
        EXPECT_EQ(empty.wrapper, nullptr);
        EXPECT_TRUE(empty.runtimeFieldsIntact());
    }
}

TEST_F(Exports, ShadingIsNotOffered) {
    EXPECT_EQ(Fg_AllocShading(fg(), nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), -1);
    // The runtime's record keeps the wrapper in its first field, as a shading object would.
    const auto exports = everyExport();
    for (size_t i = exports.size() - 8; i < exports.size(); ++i) {
        SCOPED_TRACE("export row " + std::to_string(i));
        Fg_AllocShading(fg(), nullptr, nullptr, nullptr);
        EXPECT_EQ(exports[i].first(fg()), -2130);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), -2130);
    }
}

TEST_F(Exports, ReleaseTakesOnlyTypeCode22AndTheDescriptionRootOnlyExistingPorts) {
    // A type code other than 22 is refused by the export and leaves the last error alone.
    char text[8] = {};
    ASSERT_EQ(Fg_getParameterWithType(fg(), 100, text, 1, 2), -2070);  // FG_WIDTH on DMA 1
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), 24010, text, 0, 6), -2078);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), -2070);
    // The description root is handed out only for existing ports.
    EXPECT_EQ(Fg_getParameterInfo(fg(), 1), nullptr);
    EXPECT_EQ(Fg_getParameterInfo(fg(), -1), nullptr);
}

// Std_entry works without an error cell as well.
TEST(ExportsWithoutBoard, FreeGrabberClosesTheInnerHandleAndEmptiesTheRecord) {
    SimCtl_Reset();
    SimHap_Reset();
    HandleRecord record;
    record.wrapper = APPLET(Std_entry)(SimCtl_HardwareHandle(0), nullptr, 0);
    ASSERT_NE(record.wrapper, nullptr);
    void* inner = board::innerHandleOfLastOpen();

    SimCtl_ClearCalls();
    EXPECT_EQ(APPLET(Fg_FreeGrabber)(&record), 0);
    const std::vector<SimCall> frees = callsNamed("Fg_FreeGrabber");
    ASSERT_EQ(frees.size(), 1u);
    EXPECT_EQ(frees[0].handle, inner);
    EXPECT_EQ(record.wrapper, nullptr);
    EXPECT_TRUE(record.runtimeFieldsIntact());
    EXPECT_EQ(SimHap_LiveHandles(), 0);
}
