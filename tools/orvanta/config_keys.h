// A configuration key as the applet reads it: the value's kind, whether its checking pass reads
// and stores it, and whether its applying pass hands it to the parameter's setter. The rows, in
// the applet's order, are generated from the applet's own list (config_key_rows.h).
#pragma once

#include <cstddef>

namespace orvanta_tool {

enum class KeyKind { Int, Double, Text };
enum class Checking { Store, Skip };
enum class Applying { Apply, Skip, Last };

struct ConfigKey {
    const char* name;
    KeyKind kind;
    Checking checking;
    Applying applying;

    // Whether a load needs the key: it stops where it reads a key the file lacks.
    constexpr bool read() const { return checking == Checking::Store || applying != Applying::Skip; }
};

}  // namespace orvanta_tool
