// The texts shown for the applet's description records: type, access, limits, entries and units
// (the applet's Latin-1 made UTF-8), and doubles. The tool and the Python
// package both show them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orvanta/parameter_info_node.h"

namespace orvanta_tool {

// The applet's texts are Latin-1 (the unit "µs" is one byte 0xB5); the tool prints UTF-8.
std::string latin1ToUtf8(const char* text);

// Twelve significant digits, as configuration files write doubles: 8.000000000000002 shows as 8.
std::string formatDouble(double value);
// The shortest text that reads back as the same double: for values handed on rather than shown.
std::string exactDouble(double value);

std::string typeName(const ParameterInfoNode* node);  // "uint32", "enum", ...; "runtime" without a record
std::string accessText(uint32_t access);               // "R", "RW", "RWC"
std::string unitOf(const ParameterInfoNode* node);     // UTF-8, empty when none

// Enumeration entries of a record, in the record's order.
struct Entry {
    int32_t value;
    std::string symbol;  // may be empty
    std::string name;    // display name, UTF-8
};
std::vector<Entry> entriesOf(const ParameterInfoNode* node);
std::optional<std::string> symbolOf(const ParameterInfoNode* node, int64_t value);

// The record's limits as "8 .. 65536", its entries as "one of FG_ON, FG_OFF"; empty when it has none.
std::string rangeText(const ParameterInfoNode* node);
std::string incrementText(const ParameterInfoNode* node);

}  // namespace orvanta_tool
