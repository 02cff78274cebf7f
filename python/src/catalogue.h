// The parameters of an opened board by name, as the runtime lists them, each joined with its
// record of the applet's description tree (which gives its type, access, limits, entries and
// category), and the applet's named constants. Built from the runtime's calls only, as the
// `orvanta` tool builds its own.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "orvanta/parameter_info_node.h"

namespace orvanta_python {

struct Parameter {
    std::string name;
    int32_t id = 0;
    const ParameterInfoNode* node = nullptr;  // null: the runtime answers it without a record
    std::string category;                     // "Trigger / Queue"
};

struct Entry {
    int32_t value;
    std::string symbol;  // may be empty
    std::string name;    // display name
};

class Catalogue {
public:
    // Lists the board's parameters; call without the GIL.
    explicit Catalogue(void* fg);

    const std::vector<Parameter>& parameters() const { return parameters_; }
    // A listed parameter, else one the runtime knows by that name (without a record), else
    // none. Call without the GIL.
    std::optional<Parameter> find(void* fg, const std::string& name) const;
    const Parameter* listed(const std::string& name) const;

private:
    std::vector<Parameter> parameters_;
    std::unordered_map<std::string, size_t> byName_;
};

// The applet's texts are Latin-1; Python's are Unicode.
std::string latin1ToUtf8(const char* text);

// "uint32", "enum", "double", "string", "int32", "int64", "uint64"; "runtime" without a record.
const char* typeName(const ParameterInfoNode* node);
// "R", "RW", "RWC"; "R" for the values the runtime reports itself.
std::string accessText(const ParameterInfoNode* node);
std::vector<Entry> entriesOf(const ParameterInfoNode* node);
// The record's limits as "8 .. 65536", or its entries as "one of FG_OFF, FG_ON"; empty without.
std::string rangeText(const ParameterInfoNode* node);

// A named constant of the applet (its descriptor query), provided the runtime has loaded the
// applet library of that name.
std::optional<int32_t> namedConstant(const std::string& applet, const std::string& name);

}  // namespace orvanta_python
