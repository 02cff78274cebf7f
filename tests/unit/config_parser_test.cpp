// The .mcf parser on files in the working folder: what saving and loading end to end do not
// show (the quirks of the two text searches and the typed readers, the 256-character line
// buffer, the file-name check by case) and the legacy text log lines of refused save files.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "config/config_file_parser.h"
#include "logging/legacy_text_log.h"

using vexo::config::Fg_ConfigFileParser;
using vexo::config::kLineBufferSize;
using vexo::tools::logging::LegacyTextLog;

namespace {

// A file name of the running case's own: the cases run side by side in one folder.
std::string caseFile(const char* suffix) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("config_parser_") + info->name() + suffix;
}

std::string readText(const std::string& name) {
    std::ifstream file(name);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A read-only parser on a file holding `text`.
std::unique_ptr<Fg_ConfigFileParser> fileWith(const std::string& text) {
    const std::string name = caseFile(".mcf");
    std::ofstream(name) << text;
    auto parser = std::make_unique<Fg_ConfigFileParser>(nullptr, name.c_str(), true);
    EXPECT_TRUE(parser->isOpen()) << name;
    return parser;
}

// A search's answer as "result:value", e.g. "0:3" or "-8000:Error".
std::string keyIn(Fg_ConfigFileParser& parser, const char* section, const char* key) {
    char value[kLineBufferSize] = {};
    return std::to_string(parser.parseKey(section, key, value)) + ":" + value;
}

std::string lineWith(Fg_ConfigFileParser& parser, const char* searchText) {
    char value[kLineBufferSize] = {};
    return std::to_string(parser.parseKeyFromLine(searchText, value)) + ":" + value;
}

}  // namespace

// Section keys are found past later sections and only before '='; header keys anywhere in a line.
TEST(ConfigParser, SearchesMatchTextRatherThanStructure) {
    auto p = fileWith(
        "[Kamerasektion]\n\nComment='the Typ of board';\nTyp='Orvanta';\nAktivePort=1;\n\n[Port A]\n"
        "FG_TRIGGERIN_DOWNSCALE_PHASE=7;\nFG_TRIGGERIN_DOWNSCALE=3;\nFG_DEBUGFILE='';\nFG_SPACED = 5;\n"
        "FG_TEXT='a b';\n\n[Port B]\nFG_LATER=9;\n");
    EXPECT_EQ(keyIn(*p, "[Port A]", "FG_TRIGGERIN_DOWNSCALE"), "0:3");
    EXPECT_EQ(keyIn(*p, "[Port A]", "FG_TRIGGERIN_DOWNSCALE_PHASE"), "0:7");
    EXPECT_EQ(keyIn(*p, "[Port A]", "FG_TEXT"), "0:a b");
    EXPECT_EQ(keyIn(*p, "[Port A]", "FG_LATER"), "0:9");
    EXPECT_EQ(keyIn(*p, "[Port A]", "FG_SPACED"), "-8000:Error");
    // Only lines after the section line count; a missing section finds nothing.
    EXPECT_EQ(keyIn(*p, "[Port A]", "AktivePort"), "-8000:Error");
    EXPECT_EQ(keyIn(*p, "[Port C]", "FG_LATER"), "-8000:Error");

    // "Typ" first occurs inside another line's value, and that line is taken.
    EXPECT_EQ(lineWith(*p, "Typ"), "0:the Typ of board");
    EXPECT_EQ(lineWith(*p, "AktivePort"), "0:1;\n");
    EXPECT_EQ(lineWith(*p, "[Port B]"), "0:");
}

TEST(ConfigParser, TypedReadersConvertOrAnswerMinusOneAndLeaveTheOutputAlone) {
    auto p = fileWith(
        "[Port A]\nNEG=-1;\nU64=18446744073709551615;\nHEX=0x1F;\nOCT=017;\nSAYS_ERROR='Error';\n");
    uint32_t u32 = 7;
    EXPECT_EQ(p->parsePortKey(0, "NEG", u32), 0);
    EXPECT_EQ(u32, UINT32_MAX);
    u32 = 7;
    EXPECT_EQ(p->parsePortKey(0, "SAYS_ERROR", u32), -1);
    EXPECT_EQ(p->parsePortKey(1, "NEG", u32), -1);
    EXPECT_EQ(u32, 7u);

    uint64_t u64 = 0;
    int64_t hex = 0, oct = 0;
    EXPECT_EQ(p->parsePortKey(0, "U64", u64), 0);
    EXPECT_EQ(p->parsePortKey(0, "HEX", hex), 0);
    EXPECT_EQ(p->parsePortKey(0, "OCT", oct), 0);
    EXPECT_EQ(u64, UINT64_MAX);
    EXPECT_EQ(hex, int64_t{31});
    EXPECT_EQ(oct, int64_t{15});
}

TEST(ConfigParser, LineLongerThan255CharactersIsReadAsSeveral) {
    const std::string head = "FG_LONG='";
    const std::string filler(255 - head.size(), 'x');
    auto p = fileWith("[Port A]\n" + head + filler + "FG_HIDDEN=5;" + std::string(40, 'y') + "';\n");
    char value[kLineBufferSize] = {};
    EXPECT_EQ(p->parsePortKey(0, "FG_LONG", value), 0);
    EXPECT_EQ(std::string(value), filler);
    // The rest of the 310 characters is taken for lines of their own.
    uint32_t hidden = 0;
    EXPECT_EQ(p->parsePortKey(0, "FG_HIDDEN", hidden), 0);
    EXPECT_EQ(hidden, 5u);
}

// A save file is refused without ".mcf" in its name, matched by case, or when it cannot be
// created; both refusals go to the legacy text log.
TEST(ConfigParser, RefusedSaveFilesAreLoggedAndMcfIsMatchedByCase) {
    EXPECT_FALSE(Fg_ConfigFileParser::checkFileType("a.MCF"));
    EXPECT_FALSE(Fg_ConfigFileParser::checkFileType(nullptr));
    const std::string logName = caseFile(".log");
    LegacyTextLog log(std::fopen(logName.c_str(), "w"));
    ASSERT_TRUE(log.isOpen());
    Fg_ConfigFileParser saver(&log, nullptr, false);
    EXPECT_FALSE(saver.setSaveFile(caseFile(".txt").c_str()));
    EXPECT_FALSE(saver.setSaveFile("config_parser_no_folder/a.mcf"));
    log.close();
    EXPECT_EQ(readText(logName),
              "quillcardIV::Error >> Config File is Invalid;\nquillcardIV::Error >> Config File: fopen failed;\n");
}
