// A configuration file read exactly as the applet reads it, so that what the tool checks and
// shows is what a load would take: lines of at most 255 characters (a longer one reads as
// several), CRLF read as a line feed, header keys found by a search anywhere in a line, port
// keys as the first line after the "[Port A]" line that begins with the key and '=', and the
// value as the first run of characters after the key without '=', ';' or an apostrophe (a line
// without its ';' keeps its line end in the value; a number reads up to it).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "config_key_rows.h"

namespace orvanta_tool {

// A value the applet finds: the line it stands on (counted from 1) and its text as taken.
struct Found {
    int line = 0;
    std::string text;
};

struct AppletReading {
    bool readable = false;  // the name holds ".mcf" and the file opens
    std::optional<Found> manufacturer;
    std::optional<Found> type;
    std::optional<Found> activePort;
    std::optional<int> portSectionLine;
    std::vector<std::optional<Found>> keys;  // one per row of kConfigKeys, in that order

    // For the warnings: keys of the port section the applet has no use for, lines that are no
    // KEY=VALUE line, and keys that stand twice (the applet takes the first).
    std::vector<Found> unknownKeys;   // text: the key
    std::vector<Found> oddLines;      // text: the line
    std::vector<Found> repeatedKeys;  // text: the key
};

AppletReading readAsTheApplet(const std::string& path);

// The value of an integer key as the applet converts it, provided the text is one whole decimal
// number of 32 bits (blanks and the line end around it allowed); empty otherwise.
std::optional<int32_t> integerValue(const std::string& text);
// The same for a double key: a finite number as C reads doubles.
std::optional<double> doubleValue(const std::string& text);

}  // namespace orvanta_tool
