// LegacyTextLog, the small one-line text log of the configuration file parser: records go to a
// stream someone else opened, and with no stream every operation is silent.
#pragma once

#include <cstdint>
#include <cstdio>

namespace vexo::tools::logging {

class LegacyTextLog {
public:
    // The log writes to `stream` (may be null) but only close() ever closes it.
    explicit LegacyTextLog(std::FILE* stream = nullptr) : stream(stream) {}
    LegacyTextLog(const LegacyTextLog&) = delete;
    LegacyTextLog& operator=(const LegacyTextLog&) = delete;

    // Each record is one line and is flushed at once.
    void error(const char* text);
    void info(const char* text, int32_t number);
    void error(const char* text, const char* detail, int32_t number);
    // The double is written with 12 significant digits.
    void error(const char* text, const char* detail, double number);
    // The format as it is, with its arguments; not flushed.
    void formatted(const char* format, ...);
    // Kept for the call sites that mark entry and exit; they write nothing.
    void traceEntry(const char* operation);
    void traceExit();
    // A dashed frame around a notice, the contents line and the current local time.
    void banner();
    void close();

    bool isOpen() const { return stream != nullptr; }

private:
    std::FILE* stream;
};

}  // namespace vexo::tools::logging
