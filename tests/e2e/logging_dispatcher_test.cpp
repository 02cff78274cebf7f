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
#include "check.h"
#include "platform/environment.h"
#include "platform/thread.h"
#include "sim_logging_dispatcher.h"
#include "vexo_sim.h"

namespace {

namespace platform = vexo::templates::platform;
using board::callsNamed;
using board::OpenBoard;

// Cases run as processes of their own, side by side: each writes a file of its own.
std::string logFile() {
    return std::string("logging_dispatcher_") + ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + ".log";
}
constexpr const char* kLoggerName = "vexo.wrapper.Orvanta";
constexpr int32_t kCamStatus = 2000;         // FG_CAMSTATUS, read-only
constexpr int32_t kTriggerInSource = 8110;   // FG_TRIGGERIN_SRC
constexpr const char* kInputSelect = "Device1_Process1_Trigger_TriggerCam0_InputSelect_Select_Value";
constexpr const char* kDebounce = "Device1_Process1_Trigger_TriggerInput_Debounce8_Prescale_Period";

struct LogLine {
    std::string logger;
    uint32_t level;
    std::string text;
};

// The dispatcher reads the level when the applet first asks for its logger, and the file name
// at every record: set both before any board opens, and start each case with an empty file.
void startLog() {
    platform::setEnvironment("VEXO_SIM_LOG_LEVEL", "4");
    platform::setEnvironment("VEXO_SIM_LOG_FILE", logFile().c_str());
    std::remove(logFile().c_str());
}

std::string record(const std::string& message) {
    return "thread-id=" + std::to_string(platform::currentThreadId()) + "|" + message;
}

// "<time> TAB <logger> TAB <level> TAB <text>" per line.
std::vector<LogLine> logLines() {
    std::vector<LogLine> lines;
    std::ifstream file(logFile());
    std::string line;
    while (std::getline(file, line)) {
        const size_t logger = line.find('\t') + 1;
        const size_t level = line.find('\t', logger) + 1;
        const size_t text = line.find('\t', level) + 1;
        lines.push_back({line.substr(logger, level - logger - 1),
                         static_cast<uint32_t>(std::strtoul(line.c_str() + level, nullptr, 10)), line.substr(text)});
    }
    return lines;
}

int32_t writeU32(void* fg, int32_t id, uint32_t value) { return Fg_setParameterWithType(fg, id, &value, 0, 2); }

}  // namespace

TEST_CASE("a clean open logs nothing; the first record attaches the dispatcher, once per process") {
    startLog();
    {
        OpenBoard first;
        REQUIRE(first.fg != nullptr);
        CHECK(logLines().empty());
        writeU32(first.fg, 1, 0);
        OpenBoard second;
        REQUIRE(second.fg != nullptr);
        writeU32(second.fg, 1, 0);
    }
    CHECK_EQ(SimLog_AttachCount(), 1);
    CHECK_EQ(logLines().size(), size_t{2});
}

TEST_CASE("refused writes are logged at level 4 under the applet's logger") {
    startLog();
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    CHECK_EQ(writeU32(board.fg, 1, 0), -2070);
    CHECK_EQ(writeU32(board.fg, kCamStatus, 0), -12);
    const std::vector<LogLine> lines = logLines();
    REQUIRE_EQ(lines.size(), size_t{2});
    CHECK_EQ(lines[0].logger, std::string(kLoggerName));
    CHECK_EQ(lines[0].level, 4u);
    CHECK_EQ(lines[0].text, record("trying to set unknown SDK parameter '1' on process 0!"));
    CHECK_EQ(lines[1].text, record("trying to set read-only SDK parameter 'FG_CAMSTATUS' on process 0!"));
}

TEST_CASE("an NX name the runtime does not know is logged when the board opens") {
    startLog();
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    SimCtl_HideNxName(kDebounce);
    // Flag bit 0: no initial values, so the unknown id is not also written.
    void* fg = Fg_InitEx("Orvanta", 0, 1);
    REQUIRE(fg != nullptr);
    Fg_FreeGrabber(fg);
    const std::vector<LogLine> lines = logLines();
    REQUIRE_EQ(lines.size(), size_t{1});
    CHECK_EQ(lines[0].level, 4u);
    CHECK_EQ(lines[0].text, record(std::string("cannot retrieve NX id for NX parameter: '") + kDebounce + "'"));
}

TEST_CASE("a failing NX write is logged at level 5 with the NX id and the runtime's result") {
    startLog();
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    SimCtl_ClearCalls();
    SimCtl_FailNxWrite(kInputSelect, -3333);
    CHECK_EQ(writeU32(board.fg, kTriggerInSource, 1), -3333);
    const std::vector<SimCall> writes = callsNamed("Fg_setParameterWithType");
    REQUIRE_EQ(writes.size(), size_t{1});
    const std::string message = std::string("Setting NX parameter '") + kInputSelect +
                                "' (ID: " + std::to_string(writes[0].id) + ") failed: result = -3333";
    const std::vector<LogLine> lines = logLines();
    REQUIRE_EQ(lines.size(), size_t{1});
    CHECK_EQ(lines[0].level, 5u);
    CHECK_EQ(lines[0].text, record(message));
}

TEST_CASE("the level the dispatcher sets decides which records are written") {
    startLog();
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    writeU32(board.fg, 1, 0);  // the applet asks for its logger at its first record
    std::remove(logFile().c_str());
    REQUIRE_EQ(SimLog_SetLevel(kLoggerName, 5), 0);
    SimCtl_FailNxWrite(kInputSelect, -3333);
    writeU32(board.fg, 1, 0);
    writeU32(board.fg, kTriggerInSource, 1);
    std::vector<LogLine> lines = logLines();
    REQUIRE_EQ(lines.size(), size_t{1});
    CHECK_EQ(lines[0].level, 5u);

    REQUIRE_EQ(SimLog_SetLevel(kLoggerName, 7), 0);
    writeU32(board.fg, kTriggerInSource, 1);
    CHECK_EQ(logLines().size(), size_t{1});

    REQUIRE_EQ(SimLog_SetLevel(kLoggerName, 4), 0);
    writeU32(board.fg, 1, 0);
    lines = logLines();
    REQUIRE_EQ(lines.size(), size_t{2});
    CHECK_EQ(lines[1].text, record("trying to set unknown SDK parameter '1' on process 0!"));
}

// Leaves the applet without a dispatcher for the rest of the process: keep it last.
TEST_CASE("after the dispatcher's reset no record arrives, from old or new boards") {
    startLog();
    OpenBoard before;
    REQUIRE(before.fg != nullptr);
    writeU32(before.fg, 1, 0);
    REQUIRE_EQ(logLines().size(), size_t{1});
    REQUIRE_EQ(SimLog_Reset(), 0);
    // The logger this board holds still lets level 4 pass; the record goes nowhere.
    CHECK_EQ(writeU32(before.fg, 1, 0), -2070);
    {
        OpenBoard after;
        REQUIRE(after.fg != nullptr);
        CHECK_EQ(writeU32(after.fg, 1, 0), -2070);
    }
    CHECK_EQ(logLines().size(), size_t{1});
    CHECK_EQ(SimLog_SetLevel(kLoggerName, 4), -1);
}

CHECK_MAIN
