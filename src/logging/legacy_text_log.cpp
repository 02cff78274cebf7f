// The legacy text log's record formats. The "quillcardIV" prefix is what readers of these logs
// search for, so it stays as it always was.
#include "logging/legacy_text_log.h"

#include <cstdarg>
#include <ctime>

namespace vexo::tools::logging {

namespace {

constexpr int kDoubleDigits = 12;
constexpr size_t kDoubleTextSize = 32;
constexpr char kDashLine[] = "-------------------------------------------------------------------------\n";
static_assert(sizeof kDashLine == 73 + 2, "the banner's frame is 73 dashes wide");

}  // namespace

void LegacyTextLog::error(const char* text) {
    if (stream == nullptr) return;
    std::fprintf(stream, "quillcardIV::Error >> %s;\n", text);
    std::fflush(stream);
}

void LegacyTextLog::info(const char* text, int32_t number) {
    if (stream == nullptr) return;
    std::fprintf(stream, "quillcardIV::Info >> %s >> %d;\n", text, static_cast<int>(number));
    std::fflush(stream);
}

void LegacyTextLog::error(const char* text, const char* detail, int32_t number) {
    if (stream == nullptr) return;
    std::fprintf(stream, "quillcardIV::Error >> %s >> %s >> %d;\n", text, detail, static_cast<int>(number));
    std::fflush(stream);
}

void LegacyTextLog::error(const char* text, const char* detail, double number) {
    if (stream == nullptr) return;
    char value[kDoubleTextSize];
    std::snprintf(value, sizeof value, "%.*g", kDoubleDigits, number);
    std::fprintf(stream, "quillcardIV::Error >> %s >> %s >> %s;\n", text, detail, value);
    std::fflush(stream);
}

void LegacyTextLog::formatted(const char* format, ...) {
    if (stream == nullptr) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stream, format, arguments);
    va_end(arguments);
}

void LegacyTextLog::traceEntry(const char*) {}

void LegacyTextLog::traceExit() {}

void LegacyTextLog::banner() {
    if (stream == nullptr) return;
    const std::time_t now = std::time(nullptr);
    std::fputs(kDashLine, stream);
    std::fputs("This log is written by the applet library for diagnosis; it may be deleted at any time.\n", stream);
    std::fputs("Contents: Log details for quillcard Dll\n", stream);
    // asctime ends its text with the line feed.
    if (const std::tm* local = std::localtime(&now)) std::fputs(std::asctime(local), stream);
    std::fputs(kDashLine, stream);
    std::fflush(stream);
}

void LegacyTextLog::close() {
    if (stream == nullptr) return;
    std::fflush(stream);
    std::fclose(stream);
    stream = nullptr;
}

}  // namespace vexo::tools::logging
