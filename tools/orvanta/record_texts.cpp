// The texts of description records: Latin-1 to UTF-8, doubles, types, access, entries,
// limits and increments.
#include "record_texts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace orvanta_tool {

namespace {

std::string joinSymbols(const std::vector<Entry>& entries) {
    std::string text;
    for (const Entry& entry : entries) {
        if (!text.empty()) text += ", ";
        text += entry.symbol.empty() ? std::to_string(entry.value) : entry.symbol;
    }
    return text;
}

}  // namespace

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

std::string exactDouble(double value) {
    char buffer[48];
    int precision = 1;
    for (; precision < 17; ++precision) {
        std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
        if (std::strtod(buffer, nullptr) == value) break;
    }
    // Without an exponent where plain digits read as well: 1000, not 1e+03.
    const double magnitude = std::fabs(value);
    if (magnitude >= 1e-4 && magnitude < 1e16) {
        const int exponent = static_cast<int>(std::floor(std::log10(magnitude)));
        if (exponent + 1 > precision) precision = exponent + 1;
    }
    std::snprintf(buffer, sizeof buffer, "%.*g", precision, value);
    return buffer;
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

}  // namespace orvanta_tool
