// Writing one log record: "thread-id=<id>|" followed by the message pieces. The text is built
// only after the logger's level check has passed, so a disabled log site on a hot path costs
// the check and no allocation.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "logging/logger.h"
#include "platform/thread.h"

namespace vexo::tools::logging {

namespace detail {

inline void appendPiece(std::string& text, const char* piece) { text += piece != nullptr ? piece : "(null)"; }
inline void appendPiece(std::string& text, const std::string& piece) { text += piece; }
template <typename T, std::enable_if_t<std::is_integral_v<T>, int> = 0>
void appendPiece(std::string& text, T number) {
    text += std::to_string(number);
}

}  // namespace detail

// logRecord(logger, kLevelBinding, "error opening dll '", name, "'"): texts and integers
// (printed in decimal) are joined in order.
template <typename... Pieces>
void logRecord(Logger* logger, uint32_t level, const Pieces&... pieces) {
    if (logger == nullptr || !logger->isEnabledFor(level)) return;
    std::string text = "thread-id=";
    text += std::to_string(templates::platform::currentThreadId());
    text += '|';
    (detail::appendPiece(text, pieces), ...);
    logger->log(level, text.c_str(), 0, 0);
}

}  // namespace vexo::tools::logging
