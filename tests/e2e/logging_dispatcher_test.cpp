// Log records of the applet as they reach the stand-in logging dispatcher of an installation:
// the applet, loaded from the installation's bin folder, attaches the dispatcher there and the
// records land in the dispatcher's file with logger name, level and exact text.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "board_session.h"
#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/logging_dispatcher.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"
#include "test_process.h"

namespace {

using board::OpenBoard;

constexpr const char* kLoggerName = "vexo.wrapper.Orvanta";
constexpr int32_t kTriggerInSource = 8110;  // FG_TRIGGERIN_SRC
constexpr const char* kInputSelect = "Device1_Process1_Trigger_TriggerCam0_InputSelect_Select_Value";
constexpr const char* kDebounce = "Device1_Process1_Trigger_TriggerInput_Debounce8_Prescale_Period";

struct LogLine {
    std::string logger;
    uint32_t level;
    std::string text;
};

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

std::string record(const std::string& message) {
    return "thread-id=" + std::to_string(test_process::currentThreadId()) + "|" + message;
}

// "<time> TAB <logger> TAB <level> TAB <text>" per line.
std::vector<LogLine> logLines() {
    std::vector<LogLine> lines;
    std::ifstream file(logFile());
    for (std::string line; std::getline(file, line);) {
        const size_t logger = line.find('\t') + 1;
        const size_t level = line.find('\t', logger) + 1;
        const size_t text = line.find('\t', level) + 1;
        lines.push_back({line.substr(logger, level - logger - 1),
                         static_cast<uint32_t>(std::strtoul(line.c_str() + level, nullptr, 10)), line.substr(text)});
    }
    return lines;
}

int32_t writeU32(void* fg, int32_t id, uint32_t value) { return Fg_setParameterWithType(fg, id, &value, 0, 2); }

const std::string kUnknownOne = "trying to set unknown SDK parameter '1' on process 0!";

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
    const std::vector<LogLine> lines = logLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].logger, kLoggerName);
    EXPECT_EQ(lines[0].level, 4u);
    EXPECT_EQ(lines[0].text, record(kUnknownOne));
    EXPECT_EQ(lines[1].text, record("trying to set read-only SDK parameter 'FG_CAMSTATUS' on process 0!"));
    EXPECT_EQ(lines[2].text, record(kUnknownOne));
}

TEST_F(LoggingTest, AnNxNameTheRuntimeDoesNotKnowIsLoggedWhenTheBoardOpens) {
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    SimCtl_HideNxName(kDebounce);
    // Flag bit 0: no initial values, so the unknown id is not also written.
    void* fg = Fg_InitEx("Orvanta", 0, 1);
    ASSERT_NE(fg, nullptr);
    Fg_FreeGrabber(fg);
    const std::vector<LogLine> lines = logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, 4u);
    EXPECT_EQ(lines[0].text, record(std::string("cannot retrieve NX id for NX parameter: '") + kDebounce + "'"));
}

// A failing NX write is logged at level 5 with the NX id and the runtime's result.
TEST_F(LoggingTest, TheLevelTheDispatcherSetsDecidesWhichRecordsAreWritten) {
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
    const std::vector<LogLine> lines = logLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].level, 5u);
    EXPECT_EQ(lines[0].text, record(std::string("Setting NX parameter '") + kInputSelect + "' (ID: " +
                                    std::to_string(writes[0].id) + ") failed: result = -3333"));

    ASSERT_EQ(SimLog_SetLevel(kLoggerName, 7), 0);
    writeU32(board.fg, kTriggerInSource, 1);
    EXPECT_EQ(logLines().size(), 1u);
}

TEST_F(LoggingTest, AfterTheDispatchersResetNoRecordArrivesFromOldOrNewBoards) {
    OpenBoard before;
    ASSERT_NE(before.fg, nullptr);
    writeU32(before.fg, 1, 0);
    ASSERT_EQ(logLines().size(), 1u);
    ASSERT_EQ(SimLog_Reset(), 0);
    // The logger this board holds still lets level 4 pass; the record goes nowhere.
    EXPECT_EQ(writeU32(before.fg, 1, 0), -2070);
    {
        OpenBoard after;
        ASSERT_NE(after.fg, nullptr);
        EXPECT_EQ(writeU32(after.fg, 1, 0), -2070);
    }
    EXPECT_EQ(logLines().size(), 1u);
    EXPECT_EQ(SimLog_SetLevel(kLoggerName, 4), -1);
}
