// The SDK parameter registry seen by an application: the 130 fixed parameters row by row against
// the committed table sdk_parameters.txt (index, id, name, kind, access and start value), the
// exact name lookup, the descriptions, and the optional register (DRA_) and NX (DNXA_) families
// switched on by the environment before the board is opened.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board_session.h"

namespace {

using Registry = board::BoardTest;
using board::OpenBoard;
using board::Switch;

constexpr int32_t kFixedCount = 130;
constexpr int32_t kInvalid = -2070;
constexpr uint64_t kPattern = 0xAAAAAAAAAAAAAAAAu;

// One line of sdk_parameters.txt, which the build copies beside the executable.
struct Row {
    int32_t index = -1;
    int32_t id = 0;
    std::string name, kind, access, start, read;
};

std::vector<Row> tableRows() {
    std::vector<Row> rows;
    std::ifstream file("sdk_parameters.txt");
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        Row row;
        std::istringstream(line) >> row.index >> row.id >> row.name >> row.kind >> row.access >> row.start >> row.read;
        if (row.start == "\"\"") row.start.clear();
        rows.push_back(row);
    }
    return rows;
}

// A read as the application sees it. Numbers go into an 8-byte cell filled with a pattern, with
// type code 5, which the export does not clear: the bytes written show the parameter's width.
// Texts come with type code 22 and are given back at once.
struct Answer {
    int32_t result = 0;
    uint64_t cell = kPattern;
    std::string text;
    bool operator==(const Answer& o) const { return result == o.result && cell == o.cell && text == o.text; }
};

Answer readRow(void* fg, const Row& row) {
    Answer answer;
    if (row.kind == "string") {
        char* text = nullptr;
        answer.result = Fg_getParameterWithType(fg, row.id, &text, 0, 22);
        if (text != nullptr) {
            answer.text = text;
            EXPECT_EQ(Fg_freeParameterStringWithType(fg, row.id, text, 0, 22), 0);
        }
    } else {
        // The runtime answers its own parameters in the caller's type.
        answer.result = Fg_getParameterWithType(fg, row.id, &answer.cell, 0, row.kind == "runtime" ? 4 : 5);
    }
    return answer;
}

std::string description(void* fg, const std::string& name) {
    char buffer[512] = {};
    name.copy(buffer, sizeof buffer - 1);
    EXPECT_EQ(Fg_getParameterWithType(fg, 24114, buffer, 0, 6), 0);  // FG_PARAM_DESCR
    return buffer;
}

// The name at an index as a text, "(null)" when there is none.
std::string nameAt(void* fg, int32_t index) {
    const char* name = Fg_getParameterName(fg, index);
    return name != nullptr ? name : "(null)";
}

}  // namespace

TEST_F(Registry, FixedParametersAreTheTablesRows) {
    const std::vector<Row> rows = tableRows();
    ASSERT_EQ(rows.size(), size_t{kFixedCount});
    ASSERT_EQ(Fg_getNrOfParameter(fg()), kFixedCount);
    SimCtl_ClearCalls();
    std::vector<Answer> first;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(nameAt(fg(), row.index), row.name);
        EXPECT_EQ(Fg_getParameterId(fg(), row.index), row.id);
        EXPECT_EQ(Fg_getParameterIdByName(fg(), row.name.c_str()), row.id);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
        first.push_back(readRow(fg(), row));
        EXPECT_EQ(first.back().result, 0);
        if (row.kind != "runtime" && row.kind != "string") {
            const bool wide = row.kind == "double" || row.kind == "int64";
            EXPECT_EQ(first.back().cell >> 32 != kPattern >> 32, wide);
        }
        // Only the runtime's own parameters go without a description.
        EXPECT_EQ(description(fg(), row.name).empty(), row.kind == "runtime");
    }
    // Reads change nothing: a second round answers alike, and the design was never written.
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].name);
        EXPECT_TRUE(readRow(fg(), rows[i]) == first[i]);
    }
    EXPECT_TRUE(board::callsNamed("Fg_setParameterWithType").empty());

    const uint64_t zero = 0;
    for (const Row& row : rows) {
        if (row.access != "R" && row.access != "runtime") continue;
        SCOPED_TRACE(row.name);
        EXPECT_EQ(Fg_setParameterWithType(fg(), row.id, &zero, 0, 2), -12);
    }
}

// The stored start values are the constructor's: with flag bit 0 no setter runs, and every read
// of a stored value answers them. Start-up's setters write them again, as the saved
// configuration shows.
TEST(StartValues, StoredValuesAreTheTablesWithoutInitialWrites) {
    OpenBoard board(1);
    ASSERT_NE(board.fg, nullptr);
    for (const Row& row : tableRows()) {
        if (row.read != "stored") continue;
        SCOPED_TRACE(row.name);
        const Answer answer = readRow(board.fg, row);
        ASSERT_EQ(answer.result, 0);
        if (row.kind == "string") {
            EXPECT_EQ(answer.text, row.start);
        } else if (row.kind == "double") {
            double number = 0;
            std::memcpy(&number, &answer.cell, sizeof number);
            EXPECT_DOUBLE_EQ(number, std::stod(row.start));
        } else {
            EXPECT_EQ(row.kind == "int64" ? answer.cell : answer.cell & 0xFFFFFFFFu, std::stoull(row.start));
        }
    }
}

TEST_F(Registry, UnknownIndicesAndNamesAnswerInvalidAndLeaveItAsLastError) {
    for (const int32_t index : {kFixedCount, -1, 1000000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(Fg_getParameterName(fg(), index), nullptr);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
        Fg_getParameterName(fg(), 0);
        EXPECT_EQ(Fg_getParameterId(fg(), index), kInvalid);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
    }
    // Exact and case-sensitive; FG_PARAM_DESCR belongs to the read path only.
    for (const char* name : {"fg_width", "FG_WIDTH ", "", "FG_PARAM_DESCR", "DRA_ScratchPad"}) {
        SCOPED_TRACE(name);
        Fg_getParameterName(fg(), 0);
        EXPECT_EQ(Fg_getParameterIdByName(fg(), name), kInvalid);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
    }
}

// FG_PARAM_DESCR describes the parameter named in the caller's buffer.
TEST_F(Registry, ParamDescrDescribesTheNameFoundInTheBuffer) {
    EXPECT_EQ(description(fg(), "FG_WIDTH"), "Image width of the acquisition ROI.");
    EXPECT_EQ(description(fg(), "FG_NO_SUCH_THING"), "-");
    // With type code 22 the pointer to the description replaces the name's first bytes.
    char buffer[128] = "FG_HAP_FILE";
    ASSERT_EQ(Fg_getParameterWithType(fg(), 24114, buffer, 0, 22), 0);
    char* text = nullptr;
    std::memcpy(&text, buffer, sizeof text);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "The name of the Hardware-Applet (HAP) file on which this Capturekits is based.");
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), 24114, text, 0, 22), 0);
}

// The records of both families are checked with the description tree; here: the listing, the
// ids, and register values through the read and write paths.
TEST(RegistrySwitches, DirectRegisterAccessListsTheRegistersAndReachesThem) {
    Switch dra("VEXO_ENABLE_DRA", "On");
    OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    // The HAP lists eight registers; they follow the fixed parameters in position order.
    ASSERT_EQ(Fg_getNrOfParameter(board.fg), kFixedCount + 8);
    EXPECT_EQ(nameAt(board.fg, 130), "DRA_ControlWord");
    const int32_t scratch = Fg_getParameterIdByName(board.fg, "DRA_ScratchPad");  // 32 bits
    EXPECT_EQ(scratch, 1000000 + 0x30);
    EXPECT_EQ(Fg_getParameterId(board.fg, 137), scratch);

    // A 32-bit register takes the low four bytes only; a 40-bit one the whole 64-bit value.
    const uint64_t hardware = SimCtl_HardwareHandle(0);
    const uint64_t wide = 0xA5A5A5A512345678u;
    EXPECT_EQ(Fg_setParameterWithType(board.fg, scratch, &wide, 0, 2), 0);
    uint64_t stored = 0;
    EXPECT_EQ(SimHw_GetRegister(hardware, 0x30, &stored), 0);
    EXPECT_EQ(stored, 0x12345678u);
    const uint64_t fortyBits = 0x12345678ABu;
    EXPECT_EQ(Fg_setParameterWithType(board.fg, 1000000 + 0x28, &fortyBits, 0, 4), 0);  // DRA_TimestampCompare
    EXPECT_EQ(SimHw_GetRegister(hardware, 0x28, &stored), 0);
    EXPECT_EQ(stored, fortyBits);

    // Reads: a narrow register leaves the upper half of a 64-bit value as the export cleared it.
    SimHw_SetRegister(hardware, 0x20, 0x9876543210u);
    uint64_t read = 0;
    EXPECT_EQ(Fg_getParameterWithType(board.fg, 1000000 + 0x20, &read, 0, 4), 0);
    EXPECT_EQ(read, 0x9876543210u);
    read = ~uint64_t{0};
    EXPECT_EQ(Fg_getParameterWithType(board.fg, scratch, &read, 0, 4), 0);
    EXPECT_EQ(read, 0x12345678u);
    // With type code 2 nobody clears the upper half, and only four bytes may be written.
    read = ~uint64_t{0};
    EXPECT_EQ(Fg_getParameterWithType(board.fg, scratch, &read, 0, 2), 0);
    EXPECT_EQ(read, 0xFFFFFFFF12345678u);

    // The hardware library's answer is the result, and a failed read leaves the value alone.
    SimHw_FailAccess(0x30, -77);
    EXPECT_EQ(Fg_setParameterWithType(board.fg, scratch, &wide, 0, 2), -77);
    EXPECT_EQ(Fg_getLastErrorNumber(board.fg), -77);
    uint32_t untouched = 5;
    EXPECT_EQ(Fg_getParameterWithType(board.fg, scratch, &untouched, 0, 2), -77);
    EXPECT_EQ(untouched, 5u);
}

// Reads and writes with the ids of direct NX access are checked with the read and write paths.
TEST(RegistrySwitches, DirectNxAccessListsTheRuntimesNxParametersUnderDnxaNamesWithoutIds) {
    Switch dnxa("VEXO_ENABLE_DNXA", "TRUE");
    OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    const int32_t count = Fg_getNrOfParameter(board.fg);
    // Every parameter of the design, the 118 the applet uses among them.
    ASSERT_GT(count, kFixedCount + 118);
    std::string previous;
    for (int32_t index = kFixedCount; index < count; ++index) {
        const std::string name = nameAt(board.fg, index);
        EXPECT_EQ(name.rfind("DNXA_", 0), 0u) << name;
        EXPECT_LT(previous, name);  // in name order
        previous = name;
    }
    // Listed but not in the id map: neither the index nor the name gives an id.
    EXPECT_EQ(Fg_getParameterId(board.fg, count - 1), kInvalid);
    EXPECT_EQ(Fg_getParameterIdByName(board.fg, previous.c_str()), kInvalid);
}
