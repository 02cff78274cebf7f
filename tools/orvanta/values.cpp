// Parsing and printing of parameter values.
#include "values.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

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

bool hasValue(const Value& value) { return value.kind != Value::Kind::Double || std::isfinite(value.doubleValue); }

std::string noValueText(const ParameterInfoNode* node) {
    return unitOf(node) == "Hz" ? "no pulses yet" : "no value";
}

bool sameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

std::optional<uint64_t> parseDuration(const std::string& text) {
    static const std::pair<const char*, double> kUnits[] = {{"ns", 1}, {"us", 1e3}, {"ms", 1e6}, {"s", 1e9}};
    double scale = 1e9;
    std::string number = text;
    for (const auto& [unit, factor] : kUnits) {
        const size_t length = std::strlen(unit);
        if (number.size() > length && number.compare(number.size() - length, length, unit) == 0) {
            number.resize(number.size() - length);
            scale = factor;
            break;
        }
    }
    const std::optional<Number> parsed = parseNumber(number);
    if (!parsed || parsed->negative || !std::isfinite(parsed->real) || parsed->real * scale > 1.8e19) return std::nullopt;
    return static_cast<uint64_t>(parsed->real * scale + 0.5);
}

std::string valueText(const Value& value, const ParameterInfoNode* node) {
    if (!hasValue(value)) return noValueText(node);
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

void addValueJson(nlohmann::ordered_json& entry, const Value& value, const ParameterInfoNode* node) {
    switch (value.kind) {
    case Value::Kind::Unsigned:
        entry["value"] = value.unsignedValue;
        if (auto symbol = symbolOf(node, static_cast<int64_t>(value.unsignedValue))) entry["symbol"] = *symbol;
        break;
    case Value::Kind::Signed: entry["value"] = value.signedValue; break;
    case Value::Kind::Double:
        if (hasValue(value)) {
            entry["value"] = value.doubleValue;
        } else {
            entry["no_value"] = noValueText(node);
        }
        break;
    case Value::Kind::Text: entry["value"] = value.text; break;
    }
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
