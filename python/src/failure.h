// A failed call as the Python package reports it: what was attempted, the runtime's or the
// applet's code with its meaning, and the kind of error a user catches it as. The bindings turn
// a Failure into the orvanta.Error subclass of its kind.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "error_texts.h"

namespace orvanta_python {

using orvanta_tool::Call;

// The orvanta.Error subclasses, in the order the Python layer hands them to the bindings.
enum class Kind : int {
    General = 0,  // Error itself
    NotFound,     // an unknown parameter, event or board
    OutOfRange,   // a value outside what the parameter takes
    ReadOnly,     // a write to a parameter that only reports
    Timeout,      // a frame or event that did not come in time
    Closed,       // a closed board, a stream or a released frame
    WrongType,    // a Python value of a type the parameter cannot take
    Count
};

class Failure : public std::runtime_error {
public:
    Failure(Kind kind, int32_t code, const std::string& message, const std::string& meaning)
        : std::runtime_error(message), kind_(kind), code_(code), meaning_(meaning) {}
    Kind kind() const { return kind_; }
    int32_t code() const { return code_; }
    const std::string& meaning() const { return meaning_; }

private:
    Kind kind_;
    int32_t code_;
    std::string meaning_;
};

// The kind a user catches a code of such a call as.
Kind kindOf(int32_t code, Call call);

// Throws "<operation>: <code> <meaning>[ (<detail>)]" as the kind of the code.
[[noreturn]] void fail(const std::string& operation, int32_t code, Call call, const std::string& detail = {});

// Throws a failure found on this side of the runtime (a Python value, a closed object), with the
// code the runtime would have answered for it (0 when none fits).
[[noreturn]] void refuse(Kind kind, const std::string& message, int32_t code = 0);

}  // namespace orvanta_python
