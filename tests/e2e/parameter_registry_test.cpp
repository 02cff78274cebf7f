// The SDK parameter registry seen by an application: the 130 fixed parameters in index order,
// the exact name lookup, and the optional register (DRA_) and NX (DNXA_) families switched on
// by the environment before the board is opened.
#include <cstdint>
#include <string>
#include <vector>

#include "applet/sdk_parameter_table.h"
#include "board_session.h"
#include "check.h"
#include "vexo_sim.h"

namespace {

using board::callsNamed;
using board::OpenBoard;
using vexo::applet::kSdkParameters;
using board::innerHandleOfLastOpen;
using board::Switch;

constexpr int32_t kFixedCount = 130;
constexpr int32_t kInvalid = -2070;

// The name at an index as a text, "(null)" when there is none.
std::string nameAt(void* fg, int32_t index) {
    const char* name = Fg_getParameterName(fg, index);
    return name != nullptr ? name : "(null)";
}

}  // namespace

TEST_CASE("the fixed parameters in index order, with their ids") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    REQUIRE_EQ(Fg_getNrOfParameter(board.fg), kFixedCount);
    CHECK_EQ(nameAt(board.fg, 0), std::string("FG_TIMEOUT"));
    CHECK_EQ(nameAt(board.fg, 129), std::string("FG_DEBUGSAVECONFIG"));
    for (int32_t index = 0; index < kFixedCount; ++index) {
        const char* name = Fg_getParameterName(board.fg, index);
        REQUIRE(name != nullptr);
        CHECK_EQ(std::string(name), std::string(kSdkParameters[index].name));
        CHECK_EQ(Fg_getParameterId(board.fg, index), kSdkParameters[index].id);
        CHECK_EQ(Fg_getParameterIdByName(board.fg, name), kSdkParameters[index].id);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);
    }
    CHECK_EQ(Fg_getParameterIdByName(board.fg, "FG_WIDTH"), 100);
    CHECK_EQ(Fg_getParameterIdByName(board.fg, "FG_TRIGGER_FRAMESPERSECOND"), 90);
}

TEST_CASE("unknown indices and names answer -2070 and leave it as last error") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    for (const int32_t index : {kFixedCount, -1, 1000000}) {
        CHECK(Fg_getParameterName(board.fg, index) == nullptr);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
        Fg_getParameterName(board.fg, 0);
        CHECK_EQ(Fg_getParameterId(board.fg, index), kInvalid);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
    }
    // Exact and case-sensitive; FG_PARAM_DESCR belongs to the read path only.
    for (const char* name : {"fg_width", "FG_WIDTH ", "", "FG_PARAM_DESCR", "DRA_ScratchPad"}) {
        Fg_getParameterName(board.fg, 0);
        CHECK_EQ(Fg_getParameterIdByName(board.fg, name), kInvalid);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
    }
}

TEST_CASE("direct register access lists the registers and reaches the register file") {
    Switch dra("VEXO_ENABLE_DRA", "On");
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    // The HAP lists eight registers; they follow the fixed parameters in position order.
    REQUIRE_EQ(Fg_getNrOfParameter(board.fg), kFixedCount + 8);
    CHECK_EQ(nameAt(board.fg, 130), std::string("DRA_ControlWord"));
    CHECK_EQ(nameAt(board.fg, 137), std::string("DRA_ScratchPad"));
    CHECK_EQ(Fg_getParameterId(board.fg, 131), 1000004);
    const int32_t scratch = Fg_getParameterIdByName(board.fg, "DRA_ScratchPad");
    const int32_t compare = Fg_getParameterIdByName(board.fg, "DRA_TimestampCompare");
    CHECK_EQ(scratch, 1000000 + 0x30);
    CHECK_EQ(compare, 1000000 + 0x28);

    // A 32-bit register takes the low four bytes only; a 40-bit one the whole 64-bit value.
    const uint64_t hardware = SimCtl_HardwareHandle(0);
    const uint64_t wide = 0xA5A5A5A512345678u;
    CHECK_EQ(Fg_setParameterWithType(board.fg, scratch, &wide, 0, 2), 0);
    uint64_t stored = 0;
    CHECK_EQ(SimHw_GetRegister(hardware, 0x30, &stored), 0);
    CHECK_EQ(stored, uint64_t{0x12345678});
    const uint64_t fortyBits = 0x12345678ABu;
    CHECK_EQ(Fg_setParameterWithType(board.fg, compare, &fortyBits, 0, 4), 0);
    CHECK_EQ(SimHw_GetRegister(hardware, 0x28, &stored), 0);
    CHECK_EQ(stored, fortyBits);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);

    // Reads: a narrow register leaves the upper half of a 64-bit value as the export cleared it.
    SimHw_SetRegister(hardware, 0x20, 0x9876543210u);
    uint64_t read = 0;
    CHECK_EQ(Fg_getParameterWithType(board.fg, 1000000 + 0x20, &read, 0, 4), 0);
    CHECK_EQ(read, uint64_t{0x9876543210u});
    read = ~uint64_t{0};
    CHECK_EQ(Fg_getParameterWithType(board.fg, scratch, &read, 0, 4), 0);
    CHECK_EQ(read, uint64_t{0x12345678});
    // With type code 2 nobody clears the upper half, and only four bytes may be written.
    read = ~uint64_t{0};
    CHECK_EQ(Fg_getParameterWithType(board.fg, scratch, &read, 0, 2), 0);
    CHECK_EQ(read, uint64_t{0xFFFFFFFF12345678u});

    // The hardware library's answer is the result, and a failed read leaves the value alone.
    SimHw_FailAccess(0x30, -77);
    CHECK_EQ(Fg_setParameterWithType(board.fg, scratch, &wide, 0, 2), -77);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -77);
    uint32_t untouched = 5;
    CHECK_EQ(Fg_getParameterWithType(board.fg, scratch, &untouched, 0, 2), -77);
    CHECK_EQ(untouched, 5u);
}

TEST_CASE("without direct register access register ids are unknown parameters") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    const int32_t writes = SimHw_WriteCount();
    const uint32_t value = 1;
    CHECK_EQ(Fg_setParameterWithType(board.fg, 1000000 + 0x30, &value, 0, 2), kInvalid);
    CHECK_EQ(Fg_getParameterWithType(board.fg, 1000000 + 0x30, const_cast<uint32_t*>(&value), 0, 2), kInvalid);
    CHECK_EQ(SimHw_WriteCount(), writes);
}

TEST_CASE("direct NX access offers the runtime's NX parameters under DNXA_ names") {
    {
        // Only the four words switch it on.
        Switch dnxa("VEXO_ENABLE_DNXA", "enabled");
        OpenBoard board;
        REQUIRE(board.fg != nullptr);
        CHECK_EQ(Fg_getNrOfParameter(board.fg), kFixedCount);
    }
    Switch dnxa("VEXO_ENABLE_DNXA", "TRUE");
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    const int32_t count = Fg_getNrOfParameter(board.fg);
    // Every parameter the design names, the 118 the applet uses among them.
    REQUIRE(count > kFixedCount + 118);

    const std::string offset = "Device1_Process0_CameraSimulator_Offset_Value";
    std::string previous;
    int32_t offsetIndex = -1;
    for (int32_t index = kFixedCount; index < count; ++index) {
        const char* name = Fg_getParameterName(board.fg, index);
        REQUIRE(name != nullptr);
        const std::string text = name;
        CHECK_EQ(text.rfind("DNXA_", 0), size_t{0});
        CHECK(previous < text);  // in name order
        previous = text;
        if (text == "DNXA_" + offset) offsetIndex = index;
    }
    REQUIRE(offsetIndex >= 0);
    // Listed but not in the id map: neither the index nor the name gives an id.
    CHECK_EQ(Fg_getParameterId(board.fg, offsetIndex), kInvalid);
    CHECK_EQ(Fg_getParameterIdByName(board.fg, ("DNXA_" + offset).c_str()), kInvalid);

    // The id is the runtime's NX id + 2000000, and reaches that NX value both ways.
    const int32_t nxId = Fg_getParameterIdByName(innerHandleOfLastOpen(), offset.c_str());
    REQUIRE(nxId > 0);
    const uint32_t written = 77;
    CHECK_EQ(Fg_setParameterWithType(board.fg, nxId + 2000000, &written, 0, 2), 0);
    uint64_t inDesign = 0;
    CHECK_EQ(SimCtl_GetNxU64(0, offset.c_str(), &inDesign), 0);
    CHECK_EQ(inDesign, uint64_t{77});
    SimCtl_SetNxU64(0, offset.c_str(), 91);
    uint32_t read = 0;
    CHECK_EQ(Fg_getParameterWithType(board.fg, nxId + 2000000, &read, 0, 2), 0);
    CHECK_EQ(read, 91u);
}

CHECK_MAIN
