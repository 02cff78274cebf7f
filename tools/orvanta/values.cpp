// Parsing and printing of parameter values, and the texts of description records.
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

std::string joinSymbols(const std::vector<Entry>& entries) {
    std::string text;
    for (const Entry& entry : entries) {
        if (!text.empty()) text += ", ";
        text += entry.symbol.empty() ? std::to_string(entry.value) : entry.symbol;
    }
    return text;
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

std::string latin1ToUtf8(const char* text) {
    std::string utf8;
    if (text == nullptr) return utf8;
    for (const char* c = text; *c != '\0'; ++c) {
        const unsigned char byte = static_cast<unsigned char>(*c);
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::string formatDouble(double value) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%.12g", value);
    return buffer;
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

std::string typeName(const ParameterInfoNode* node) {
    if (node == nullptr) return "runtime";
    switch (node->type) {
    case PARAM_INFO_CATEGORY: return "category";
    case PARAM_INFO_UINT32: return "uint32";
    case PARAM_INFO_ENUM: return "enum";
    case PARAM_INFO_STRING: return "string";
    case PARAM_INFO_DOUBLE: return "double";
    case PARAM_INFO_UINT64: return "uint64";
    case PARAM_INFO_INT32: return "int32";
    case PARAM_INFO_INT64: return "int64";
    default: return "type " + std::to_string(node->type);
    }
}

std::string accessText(uint32_t access) {
    std::string text;
    if (access & 1u) text += 'R';
    if (access & 2u) text += 'W';
    if (access & 4u) text += 'C';
    return text.empty() ? "-" : text;
}

std::string unitOf(const ParameterInfoNode* node) {
    return node != nullptr ? latin1ToUtf8(node->unit) : std::string();
}

std::vector<Entry> entriesOf(const ParameterInfoNode* node) {
    std::vector<Entry> entries;
    if (node == nullptr || node->type != PARAM_INFO_ENUM) return entries;
    const auto& e = node->value.enumeration;
    for (int32_t i = 0; i < e.entryCount; ++i) {
        Entry entry{e.entryValues != nullptr ? e.entryValues[i] : 0, {}, {}};
        if (e.entrySymbols != nullptr && e.entrySymbols[i] != nullptr) entry.symbol = e.entrySymbols[i];
        if (e.entryNames != nullptr) entry.name = latin1ToUtf8(e.entryNames[i]);
        entries.push_back(entry);
    }
    return entries;
}

std::optional<std::string> symbolOf(const ParameterInfoNode* node, int64_t value) {
    for (const Entry& entry : entriesOf(node)) {
        if (entry.value == value) return entry.symbol.empty() ? entry.name : entry.symbol;
    }
    return std::nullopt;
}

std::string rangeText(const ParameterInfoNode* node) {
    if (node == nullptr) return {};
    const ParameterValueBlock& v = node->value;
    switch (node->type) {
    case PARAM_INFO_UINT32: return std::to_string(v.u32.min) + " .. " + std::to_string(v.u32.max);
    case PARAM_INFO_INT32: return std::to_string(v.i32.min) + " .. " + std::to_string(v.i32.max);
    case PARAM_INFO_UINT64: return std::to_string(v.u64.min) + " .. " + std::to_string(v.u64.max);
    case PARAM_INFO_INT64: return std::to_string(v.i64.min) + " .. " + std::to_string(v.i64.max);
    case PARAM_INFO_DOUBLE: return formatDouble(v.dbl.min) + " .. " + formatDouble(v.dbl.max);
    case PARAM_INFO_ENUM: return "one of " + joinSymbols(entriesOf(node));
    default: return {};
    }
}

std::string incrementText(const ParameterInfoNode* node) {
    if (node == nullptr) return {};
    const ParameterValueBlock& v = node->value;
    switch (node->type) {
    case PARAM_INFO_UINT32: return v.u32.inc != 0 ? std::to_string(v.u32.inc) : std::string();
    case PARAM_INFO_INT32: return v.i32.inc != 0 ? std::to_string(v.i32.inc) : std::string();
    case PARAM_INFO_UINT64: return v.u64.inc != 0 ? std::to_string(v.u64.inc) : std::string();
    case PARAM_INFO_INT64: return v.i64.inc != 0 ? std::to_string(v.i64.inc) : std::string();
    case PARAM_INFO_DOUBLE: return v.dbl.inc != 0 ? formatDouble(v.dbl.inc) : std::string();
    default: return {};
    }
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
