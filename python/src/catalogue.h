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
#include "record_texts.h"

namespace orvanta_python {

using orvanta_tool::Entry;
using orvanta_tool::entriesOf;
using orvanta_tool::latin1ToUtf8;
using orvanta_tool::rangeText;
using orvanta_tool::typeName;

struct Parameter {
    std::string name;
    int32_t id = 0;
    const ParameterInfoNode* node = nullptr;  // null: the runtime answers it without a record
    std::string category;                     // "Trigger / Queue"
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

// "R", "RW", "RWC"; "R" for the values the runtime reports itself, which have no record.
std::string accessOf(const ParameterInfoNode* node);

// A named constant of the applet (its descriptor query), provided the runtime has loaded the
// applet library of that name.
std::optional<int32_t> namedConstant(const std::string& applet, const std::string& name);

}  // namespace orvanta_python
