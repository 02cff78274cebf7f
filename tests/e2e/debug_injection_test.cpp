// The debug injection through the exports on a simulated board: the entries announced by the
// design and read at start-up, the selection and what it changes in the description, the
// entry's NX parameters each debug parameter reaches, and failures of those accesses.
#include <cstdint>
#include <cstring>
#include <string>

#include "board_session.h"
#include "check.h"
#include "describe/parameter_info_node.h"
#include "vexo_sim.h"

using board::callsNamed;
using board::NxWrite;
using board::nxWrites;

namespace {

constexpr int32_t FG_DEBUGSOURCENAME = 900006, FG_DEBUGFILE = 900000, FG_DEBUGSOURCE = 900001, FG_DEBUGINENABLE = 900002,
                  FG_DEBUGINSERT = 900003, FG_DEBUGOUTENABLE = 900004, FG_DEBUGOUTXPOS = 900007,
                  FG_DEBUGOUTYPOS = 900008, FG_DEBUGOUTPIXEL = 900009, FG_DEBUGWRITEPIXEL = 900010,
                  FG_DEBUGWRITEFLAG = 900011, FG_DEBUGREADY = 900012, FG_DEBUGSAVECONFIG = 900013;
constexpr int32_t kOutOfRange = -6000, kEntryFailed = -2031;
const std::string kCamera = "Device1_Process0_DebugIn_Camera";  // entry 0, "Inject"
const std::string kBuffer = "Device1_Process0_DebugIn_Buffer";  // entry 1, "InjectMonitor"

int32_t set(void* fg, int32_t id, uint32_t value) { return Fg_setParameterWithType(fg, id, &value, 0, 2); }

uint32_t get(void* fg, int32_t id) {
    uint32_t value = 0xDEADBEEF;
    CHECK_EQ(Fg_getParameterWithType(fg, id, &value, 0, 2), 0);
    return value;
}

// The applet's description record of an SDK parameter id.
const ParameterInfoNode* findRecord(const ParameterInfoNode* node, int32_t id) {
    if (node->type != PARAM_INFO_CATEGORY) return node->id == id ? node : nullptr;
    for (int32_t i = 0; i < node->value.category.childCount; ++i) {
        if (const ParameterInfoNode* found = findRecord(node->value.category.children[i], id)) return found;
    }
    return nullptr;
}

const ParameterInfoNode& record(void* fg, int32_t id) {
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg, 0); top != nullptr; top = top->older) {
        if (const ParameterInfoNode* found = findRecord(top, id)) return *found;
    }
    REQUIRE(false);
    return *Fg_getParameterInfo(fg, 0);
}

struct DebugBoard : board::OpenBoard {
    explicit DebugBoard(uint32_t entry = 0) {
        REQUIRE(fg != nullptr);
        REQUIRE_EQ(set(fg, FG_DEBUGSOURCE, entry), 0);
        SimCtl_ClearCalls();
    }
};

// Opens the board after changing the design's announcement.
void* openAnnouncing(const char* count, const char* type1) {
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    SimCtl_SetNxText(0, "Device1_Process0_Debug_Entries", count);
    SimCtl_SetNxText(0, "Device1_Process0_Debug_Type1", type1);
    return Fg_Init("Orvanta", 0);
}

// A text read with type code 22, given back at once.
std::string allocatedText(void* fg, int32_t id) {
    char* text = nullptr;
    REQUIRE_EQ(Fg_getParameterWithType(fg, id, &text, 0, 22), 0);
    REQUIRE(text != nullptr);
    const std::string copy = text;
    CHECK_EQ(Fg_freeParameterStringWithType(fg, id, text, 0, 22), 0);
    return copy;
}

bool askedFor(const std::string& name) {
    for (const SimCall& call : callsNamed("Fg_getParameterIdByName")) {
        if (name == call.nxName) return true;
    }
    return false;
}

}  // namespace

TEST_CASE("start-up clears the trigger pulses first and sets the simulator's pixel frequency limit") {
    board::OpenBoard b(1);  // initial values skipped: only the debug step has written
    REQUIRE(b.fg != nullptr);
    CHECK(nxWrites() == board::debugStepClearWrites());
    CHECK_EQ(record(b.fg, 30106).value.dbl.max, 2000.0);  // FG_CAMERASIMULATOR_PIXEL_FREQUENCY
    CHECK(askedFor("Device1_Process0_Debug_Path1"));
}

TEST_CASE("selection: only announced, complete entries; the description follows the monitor") {
    DebugBoard b(1);
    CHECK_EQ(record(b.fg, FG_DEBUGOUTENABLE).access, 7u);
    CHECK_EQ(record(b.fg, FG_DEBUGOUTPIXEL).value.u32.max, 1023u);  // the runtime's "_PixelValue" maximum
    CHECK_EQ(set(b.fg, FG_DEBUGSOURCE, 2), kOutOfRange);
    CHECK_EQ(get(b.fg, FG_DEBUGSOURCE), 1u);
    CHECK_EQ(set(b.fg, FG_DEBUGSOURCE, 0), 0);
    CHECK_EQ(record(b.fg, FG_DEBUGOUTENABLE).access, 1u);
    CHECK_EQ(record(b.fg, FG_DEBUGOUTPIXEL).value.u32.max, 0u);

    // Three announced, but the second entry's type is not one the applet knows.
    void* fg = openAnnouncing("3", "inject");
    REQUIRE(fg != nullptr);
    CHECK(!askedFor("Device1_Process0_Debug_Path1"));
    CHECK_EQ(set(fg, FG_DEBUGSOURCE, 3), kOutOfRange);
    CHECK_EQ(set(fg, FG_DEBUGSOURCE, 1), kEntryFailed);
    CHECK_EQ(set(fg, FG_DEBUGSOURCE, 2), kEntryFailed);
    CHECK_EQ(get(fg, FG_DEBUGSOURCE), 0u);
    CHECK_EQ(set(fg, FG_DEBUGINENABLE, 1), 0);  // entry 0 stays usable
    Fg_FreeGrabber(fg);

    fg = openAnnouncing("0", "InjectMonitor");
    REQUIRE(fg != nullptr);
    CHECK_EQ(set(fg, FG_DEBUGSOURCE, 0), kOutOfRange);
    Fg_FreeGrabber(fg);
}

TEST_CASE("operation mode: each switch keeps the other's bit; an entry without monitor has none") {
    DebugBoard b(1);
    SimCtl_SetNxU64(0, (kBuffer + "_OperationMode").c_str(), 2);
    CHECK_EQ(set(b.fg, FG_DEBUGINENABLE, 1), 0);
    CHECK_EQ(set(b.fg, FG_DEBUGOUTENABLE, 0), 0);
    CHECK_EQ(set(b.fg, FG_DEBUGINENABLE, 2), kOutOfRange);
    const auto writes = nxWrites();
    REQUIRE_EQ(writes.size(), size_t{2});
    CHECK(writes[0] == (NxWrite{kBuffer + "_OperationMode", 3}));
    CHECK(writes[1] == (NxWrite{kBuffer + "_OperationMode", 1}));
    CHECK_EQ(get(b.fg, FG_DEBUGINENABLE), 1u);
    CHECK_EQ(get(b.fg, FG_DEBUGOUTENABLE), 0u);
    SimCtl_SetNxU64(0, (kBuffer + "_XPosition").c_str(), 17);
    SimCtl_SetNxU64(0, (kBuffer + "_PixelValue").c_str(), 99);
    CHECK_EQ(get(b.fg, FG_DEBUGOUTXPOS), 17u);
    CHECK_EQ(get(b.fg, FG_DEBUGOUTPIXEL), 99u);

    CHECK_EQ(set(b.fg, FG_DEBUGSOURCE, 0), 0);
    SimCtl_SetNxU64(0, (kCamera + "_OperationMode").c_str(), 2);
    SimCtl_ClearCalls();
    CHECK_EQ(set(b.fg, FG_DEBUGOUTENABLE, 1), 0);
    CHECK(nxWrites().empty());
    CHECK_EQ(get(b.fg, FG_DEBUGOUTENABLE), 0u);
    CHECK_EQ(get(b.fg, FG_DEBUGOUTYPOS), 0u);
    CHECK_EQ(get(b.fg, FG_DEBUGREADY), 1u);
    CHECK_EQ(set(b.fg, FG_DEBUGINENABLE, 1), 0);  // the stray output bit of an Inject entry is dropped
    CHECK(nxWrites().back() == (NxWrite{kCamera + "_OperationMode", 1}));
}

TEST_CASE("injection: pixel words below 2^57, flags, insert") {
    DebugBoard b;
    const uint64_t before = SimCtl_InjectedPixelCount(0);
    uint64_t word = 0x200000000000000ULL;
    CHECK_EQ(Fg_setParameterWithType(b.fg, FG_DEBUGWRITEPIXEL, &word, 0, 4), kOutOfRange);
    word = 0x1FFFFFFFFFFFFFFULL;
    CHECK_EQ(Fg_setParameterWithType(b.fg, FG_DEBUGWRITEPIXEL, &word, 0, 4), 0);
    const auto pixels = callsNamed("Fg_setParameterWithType");
    REQUIRE_EQ(pixels.size(), size_t{1});
    CHECK_EQ(pixels[0].typeCode, 4);
    CHECK_EQ(pixels[0].u64, word);
    CHECK_EQ(SimCtl_InjectedPixelCount(0), before + 1);
    uint64_t stored = 0;
    CHECK_EQ(Fg_getParameterWithType(b.fg, FG_DEBUGWRITEPIXEL, &stored, 0, 4), 0);
    CHECK_EQ(stored, word);

    SimCtl_ClearCalls();
    CHECK_EQ(set(b.fg, FG_DEBUGWRITEFLAG, 2), kOutOfRange);
    CHECK_EQ(set(b.fg, FG_DEBUGWRITEFLAG, 1), 0);
    CHECK_EQ(set(b.fg, FG_DEBUGINSERT, 0), kOutOfRange);
    CHECK_EQ(set(b.fg, FG_DEBUGINSERT, 1), 0);
    const auto writes = nxWrites();
    REQUIRE_EQ(writes.size(), size_t{2});
    CHECK(writes[0] == (NxWrite{kCamera + "_Inject_WriteFlag", 1}));
    CHECK(writes[1] == (NxWrite{kCamera + "_Insert", 1}));
}

TEST_CASE("texts: the debug file goes to the entry, the configuration name to the runtime") {
    DebugBoard b;
    const char* file = "pattern.tif";
    CHECK_EQ(Fg_setParameterWithType(b.fg, FG_DEBUGFILE, file, 0, 6), 0);
    const auto writes = callsNamed("Fg_setParameterWithType");
    REQUIRE_EQ(writes.size(), size_t{1});
    CHECK_EQ(std::string(writes[0].nxName), kCamera + "_DebugFile");
    CHECK_EQ(writes[0].typeCode, 6);
    CHECK_EQ(std::string(writes[0].text), std::string(file));

    const char* configuration = "debug.mcf";
    CHECK_EQ(Fg_setParameterWithType(b.fg, FG_DEBUGSAVECONFIG, configuration, 0, 6), 0);
    const auto saves = callsNamed("Fg_saveConfig");
    REQUIRE_EQ(saves.size(), size_t{1});
    CHECK_EQ(std::string(saves[0].text), std::string(configuration));
    char buffer[64] = {};
    CHECK_EQ(Fg_getParameterWithType(b.fg, FG_DEBUGSAVECONFIG, buffer, 0, 6), 0);
    CHECK_EQ(std::string(buffer), std::string(configuration));
}

TEST_CASE("a failing entry write answers -2031 and restores the stored value") {
    DebugBoard b;
    REQUIRE_EQ(set(b.fg, FG_DEBUGWRITEFLAG, 1), 0);
    SimCtl_FailNxWrite((kCamera + "_Inject_WriteFlag").c_str(), -2073);
    CHECK_EQ(set(b.fg, FG_DEBUGWRITEFLAG, 0), kEntryFailed);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kEntryFailed);
    CHECK_EQ(get(b.fg, FG_DEBUGWRITEFLAG), 1u);
    // A failed read stops the insert before its write.
    SimCtl_FailNxRead((kCamera + "_OperationMode").c_str(), -2073);
    SimCtl_ClearCalls();
    CHECK_EQ(set(b.fg, FG_DEBUGINSERT, 1), kEntryFailed);
    CHECK(nxWrites().empty());
    uint32_t value = 5;
    CHECK_EQ(Fg_getParameterWithType(b.fg, FG_DEBUGINENABLE, &value, 0, 2), kEntryFailed);
    CHECK_EQ(value, 5u);
}

TEST_CASE("names and the debug file read back as texts, into the caller's buffer or handed out") {
    DebugBoard b(1);
    char name[128] = {};
    CHECK_EQ(Fg_getParameterWithType(b.fg, FG_DEBUGSOURCENAME, name, 0, 6), 0);
    CHECK_EQ(std::string(name), std::string("Buffer Output"));
    REQUIRE_EQ(set(b.fg, FG_DEBUGSOURCE, 0), 0);
    CHECK_EQ(allocatedText(b.fg, FG_DEBUGSOURCENAME), std::string("Camera Input"));

    const char* file = "pattern.tif";
    REQUIRE_EQ(Fg_setParameterWithType(b.fg, FG_DEBUGFILE, file, 0, 6), 0);
    CHECK_EQ(allocatedText(b.fg, FG_DEBUGFILE), std::string(file));
    // The answer is the design's, not the stored value.
    SimCtl_SetNxText(0, (kCamera + "_DebugFile").c_str(), "other.tif");
    char buffer[64] = {};
    CHECK_EQ(Fg_getParameterWithType(b.fg, FG_DEBUGFILE, buffer, 0, 6), 0);
    CHECK_EQ(std::string(buffer), std::string("other.tif"));
}

CHECK_MAIN
