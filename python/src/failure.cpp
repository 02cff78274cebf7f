// Failures of runtime calls, with the meanings the `orvanta` tool prints for the same codes.
#include "failure.h"

namespace orvanta_python {

namespace {

constexpr int32_t kReadOnlyParameter = -12;  // the applet's answer to a write of a read-only parameter
constexpr int32_t kHandleClosed = -2002;
constexpr int32_t kNoSuchBoard = -2003;
constexpr int32_t kNoSuchParameter = -2070;
constexpr int32_t kReadOnlyValue = -2073;  // the runtime's answer for the values it reports itself
constexpr int32_t kTimeout = -2120;
constexpr int32_t kOutOfRange = -6000;

}  // namespace

Kind kindOf(int32_t code, Call call) {
    switch (code) {
    case kOutOfRange: return Kind::OutOfRange;
    case kReadOnlyParameter: return call == Call::Write ? Kind::ReadOnly : Kind::General;
    case kReadOnlyValue: return Kind::ReadOnly;
    case kTimeout: return Kind::Timeout;
    case kHandleClosed: return Kind::Closed;
    case kNoSuchBoard: return call == Call::Open ? Kind::NotFound : Kind::General;
    case kNoSuchParameter: return call == Call::Read || call == Call::Write ? Kind::NotFound : Kind::General;
    default: return Kind::General;
    }
}

void fail(const std::string& operation, int32_t code, Call call, const std::string& detail) {
    const std::string meaning = orvanta_tool::meaningOf(code, call);
    std::string message = operation + ": " + std::to_string(code) + " " + meaning;
    if (!detail.empty()) message += " (" + detail + ")";
    throw Failure(kindOf(code, call), code, message, meaning);
}

void refuse(Kind kind, const std::string& message, int32_t code) { throw Failure(kind, code, message, message); }

}  // namespace orvanta_python
