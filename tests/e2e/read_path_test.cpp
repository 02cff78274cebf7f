// The read operation seen by an application: every parameter answers after start-up without
// touching the design, values come in the parameter's own type, strings are handed out and
// given back, and the composite and converted answers follow the board's registers.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "vexo_sim.h"

namespace {

using board::callsNamed;
using board::OpenBoard;

constexpr int32_t kInvalid = -2070;
constexpr int32_t kTypeU32 = 2;
constexpr int32_t kTypeU64 = 4;
constexpr int32_t kTypeDouble = 5;
constexpr int32_t kTypeText = 6;
constexpr int32_t kTypeAllocated = 22;

constexpr int32_t FG_WIDTH = 100;
constexpr int32_t FG_HAP_FILE = 24108;
constexpr int32_t FG_APPLET_ID = 24010;
constexpr int32_t FG_PARAM_DESCR = 24114;
constexpr int32_t FG_NR_OF_PROCESSES = 3070;
constexpr int32_t FG_NR_OF_DMAS = 3050;
constexpr int32_t FG_TRANSFER_LEN = 5210;
constexpr int32_t FG_DMASTATUS = 24092;
constexpr int32_t FG_CAMSTATUS = 2000;
constexpr int32_t FG_CAMSTATUS_EXTENDED = 2050;
constexpr int32_t FG_FILLLEVEL = 110086;
constexpr int32_t FG_LINE_PAYLOAD_SIZE = 200400;
constexpr int32_t FG_ALTERNATIVE_BOARD_DETECTION = 200381;
constexpr int32_t FG_SYSTEMMONITOR_FPGA_TEMPERATURE = 200341;
constexpr int32_t FG_CAMERASIMULATOR_ENABLE = 30099;
constexpr int32_t FG_CAMERASIMULATOR_SELECT_MODE = 200328;
constexpr int32_t FG_CAMERASIMULATOR_PIXEL_FREQUENCY = 30106;
constexpr int32_t FG_CAMERASIMULATOR_ACTIVE = 30101;
constexpr int32_t FG_CAMERASIMULATOR_PASSIVE = 30100;
constexpr int32_t FG_CAMERASIMULATOR_LINERATE = 200329;
constexpr int32_t FG_CAMERASIMULATOR_FRAMERATE = 200352;
constexpr int32_t FG_TRIGGER_FRAMESPERSECOND = 90;
constexpr int32_t FG_TRIGGERIN_STATS_FREQUENCY = 300209;
constexpr int32_t FG_TRIGGERIN_STATS_MINFREQUENCY = 300210;
constexpr int32_t FG_TRIGGERIN_STATS_MAXFREQUENCY = 300211;
constexpr int32_t FG_AREATRIGGERMODE = 300200;
constexpr int32_t FG_TRIGGERSTATE = 300201;
constexpr int32_t FG_TRIGGER_MULTIPLY_PULSES = 300213;
constexpr int32_t FG_TRIGGER_EXCEEDED_PERIOD_LIMITS = 300202;
constexpr int32_t FG_SOFTWARETRIGGER_IS_BUSY = 110075;
constexpr int32_t FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL = 8802;
constexpr int32_t FG_TRIGGERQUEUE_FILLLEVEL = 300215;
constexpr int32_t FG_MISSING_CAMERA_FRAME_RESPONSE = 300248;

constexpr const char* kFillLevel = "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel";
constexpr const char* kOverflow = "Device1_Process0_Overflow_OverflowOccurred";
constexpr const char* kQueueStatus = "Device1_Process1_Trigger_Monitoring_ReadQueueStatus_Status";
constexpr const char* kQueueValue = "Device1_Process1_Trigger_TriggerCam0_Generators_QueueValue_Status";
constexpr const char* kMaximumReached = "Device1_Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status";

// The parameters whose values are texts.
const std::set<int32_t> kTextIds = {FG_APPLET_ID, 24011, FG_HAP_FILE, 900006, 900000, 900013};

template <typename T>
int32_t get(void* fg, int32_t id, T& value, int32_t type, uint32_t dma = 0) {
    return Fg_getParameterWithType(fg, id, &value, dma, type);
}

uint32_t u32(void* fg, int32_t id) {
    uint32_t value = 0xDEADBEEF;
    CHECK_EQ(get(fg, id, value, kTypeU32), 0);
    return value;
}

double f64(void* fg, int32_t id) {
    double value = -1;
    CHECK_EQ(get(fg, id, value, kTypeDouble), 0);
    return value;
}

template <typename T>
int32_t set(void* fg, int32_t id, T value) {
    return Fg_setParameterWithType(fg, id, &value, 0, sizeof(T) == 8 ? kTypeDouble : kTypeU32);
}

// A text read with type code 22, given back at once.
std::string allocatedText(void* fg, int32_t id) {
    char* text = nullptr;
    REQUIRE_EQ(get(fg, id, text, kTypeAllocated), 0);
    REQUIRE(text != nullptr);
    const std::string copy = text;
    CHECK_EQ(Fg_freeParameterStringWithType(fg, id, text, 0, kTypeAllocated), 0);
    return copy;
}

// Every served parameter, read by its id from the registry: numbers as the 8 bytes they fill,
// texts through type code 22 and given back.
std::map<std::string, std::string> readEverything(void* fg) {
    std::map<std::string, std::string> answers;
    const int32_t count = Fg_getNrOfParameter(fg);
    for (int32_t index = 0; index < count; ++index) {
        const std::string name = Fg_getParameterName(fg, index);
        const int32_t id = Fg_getParameterId(fg, index);
        if (kTextIds.count(id) != 0) {
            answers[name] = allocatedText(fg, id);
            continue;
        }
        uint64_t value = 0;
        const int32_t result = get(fg, id, value, kTypeU64);
        if (result != 0) CHECK_EQ(name + " answers " + std::to_string(result), name + " answers 0");
        answers[name] = std::to_string(value);
    }
    return answers;
}

}  // namespace

TEST_CASE("after start-up every parameter answers, twice alike, without writing the design") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    SimCtl_ClearCalls();
    const std::map<std::string, std::string> first = readEverything(board.fg);
    CHECK_EQ(first.size(), size_t{130});
    CHECK(callsNamed("Fg_setParameterWithType").empty());
    CHECK(first == readEverything(board.fg));

    CHECK_EQ(u32(board.fg, 24020), 3u);  // FG_APPLET_VERSION
    CHECK_EQ(u32(board.fg, 24030), 1u);  // FG_APPLET_REVISION
    CHECK_EQ(u32(board.fg, 4000), 8u);   // FG_PIXELDEPTH
    CHECK_EQ(u32(board.fg, FG_NR_OF_PROCESSES), 1u);
    CHECK_EQ(u32(board.fg, FG_WIDTH), 1024u);
    CHECK_EQ(first.at("FG_HAP_FILE"), std::string("Orvanta.hap"));
    char uid[64] = {};
    SimCtl_GetNxText(0, "Device1_Process0_AppletProperties_AppletUid", uid, sizeof uid);
    CHECK_EQ(first.at("FG_APPLET_ID"), std::string(uid));
    CHECK_EQ(f64(board.fg, FG_SYSTEMMONITOR_FPGA_TEMPERATURE), 48.5);
    uint64_t dna = 0;
    SimCtl_GetNxU64(0, "Device1_Process0_BoardStatus_FpgaDNA", &dna);
    CHECK_EQ(first.at("FG_SYSTEMMONITOR_FPGA_DNA"), std::to_string(dna));
    CHECK_EQ(first.at("FG_TRANSFER_LEN"), std::string("1048576"));
    CHECK_EQ(u32(board.fg, FG_ALTERNATIVE_BOARD_DETECTION), 1u);
    // The statistics' start periods: 1 kHz now, seen between 500 Hz and 2 kHz.
    CHECK(std::fabs(f64(board.fg, FG_TRIGGERIN_STATS_FREQUENCY) - 1000) < 1e-6);
    CHECK(std::fabs(f64(board.fg, FG_TRIGGERIN_STATS_MINFREQUENCY) - 500) < 1e-6);
    CHECK(std::fabs(f64(board.fg, FG_TRIGGERIN_STATS_MAXFREQUENCY) - 2000) < 1e-6);
    // Debounce 1 us is kept as 42 steps of 24 ns; pulse widths of 4 us as 500 ticks.
    CHECK(std::fabs(f64(board.fg, 300204) - 1.008) < 1e-12);
    CHECK_EQ(f64(board.fg, 300219), 4.0);
    CHECK_EQ(u32(board.fg, FG_LINE_PAYLOAD_SIZE), 1024u * 8);
}

TEST_CASE("DMA index, null value and unknown ids") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    uint32_t value = 77;
    CHECK_EQ(get(board.fg, FG_WIDTH, value, kTypeU32, 1), kInvalid);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
    CHECK_EQ(value, 77u);
    CHECK_EQ(get(board.fg, FG_NR_OF_PROCESSES, value, kTypeU32, 1), 0);
    CHECK_EQ(value, 1u);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);
    for (const int32_t id : {1, 999999, 1000010}) {
        value = 77;
        CHECK_EQ(get(board.fg, id, value, kTypeU32), kInvalid);
        CHECK_EQ(value, 77u);
    }
    CHECK_EQ(Fg_getParameterWithType(board.fg, FG_WIDTH, nullptr, 0, kTypeU32), kInvalid);
}

TEST_CASE("numbers are written in the parameter's own width whatever the type code") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    // The export clears a 64-bit value first, so a 32-bit answer leaves the upper half 0.
    uint64_t wide = ~uint64_t{0};
    CHECK_EQ(get(board.fg, FG_WIDTH, wide, kTypeU64), 0);
    CHECK_EQ(wide, uint64_t{1024});
    // Other codes leave the bytes beyond the answer as they were.
    wide = 0xAAAAAAAAAAAAAAAAULL;
    CHECK_EQ(get(board.fg, FG_WIDTH, wide, kTypeDouble), 0);
    CHECK_EQ(wide, 0xAAAAAAAA00000400ULL);
    double rate = 0;
    CHECK_EQ(get(board.fg, FG_TRIGGER_FRAMESPERSECOND, rate, kTypeU32), 0);
    CHECK(std::fabs(rate - 8.0) < 1e-9);
    CHECK_EQ(rate, 1 / ((1 / (8.0 * 8 * 1e-9)) * 8 * 1e-9));
    // The runtime's own parameters get the caller's code, the DMA status always 32 bits.
    SimCtl_ClearCalls();
    uint64_t transfer = 0;
    CHECK_EQ(get(board.fg, FG_TRANSFER_LEN, transfer, kTypeU64), 0);
    CHECK_EQ(get(board.fg, FG_DMASTATUS, transfer, kTypeU64), 0);
    const std::vector<SimCall> calls = callsNamed("Fg_getParameterWithType");
    REQUIRE_EQ(calls.size(), size_t{2});
    CHECK_EQ(calls[0].id, FG_TRANSFER_LEN);
    CHECK_EQ(calls[0].typeCode, kTypeU64);
    CHECK_EQ(calls[1].id, FG_DMASTATUS);
    CHECK_EQ(calls[1].typeCode, kTypeU32);
}

TEST_CASE("strings: into the caller's buffer, or handed out once and given back once") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    CHECK_EQ(get(board.fg, FG_HAP_FILE, buffer, kTypeText), 0);
    CHECK_EQ(std::string(buffer), std::string("Orvanta.hap"));

    char* text = nullptr;
    REQUIRE_EQ(get(board.fg, FG_HAP_FILE, text, kTypeAllocated), 0);
    REQUIRE(text != nullptr);
    CHECK_EQ(std::string(text), std::string("Orvanta.hap"));
    // A failed read leaves its code as the last error; a successful release does not touch it.
    uint32_t value = 0;
    get(board.fg, FG_WIDTH, value, kTypeU32, 1);
    // Ids of the runtime's own parameters pass the release on to the runtime, which does not
    // know the string: it stays handed out.
    SimCtl_ClearCalls();
    CHECK_EQ(Fg_freeParameterStringWithType(board.fg, FG_NR_OF_DMAS, text, 0, kTypeAllocated), 0);
    CHECK_EQ(callsNamed("Fg_freeParameterStringWithType").size(), size_t{1});
    // Any other id gives it back, the one that produced it or not.
    CHECK_EQ(Fg_freeParameterStringWithType(board.fg, FG_WIDTH, text, 0, kTypeAllocated), 0);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
    get(board.fg, FG_WIDTH, value, kTypeU32);
    CHECK_EQ(Fg_freeParameterStringWithType(board.fg, FG_HAP_FILE, text, 0, kTypeAllocated), kInvalid);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
    CHECK_EQ(callsNamed("Fg_freeParameterStringWithType").size(), size_t{1});
}

TEST_CASE("FG_PARAM_DESCR describes the name found in the buffer") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    char buffer[128] = "FG_WIDTH";
    CHECK_EQ(get(board.fg, FG_PARAM_DESCR, buffer, kTypeText), 0);
    CHECK_EQ(std::string(buffer), std::string("Image width of the acquisition ROI."));
    std::strcpy(buffer, "FG_NO_SUCH_THING");
    CHECK_EQ(get(board.fg, FG_PARAM_DESCR, buffer, kTypeText), 0);
    CHECK_EQ(std::string(buffer), std::string("-"));
    std::strcpy(buffer, "FG_TRANSFER_LEN");
    CHECK_EQ(get(board.fg, FG_PARAM_DESCR, buffer, kTypeText), 0);
    CHECK_EQ(std::string(buffer), std::string());

    // With type code 22 the pointer to the description replaces the name's first bytes.
    std::strcpy(buffer, "FG_HAP_FILE");
    REQUIRE_EQ(Fg_getParameterWithType(board.fg, FG_PARAM_DESCR, buffer, 0, kTypeAllocated), 0);
    char* description = nullptr;
    std::memcpy(&description, buffer, sizeof description);
    REQUIRE(description != nullptr);
    CHECK_EQ(std::string(description),
             std::string("The name of the Hardware-Applet (HAP) file on which this Capturekits is based."));
    CHECK_EQ(Fg_freeParameterStringWithType(board.fg, FG_PARAM_DESCR, description, 0, kTypeAllocated), 0);
}

TEST_CASE("camera status: fill-level quarters, overflow and the simulator's pixel clock") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    // {fill level, buffer status}: each quarter's bounds.
    const uint32_t quarters[][2] = {{0, 0}, {24, 0}, {25, 1}, {49, 1}, {50, 2}, {74, 2}, {75, 3}};
    for (const auto& e : quarters) {
        REQUIRE_EQ(SimCtl_SetNxU64(0, kFillLevel, e[0]), 0);
        CHECK_EQ(u32(board.fg, FG_CAMSTATUS_EXTENDED), e[1] << 6);
        CHECK_EQ(u32(board.fg, FG_FILLLEVEL), e[0]);
    }
    // Overflow reads a full buffer whatever the fill level register says.
    REQUIRE_EQ(SimCtl_SetNxU64(0, kOverflow, 1), 0);
    CHECK_EQ(u32(board.fg, FG_CAMSTATUS_EXTENDED), (3u << 6) | (1u << 5));
    CHECK_EQ(u32(board.fg, FG_FILLLEVEL), 100u);
    // The runtime's own bits stay, but for the ones the applet lays over them.
    REQUIRE_EQ(SimCtl_SetNxU64(0, kOverflow, 0), 0);
    REQUIRE_EQ(SimCtl_SetNxU64(0, kFillLevel, 24), 0);
    REQUIRE_EQ(SimCtl_SetNxU64(0, "FG_CAMSTATUS_EXTENDED", 0x1FE), 0);
    CHECK_EQ(u32(board.fg, FG_CAMSTATUS_EXTENDED), 0x11Eu);
    CHECK_EQ(u32(board.fg, FG_CAMSTATUS), 0u);
    REQUIRE_EQ(set(board.fg, FG_CAMERASIMULATOR_ENABLE, uint32_t{1}), 0);
    CHECK_EQ(u32(board.fg, FG_CAMSTATUS_EXTENDED), 0x11Fu);
    CHECK_EQ(u32(board.fg, FG_CAMSTATUS), 1u);
}

TEST_CASE("the simulator's rates and parts follow its select mode") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    // Start-up leaves frame-rate mode at 10 Hz on 1024 x 1024 pixels.
    CHECK_EQ(f64(board.fg, FG_CAMERASIMULATOR_PIXEL_FREQUENCY), 3999.9999999999995);
    CHECK(std::fabs(f64(board.fg, FG_CAMERASIMULATOR_FRAMERATE) - 10) < 1e-3);
    CHECK(std::fabs(f64(board.fg, FG_CAMERASIMULATOR_LINERATE) - 3906250) < 1e-3);
    for (const int32_t id : {FG_CAMERASIMULATOR_ACTIVE, FG_CAMERASIMULATOR_PASSIVE}) {
        uint32_t untouched = 77;
        CHECK_EQ(get(board.fg, id, untouched, kTypeU32), 0);
        CHECK_EQ(untouched, 77u);
    }
    REQUIRE_EQ(set(board.fg, FG_CAMERASIMULATOR_SELECT_MODE, uint32_t{1}), 0);
    CHECK_EQ(f64(board.fg, FG_CAMERASIMULATOR_PIXEL_FREQUENCY), 3999.9999999999995);

    // Pixel-frequency mode re-applies the stored 40 MHz: 20 of 2000 clocks active.
    REQUIRE_EQ(set(board.fg, FG_CAMERASIMULATOR_SELECT_MODE, uint32_t{0}), 0);
    CHECK(std::fabs(f64(board.fg, FG_CAMERASIMULATOR_PIXEL_FREQUENCY) - 40) < 1e-9);
    CHECK_EQ(u32(board.fg, FG_CAMERASIMULATOR_ACTIVE), 20u);
    CHECK_EQ(u32(board.fg, FG_CAMERASIMULATOR_PASSIVE), 1980u);
    CHECK(std::fabs(f64(board.fg, FG_CAMERASIMULATOR_LINERATE) - 40e6 / 1024) < 1e-6);
}

TEST_CASE("converted register reads: infinity, impossible answers, failures") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    REQUIRE_EQ(SimCtl_SetNxU64(0, "Device1_Process1_Trigger_TriggerCam0_InputStatistics_ReadPeriod_Status", 0), 0);
    const double frequency = f64(board.fg, FG_TRIGGERIN_STATS_FREQUENCY);
    CHECK(std::isinf(frequency) && frequency > 0);

    REQUIRE_EQ(SimCtl_SetNxU64(0, "Device1_Process0_BoardStatus_AlternativeBoardDetection", 1), 0);
    CHECK_EQ(u32(board.fg, FG_ALTERNATIVE_BOARD_DETECTION), 0u);
    REQUIRE_EQ(SimCtl_SetNxU64(0, "Device1_Process0_BoardStatus_AlternativeBoardDetection", 2), 0);
    uint32_t value = 77;
    CHECK_EQ(get(board.fg, FG_ALTERNATIVE_BOARD_DETECTION, value, kTypeU32), -2031);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -2031);
    CHECK_EQ(value, 77u);

    SimCtl_FailNxRead("Device1_Process0_BoardStatus_FpgaTemperature", -2071);
    double temperature = -1;
    CHECK_EQ(get(board.fg, FG_SYSTEMMONITOR_FPGA_TEMPERATURE, temperature, kTypeDouble), -2071);
    CHECK_EQ(temperature, -1.0);
}

TEST_CASE("trigger queue and monitoring reads follow the area trigger mode") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    // The generator: status bits are not looked at.
    REQUIRE_EQ(SimCtl_SetNxU64(0, kQueueStatus, 0x7), 0);
    REQUIRE_EQ(SimCtl_SetNxU64(0, kQueueValue, 3), 0);
    CHECK_EQ(u32(board.fg, FG_TRIGGER_EXCEEDED_PERIOD_LIMITS), 0u);
    CHECK_EQ(u32(board.fg, FG_TRIGGERQUEUE_FILLLEVEL), 0u);
    CHECK_EQ(u32(board.fg, FG_SOFTWARETRIGGER_IS_BUSY), 0u);
    CHECK_EQ(u32(board.fg, FG_MISSING_CAMERA_FRAME_RESPONSE), 1u);

    REQUIRE_EQ(set(board.fg, FG_AREATRIGGERMODE, uint32_t{4}), 0);  // ATM_SOFTWARE
    REQUIRE_EQ(set(board.fg, FG_TRIGGER_MULTIPLY_PULSES, uint32_t{2}), 0);
    CHECK_EQ(u32(board.fg, FG_TRIGGER_EXCEEDED_PERIOD_LIMITS), 1u);
    CHECK_EQ(u32(board.fg, FG_TRIGGERQUEUE_FILLLEVEL), 2040u);
    CHECK_EQ(u32(board.fg, FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL), 4080u);
    REQUIRE_EQ(SimCtl_SetNxU64(0, kQueueStatus, 0), 0);
    CHECK_EQ(u32(board.fg, FG_TRIGGERQUEUE_FILLLEVEL), 3u);
    CHECK_EQ(u32(board.fg, FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL), 6u);
    CHECK_EQ(u32(board.fg, FG_SOFTWARETRIGGER_IS_BUSY), 1u);
    CHECK_EQ(u32(board.fg, FG_MISSING_CAMERA_FRAME_RESPONSE), 0u);
    // An empty queue counts the pulse still being output until the generator's period is over.
    REQUIRE_EQ(SimCtl_SetNxU64(0, kQueueValue, 0), 0);
    CHECK_EQ(u32(board.fg, FG_SOFTWARETRIGGER_IS_BUSY), 0u);
    CHECK_EQ(u32(board.fg, FG_TRIGGERQUEUE_FILLLEVEL), 0u);
    REQUIRE_EQ(SimCtl_SetNxU64(0, kMaximumReached, 0), 0);
    CHECK_EQ(u32(board.fg, FG_SOFTWARETRIGGER_IS_BUSY), 1u);
    CHECK_EQ(u32(board.fg, FG_TRIGGERQUEUE_FILLLEVEL), 1u);
    // A trigger system stopped at once holds no queue.
    REQUIRE_EQ(set(board.fg, FG_TRIGGERSTATE, uint32_t{0}), 0);
    REQUIRE_EQ(set(board.fg, FG_TRIGGERSTATE, uint32_t{1}), 0);
    CHECK_EQ(u32(board.fg, FG_TRIGGERQUEUE_FILLLEVEL), 0u);
}

CHECK_MAIN
