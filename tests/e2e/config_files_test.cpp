// Configuration files through Fg_saveConfig and Fg_loadConfig on a simulated board: the saved
// file byte for byte, a load that brings saved values back into the registers, and loads that
// stop at a bad header, a missing key or a refused value with what was done before kept.
#include <cstdio>
#include <string>

#include "trigger_board.h"

using trigger_test::TriggerBoard;

namespace {

constexpr int32_t kFileNotFound = -2076;
constexpr int32_t kContentInvalid = -5000;
constexpr int32_t kFileNotCreated = -5001;

// Text mode both ways, so that the comparisons see '\n' on Windows too. A missing file reads "".
std::string readText(const char* name) {
    std::string text;
    if (std::FILE* file = std::fopen(name, "r")) {
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
        std::fclose(file);
    }
    return text;
}

void writeText(const char* name, const std::string& text) {
    std::FILE* file = std::fopen(name, "w");
    REQUIRE(file != nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
}

// The text with `from` replaced by `to` ("" with a key prefix and '\n': that line removed).
std::string edited(std::string text, const std::string& from, const std::string& to) {
    const size_t at = text.find(from);
    const size_t end = to.empty() ? text.find('\n', at) + 1 : at + from.size();
    return at == std::string::npos ? text : text.replace(at, end - at, to);
}

template <typename T>
T read(void* fg, const char* name) {
    T value{};
    CHECK_EQ(Fg_getParameterWithType(fg, Fg_getParameterIdByName(fg, name), &value, 0, sizeof(T) == 8 ? 5 : 2), 0);
    return value;
}

// Saves the board's configuration and answers the file's text.
std::string savedLoadable(void* fg, const char* name) {
    REQUIRE_EQ(Fg_saveConfig(fg, name), 0);
    return readText(name);
}

std::string startupFile() {
    std::string text =
        "[Kamerasektion]\n\nConfigFileVersion=2.0;\nHersteller='Brightmoor GmbH';\nTyp='Orvanta';\n"
        "Version='1.2';\nLoadAppletId=0;\nAktivePort=0;\n\n[Port A]\n"
        "FG_TIMEOUT=1000000;\nFG_PIXELFORMAT=258;\nFG_WIDTH=1024;\nFG_HEIGHT=1024;\nFG_XOFFSET=0;\nFG_YOFFSET=0;\n"
        "FG_FORMAT=3;\nFG_CAMERASIMULATOR_ENABLE=0;\nFG_CAMERASIMULATOR_WIDTH=1024;\nFG_CAMERASIMULATOR_LINE_GAP=0;\n"
        "FG_CAMERASIMULATOR_HEIGHT=1024;\nFG_CAMERASIMULATOR_FRAME_GAP=0;\nFG_CAMERASIMULATOR_PATTERN=3;\n"
        "FG_CAMERASIMULATOR_PATTERN_OFFSET=0;\nFG_CAMERASIMULATOR_ROLL=1;\nFG_CAMERASIMULATOR_SELECT_MODE=2;\n"
        // 3999.9999999999995, 32 / (1024 × 8 ns) and the rate of the rounded frame length.
        "FG_CAMERASIMULATOR_PIXEL_FREQUENCY=4000;\nFG_CAMERASIMULATOR_LINERATE=3906250;\n"
        "FG_CAMERASIMULATOR_FRAMERATE=10.0000256001;\nFG_CAMERASIMULATOR_TRIGGER_MODE=0;\n"
        // Outside select mode 0 these reads leave the caller's value, here the writer's 0.
        "FG_CAMERASIMULATOR_ACTIVE=0;\nFG_CAMERASIMULATOR_PASSIVE=0;\nFG_IMG_SELECT_PERIOD=1;\nFG_IMG_SELECT=0;\n"
        "FG_AREATRIGGERMODE=1;\nFG_TRIGGERSTATE=2;\nFG_TRIGGER_FRAMESPERSECOND=8;\n"
        // 42 debounce ticks × 8 × 3 / 1000.
        "FG_TRIGGERIN_DEBOUNCE=1.008;\nFG_TRIGGERIN_SRC=0;\nFG_TRIGGERIN_POLARITY=0;\nFG_TRIGGERIN_DOWNSCALE=1;\n"
        "FG_TRIGGERIN_DOWNSCALE_PHASE=0;\nFG_TRIGGERIN_STATS_SOURCE=0;\nFG_TRIGGERIN_STATS_POLARITY=0;\n"
        "FG_TRIGGER_MULTIPLY_PULSES=1;\nFG_TRIGGERQUEUE_MODE=0;\nFG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD=2047;\n"
        "FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD=2;\n";
    for (char n = '0'; n <= '3'; ++n) {
        const std::string generator = std::string("FG_TRIGGER_PULSEFORMGEN") + n;
        // A delay of 0 is held by the design as its shortest, one tick.
        text += generator + "_DOWNSCALE=1;\n" + generator + "_DOWNSCALE_PHASE=0;\n" + generator + "_DELAY=0.008;\n" +
                generator + "_WIDTH=4;\n";
    }
    text += "FG_TRIGGERCAMERA_OUT_SELECT=0;\nFG_CLHS_TRIGGER_PULSE_MESSAGE=1;\n";
    const char* outputs[] = {"60", "61", "5", "5", "5", "5", "5", "5"};
    for (int i = 0; i < 8; ++i) text += "FG_TRIGGEROUT_SELECT_GPO_" + std::to_string(i) + "=" + outputs[i] + ";\n";
    text += "FG_TRIGGEROUT_SELECT_FRONT_GPO_0=60;\nFG_TRIGGEROUT_SELECT_FRONT_GPO_1=61;\n"
            "FG_TRIGGEROUT_STATS_SOURCE=0;\nFG_TRIGGER_OUTPUT_EVENT_SELECT=0;\nFG_DEBUGSOURCE=0;\n"
            "FG_DEBUGINENABLE=0;\nFG_DEBUGFILE='';\nFG_DEBUGOUTENABLE=0;\n";
    return text;
}

// Values away from the start-up ones, and a second set away from both.
struct Settings {
    int32_t width, triggerSource, gpo2, areaTriggerMode;
    double debounce;
};
constexpr Settings kSaved{512, 3, 4, 2, 0.5};
constexpr Settings kChanged{256, 1, 5, 4, 1.2};

void apply(TriggerBoard& b, const Settings& s) {
    REQUIRE_EQ(b.set("FG_WIDTH", s.width) + b.set("FG_TRIGGERIN_SRC", s.triggerSource) +
                   b.set("FG_TRIGGEROUT_SELECT_GPO_2", s.gpo2) + b.set("FG_AREATRIGGERMODE", s.areaTriggerMode) +
                   b.set("FG_TRIGGERIN_DEBOUNCE", s.debounce),
               0);
}

// A register written by the load shows that a setter ran, not only that a value was stored.
bool wroteRegister(const std::string& part) {
    for (const board::NxWrite& w : board::nxWrites()) {
        if (w.name.find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST_CASE("a saved file holds the header, [Port A] and every key with its start-up value, the same each time") {
    TriggerBoard b;
    REQUIRE_EQ(Fg_saveConfig(b.fg, "config_startup.mcf"), 0);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), 0);
    const std::string first = readText("config_startup.mcf");
    CHECK_EQ(first, startupFile());
    REQUIRE_EQ(Fg_saveConfig(b.fg, "config_startup.mcf"), 0);
    CHECK_EQ(readText("config_startup.mcf"), first);
}

TEST_CASE("loading a saved file brings the saved values back into the design; saving again gives the same file") {
    TriggerBoard b;
    apply(b, kSaved);
    const std::string saved = savedLoadable(b.fg, "config_saved.mcf");
    const double savedDebounce = read<double>(b.fg, "FG_TRIGGERIN_DEBOUNCE");
    apply(b, kChanged);
    SimCtl_ClearCalls();
    CHECK_EQ(Fg_loadConfig(b.fg, "config_saved.mcf"), 0);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), 0);
    CHECK_EQ(read<int32_t>(b.fg, "FG_WIDTH"), kSaved.width);
    CHECK_EQ(read<int32_t>(b.fg, "FG_TRIGGERIN_SRC"), kSaved.triggerSource);
    CHECK_EQ(read<int32_t>(b.fg, "FG_TRIGGEROUT_SELECT_GPO_2"), kSaved.gpo2);
    CHECK_EQ(read<int32_t>(b.fg, "FG_AREATRIGGERMODE"), kSaved.areaTriggerMode);
    // Read back from the debounce register, which only the setter writes.
    CHECK_EQ(read<double>(b.fg, "FG_TRIGGERIN_DEBOUNCE"), savedDebounce);
    CHECK(wroteRegister("InputSelect"));
    CHECK_EQ(savedLoadable(b.fg, "config_saved_again.mcf"), saved);
}

TEST_CASE("a header naming another applet or lacking a key is refused before anything is applied") {
    TriggerBoard b;
    const std::string saved = savedLoadable(b.fg, "config_header.mcf");
    REQUIRE_EQ(b.set("FG_WIDTH", 256), 0);
    for (const std::string& fault : {edited(saved, "Typ='Orvanta'", "Typ='Other'"),
                                     edited(saved, "Typ='Orvanta'", "Typ='orvanta'"),
                                     edited(saved, "Typ='Orvanta'", "Typ='Orvanta2'"),
                                     edited(saved, "Hersteller=", ""), edited(saved, "AktivePort=", "")}) {
        writeText("config_header.mcf", fault);
        SimCtl_ClearCalls();
        CHECK_EQ(Fg_loadConfig(b.fg, "config_header.mcf"), kContentInvalid);
        CHECK_EQ(Fg_getLastErrorNumber(b.fg), kContentInvalid);
        CHECK(board::nxWrites().empty());
        CHECK_EQ(read<int32_t>(b.fg, "FG_WIDTH"), 256);
    }
}

TEST_CASE("a load stops at a missing or refused key, keeping what was stored and applied before") {
    TriggerBoard b;
    apply(b, kSaved);
    const std::string saved = savedLoadable(b.fg, "config_partial.mcf");

    // FG_AREATRIGGERMODE is first read in the applying pass: every other key is stored by then,
    // the keys ahead of it are applied, the trigger input behind it is only stored.
    apply(b, kChanged);
    writeText("config_partial.mcf", edited(saved, "FG_AREATRIGGERMODE=", ""));
    SimCtl_ClearCalls();
    CHECK_EQ(Fg_loadConfig(b.fg, "config_partial.mcf"), kContentInvalid);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kContentInvalid);
    CHECK_EQ(read<int32_t>(b.fg, "FG_WIDTH"), kSaved.width);
    CHECK(wroteRegister("XROI_ROIRange_to"));
    CHECK_EQ(read<int32_t>(b.fg, "FG_TRIGGERIN_SRC"), kSaved.triggerSource);
    CHECK(!wroteRegister("InputSelect"));
    CHECK_EQ(read<int32_t>(b.fg, "FG_AREATRIGGERMODE"), kChanged.areaTriggerMode);

    apply(b, kChanged);
    writeText("config_partial.mcf", edited(saved, "FG_TRIGGERIN_SRC=3;", "FG_TRIGGERIN_SRC=999;"));
    CHECK_EQ(Fg_loadConfig(b.fg, "config_partial.mcf"), kContentInvalid);
    CHECK_EQ(read<int32_t>(b.fg, "FG_AREATRIGGERMODE"), kSaved.areaTriggerMode);

    // FG_DEBUGINENABLE is written but never read.
    writeText("config_partial.mcf", edited(saved, "FG_DEBUGINENABLE=", ""));
    CHECK_EQ(Fg_loadConfig(b.fg, "config_partial.mcf"), 0);
}

TEST_CASE("file names: \".mcf\" anywhere in the name, nothing touched without it, missing files and folders") {
    TriggerBoard b;
    std::remove("config_plain.txt");
    CHECK_EQ(Fg_saveConfig(b.fg, "config_plain.txt"), kFileNotCreated);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kFileNotCreated);
    CHECK(readText("config_plain.txt").empty());
    CHECK_EQ(Fg_saveConfig(b.fg, "config_no_such_folder/config.mcf"), kFileNotCreated);

    writeText("config_plain.txt", savedLoadable(b.fg, "config_named.mcf.bak"));
    CHECK_EQ(Fg_loadConfig(b.fg, "config_named.mcf.bak"), 0);
    // The answers tell a missing file from bad content; the last error does not.
    CHECK_EQ(Fg_loadConfig(b.fg, "config_plain.txt"), kFileNotFound);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kContentInvalid);
    std::remove("config_missing.mcf");
    CHECK_EQ(Fg_loadConfig(b.fg, "config_missing.mcf"), kFileNotFound);
    CHECK_EQ(Fg_getLastErrorNumber(b.fg), kContentInvalid);
}

CHECK_MAIN
