// The read rules of the SDK parameters: how each parameter's value is produced (a constant, the
// stored value, the runtime's own answer, an NX read with a conversion, or a composite of
// several), kept as one table keyed by SdkParameter and generated from read_rules.def.
#pragma once

#include <cstddef>
#include <cstdint>

#include "applet/core/sdk_parameter_table.h"

namespace vexo::applet {

class Board;

// One read as the read path hands it to a rule.
struct ReadRequest {
    void* value;    // the caller's value pointer, never null here
    uint32_t dma;   // the caller's DMA index, already checked
    int32_t type;   // the caller's type code
    // String parameters only: where the text goes (the caller's buffer, or the read path's text
    // buffer for type code 22) and how many characters fit there before its terminator.
    char* text;
    size_t textCapacity;
};

// Runs p's rule. Numbers are written at request.value in the parameter's own type (4 bytes for
// integers and enumerations, 8 for 64-bit integers and doubles) whatever type code the caller
// passed; texts at request.text. Failures are thrown as int32_t codes and leave the value as it
// was. A rule never writes the design and never changes a stored value.
void runReadRule(Board& w, SdkParameter p, const ReadRequest& request);

// FG_PARAM_DESCR: the description of the parameter named `name`, or "-" for a name the registry
// does not know, written at request.text. The name may lie in the same buffer.
void describeParameterByName(const Board& w, const char* name, const ReadRequest& request);

// Copies a zero-terminated text to a destination that holds `capacity` characters before its
// terminator; longer texts are cut there.
void copyReadText(const char* text, char* destination, size_t capacity);

}  // namespace vexo::applet
