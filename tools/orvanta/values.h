// Parameter values as the tool reads, prints and parses them (the texts of description records
// are record_texts.h's).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "orvanta/parameter_info_node.h"
#include "record_texts.h"

namespace orvanta_tool {

struct Value {
    enum class Kind { Unsigned, Signed, Double, Text };
    Kind kind = Kind::Unsigned;
    uint64_t unsignedValue = 0;
    int64_t signedValue = 0;
    double doubleValue = 0;
    std::string text;
};

// A number as the user wrote it: decimal or 0x hexadecimal integers, optionally signed, or a
// double.
struct Number {
    bool integer = false;
    bool negative = false;
    bool overflow = false;   // an integer beyond 64 bits
    uint64_t magnitude = 0;  // integers
    double real = 0;         // every number
};

std::optional<Number> parseNumber(const std::string& text);

// Whether a value is one the design gives: an infinite frequency is the applet's way of saying
// that no pulse has been measured yet.
bool hasValue(const Value& value);
// What is shown instead of a value without one: "no pulses yet" for a frequency.
std::string noValueText(const ParameterInfoNode* node);

// Names compare in any case wherever the tool takes one (parameters, entries, constants, events).
bool sameName(const std::string& a, const std::string& b);

// A duration as the user writes it: a number with ns, us, ms or s (1.5s, 20ms), a bare number
// being seconds. Nanoseconds; empty for anything else or a negative time.
std::optional<uint64_t> parseDuration(const std::string& text);

// A value in the form `set` takes back (enumerations by their symbol); noValueText without one.
std::string valueText(const Value& value, const ParameterInfoNode* node);
// For listings: enumerations as "FG_GRAY (3)", texts in quotes.
std::string displayText(const Value& value, const ParameterInfoNode* node);
// Adds the value to a JSON object as "value", exact (a symbol as "symbol" too), or as
// "no_value" with noValueText when the design gives none.
void addValueJson(nlohmann::ordered_json& entry, const Value& value, const ParameterInfoNode* node);

// Shell-style wildcards (* and ?), ignoring case.
bool globMatches(const std::string& pattern, const std::string& text);

}  // namespace orvanta_tool
