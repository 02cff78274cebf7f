// Fg_ConfigFileParser reads and writes .mcf configuration files: bracketed section lines and
// "key=value;" lines, found again by plain text search. It returns results and never throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace vexo::tools::logging {
class LegacyTextLog;
}

namespace vexo::config {

// Lines are read into a buffer of this size: a line holds at most 255 characters with its line
// feed, and a longer one is read as several. Every value buffer handed to a reader must hold
// this many characters.
inline constexpr size_t kLineBufferSize = 256;

// The section that heads every file and carries the header keys.
inline constexpr const char* kHeaderSection = "[Kamerasektion]\n";

class Fg_ConfigFileParser {
public:
    // Opens `fileName` ("r" when read-only, else "r+") only when the name contains ".mcf" and
    // the file exists; otherwise no file is open. The log (may be null) receives the two open
    // failures of setSaveFile.
    Fg_ConfigFileParser(tools::logging::LegacyTextLog* log, const char* fileName, bool readOnly);
    ~Fg_ConfigFileParser();
    Fg_ConfigFileParser(const Fg_ConfigFileParser&) = delete;
    Fg_ConfigFileParser& operator=(const Fg_ConfigFileParser&) = delete;

    bool isOpen() const { return file != nullptr; }

    // ".mcf" anywhere in the name, so "x.mcf.bak" passes too.
    static bool checkFileType(const char* name);
    static bool checkFileExist(const char* name);
    // Creates or truncates the file; false (with an error line to the log) for a name without
    // ".mcf" or a file that cannot be created.
    bool setSaveFile(const char* name);

    // Each writer writes one complete line (or the header) and flushes.
    void writeConfigFileHeader();
    void writeConfigFile(const char* key, const char* text);
    void writeConfigFileValue(const char* key, const char* number);
    void writeConfigFileIntKey(const char* key, int32_t value);
    void writeConfigFileUInt64Key(const char* key, uint64_t value);
    void writeConfigFileInt64Key(const char* key, int64_t value);
    // Twelve significant digits, with the decimal point of the process locale.
    void writeConfigFileDoubleKey(const char* key, double value);
    // An empty line and "[Port A]" for port 0, "[Port B]" for port 1 and so on.
    void writePortSectionHeader(uint32_t port);

    // The value of the first line containing `searchText` anywhere (not only as a key): 0, or
    // -8000 with "Error" in `value`.
    int32_t parseKeyFromLine(const char* searchText, char* value);
    // The value of the first line at or after the line containing `sectionLine` that begins with
    // "key=". The search runs to the end of the file, past any following sections. 0, or -8000
    // with "Error" in `value`.
    int32_t parseKey(const char* sectionLine, const char* key, char* value);
    // parseKey and a conversion; -1 with `value` untouched when the text found contains "Error".
    int32_t parseIntKey(const char* sectionLine, const char* key, uint32_t& value);
    int32_t parseIntKey(const char* sectionLine, const char* key, uint64_t& value);
    // Takes "0x" for hexadecimal and a leading 0 for octal.
    int32_t parseIntKey(const char* sectionLine, const char* key, int64_t& value);
    int32_t parseDoubleKey(const char* sectionLine, const char* key, double& value);
    int32_t parseIntKeyFromHeader(const char* key, uint32_t& value);

    // A key of the section of `port` ("[Port A]" for 0): the matching reader above, -1 for a
    // null key.
    int32_t parsePortKey(uint32_t port, const char* key, uint32_t& value);
    int32_t parsePortKey(uint32_t port, const char* key, uint64_t& value);
    int32_t parsePortKey(uint32_t port, const char* key, int64_t& value);
    int32_t parsePortKey(uint32_t port, const char* key, double& value);
    int32_t parsePortKey(uint32_t port, const char* key, char* value);

private:
    template <typename T>
    int32_t parsePortValue(uint32_t port, const char* key, T&& value);
    // Reads lines from the start of the file until one contains `text`; false at the end.
    bool skipPastLineContaining(const char* text);

    std::FILE* file = nullptr;
    tools::logging::LegacyTextLog* log;
};

}  // namespace vexo::config
