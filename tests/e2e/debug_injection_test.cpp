// The debug injection through the exports: the entries read at start-up, their selection and its
// effect on the description, the NX parameters each debug parameter reaches, and their failures.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "trigger_board.h"

using namespace trigger_test;
using board::callsNamed;

namespace {

constexpr int32_t FG_DEBUGFILE = 900000, FG_DEBUGSOURCE = 900001, FG_DEBUGINENABLE = 900002, FG_DEBUGINSERT = 900003,
                  FG_DEBUGOUTENABLE = 900004, FG_DEBUGSOURCENAME = 900006, FG_DEBUGOUTXPOS = 900007,
                  FG_DEBUGOUTYPOS = 900008, FG_DEBUGOUTPIXEL = 900009, FG_DEBUGWRITEPIXEL = 900010,
                  FG_DEBUGWRITEFLAG = 900011, FG_DEBUGREADY = 900012, FG_DEBUGSAVECONFIG = 900013;
constexpr int32_t kEntryFailed = -2031;
const std::string kCamera = "Device1_Process0_DebugIn_Camera";  // entry 0, "Inject"
const std::string kBuffer = "Device1_Process0_DebugIn_Buffer";  // entry 1, "InjectMonitor"

int32_t set(void* fg, int32_t id, uint32_t value) { return Fg_setParameterWithType(fg, id, &value, 0, 2); }

uint32_t get(void* fg, int32_t id) {
    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(Fg_getParameterWithType(fg, id, &value, 0, 2), 0) << id;
    return value;
}

// Changes the design's announcement of its entries, before the board opens.
auto announcing(const char* count, const char* type1) {
    return [=] {
        SimCtl_SetNxText(0, "Device1_Process0_Debug_Entries", count);
        SimCtl_SetNxText(0, "Device1_Process0_Debug_Type1", type1);
    };
}

bool askedFor(const std::string& name) {
    const std::vector<SimCall> calls = callsNamed("Fg_getParameterIdByName");
    return std::any_of(calls.begin(), calls.end(), [&name](const SimCall& call) { return name == call.nxName; });
}

// A board with debug entry 0 ("Inject") selected, its calls so far forgotten.
class DebugInjection : public board::BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        ASSERT_EQ(set(fg(), FG_DEBUGSOURCE, 0), 0);
        SimCtl_ClearCalls();
    }
};

}  // namespace

TEST(DebugStartUp, ReadsTheEntriesAndSetsThePixelFrequencyLimit) {
    board::OpenBoard b(1);  // initial values skipped: only the debug step has run
    ASSERT_NE(b.fg, nullptr);
    EXPECT_EQ(record(b.fg, "FG_CAMERASIMULATOR_PIXEL_FREQUENCY").value.dbl.max, 2000.0);
    EXPECT_TRUE(askedFor("Device1_Process0_Debug_Path1"));
}

// Only announced, complete entries are selected; the description follows the monitor.
TEST_F(DebugInjection, SelectionAndTheDescriptionOfTheMonitor) {
    ASSERT_EQ(set(fg(), FG_DEBUGSOURCE, 1), 0);
    EXPECT_EQ(record(fg(), "FG_DEBUGOUTENABLE").access, 7u);
    EXPECT_EQ(record(fg(), "FG_DEBUGOUTPIXEL").value.u32.max, 1023u);  // the runtime's "_PixelValue" maximum
    EXPECT_EQ(set(fg(), FG_DEBUGSOURCE, 2), kOutOfRange);
    EXPECT_EQ(set(fg(), FG_DEBUGSOURCE, 0), 0);
    EXPECT_EQ(record(fg(), "FG_DEBUGOUTENABLE").access, 1u);
    EXPECT_EQ(record(fg(), "FG_DEBUGOUTPIXEL").value.u32.max, 0u);
}

TEST(DebugStartUp, UnknownOrMissingEntriesCannotBeSelected) {
    // Three announced, but the second entry's type is not one the applet knows.
    {
        PreparedBoard b(announcing("3", "inject"));
        ASSERT_NE(b.fg, nullptr);
        EXPECT_FALSE(askedFor("Device1_Process0_Debug_Path1"));
        EXPECT_EQ(set(b.fg, FG_DEBUGSOURCE, 3), kOutOfRange);
        EXPECT_EQ(set(b.fg, FG_DEBUGSOURCE, 1), kEntryFailed);
        EXPECT_EQ(set(b.fg, FG_DEBUGSOURCE, 2), kEntryFailed);
        EXPECT_EQ(set(b.fg, FG_DEBUGINENABLE, 1), 0);  // entry 0 stays usable
    }
    PreparedBoard b(announcing("0", "InjectMonitor"));
    ASSERT_NE(b.fg, nullptr);
    EXPECT_EQ(set(b.fg, FG_DEBUGSOURCE, 0), kOutOfRange);
}

// Each switch of the operation mode keeps the other's bit; an entry without monitor has none.
TEST_F(DebugInjection, OperationModeSwitches) {
    ASSERT_EQ(set(fg(), FG_DEBUGSOURCE, 1), 0);
    SimCtl_SetNxU64(0, (kBuffer + "_OperationMode").c_str(), 2);
    SimCtl_ClearCalls();
    EXPECT_EQ(set(fg(), FG_DEBUGINENABLE, 1), 0);
    EXPECT_EQ(set(fg(), FG_DEBUGOUTENABLE, 0), 0);
    EXPECT_WRITES((Writes{{kBuffer + "_OperationMode", 3}, {kBuffer + "_OperationMode", 1}}));
    EXPECT_EQ(get(fg(), FG_DEBUGINENABLE), 1u);
    EXPECT_EQ(get(fg(), FG_DEBUGOUTENABLE), 0u);
    SimCtl_SetNxU64(0, (kBuffer + "_XPosition").c_str(), 17);
    SimCtl_SetNxU64(0, (kBuffer + "_PixelValue").c_str(), 99);
    EXPECT_EQ(get(fg(), FG_DEBUGOUTXPOS), 17u);
    EXPECT_EQ(get(fg(), FG_DEBUGOUTPIXEL), 99u);

    EXPECT_EQ(set(fg(), FG_DEBUGSOURCE, 0), 0);
    SimCtl_SetNxU64(0, (kCamera + "_OperationMode").c_str(), 2);
    SimCtl_ClearCalls();
    EXPECT_EQ(set(fg(), FG_DEBUGOUTENABLE, 1), 0);
    EXPECT_WRITES(Writes{});
    EXPECT_EQ(get(fg(), FG_DEBUGOUTENABLE), 0u);
    EXPECT_EQ(get(fg(), FG_DEBUGOUTYPOS), 0u);
    EXPECT_EQ(get(fg(), FG_DEBUGREADY), 1u);
    EXPECT_EQ(set(fg(), FG_DEBUGINENABLE, 1), 0);  // the stray output bit of an Inject entry is dropped
    EXPECT_WRITES((Writes{{kCamera + "_OperationMode", 1}}));
}

// Pixel words stay below 2^57 and go out as 64-bit values; flags and insert are single writes.
TEST_F(DebugInjection, PixelWordsFlagsAndInsert) {
    uint64_t word = 0x200000000000000ULL;
    EXPECT_EQ(Fg_setParameterWithType(fg(), FG_DEBUGWRITEPIXEL, &word, 0, 4), kOutOfRange);
    word = 0x1FFFFFFFFFFFFFFULL;
    EXPECT_EQ(Fg_setParameterWithType(fg(), FG_DEBUGWRITEPIXEL, &word, 0, 4), 0);
    const auto pixels = callsNamed("Fg_setParameterWithType");
    ASSERT_EQ(pixels.size(), size_t{1});
    EXPECT_EQ(pixels[0].typeCode, 4);
    EXPECT_EQ(pixels[0].u64, word);

    SimCtl_ClearCalls();
    EXPECT_EQ(set(fg(), FG_DEBUGWRITEFLAG, 2), kOutOfRange);
    EXPECT_EQ(set(fg(), FG_DEBUGWRITEFLAG, 1), 0);
    EXPECT_EQ(set(fg(), FG_DEBUGINSERT, 0), kOutOfRange);
    EXPECT_EQ(set(fg(), FG_DEBUGINSERT, 1), 0);
    EXPECT_WRITES((Writes{{kCamera + "_Inject_WriteFlag", 1}, {kCamera + "_Insert", 1}}));
}

TEST_F(DebugInjection, FailingEntryAccessAnswers2031AndRestoresTheValue) {
    ASSERT_EQ(set(fg(), FG_DEBUGWRITEFLAG, 1), 0);
    SimCtl_FailNxWrite((kCamera + "_Inject_WriteFlag").c_str(), -2073);
    EXPECT_EQ(set(fg(), FG_DEBUGWRITEFLAG, 0), kEntryFailed);
    EXPECT_EQ(get(fg(), FG_DEBUGWRITEFLAG), 1u);
    // A failed read stops the insert before its write.
    SimCtl_FailNxRead((kCamera + "_OperationMode").c_str(), -2073);
    SimCtl_ClearCalls();
    EXPECT_EQ(set(fg(), FG_DEBUGINSERT, 1), kEntryFailed);
    EXPECT_WRITES(Writes{});
    uint32_t value = 5;
    EXPECT_EQ(Fg_getParameterWithType(fg(), FG_DEBUGINENABLE, &value, 0, 2), kEntryFailed);
    EXPECT_EQ(value, 5u);
}

// The debug file goes to the entry and reads back from it; the configuration name goes to the
// runtime's save; the name follows the selected entry.
TEST_F(DebugInjection, Texts) {
    const char* file = "pattern.tif";
    EXPECT_EQ(Fg_setParameterWithType(fg(), FG_DEBUGFILE, file, 0, 6), 0);
    const auto writes = callsNamed("Fg_setParameterWithType");
    ASSERT_EQ(writes.size(), size_t{1});
    EXPECT_STREQ(writes[0].nxName, (kCamera + "_DebugFile").c_str());
    EXPECT_EQ(writes[0].typeCode, 6);
    EXPECT_STREQ(writes[0].text, file);
    // The answer is the design's, not the stored value.
    SimCtl_SetNxText(0, (kCamera + "_DebugFile").c_str(), "other.tif");
    char buffer[64] = {};
    EXPECT_EQ(Fg_getParameterWithType(fg(), FG_DEBUGFILE, buffer, 0, 6), 0);
    EXPECT_STREQ(buffer, "other.tif");

    const char* configuration = "debug.mcf";
    EXPECT_EQ(Fg_setParameterWithType(fg(), FG_DEBUGSAVECONFIG, configuration, 0, 6), 0);
    const auto saves = callsNamed("Fg_saveConfig");
    ASSERT_EQ(saves.size(), size_t{1});
    EXPECT_STREQ(saves[0].text, configuration);
    EXPECT_EQ(Fg_getParameterWithType(fg(), FG_DEBUGSAVECONFIG, buffer, 0, 6), 0);
    EXPECT_STREQ(buffer, configuration);

    EXPECT_EQ(Fg_getParameterWithType(fg(), FG_DEBUGSOURCENAME, buffer, 0, 6), 0);
    EXPECT_STREQ(buffer, "Camera Input");
    ASSERT_EQ(set(fg(), FG_DEBUGSOURCE, 1), 0);
    EXPECT_EQ(Fg_getParameterWithType(fg(), FG_DEBUGSOURCENAME, buffer, 0, 6), 0);
    EXPECT_STREQ(buffer, "Buffer Output");
}
