// The .mcf parser on files in the working folder: its exact line forms and number formats, the
// quirks of its two text searches, the 256-character line buffer, the file-name check, and the
// legacy text log that receives its open failures.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "check.h"
#include "config/config_file_parser.h"
#include "logging/legacy_text_log.h"

using namespace std::string_literals;
using vexo::config::Fg_ConfigFileParser;
using vexo::config::kLineBufferSize;
using vexo::tools::logging::LegacyTextLog;

namespace {

std::string readText(const char* name) {
    std::string text;
    if (std::FILE* file = std::fopen(name, "r")) {
        for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) text += static_cast<char>(c);
        std::fclose(file);
    }
    return text;
}

// A read-only parser on a file holding `text`.
std::unique_ptr<Fg_ConfigFileParser> fileWith(const std::string& text) {
    std::FILE* file = std::fopen("config_parser_test.mcf", "w");
    REQUIRE(file != nullptr);
    std::fputs(text.c_str(), file);
    std::fclose(file);
    auto parser = std::make_unique<Fg_ConfigFileParser>(nullptr, "config_parser_test.mcf", true);
    REQUIRE(parser->isOpen());
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

TEST_CASE("the writers give the exact header, line forms and number formats") {
    {
        Fg_ConfigFileParser parser(nullptr, nullptr, false);
        REQUIRE(parser.setSaveFile("config_parser_write.mcf"));
        parser.writeConfigFileHeader();
        parser.writeConfigFile("Typ", "Orvanta");
        parser.writeConfigFileIntKey("Int", INT32_MIN);
        parser.writeConfigFileUInt64Key("U64", UINT64_MAX);
        parser.writeConfigFileInt64Key("I64", INT64_MIN);
        parser.writePortSectionHeader(0);
        parser.writeConfigFileDoubleKey("Tenth", 0.1);
        parser.writeConfigFileDoubleKey("Twelve", 1234567.891234);
        parser.writeConfigFile("Empty", "");
        parser.writePortSectionHeader(1);
    }
    CHECK_EQ(readText("config_parser_write.mcf"),
             "[Kamerasektion]\n\nConfigFileVersion=2.0;\nTyp='Orvanta';\nInt=-2147483648;\nU64=18446744073709551615;\n"
             "I64=-9223372036854775808;\n\n[Port A]\nTenth=0.1;\nTwelve=1234567.89123;\nEmpty='';\n\n[Port B]\n"s);
}

TEST_CASE("searches: section keys past later sections and only before '=', header keys anywhere in a line") {
    auto p = fileWith(
        "[Kamerasektion]\n\nComment='the Typ of board';\nTyp='Orvanta';\nAktivePort=1;\n\n[Port A]\n"
        "FG_TRIGGERIN_DOWNSCALE_PHASE=7;\nFG_TRIGGERIN_DOWNSCALE=3;\nFG_DEBUGFILE='';\nFG_SPACED = 5;\n"
        "FG_TEXT='a b';\n\n[Port B]\nFG_LATER=9;\n");
    CHECK_EQ(keyIn(*p, "[Port A]", "FG_TRIGGERIN_DOWNSCALE"), "0:3"s);
    CHECK_EQ(keyIn(*p, "[Port A]", "FG_TRIGGERIN_DOWNSCALE_PHASE"), "0:7"s);
    CHECK_EQ(keyIn(*p, "[Port A]", "FG_DEBUGFILE"), "0:"s);
    CHECK_EQ(keyIn(*p, "[Port A]", "FG_TEXT"), "0:a b"s);
    CHECK_EQ(keyIn(*p, "[Port A]", "FG_LATER"), "0:9"s);
    CHECK_EQ(keyIn(*p, "[Port A]", "FG_SPACED"), "-8000:Error"s);
    // Only lines after the section line count; a missing section finds nothing.
    CHECK_EQ(keyIn(*p, "[Port A]", "AktivePort"), "-8000:Error"s);
    CHECK_EQ(keyIn(*p, "[Port C]", "FG_LATER"), "-8000:Error"s);

    // "Typ" first occurs inside another line's value, and that line is taken.
    CHECK_EQ(lineWith(*p, "Typ"), "0:the Typ of board"s);
    CHECK_EQ(lineWith(*p, "Typ='"), "0:Orvanta"s);
    CHECK_EQ(lineWith(*p, "AktivePort"), "0:1;\n"s);
    CHECK_EQ(lineWith(*p, "[Port B]"), "0:"s);
    CHECK_EQ(lineWith(*p, "Hersteller"), "-8000:Error"s);
}

TEST_CASE("typed readers convert, or answer -1 and leave the output alone") {
    auto p = fileWith(
        "[Kamerasektion]\nAktivePort=2;\n[Port A]\nNEG=-1;\nU64=18446744073709551615;\nHEX=0x1F;\nOCT=017;\n"
        "D=2.5e3;\nSAYS_ERROR='Error';\n");
    uint32_t u32 = 7;
    CHECK_EQ(p->parseIntKeyFromHeader("AktivePort", u32), 0);
    CHECK_EQ(u32, 2u);
    CHECK_EQ(p->parsePortKey(0, "NEG", u32), 0);
    CHECK_EQ(u32, UINT32_MAX);
    u32 = 7;
    CHECK_EQ(p->parsePortKey(0, "MISSING", u32), -1);
    CHECK_EQ(p->parsePortKey(0, "SAYS_ERROR", u32), -1);
    CHECK_EQ(p->parsePortKey(0, nullptr, u32), -1);
    CHECK_EQ(p->parsePortKey(1, "NEG", u32), -1);
    CHECK_EQ(u32, 7u);

    uint64_t u64 = 0;
    int64_t hex = 0, oct = 0;
    double d = 0;
    CHECK_EQ(p->parsePortKey(0, "U64", u64) + p->parsePortKey(0, "HEX", hex) + p->parsePortKey(0, "OCT", oct) +
                 p->parsePortKey(0, "D", d),
             0);
    CHECK_EQ(u64, UINT64_MAX);
    CHECK_EQ(hex, int64_t{31});
    CHECK_EQ(oct, int64_t{15});
    CHECK_EQ(d, 2500.0);
}

TEST_CASE("a line longer than 255 characters is read as several") {
    const std::string head = "FG_LONG='";
    const std::string filler(255 - head.size(), 'x');
    auto p = fileWith("[Port A]\n" + head + filler + "FG_HIDDEN=5;" + std::string(40, 'y') + "';\n");
    char value[kLineBufferSize] = {};
    CHECK_EQ(p->parsePortKey(0, "FG_LONG", value), 0);
    CHECK_EQ(std::string(value), filler);
    // The rest of the 310 characters is taken for lines of their own.
    uint32_t hidden = 0;
    CHECK_EQ(p->parsePortKey(0, "FG_HIDDEN", hidden), 0);
    CHECK_EQ(hidden, 5u);
}

TEST_CASE("only names containing \".mcf\" are opened or created; refusals go to the log") {
    CHECK(Fg_ConfigFileParser::checkFileType("x.mcf.bak"));
    CHECK(!Fg_ConfigFileParser::checkFileType("a.MCF"));
    CHECK(!Fg_ConfigFileParser::checkFileType(nullptr));
    std::FILE* plainFile = std::fopen("config_parser_plain.txt", "w");
    REQUIRE(plainFile != nullptr);
    std::fputs("[Port A]\nK=1;\n", plainFile);
    std::fclose(plainFile);
    CHECK(Fg_ConfigFileParser::checkFileExist("config_parser_plain.txt"));
    CHECK(!Fg_ConfigFileParser(nullptr, "config_parser_plain.txt", true).isOpen());

    std::FILE* logFile = std::fopen("config_parser_log.txt", "w");
    REQUIRE(logFile != nullptr);
    LegacyTextLog log(logFile);
    Fg_ConfigFileParser saver(&log, nullptr, false);
    CHECK(!saver.setSaveFile("config_parser_plain.txt"));
    CHECK(!saver.setSaveFile("config_parser_no_folder/a.mcf"));
    log.close();
    CHECK_EQ(readText("config_parser_log.txt"),
             "quillcardIV::Error >> Config File is Invalid;\nquillcardIV::Error >> Config File: fopen failed;\n"s);
    CHECK_EQ(readText("config_parser_plain.txt"), "[Port A]\nK=1;\n"s);
}

TEST_CASE("the legacy text log: record formats, the banner's frame, silence once closed") {
    LegacyTextLog log(std::fopen("config_legacy_log.txt", "w"));
    REQUIRE(log.isOpen());
    log.info("opened", 3);
    log.error("setter", "FG_WIDTH", -6000);
    log.error("rate", "FG_TRIGGER_FRAMESPERSECOND", 1234567.891234);
    log.formatted("%s=%d|", "raw", 5);
    log.traceEntry("operation");
    log.banner();
    log.close();
    log.error("after close");

    const std::string text = readText("config_legacy_log.txt");
    const std::string records =
        "quillcardIV::Info >> opened >> 3;\nquillcardIV::Error >> setter >> FG_WIDTH >> -6000;\n"
        "quillcardIV::Error >> rate >> FG_TRIGGER_FRAMESPERSECOND >> 1234567.89123;\nraw=5|";
    const std::string dashes = std::string(73, '-') + "\n";
    REQUIRE_EQ(text.substr(0, records.size() + dashes.size()), records + dashes);
    CHECK(text.find("\nContents: Log details for quillcard Dll\n") != std::string::npos);
    // asctime's "Www Mmm dd hh:mm:ss yyyy\n" stands between the contents line and the last dashes.
    REQUIRE(text.size() > records.size() + 2 * dashes.size() + 26);
    CHECK_EQ(text.substr(text.size() - dashes.size()), dashes);
    CHECK_EQ(text[text.size() - dashes.size() - 26], '\n');
}

CHECK_MAIN
