// The .mcf line forms and the two searches. Both searches are plain substring and prefix
// matches over lines read into a fixed buffer, with the line ends of a text-mode file on Windows
// everywhere (a file written there with CRLF reads the same here); the quirks that follow from that (noted at
// each) are part of the file format as its readers know it, so they stay.
#include "config/config_file_parser.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>

#include "config/config_errors.h"
#include "logging/legacy_text_log.h"
#include "platform/number_formats.h"
#include "platform/text_lines.h"

namespace vexo::config {

namespace {

namespace platform = templates::platform;

constexpr size_t kNumberTextSize = 32;
constexpr int kDoubleDigits = 12;
constexpr const char* kNotFound = "Error";

// The next piece of a line as strtok cuts it: a run of delimiters separates two pieces, and
// delimiters at the start are skipped. False when nothing but delimiters is left.
bool nextPiece(const char*& cursor, const char* delimiters, std::string_view& piece) {
    cursor += std::strspn(cursor, delimiters);
    if (*cursor == '\0') return false;
    const size_t length = std::strcspn(cursor, delimiters);
    piece = std::string_view(cursor, length);
    cursor += length;
    return true;
}

// A piece never exceeds a line, so it always fits a value buffer of kLineBufferSize.
void copyValue(std::string_view piece, char* value) {
    piece.copy(value, piece.size());
    value[piece.size()] = '\0';
}

int32_t notFound(char* value) {
    copyValue(kNotFound, value);
    return kKeyNotFound;
}

std::string portSectionLine(uint32_t port) { return std::string("[Port ") + char('A' + port) + "]"; }

}  // namespace

Fg_ConfigFileParser::Fg_ConfigFileParser(tools::logging::LegacyTextLog* log, const char* fileName, bool readOnly)
    : log(log) {
    if (checkFileType(fileName) && checkFileExist(fileName)) file = std::fopen(fileName, readOnly ? "r" : "r+");
}

Fg_ConfigFileParser::~Fg_ConfigFileParser() {
    if (file != nullptr) std::fclose(file);
}

bool Fg_ConfigFileParser::checkFileType(const char* name) {
    return name != nullptr && std::strstr(name, ".mcf") != nullptr;
}

bool Fg_ConfigFileParser::checkFileExist(const char* name) {
    if (name == nullptr) return false;
    std::FILE* probe = std::fopen(name, "r");
    if (probe == nullptr) return false;
    std::fclose(probe);
    return true;
}

bool Fg_ConfigFileParser::setSaveFile(const char* name) {
    if (!checkFileType(name)) {
        if (log != nullptr) log->error("Config File is Invalid");
        return false;
    }
    if (file != nullptr) std::fclose(file);
    file = std::fopen(name, "w");
    if (file == nullptr) {
        if (log != nullptr) log->error("Config File: fopen failed");
        return false;
    }
    return true;
}

void Fg_ConfigFileParser::writeConfigFileHeader() {
    if (file == nullptr) return;
    std::fputs(kHeaderSection, file);
    std::fputs("\nConfigFileVersion=2.0;\n", file);
    std::fflush(file);
}

void Fg_ConfigFileParser::writeConfigFile(const char* key, const char* text) {
    if (file == nullptr) return;
    std::fprintf(file, "%s='%s';\n", key, text);
    std::fflush(file);
}

void Fg_ConfigFileParser::writeConfigFileValue(const char* key, const char* number) {
    if (file == nullptr) return;
    std::fprintf(file, "%s=%s;\n", key, number);
    std::fflush(file);
}

void Fg_ConfigFileParser::writeConfigFileIntKey(const char* key, int32_t value) {
    char number[kNumberTextSize];
    std::snprintf(number, sizeof number, "%d", static_cast<int>(value));
    writeConfigFileValue(key, number);
}

void Fg_ConfigFileParser::writeConfigFileUInt64Key(const char* key, uint64_t value) {
    char number[kNumberTextSize];
    std::snprintf(number, sizeof number, platform::kUInt64Format, value);
    writeConfigFileValue(key, number);
}

void Fg_ConfigFileParser::writeConfigFileInt64Key(const char* key, int64_t value) {
    char number[kNumberTextSize];
    std::snprintf(number, sizeof number, platform::kInt64Format, value);
    writeConfigFileValue(key, number);
}

void Fg_ConfigFileParser::writeConfigFileDoubleKey(const char* key, double value) {
    char number[kNumberTextSize];
    std::snprintf(number, sizeof number, "%.*g", kDoubleDigits, value);
    writeConfigFileValue(key, number);
}

void Fg_ConfigFileParser::writePortSectionHeader(uint32_t port) {
    if (file == nullptr) return;
    std::fprintf(file, "\n%s\n", portSectionLine(port).c_str());
    std::fflush(file);
}

bool Fg_ConfigFileParser::skipPastLineContaining(const char* text) {
    std::rewind(file);
    char line[kLineBufferSize];
    while (platform::readTextLine(line, sizeof line, file) != nullptr) {
        if (std::strstr(line, text) != nullptr) return true;
    }
    return false;
}

int32_t Fg_ConfigFileParser::parseKeyFromLine(const char* searchText, char* value) {
    if (file == nullptr || searchText == nullptr) return notFound(value);
    std::rewind(file);
    char line[kLineBufferSize];
    while (platform::readTextLine(line, sizeof line, file) != nullptr) {
        if (std::strstr(line, searchText) == nullptr) continue;
        // The second piece between '=' and apostrophes: Typ='Orvanta'; gives Orvanta, while
        // AktivePort=0; gives "0;" and the line feed with it.
        const char* cursor = line;
        std::string_view piece;
        const bool hasValue = nextPiece(cursor, "='", piece) && nextPiece(cursor, "='", piece);
        copyValue(hasValue ? piece : std::string_view(), value);
        return 0;
    }
    return notFound(value);
}

int32_t Fg_ConfigFileParser::parseKey(const char* sectionLine, const char* key, char* value) {
    if (file == nullptr || sectionLine == nullptr || key == nullptr) return notFound(value);
    if (!skipPastLineContaining(sectionLine)) return notFound(value);
    const size_t keyLength = std::strlen(key);
    char line[kLineBufferSize];
    while (platform::readTextLine(line, sizeof line, file) != nullptr) {
        // The '=' right after the key keeps a key from matching a longer one it begins.
        if (std::strncmp(line, key, keyLength) != 0 || line[keyLength] != '=') continue;
        const char* cursor = line + keyLength;
        std::string_view piece;
        // Nothing but the line end after the delimiters: an empty text written as ''.
        const bool hasValue = nextPiece(cursor, "=;'", piece) && piece.front() != '\r' && piece.front() != '\n';
        copyValue(hasValue ? piece : std::string_view(), value);
        return 0;
    }
    return notFound(value);
}

namespace {

// Runs parseKey into a line buffer; the conversion runs only for a text without "Error" in it.
template <typename Parse, typename Convert>
int32_t parseConverted(Parse&& parse, Convert&& convert) {
    char text[kLineBufferSize];
    parse(text);
    if (std::strstr(text, kNotFound) != nullptr) return kReaderFailed;
    convert(text);
    return 0;
}

}  // namespace

int32_t Fg_ConfigFileParser::parseIntKey(const char* sectionLine, const char* key, uint32_t& value) {
    return parseConverted([&](char* text) { parseKey(sectionLine, key, text); },
                          [&](const char* text) { value = static_cast<uint32_t>(std::atoi(text)); });
}

int32_t Fg_ConfigFileParser::parseIntKey(const char* sectionLine, const char* key, uint64_t& value) {
    return parseConverted([&](char* text) { parseKey(sectionLine, key, text); },
                          [&](const char* text) { std::sscanf(text, platform::kUInt64Format, &value); });
}

int32_t Fg_ConfigFileParser::parseIntKey(const char* sectionLine, const char* key, int64_t& value) {
    return parseConverted([&](char* text) { parseKey(sectionLine, key, text); },
                          [&](const char* text) { std::sscanf(text, platform::kInt64Format, &value); });
}

int32_t Fg_ConfigFileParser::parseDoubleKey(const char* sectionLine, const char* key, double& value) {
    return parseConverted([&](char* text) { parseKey(sectionLine, key, text); },
                          [&](const char* text) { value = std::atof(text); });
}

int32_t Fg_ConfigFileParser::parseIntKeyFromHeader(const char* key, uint32_t& value) {
    return parseIntKey(kHeaderSection, key, value);
}

template <typename T>
int32_t Fg_ConfigFileParser::parsePortValue(uint32_t port, const char* key, T&& value) {
    if (key == nullptr) return kReaderFailed;
    const std::string section = portSectionLine(port);
    if constexpr (std::is_same_v<std::decay_t<T>, char*>) {
        return parseKey(section.c_str(), key, value);
    } else if constexpr (std::is_same_v<std::decay_t<T>, double>) {
        return parseDoubleKey(section.c_str(), key, value);
    } else {
        return parseIntKey(section.c_str(), key, value);
    }
}

int32_t Fg_ConfigFileParser::parsePortKey(uint32_t port, const char* key, uint32_t& value) {
    return parsePortValue(port, key, value);
}

int32_t Fg_ConfigFileParser::parsePortKey(uint32_t port, const char* key, uint64_t& value) {
    return parsePortValue(port, key, value);
}

int32_t Fg_ConfigFileParser::parsePortKey(uint32_t port, const char* key, int64_t& value) {
    return parsePortValue(port, key, value);
}

int32_t Fg_ConfigFileParser::parsePortKey(uint32_t port, const char* key, double& value) {
    return parsePortValue(port, key, value);
}

int32_t Fg_ConfigFileParser::parsePortKey(uint32_t port, const char* key, char* value) {
    return parsePortValue(port, key, value);
}

}  // namespace vexo::config
