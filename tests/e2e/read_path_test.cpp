// The read operation seen by an application: constant, runtime and converted answers after
// start-up, values in the parameter's own type, strings handed out and given back, and the
// composite answers that follow the board's registers.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "trigger_board.h"

namespace {

using board::callsNamed;

constexpr int32_t kInvalid = -2070;
constexpr int32_t kTypeU32 = 2, kTypeU64 = 4, kTypeDouble = 5, kTypeText = 6, kTypeAllocated = 22;
constexpr int32_t kWidth = 100, kHapFile = 24108;  // FG_WIDTH, FG_HAP_FILE

constexpr const char* kFillLevel = "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel";
constexpr const char* kOverflow = "Device1_Process0_Overflow_OverflowOccurred";
constexpr const char* kQueueStatus = "Device1_Process1_Trigger_Monitoring_ReadQueueStatus_Status";
constexpr const char* kQueueValue = "Device1_Process1_Trigger_TriggerCam0_Generators_QueueValue_Status";
constexpr const char* kMaximumReached =
    "Device1_Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status";
constexpr const char* kBoardDetection = "Device1_Process0_BoardStatus_AlternativeBoardDetection";

// Parameters by name, read in their own types.
class ReadTest : public trigger_test::TriggerBoard {
protected:
    int32_t id(const char* name) { return Fg_getParameterIdByName(fg(), name); }
    template <typename T>
    int32_t get(int32_t parameter, T& value, int32_t type, uint32_t dma = 0) {
        return Fg_getParameterWithType(fg(), parameter, &value, dma, type);
    }
    uint32_t u32(const char* name) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(get(id(name), value, kTypeU32), 0) << name;
        return value;
    }
    double f64(const char* name) {
        double value = -1;
        EXPECT_EQ(get(id(name), value, kTypeDouble), 0) << name;
        return value;
    }
};

}  // namespace

TEST_F(ReadTest, ConstantRuntimeAndConvertedAnswersAfterStartUp) {
    EXPECT_EQ(u32("FG_APPLET_VERSION"), 3u);
    EXPECT_EQ(u32("FG_APPLET_REVISION"), 1u);
    EXPECT_EQ(u32("FG_PIXELDEPTH"), 8u);
    EXPECT_EQ(u32("FG_LINE_PAYLOAD_SIZE"), 1024u * 8);
    EXPECT_EQ(u32("FG_ALTERNATIVE_BOARD_DETECTION"), 1u);
    EXPECT_EQ(u32("FG_TRANSFER_LEN"), 1048576u);
    EXPECT_DOUBLE_EQ(f64("FG_SYSTEMMONITOR_FPGA_TEMPERATURE"), 48.5);
    char text[64] = {};
    char uid[64] = {};
    SimCtl_GetNxText(0, "Device1_Process0_AppletProperties_AppletUid", uid, sizeof uid);
    EXPECT_EQ(get(id("FG_APPLET_ID"), text, kTypeText), 0);
    EXPECT_STREQ(text, uid);
    uint64_t dna = 0;
    uint64_t read = 0;
    SimCtl_GetNxU64(0, "Device1_Process0_BoardStatus_FpgaDNA", &dna);
    EXPECT_EQ(get(id("FG_SYSTEMMONITOR_FPGA_DNA"), read, kTypeU64), 0);
    EXPECT_EQ(read, dna);
}

TEST_F(ReadTest, DmaIndexNullValueAndUnknownIds) {
    uint32_t value = 77;
    EXPECT_EQ(get(kWidth, value, kTypeU32, 1), kInvalid);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
    EXPECT_EQ(value, 77u);
    EXPECT_EQ(get(id("FG_NR_OF_PROCESSES"), value, kTypeU32, 1), 0);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
    for (const int32_t unknown : {1, 999999, 1000010}) {
        value = 77;
        EXPECT_EQ(get(unknown, value, kTypeU32), kInvalid) << unknown;
        EXPECT_EQ(value, 77u);
    }
    EXPECT_EQ(Fg_getParameterWithType(fg(), kWidth, nullptr, 0, kTypeU32), kInvalid);
}

TEST_F(ReadTest, SdkParametersAnswerInTheirOwnTypeTheRuntimesInTheCallers) {
    // Type code 2 given, the rate comes as the double it is, through the design's clock ticks.
    double rate = 0;
    EXPECT_EQ(get(id("FG_TRIGGER_FRAMESPERSECOND"), rate, kTypeU32), 0);
    EXPECT_EQ(rate, 1 / ((1 / (8.0 * 8 * 1e-9)) * 8 * 1e-9));
    // The runtime's own parameters get the caller's code, the DMA status always 32 bits.
    SimCtl_ClearCalls();
    uint64_t answer = 0;
    EXPECT_EQ(get(id("FG_TRANSFER_LEN"), answer, kTypeU64), 0);
    EXPECT_EQ(get(id("FG_DMASTATUS"), answer, kTypeU64), 0);
    const std::vector<SimCall> calls = callsNamed("Fg_getParameterWithType");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].id, id("FG_TRANSFER_LEN"));
    EXPECT_EQ(calls[0].typeCode, kTypeU64);
    EXPECT_EQ(calls[1].id, id("FG_DMASTATUS"));
    EXPECT_EQ(calls[1].typeCode, kTypeU32);
}

TEST_F(ReadTest, StringsGoIntoTheCallersBufferOrAreHandedOutOnceAndGivenBackOnce) {
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(get(kHapFile, buffer, kTypeText), 0);
    EXPECT_STREQ(buffer, "Orvanta.hap");

    char* text = nullptr;
    ASSERT_EQ(get(kHapFile, text, kTypeAllocated), 0);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Orvanta.hap");
    // A failed read leaves its code as the last error; a successful release does not touch it.
    uint32_t value = 0;
    get(kWidth, value, kTypeU32, 1);
    // Ids of the runtime's own parameters pass the release on to the runtime, which does not
    // know the string: it stays handed out.
    SimCtl_ClearCalls();
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), 3050, text, 0, kTypeAllocated), 0);  // FG_NR_OF_DMAS
    EXPECT_EQ(callsNamed("Fg_freeParameterStringWithType").size(), 1u);
    // Any other id gives it back, the one that produced it or not; only once.
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), kWidth, text, 0, kTypeAllocated), 0);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
    get(kWidth, value, kTypeU32);
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), kHapFile, text, 0, kTypeAllocated), kInvalid);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
    EXPECT_EQ(callsNamed("Fg_freeParameterStringWithType").size(), 1u);
}

TEST_F(ReadTest, CamStatusFollowsFillLevelQuartersOverflowAndTheSimulator) {
    // No camera: the runtime reports no signal of its own.
    ASSERT_EQ(SimCtl_SetCamera(0, 0, 1024, 1024, 200), 0);
    // {fill level, buffer status}: each quarter's bounds.
    const uint32_t quarters[][2] = {{0, 0}, {24, 0}, {25, 1}, {49, 1}, {50, 2}, {74, 2}, {75, 3}};
    for (const auto& row : quarters) {
        SCOPED_TRACE(row[0]);
        ASSERT_EQ(SimCtl_SetNxU64(0, kFillLevel, row[0]), 0);
        EXPECT_EQ(u32("FG_CAMSTATUS_EXTENDED"), row[1] << 6);
        EXPECT_EQ(u32("FG_FILLLEVEL"), row[0]);
    }
    // Overflow reads a full buffer whatever the fill level register says.
    ASSERT_EQ(SimCtl_SetNxU64(0, kOverflow, 1), 0);
    EXPECT_EQ(u32("FG_CAMSTATUS_EXTENDED"), (3u << 6) | (1u << 5));
    EXPECT_EQ(u32("FG_FILLLEVEL"), 100u);
    // The runtime's own bits stay, but for the ones the applet lays over them.
    ASSERT_EQ(SimCtl_SetNxU64(0, kOverflow, 0), 0);
    ASSERT_EQ(SimCtl_SetNxU64(0, kFillLevel, 24), 0);
    ASSERT_EQ(SimCtl_SetNxU64(0, "FG_CAMSTATUS_EXTENDED", 0x1FE), 0);
    EXPECT_EQ(u32("FG_CAMSTATUS_EXTENDED"), 0x11Eu);
    EXPECT_EQ(u32("FG_CAMSTATUS"), 0u);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_ENABLE", 1), 0);
    EXPECT_EQ(u32("FG_CAMSTATUS_EXTENDED"), 0x11Fu);
    EXPECT_EQ(u32("FG_CAMSTATUS"), 1u);
}

TEST_F(ReadTest, SimulatorRatesAndPartsFollowItsSelectMode) {
    // Start-up's frame-rate mode: the saved configuration shows its rates, rounded.
    EXPECT_EQ(f64("FG_CAMERASIMULATOR_PIXEL_FREQUENCY"), 3999.9999999999995);
    for (const char* name : {"FG_CAMERASIMULATOR_ACTIVE", "FG_CAMERASIMULATOR_PASSIVE"}) {
        uint32_t untouched = 77;
        EXPECT_EQ(get(id(name), untouched, kTypeU32), 0);
        EXPECT_EQ(untouched, 77u) << name;
    }
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 1), 0);
    EXPECT_EQ(f64("FG_CAMERASIMULATOR_PIXEL_FREQUENCY"), 3999.9999999999995);
    // Pixel-frequency mode re-applies the stored 40 MHz: 20 of 2000 clocks active.
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
    EXPECT_NEAR(f64("FG_CAMERASIMULATOR_PIXEL_FREQUENCY"), 40, 1e-9);
    EXPECT_EQ(u32("FG_CAMERASIMULATOR_ACTIVE"), 20u);
    EXPECT_EQ(u32("FG_CAMERASIMULATOR_PASSIVE"), 1980u);
    EXPECT_NEAR(f64("FG_CAMERASIMULATOR_LINERATE"), 40e6 / 1024, 1e-6);
}

TEST_F(ReadTest, ConvertedRegisterReadsInfinityImpossibleAnswersAndFailures) {
    ASSERT_EQ(SimCtl_SetNxU64(0, "Device1_Process1_Trigger_TriggerCam0_InputStatistics_ReadPeriod_Status", 0), 0);
    const double frequency = f64("FG_TRIGGERIN_STATS_FREQUENCY");
    EXPECT_TRUE(std::isinf(frequency) && frequency > 0);

    ASSERT_EQ(SimCtl_SetNxU64(0, kBoardDetection, 1), 0);
    EXPECT_EQ(u32("FG_ALTERNATIVE_BOARD_DETECTION"), 0u);
    ASSERT_EQ(SimCtl_SetNxU64(0, kBoardDetection, 2), 0);
    uint32_t value = 77;
    EXPECT_EQ(get(id("FG_ALTERNATIVE_BOARD_DETECTION"), value, kTypeU32), -2031);
    EXPECT_EQ(value, 77u);

    SimCtl_FailNxRead("Device1_Process0_BoardStatus_FpgaTemperature", -2071);
    double temperature = -1;
    EXPECT_EQ(get(id("FG_SYSTEMMONITOR_FPGA_TEMPERATURE"), temperature, kTypeDouble), -2071);
    EXPECT_EQ(temperature, -1.0);
}

TEST_F(ReadTest, TriggerQueueAndMonitoringReadsFollowTheAreaTriggerMode) {
    // The board's trigger module stands still, so the values set here stay.
    SimCtl_SetVirtualClock(1);
    // The generator: status bits are not looked at.
    ASSERT_EQ(SimCtl_SetNxU64(0, kQueueStatus, 0x7), 0);
    ASSERT_EQ(SimCtl_SetNxU64(0, kQueueValue, 3), 0);
    EXPECT_EQ(u32("FG_TRIGGER_EXCEEDED_PERIOD_LIMITS"), 0u);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 0u);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 0u);
    EXPECT_EQ(u32("FG_MISSING_CAMERA_FRAME_RESPONSE"), 1u);

    ASSERT_EQ(set("FG_AREATRIGGERMODE", 4), 0);  // ATM_SOFTWARE
    ASSERT_EQ(set("FG_TRIGGER_MULTIPLY_PULSES", 2), 0);
    EXPECT_EQ(u32("FG_TRIGGER_EXCEEDED_PERIOD_LIMITS"), 1u);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 2040u);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL"), 4080u);
    ASSERT_EQ(SimCtl_SetNxU64(0, kQueueStatus, 0), 0);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 3u);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 1u);
    EXPECT_EQ(u32("FG_MISSING_CAMERA_FRAME_RESPONSE"), 0u);
    // An empty queue counts the pulse still being output until the generator's period is over.
    ASSERT_EQ(SimCtl_SetNxU64(0, kMaximumReached, 1), 0);
    ASSERT_EQ(SimCtl_SetNxU64(0, kQueueValue, 0), 0);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 0u);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 0u);
    ASSERT_EQ(SimCtl_SetNxU64(0, kMaximumReached, 0), 0);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 1u);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 1u);
    // A trigger system stopped at once holds no queue.
    ASSERT_EQ(set("FG_TRIGGERSTATE", 0), 0);
    ASSERT_EQ(set("FG_TRIGGERSTATE", 1), 0);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 0u);
}
