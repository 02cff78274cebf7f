// Log records of the applet as they reach the stand-in logging dispatcher of an installation:
// the applet, loaded from the installation's bin folder, attaches the dispatcher there and the
// records land in the dispatcher's file with logger name, level and exact text.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "board_session.h"
#include "orvanta_sim/logging_dispatcher.h"

namespace {

using board::OpenBoard;
using Lines = std::vector<std::string>;

constexpr const char* kLoggerName = "vexo.wrapper.Orvanta";
constexpr int32_t kTriggerInSource = 8110;  // FG_TRIGGERIN_SRC
constexpr const char* kInputSelect = "Device1_Process1_Trigger_TriggerCam0_InputSelect_Select_Value";
const std::string kUnknownOne = "trying to set unknown SDK parameter '1' on process 0!";

// Cases run as processes of their own, side by side: each writes a file of its own.
std::string logFile() {
    return std::string("logging_") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
}

// The dispatcher reads the level when the applet first asks for its logger, and the file name
// at every record: each case sets both before any board opens, and starts with an empty file.
class LoggingTest : public ::testing::Test {
protected:
    void SetUp() override {
        test_process::setEnvironment("VEXO_SIM_LOG_LEVEL", "4");
        test_process::setEnvironment("VEXO_SIM_LOG_FILE", logFile().c_str());
        std::remove(logFile().c_str());
    }
};

// A line of the file without the time that leads it: "<logger> TAB <level> TAB <text>".
std::string entry(uint32_t level, const std::string& message) {
    return std::string(kLoggerName) + '\t' + std::to_string(level) + "\tthread-id=" +
           std::to_string(test_process::currentThreadId()) + "|" + message;
}

Lines logLines() {
    Lines lines;
    std::ifstream file(logFile());
    for (std::string line; std::getline(file, line);) lines.push_back(line.substr(line.find('\t') + 1));
    return lines;
}

int32_t writeU32(void* fg, int32_t id, uint32_t value) { return Fg_setParameterWithType(fg, id, &value, 0, 2); }

}  // namespace

TEST_F(LoggingTest, RefusedWritesAreLoggedAtLevel4AndTheDispatcherIsAttachedOncePerProcess) {
    {
        OpenBoard first;
        ASSERT_NE(first.fg, nullptr);
        EXPECT_TRUE(logLines().empty());  // a clean open logs nothing
        EXPECT_EQ(writeU32(first.fg, 1, 0), -2070);
        EXPECT_EQ(writeU32(first.fg, 2000, 0), -12);  // FG_CAMSTATUS, read-only
        OpenBoard second;
        ASSERT_NE(second.fg, nullptr);
        writeU32(second.fg, 1, 0);
    }
    EXPECT_EQ(SimLog_AttachCount(), 1);
    EXPECT_EQ(logLines(), (Lines{entry(4, kUnknownOne),
                                 entry(4, "trying to set read-only SDK parameter 'FG_CAMSTATUS' on process 0!"),
                                 entry(4, kUnknownOne)}));
}

TEST_F(LoggingTest, AnNxNameTheRuntimeDoesNotKnowIsLoggedWhenTheBoardOpens) {
    const std::string debounce = "Device1_Process1_Trigger_TriggerInput_Debounce8_Prescale_Period";
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    SimCtl_HideNxName(debounce.c_str());
    // Flag bit 0: no initial values, so the unknown id is not also written.
    void* fg = Fg_InitEx("Orvanta", 0, 1);
    ASSERT_NE(fg, nullptr);
    Fg_FreeGrabber(fg);
    EXPECT_EQ(logLines(), Lines{entry(4, "cannot retrieve NX id for NX parameter: '" + debounce + "'")});
}

// A failing NX write is logged at level 5 with the NX id and the runtime's result. After the
// dispatcher's reset no record arrives, from the board open then or from one opened later.
TEST_F(LoggingTest, TheDispatchersLevelAndResetDecideWhichRecordsAreWritten) {
    OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    writeU32(board.fg, 1, 0);  // the applet asks for its logger at its first record
    std::remove(logFile().c_str());
    ASSERT_EQ(SimLog_SetLevel(kLoggerName, 5), 0);
    SimCtl_FailNxWrite(kInputSelect, -3333);
    SimCtl_ClearCalls();
    writeU32(board.fg, 1, 0);
    EXPECT_EQ(writeU32(board.fg, kTriggerInSource, 1), -3333);
    const std::vector<SimCall> writes = board::callsNamed("Fg_setParameterWithType");
    ASSERT_EQ(writes.size(), 1u);
    Lines expected{entry(5, std::string("Setting NX parameter '") + kInputSelect + "' (ID: " +
                                std::to_string(writes[0].id) + ") failed: result = -3333")};
    EXPECT_EQ(logLines(), expected);

    ASSERT_EQ(SimLog_SetLevel(kLoggerName, 7), 0);
    writeU32(board.fg, kTriggerInSource, 1);
    ASSERT_EQ(SimLog_SetLevel(kLoggerName, 4), 0);
    writeU32(board.fg, 1, 0);
    expected.push_back(entry(4, kUnknownOne));
    EXPECT_EQ(logLines(), expected);

    // The logger this board holds still lets level 4 pass; the record goes nowhere.
    ASSERT_EQ(SimLog_Reset(), 0);
    EXPECT_EQ(writeU32(board.fg, 1, 0), -2070);
    {
        OpenBoard after;
        ASSERT_NE(after.fg, nullptr);
        EXPECT_EQ(writeU32(after.fg, 1, 0), -2070);
    }
    EXPECT_EQ(logLines(), expected);
    EXPECT_EQ(SimLog_SetLevel(kLoggerName, 4), -1);
}
