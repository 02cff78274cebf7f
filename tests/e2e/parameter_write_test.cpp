// The write operation seen by an application: the three id ranges, the DMA check, read-only and
// unknown parameters, the value read in the parameter's own type whatever the caller's type
// code, the last error it leaves, and NX accesses with ids the runtime did not know.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "trigger_board.h"

namespace {

using WritePath = board::BoardTest;
using board::callsNamed;
using board::nxWrites;
using board::NxWrite;
using board::OpenBoard;
using trigger_test::PreparedBoard;

constexpr int32_t kInvalid = -2070, kReadOnly = -12;
constexpr int32_t kFramesPerSecond = 90;      // FG_TRIGGER_FRAMESPERSECOND, double
constexpr int32_t kTriggerInSource = 8110;    // FG_TRIGGERIN_SRC, u32
constexpr int32_t kTriggerInDebounce = 300204;  // FG_TRIGGERIN_DEBOUNCE, double
constexpr const char* kInputSelect = "Device1_Process1_Trigger_TriggerCam0_InputSelect_Select_Value";
constexpr const char* kDebounce = "Device1_Process1_Trigger_TriggerInput_Debounce8_Prescale_Period";

// Every answer of a walk over the whole description on a fresh board: each parameter read in its
// own type, and each writable one written with the value it holds and with its minimum, and read
// back after each write.
std::vector<std::string> walkAnswers(bool recording) {
    std::vector<std::string> answers;
    OpenBoard board;
    if (board.fg == nullptr) return {"no board"};
    SimCtl_SetRecording(recording ? 1 : 0);
    const auto read = [&](const ParameterInfoNode& r, int32_t code) {
        char value[512] = {};
        const int32_t result = Fg_getParameterWithType(board.fg, r.id, value, 0, code);
        answers.push_back(std::string(r.parameterName) + " read " + std::to_string(result) + " " +
                          (code == 6 ? std::string(value) : std::to_string(*reinterpret_cast<const uint64_t*>(value))));
        return std::string(value, sizeof value);
    };
    trigger_test::forEachRecord(board.fg, [&](const ParameterInfoNode& r) {
        const int32_t code = r.type == PARAM_INFO_DOUBLE ? 5 : r.type == PARAM_INFO_UINT64 ? 4 : r.type == PARAM_INFO_STRING ? 6 : 2;
        const std::string held = read(r, code);
        if ((r.access & 2U) == 0 || code == 6) return;
        uint64_t minimum = code == 5 ? 0 : code == 4 ? r.value.u64.min : r.value.u32.min;
        if (code == 5) std::memcpy(&minimum, &r.value.dbl.min, sizeof minimum);
        for (const void* value : {static_cast<const void*>(held.data()), static_cast<const void*>(&minimum)}) {
            answers.push_back("write " + std::to_string(Fg_setParameterWithType(board.fg, r.id, value, 0, code)));
            read(r, code);
        }
    });
    SimCtl_SetRecording(1);
    return answers;
}

std::vector<NxWrite>::const_iterator firstWriteOf(const std::vector<NxWrite>& writes, const char* name) {
    return std::find_if(writes.begin(), writes.end(), [name](const NxWrite& w) { return w.name == name; });
}

}  // namespace

TEST_F(WritePath, IdsAbove2000000GoToTheRuntimeLessTheOffset) {
    SimCtl_ClearCalls();
    SimCtl_FailCall("Fg_setParameterWithType", -4242, -4242);
    const double value = 2.5;
    EXPECT_EQ(Fg_setParameterWithType(fg(), 2000005, &value, 3, 5), -4242);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), -4242);
    SimCtl_FailCall("Fg_setParameterWithType", 0, 0);
    const std::vector<SimCall> calls = callsNamed("Fg_setParameterWithType");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].id, 5);
    EXPECT_EQ(calls[0].typeCode, 5);
    EXPECT_EQ(calls[0].dma, 3u);
}

TEST_F(WritePath, RefusedWritesNullValueForeignDmaReadOnlyAndUnknownIds) {
    SimCtl_ClearCalls();
    for (const int32_t id : {2000005, 1000048, kTriggerInSource}) {
        EXPECT_EQ(Fg_setParameterWithType(fg(), id, nullptr, 0, 2), kInvalid) << id;
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), kInvalid);
    }
    const uint32_t source = 1;
    EXPECT_EQ(Fg_setParameterWithType(fg(), kTriggerInSource, &source, 1, 2), kInvalid);
    // FG_PARAM_DESCR belongs to the read path only.
    EXPECT_EQ(Fg_setParameterWithType(fg(), 24114, &source, 0, 2), kReadOnly);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kReadOnly);
    // No such id, and a register id while direct register access is off.
    const int32_t hardwareWrites = SimHw_WriteCount();
    for (const int32_t id : {1, 1000010, 999999}) {
        EXPECT_EQ(Fg_setParameterWithType(fg(), id, &source, 0, 2), kInvalid) << id;
    }
    EXPECT_EQ(SimHw_WriteCount(), hardwareWrites);
    EXPECT_EQ(callsNamed("Fg_setParameterWithType").size(), 0u);
}

// The call log on or off, the runtime answers every call alike.
TEST_F(WritePath, UnrecordedRuntimeCallsAnswerAsRecordedOnes) {
    constexpr int32_t kDirectNx = 2000000, kWidth = 100;
    constexpr const char* kRoiTo = "Device1_Process0_Buffer_0_XROI_ROIRange_to";
    void* inner = board::innerHandleOfLastOpen();
    ASSERT_NE(inner, nullptr);
    const int32_t roiTo = kDirectNx + Fg_getParameterIdByName(inner, kRoiTo);
    const int32_t temperature =
        kDirectNx + Fg_getParameterIdByName(inner, "Device1_Process0_BoardStatus_FpgaTemperature");
    for (const int32_t recording : {1, 0}) {
        SCOPED_TRACE(recording);
        SimCtl_SetRecording(recording);
        const uint32_t width = recording != 0 ? 640 : 320;
        ASSERT_EQ(Fg_setParameterWithType(fg(), kWidth, &width, 0, 2), 0);
        uint64_t onBoard = 0;
        EXPECT_EQ(SimCtl_GetNxU64(0, kRoiTo, &onBoard), 0);
        EXPECT_EQ(onBoard, width - 1);
        uint32_t read = 0;
        EXPECT_EQ(Fg_getParameterWithType(fg(), roiTo, &read, 0, 2), 0);
        EXPECT_EQ(read, width - 1);

        const double real = 1.0;
        EXPECT_EQ(Fg_setParameterWithType(fg(), roiTo, &real, 0, 5), SIM_ERR_INVALID_TYPE);
        EXPECT_EQ(Fg_getLastErrorNumber(inner), SIM_ERR_INVALID_TYPE);
        EXPECT_EQ(Fg_setParameterWithType(fg(), temperature, &real, 0, 5), SIM_ERR_READ_ONLY);
        EXPECT_EQ(Fg_setParameterWithType(fg(), roiTo, &width, 1, 2), SIM_ERR_INVALID_PORT);
        SimCtl_FailNxWrite(kRoiTo, -77);
        EXPECT_EQ(Fg_setParameterWithType(fg(), roiTo, &width, 0, 2), -77);
        SimCtl_FailNxWrite(kRoiTo, 0);
        EXPECT_EQ(Fg_getParameterWithType(fg(), roiTo, &read, 0, 2), 0);
        EXPECT_EQ(Fg_getLastErrorNumber(inner), 0);
    }
}

TEST(UnrecordedCalls, TheWholeParameterWalkAnswersAlikeWithTheCallLogOnAndOff) {
    const std::vector<std::string> recorded = walkAnswers(true);
    const std::vector<std::string> unrecorded = walkAnswers(false);
    EXPECT_GT(recorded.size(), 300u);
    ASSERT_EQ(recorded.size(), unrecorded.size());
    for (size_t i = 0; i < recorded.size(); ++i) ASSERT_EQ(recorded[i], unrecorded[i]) << "answer " << i;
}

TEST(UnrecordedCalls, AClosedInnerHandleStaysClosed) {
    void* inner = nullptr;
    int32_t id = 0;
    uint32_t value = 5;
    {
        OpenBoard board;
        ASSERT_NE(board.fg, nullptr);
        inner = board::innerHandleOfLastOpen();
        id = Fg_getParameterIdByName(inner, "Device1_Process0_Buffer_0_XROI_ROIRange_to");
        SimCtl_SetRecording(0);
        EXPECT_EQ(Fg_setParameterWithType(inner, id, &value, 0, 2), 0);
    }
    EXPECT_EQ(Fg_setParameterWithType(inner, id, &value, 0, 2), SIM_ERR_HANDLE_CLOSED);
    EXPECT_EQ(Fg_getParameterWithType(inner, id, &value, 0, 2), SIM_ERR_HANDLE_CLOSED);
    SimCtl_SetRecording(1);
}

TEST_F(WritePath, AnSdkWriteReadsTheValueInTheParametersOwnTypeWhateverTheTypeCode) {
    // Type code 2 given, but the frame rate is a double: all eight bytes are read.
    const double rate = 20.5;
    EXPECT_EQ(Fg_setParameterWithType(fg(), kFramesPerSecond, &rate, 0, 2), 0);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
    double read = 0;
    EXPECT_EQ(Fg_getParameterWithType(fg(), kFramesPerSecond, &read, 0, 5), 0);
    EXPECT_NEAR(read, 20.5, 1e-9);
}

TEST(StartUpWrites, InitialValuesGoThroughTheSettersUnlessFlagBit0IsSet) {
    {
        OpenBoard board;
        ASSERT_NE(board.fg, nullptr);
        // FG_TRIGGERIN_DEBOUNCE goes out before FG_TRIGGERIN_SRC, as listed; the saved
        // configuration shows the values.
        const std::vector<NxWrite> writes = nxWrites();
        EXPECT_LT(firstWriteOf(writes, kDebounce), firstWriteOf(writes, kInputSelect));
    }
    OpenBoard skipped(1);
    ASSERT_NE(skipped.fg, nullptr);
    EXPECT_EQ(nxWrites(), board::debugStepClearWrites());
}

// The debounce write fails at start-up, as the runtime refuses id 0; the values after it still
// go out.
TEST(StartUpWrites, AnNxNameTheRuntimeDoesNotKnowKeepsIdZeroAndAccessesPassItOn) {
    PreparedBoard board([] { SimCtl_HideNxName(kDebounce); });
    ASSERT_NE(board.fg, nullptr);
    const std::vector<NxWrite> writes = nxWrites();
    EXPECT_NE(firstWriteOf(writes, kInputSelect), writes.end());
    SimCtl_ClearCalls();
    const double debounce = 1.0;
    const int32_t result = Fg_setParameterWithType(board.fg, kTriggerInDebounce, &debounce, 0, 5);
    const std::vector<SimCall> calls = callsNamed("Fg_setParameterWithType");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].id, 0);
    // Whatever the runtime answers for id 0 is the write's result.
    EXPECT_EQ(int64_t{result}, calls[0].result);
    EXPECT_NE(result, 0);
}
