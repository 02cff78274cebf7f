// Configuration files through Fg_saveConfig and Fg_loadConfig on a simulated board: the saved
// file byte for byte, a load that brings saved values back into the registers, and loads that
// stop at a bad header, a missing key or a refused value with what was done before kept.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "trigger_board.h"

namespace {

constexpr int32_t kFileNotFound = -2076;
constexpr int32_t kContentInvalid = -5000;
constexpr int32_t kFileNotCreated = -5001;

// Text mode both ways, so that the comparisons see '\n' on Windows too. A missing file reads "".
std::string readText(const char* name) {
    std::ostringstream text;
    text << std::ifstream(name).rdbuf();
    return text.str();
}

void writeText(const char* name, const std::string& text) { std::ofstream(name) << text; }

// The text with `from` replaced by `to` ("" with a key prefix and '\n': that line removed).
std::string edited(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    const size_t end = to.empty() ? text.find('\n', at) + 1 : at + from.size();
    return at == std::string::npos ? text : text.replace(at, end - at, to);
}

// The file saved right after start-up, from config_startup.txt beside the executable.
std::string startupFile() {
    std::istringstream file(readText("config_startup.txt"));
    std::string text;
    for (std::string line; std::getline(file, line);) {
        if (line.rfind('#', 0) != 0) text += line + '\n';
    }
    return text;
}

// Values away from the start-up ones, and a second set away from both.
struct Settings {
    int32_t width, triggerSource, gpo2, areaTriggerMode;
    double debounce;
};
constexpr Settings kSaved{512, 3, 4, 2, 0.5};
constexpr Settings kChanged{256, 1, 5, 4, 1.2};

// A board with SDK parameters written and read by name: integers with type code 2, doubles 5.
class ConfigTest : public trigger_test::TriggerBoard {
protected:
    template <typename T>
    T get(const char* name) {
        T value{};
        const int32_t id = Fg_getParameterIdByName(fg(), name);
        EXPECT_EQ(Fg_getParameterWithType(fg(), id, &value, 0, sizeof(T) == 8 ? 5 : 2), 0) << name;
        return value;
    }
    void apply(const Settings& s) {
        ASSERT_EQ(set("FG_WIDTH", s.width) + set("FG_TRIGGERIN_SRC", s.triggerSource) +
                      set("FG_TRIGGEROUT_SELECT_GPO_2", s.gpo2) + set("FG_AREATRIGGERMODE", s.areaTriggerMode) +
                      set("FG_TRIGGERIN_DEBOUNCE", s.debounce),
                  0);
    }
    // Saves the board's configuration and answers the file's text.
    std::string saved(const char* name) {
        EXPECT_EQ(Fg_saveConfig(fg(), name), 0);
        return readText(name);
    }
};

// A register written by the load shows that a setter ran, not only that a value was stored.
bool wroteRegister(const std::string& part) {
    for (const board::NxWrite& w : board::nxWrites()) {
        if (w.name.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST_F(ConfigTest, ASavedFileHoldsTheHeaderAndEveryKeyWithItsStartUpValueTheSameEachTime) {
    const std::string first = saved("config_startup.mcf");
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
    EXPECT_EQ(first, startupFile());
    EXPECT_EQ(saved("config_startup.mcf"), first);
}

TEST_F(ConfigTest, LoadingASavedFileBringsItsValuesBackAndSavingAgainGivesTheSameFile) {
    apply(kSaved);
    const std::string file = saved("config_saved.mcf");
    apply(kChanged);
    SimCtl_ClearCalls();
    EXPECT_EQ(Fg_loadConfig(fg(), "config_saved.mcf"), 0);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
    EXPECT_TRUE(wroteRegister("InputSelect"));
    // Saved values are read back as the read path answers them: every changed value has come
    // back, the debounce time from its register, which only the setter writes.
    EXPECT_EQ(saved("config_saved_again.mcf"), file);
}

// A file written on Windows has CRLF line ends, which text mode reads there as line feeds: it
// loads here alike, the header section (searched with its line feed) included.
TEST_F(ConfigTest, AFileWithWindowsLineEndsLoadsAsOnWindows) {
    apply(kSaved);
    const std::string file = saved("config_crlf.mcf");
    std::string crlf;
    for (const char c : file) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::ofstream("config_crlf.mcf", std::ios::binary) << crlf;
    apply(kChanged);
    EXPECT_EQ(Fg_loadConfig(fg(), "config_crlf.mcf"), 0);
    EXPECT_EQ(get<int32_t>("FG_WIDTH"), kSaved.width);
    EXPECT_EQ(saved("config_crlf_again.mcf"), file);
}

TEST_F(ConfigTest, AHeaderNamingAnotherAppletOrLackingAKeyIsRefusedBeforeAnythingIsApplied) {
    const std::string file = saved("config_header.mcf");
    ASSERT_EQ(set("FG_WIDTH", 256), 0);
    for (const std::string& fault : {edited(file, "Typ='Orvanta'", "Typ='Other'"),
                                     edited(file, "Typ='Orvanta'", "Typ='orvanta'"),
                                     edited(file, "Typ='Orvanta'", "Typ='Orvanta2'"), edited(file, "Hersteller=", ""),
                                     edited(file, "AktivePort=", "")}) {
        SCOPED_TRACE(fault.substr(0, 120));
        writeText("config_header.mcf", fault);
        SimCtl_ClearCalls();
        EXPECT_EQ(Fg_loadConfig(fg(), "config_header.mcf"), kContentInvalid);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), kContentInvalid);
        EXPECT_TRUE(board::nxWrites().empty());
        EXPECT_EQ(get<int32_t>("FG_WIDTH"), 256);
    }
}

TEST_F(ConfigTest, ALoadStopsAtAMissingOrRefusedKeyKeepingWhatWasStoredAndAppliedBefore) {
    apply(kSaved);
    const std::string file = saved("config_partial.mcf");

    // FG_AREATRIGGERMODE is first read in the applying pass: every other key is stored by then,
    // the keys ahead of it are applied, the trigger input behind it is only stored.
    apply(kChanged);
    writeText("config_partial.mcf", edited(file, "FG_AREATRIGGERMODE=", ""));
    SimCtl_ClearCalls();
    EXPECT_EQ(Fg_loadConfig(fg(), "config_partial.mcf"), kContentInvalid);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kContentInvalid);
    EXPECT_EQ(get<int32_t>("FG_WIDTH"), kSaved.width);
    EXPECT_TRUE(wroteRegister("XROI_ROIRange_to"));
    EXPECT_EQ(get<int32_t>("FG_TRIGGERIN_SRC"), kSaved.triggerSource);
    EXPECT_FALSE(wroteRegister("InputSelect"));
    EXPECT_EQ(get<int32_t>("FG_AREATRIGGERMODE"), kChanged.areaTriggerMode);

    apply(kChanged);
    writeText("config_partial.mcf", edited(file, "FG_TRIGGERIN_SRC=3;", "FG_TRIGGERIN_SRC=999;"));
    EXPECT_EQ(Fg_loadConfig(fg(), "config_partial.mcf"), kContentInvalid);
    EXPECT_EQ(get<int32_t>("FG_AREATRIGGERMODE"), kSaved.areaTriggerMode);

    // FG_DEBUGINENABLE is written but never read.
    writeText("config_partial.mcf", edited(file, "FG_DEBUGINENABLE=", ""));
    EXPECT_EQ(Fg_loadConfig(fg(), "config_partial.mcf"), 0);
}

TEST_F(ConfigTest, FileNamesNeedMcfAnywhereAndMissingFilesAreReported) {
    // Which names the parser creates is checked with the parser itself.
    EXPECT_EQ(Fg_saveConfig(fg(), "config_plain.txt"), kFileNotCreated);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kFileNotCreated);

    writeText("config_plain.txt", saved("config_named.mcf.bak"));
    EXPECT_EQ(Fg_loadConfig(fg(), "config_named.mcf.bak"), 0);
    // The answers tell a missing file from bad content; the last error does not.
    EXPECT_EQ(Fg_loadConfig(fg(), "config_plain.txt"), kFileNotFound);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kContentInvalid);
    std::remove("config_missing.mcf");
    EXPECT_EQ(Fg_loadConfig(fg(), "config_missing.mcf"), kFileNotFound);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), kContentInvalid);
}
