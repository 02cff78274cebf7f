// Parameter values between Python and the runtime's typed calls, as the parameter's description
// record types them: integers, enumeration entries by symbol, doubles and texts.
#pragma once

#include <cstdint>
#include <string>

#include <nanobind/nanobind.h>

#include "catalogue.h"

namespace orvanta_python {

namespace nb = nanobind;

// A value as the runtime's calls take and give it.
struct WireValue {
    int32_t type = 2;     // the runtime's type code
    uint64_t word = 0;    // integers and doubles (the double's bits)
    std::string text;     // type code 6, Latin-1
    uint32_t narrow = 0;  // type code 2 reads and writes 4 bytes

    const void* bytes() const;
    void* bytes();
};

// The wire form of a Python value for the parameter; throws a failure naming what does not fit.
WireValue toWire(const Parameter& parameter, nb::handle value, const std::string& applet);

// Reads the parameter with the runtime (call without the GIL); answers the runtime's result.
int32_t readWire(void* fg, const Parameter& parameter, WireValue& value);
// Writes it (call without the GIL); answers the runtime's result.
int32_t writeWire(void* fg, const Parameter& parameter, const WireValue& value);

// The Python value of what was read: int, float, str, or for an enumeration the entry's symbol.
nb::object fromWire(const Parameter& parameter, const WireValue& value);

}  // namespace orvanta_python
