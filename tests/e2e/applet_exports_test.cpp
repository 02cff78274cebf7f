// The applet's exports as the runtime reaches them: handle checks, forwarding to the runtime
// with the inner handle, the last error they leave, shading answers and Fg_FreeGrabber.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "applet_exports.h"
#include "board_session.h"
#include "check.h"
#include "vexo_sim.h"

#define APPLET(name) APPLET_EXPORT(SimCtl_AppletSymbol, name)

namespace {

using board::callsNamed;
using board::OpenBoard;
using board::innerHandleOfLastOpen;

// One forwarded export, called through the runtime on an application's handle.
struct Forwarded {
    const char* name;
    bool is64Bit;
    std::function<int64_t(void*)> call;
};

const std::vector<Forwarded>& forwardedExports() {
    static int32_t memory = 0;
    static const std::vector<Forwarded> exports = {
        {"Fg_getAppletId", false, [](void* fg) { return int64_t{Fg_getAppletId(fg, &memory)}; }},
        {"Fg_getStatusEx", true, [](void* fg) { return Fg_getStatusEx(fg, 7, 0x100000002u, 0, &memory); }},
        {"Fg_AcquireEx", false, [](void* fg) { return int64_t{Fg_AcquireEx(fg, 0, 10, 0x1000, &memory)}; }},
        {"Fg_stopAcquireEx", false, [](void* fg) { return int64_t{Fg_stopAcquireEx(fg, 0, &memory, 0)}; }},
        {"Fg_getLastPicNumberEx", true, [](void* fg) { return Fg_getLastPicNumberEx(fg, 0, &memory); }},
        {"Fg_getLastPicNumberBlockingEx", true,
         [](void* fg) { return Fg_getLastPicNumberBlockingEx(fg, 1, 0, 2, &memory); }},
    };
    return exports;
}

}  // namespace

TEST_CASE("forwarded exports call the runtime with the inner handle and keep its last error") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    void* inner = innerHandleOfLastOpen();
    REQUIRE(inner != nullptr);
    for (const Forwarded& exported : forwardedExports()) {
        SimCtl_ClearCalls();
        SimCtl_FailCall(exported.name, -2010, -2020);
        CHECK_EQ(exported.call(board.fg), int64_t{-2010});
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), -2020);
        const std::vector<SimCall> calls = callsNamed(exported.name);
        REQUIRE_EQ(calls.size(), size_t{1});
        CHECK(calls[0].handle == inner);

        SimCtl_FailCall(exported.name, 0, 0);
        CHECK(exported.call(board.fg) >= 0);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);
    }
}

TEST_CASE("negative results are judged in the export's own width") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    for (const Forwarded& exported : forwardedExports()) {
        SimCtl_FailCall(exported.name, -2010, -2020);
        exported.call(board.fg);
        REQUIRE_EQ(Fg_getLastErrorNumber(board.fg), -2020);
        if (exported.is64Bit) {
            // Negative only when read as 32 bits: a 64-bit export must call it success.
            SimCtl_FailCall(exported.name, int64_t{0x80000000}, -2030);
            CHECK_EQ(exported.call(board.fg), int64_t{0x80000000});
            CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);
            SimCtl_FailCall(exported.name, -(int64_t{1} << 40), -2030);
            CHECK_EQ(exported.call(board.fg), -(int64_t{1} << 40));
            CHECK_EQ(Fg_getLastErrorNumber(board.fg), -2030);
        }
        SimCtl_FailCall(exported.name, 0, 0);
    }
}

TEST_CASE("every export refuses a null record and a record without wrapper") {
    void* const none = nullptr;
    float f = 0.0f;
    using Call = std::function<int64_t(void*)>;
    auto pointer = [](const void* p) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(p)); };
    size_t bufferSize = 16;
    char buffer[16] = {};
    uint64_t value = 0;
    const std::vector<std::pair<Call, int64_t>> exports = {
        {[&](void* r) { return APPLET(Fg_setParameterWithType)(r, 100, &value, 0, 2); }, -2001},
        {[&](void* r) { return APPLET(Fg_getParameterWithType)(r, 100, &value, 0, 2); }, -2001},
        {[&](void* r) { return APPLET(Fg_freeParameterStringWithType)(r, 100, &value, 0, 22); }, -2001},
        {[&](void* r) { return APPLET(Fg_getParameterIdByName)(r, "FG_WIDTH"); }, -2001},
        {[&](void* r) { return pointer(APPLET(Fg_getParameterName)(r, 0)); }, 0},
        {[&](void* r) { return APPLET(Fg_getParameterId)(r, 0); }, -2001},
        {[&](void* r) { return APPLET(Fg_getNrOfParameter)(r); }, -2001},
        {[&](void* r) { return static_cast<int64_t>(APPLET(Fg_getEventMask)(r, "FG_OVERFLOW_CAM0")); }, 0},
        {[&](void* r) { return pointer(APPLET(Fg_getEventName)(r, 1)); }, 0},
        {[&](void* r) { return APPLET(Fg_saveConfig)(r, "unused.mcf"); }, -2001},
        {[&](void* r) { return APPLET(Fg_loadConfig)(r, "unused.mcf"); }, -2001},
        {[&](void* r) { return APPLET(Fg_getParameterInfoXML)(r, 0, buffer, &bufferSize); }, -2001},
        {[&](void* r) { return APPLET(Fg_getAppletId)(r, none); }, -2001},
        {[&](void* r) { return APPLET(Fg_getStatusEx)(r, 1, 0, 0, none); }, -2001},
        {[&](void* r) { return APPLET(Fg_AcquireEx)(r, 0, 1, 0, none); }, -2001},
        {[&](void* r) { return APPLET(Fg_stopAcquireEx)(r, 0, none, 0); }, -2001},
        {[&](void* r) { return APPLET(Fg_getLastPicNumberEx)(r, 0, none); }, -2001},
        {[&](void* r) { return APPLET(Fg_getLastPicNumberBlockingEx)(r, 1, 0, 1, none); }, -2001},
        {[&](void* r) { return APPLET(Fg_getLastErrorNumber)(r); }, -2001},
        {[&](void* r) { return pointer(APPLET(Fg_getParameterInfo)(r, 0)); }, 0},
        {[&](void* r) { return APPLET(Fg_FreeGrabber)(r); }, -2001},
        {[&](void* r) { return pointer(APPLET(Fg_AllocShading)(r, none, none, none)); }, 0},
        {[&](void* r) { return APPLET(Fg_FreeShading)(r, none, none, none); }, -2001},
        {[&](void* r) { return APPLET(Shad_SetSubValueLine)(r, none, none, none, f); }, -2001},
        {[&](void* r) { return APPLET(Shad_SetMultValueLine)(r, none, none, none, f); }, -2001},
        {[&](void* r) { return APPLET(Shad_SetFixedPatternNoiseLine)(r, none, none, none, 1); }, -2001},
        {[&](void* r) { return APPLET(Shad_GetMaxLine)(r, none, none, none); }, -2001},
        {[&](void* r) { return APPLET(Shad_GetAccess)(r, none, none, none); }, -2001},
        {[&](void* r) { return APPLET(Shad_FreeAccess)(r, none, none, none); }, -2001},
        {[&](void* r) { return APPLET(Shad_WriteActLine)(r, none, none, none); }, -2001},
    };
    CHECK_EQ(exports.size(), size_t{30});
    for (size_t i = 0; i < exports.size(); ++i) {
        SCOPED_TRACE("export row " + std::to_string(i));
        HandleRecord empty;
        CHECK_EQ(exports[i].first(nullptr), exports[i].second);
        CHECK_EQ(exports[i].first(&empty), exports[i].second);
        CHECK(empty.wrapper == nullptr);
        CHECK(empty.runtimeFieldsIntact());
    }
}

TEST_CASE("shading is not offered") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    CHECK(Fg_AllocShading(board.fg, nullptr, nullptr, nullptr) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -1);
    // The runtime's record keeps the wrapper in its first field, as a shading object would.
    void* const none = nullptr;
    const std::vector<std::function<int32_t()>> lineCalls = {
        [&] { return Fg_FreeShading(board.fg, none, none, none); },
        [&] { return APPLET(Shad_SetSubValueLine)(board.fg, none, none, none, 1.5f); },
        [&] { return APPLET(Shad_SetMultValueLine)(board.fg, none, none, none, 1.5f); },
        [&] { return APPLET(Shad_SetFixedPatternNoiseLine)(board.fg, none, none, none, 3); },
        [&] { return APPLET(Shad_GetMaxLine)(board.fg, none, none, none); },
        [&] { return APPLET(Shad_GetAccess)(board.fg, none, none, none); },
        [&] { return APPLET(Shad_FreeAccess)(board.fg, none, none, none); },
        [&] { return APPLET(Shad_WriteActLine)(board.fg, none, none, none); },
    };
    for (const auto& call : lineCalls) {
        Fg_AllocShading(board.fg, nullptr, nullptr, nullptr);
        CHECK_EQ(call(), -2130);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), -2130);
    }
}

TEST_CASE("parameter exports prepare the value and filter type codes") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    for (const int32_t type : {3, 4}) {
        uint64_t value = ~uint64_t{0};
        Fg_getParameterWithType(board.fg, 100, &value, 0, type);
        CHECK_EQ(value >> 32, uint64_t{0});
    }
    // A type code other than 22 is refused by the export and leaves the last error alone.
    SimCtl_FailCall("Fg_getAppletId", -2010, -2020);
    Fg_getAppletId(board.fg, nullptr);
    SimCtl_FailCall("Fg_getAppletId", 0, 0);
    REQUIRE_EQ(Fg_getLastErrorNumber(board.fg), -2020);
    char text[8] = {};
    CHECK_EQ(Fg_freeParameterStringWithType(board.fg, 24010, text, 0, 6), -2078);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -2020);
}

TEST_CASE("the description root is handed out only for existing ports") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    CHECK(Fg_getParameterInfo(board.fg, 1) == nullptr);
    CHECK(Fg_getParameterInfo(board.fg, -1) == nullptr);
}

TEST_CASE("Fg_FreeGrabber closes the inner handle and empties the record") {
    SimCtl_Reset();
    SimHap_Reset();
    HandleRecord record;
    int32_t error = 1;
    record.wrapper = APPLET(Std_entry)(SimCtl_HardwareHandle(0), &error, 0);
    REQUIRE(record.wrapper != nullptr);
    CHECK_EQ(error, 0);
    void* inner = innerHandleOfLastOpen();

    SimCtl_ClearCalls();
    CHECK_EQ(APPLET(Fg_FreeGrabber)(&record), 0);
    const std::vector<SimCall> frees = callsNamed("Fg_FreeGrabber");
    REQUIRE_EQ(frees.size(), size_t{1});
    CHECK(frees[0].handle == inner);
    CHECK(record.wrapper == nullptr);
    CHECK(record.runtimeFieldsIntact());
    CHECK_EQ(SimHap_LiveHandles(), 0);

    CHECK_EQ(APPLET(Fg_getLastErrorNumber)(&record), -2001);
    CHECK_EQ(APPLET(Fg_FreeGrabber)(&record), -2001);
}

CHECK_MAIN
