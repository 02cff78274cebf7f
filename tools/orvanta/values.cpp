// Parsing and printing of parameter values.
#include "values.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvanta_tool {

namespace {

bool allOf(const std::string& text, size_t from, int (*test)(int)) {
    if (from >= text.size()) return false;
    for (size_t i = from; i < text.size(); ++i) {
        if (!test(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

}  // namespace

std::optional<Number> parseNumber(const std::string& text) {
    Number number;
    size_t start = 0;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        number.negative = text[0] == '-';
        start = 1;
    }
    const bool hex = text.compare(start, 2, "0x") == 0 || text.compare(start, 2, "0X") == 0;
    if ((hex && allOf(text, start + 2, isxdigit)) || (!hex && allOf(text, start, isdigit))) {
        number.integer = true;
        errno = 0;
        number.magnitude = std::strtoull(text.c_str() + start + (hex ? 2 : 0), nullptr, hex ? 16 : 10);
        number.overflow = errno == ERANGE;
        number.real = static_cast<double>(number.magnitude) * (number.negative ? -1 : 1);
        return number;
    }
    // A double needs a digit: "inf" and "nan" are not numbers a parameter takes.
    bool digit = false;
    for (char c : text) digit = digit || std::isdigit(static_cast<unsigned char>(c));
    if (!digit || std::isspace(static_cast<unsigned char>(text[0]))) return std::nullopt;
    char* end = nullptr;
    number.real = std::strtod(text.c_str(), &end);
    if (end == nullptr || *end != '\0') return std::nullopt;
    return number;
}

std::string valueText(const Value& value, const ParameterInfoNode* node) {
    switch (value.kind) {
    case Value::Kind::Unsigned:
        if (auto symbol = symbolOf(node, static_cast<int64_t>(value.unsignedValue))) return *symbol;
        return std::to_string(value.unsignedValue);
    case Value::Kind::Signed: return std::to_string(value.signedValue);
    case Value::Kind::Double: return formatDouble(value.doubleValue);
    case Value::Kind::Text: return value.text;
    }
    return {};
}

std::string displayText(const Value& value, const ParameterInfoNode* node) {
    if (value.kind == Value::Kind::Text) return "\"" + value.text + "\"";
    if (value.kind == Value::Kind::Unsigned) {
        if (auto symbol = symbolOf(node, static_cast<int64_t>(value.unsignedValue))) {
            return *symbol + " (" + std::to_string(value.unsignedValue) + ")";
        }
    }
    return valueText(value, node);
}

nlohmann::ordered_json valueJson(const Value& value) {
    switch (value.kind) {
    case Value::Kind::Unsigned: return value.unsignedValue;
    case Value::Kind::Signed: return value.signedValue;
    case Value::Kind::Double: return value.doubleValue;
    case Value::Kind::Text: return value.text;
    }
    return nullptr;
}

bool globMatches(const std::string& pattern, const std::string& text) {
    // Iterative matching with one back-track point: the last '*' seen.
    size_t p = 0, t = 0, star = std::string::npos, resume = 0;
    const auto same = [](char a, char b) {
        return std::toupper(static_cast<unsigned char>(a)) == std::toupper(static_cast<unsigned char>(b));
    };
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace orvanta_tool
