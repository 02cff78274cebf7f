// Opening the applet on a board: the error cell, the choice of the HAP, failures that must
// leave nothing open, and the init call the runtime receives.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "applet_exports.h"
#include "board_session.h"
#include "check.h"
#include "platform/environment.h"
#include "vexo_sim.h"

#define APPLET(name) APPLET_EXPORT(SimCtl_AppletSymbol, name)

namespace {

using vexo::templates::platform::setEnvironment;
using vexo::templates::platform::unsetEnvironment;

constexpr const char* kForceExternalHap = "__VEXO_FORCE_EXTERNAL_HAP";

void resetBoard() {
    unsetEnvironment(kForceExternalHap);
    SimCtl_Reset();
    SimHap_Reset();
}

using board::callsNamed;

SimHapOpen lastHapOpen() {
    SimHapOpen open{};
    SimHap_GetOpen(SimHap_OpenCount() - 1, &open);
    return open;
}

// Opens through the runtime and expects a refusal with `code`, nothing left open.
void expectRefusedOpen(int32_t code) {
    CHECK(Fg_Init("Orvanta", 0) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), code);
    CHECK_EQ(SimHap_LiveHandles(), 0);
}

}  // namespace

TEST_CASE("Std_entry works without an error cell") {
    resetBoard();
    HandleRecord record;
    record.wrapper = APPLET(Std_entry)(SimCtl_HardwareHandle(0), nullptr, 0);
    CHECK(record.wrapper != nullptr);
    CHECK_EQ(APPLET(Fg_FreeGrabber)(&record), 0);

    SimHap_FailOpen(1);
    CHECK(APPLET(Std_entry)(SimCtl_HardwareHandle(0), nullptr, 0) == nullptr);
    SimHap_FailOpen(0);
}

TEST_CASE("the built-in HAP image is opened unless an external file is forced") {
    resetBoard();
    void* fg = Fg_Init("Orvanta", 0);
    REQUIRE(fg != nullptr);
    SimHapOpen open = lastHapOpen();
    CHECK_EQ(open.fromFile, 0);
    CHECK(open.image != nullptr);
    CHECK_EQ(open.size, uint64_t{5613887});
    CHECK_EQ(open.flag, 1);
    Fg_FreeGrabber(fg);

    // Defined, even empty, selects the file; its name goes to the HAP runtime as it is.
    REQUIRE(setEnvironment(kForceExternalHap, ""));
    fg = Fg_Init("Orvanta", 0);
    REQUIRE(fg != nullptr);
    open = lastHapOpen();
    CHECK_EQ(open.fromFile, 1);
    CHECK_EQ(std::string(open.fileName), std::string("Orvanta.hap"));
    CHECK_EQ(open.boardType, 1874);
    CHECK_EQ(open.flag, 1);
    Fg_FreeGrabber(fg);
    CHECK_EQ(SimHap_LiveHandles(), 0);
    unsetEnvironment(kForceExternalHap);
}

TEST_CASE("a failed open leaves nothing behind") {
    resetBoard();
    SimHap_FailOpen(1);
    expectRefusedOpen(-100);
    SimHap_FailOpen(0);

    resetBoard();
    SimCtl_FailInit(-2010);
    expectRefusedOpen(-2010);
    CHECK_EQ(SimHap_OpenCount(), 1);

    // A refusal whose global last error reads 0 must not pass for success.
    resetBoard();
    SimCtl_FailCall("Fg_InitHandleSlaveAware", 1, 0);
    expectRefusedOpen(-100);
    resetBoard();
}

TEST_CASE("the slave-aware init receives the HAP, the hardware handle and the flags") {
    resetBoard();
    const uint32_t flags = 0x11;
    void* fg = Fg_InitEx("Orvanta", 0, flags);
    REQUIRE(fg != nullptr);
    const std::vector<SimCall> inits = callsNamed("Fg_InitHandleSlaveAware");
    REQUIRE_EQ(inits.size(), size_t{1});
    CHECK(callsNamed("Fg_InitHandle").empty());
    CHECK_EQ(std::string(inits[0].text), std::string("Orvanta.hap"));
    CHECK_EQ(inits[0].u64, SimCtl_HardwareHandle(0));
    CHECK_EQ(inits[0].args[0], static_cast<uint64_t>(reinterpret_cast<uintptr_t>(lastHapOpen().handle)));
    CHECK_EQ(inits[0].args[1], uint64_t{flags});
    // Flag bit 0: start-up writes no initial value through the setters; only the debug-entry
    // step's clears go out.
    CHECK(board::nxWrites() == board::debugStepClearWrites());
    CHECK(callsNamed("Fg_setParameter").empty());
    Fg_FreeGrabber(fg);
}

CHECK_MAIN
