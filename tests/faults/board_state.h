// What an application can see of a board, taken whole so that a faulted run can be compared with
// the board before it: every fixed SDK parameter's answer and every description record.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "orvanta/parameter_info_node.h"

namespace faults {

// One line of sdk_parameters.txt (the build copies it beside the executable).
struct Row {
    int32_t index = -1;
    int32_t id = 0;
    std::string name, kind, access, start, read;
    bool writable() const { return access == "RW" || access == "RWC"; }
};
const std::vector<Row>& sdkParameters();

// Keys "value NAME" (the read's result and answer) and "record NAME" (limits, entries, access).
using State = std::map<std::string, std::string>;
State stateOf(void* fg);
// The keys whose text differs between the two, or that only one of them has.
std::set<std::string> differences(const State& a, const State& b);

// The record of a parameter as it stands now (type CATEGORY when there is none).
ParameterInfoNode recordOf(void* fg, const std::string& name);

// A value in the caller's bytes, as Fg_setParameterWithType reads it with `code`.
struct Value {
    int32_t code = 2;
    uint64_t bytes = 0;
    std::string text;  // code 6
    bool alternative = false;  // written only where the value before it was refused
    std::string shown() const;
    const void* pointer() const { return code == 6 ? static_cast<const void*>(text.c_str()) : &bytes; }
};

// The values a sweep writes to a writable parameter, from its record: every enumeration entry,
// else one valid number: the range's lower end (its upper end where the lower one is the value
// held now), or, where the setter refuses that end, the value held now, as an alternative.
std::vector<Value> valuesToWrite(void* fg, const Row& row);

// Opens "Orvanta" on board 0 of freshly reset stand-ins, on the virtual clock, and closes it
// again at the end.
struct FreshBoard {
    explicit FreshBoard(uint32_t flags = 0);
    ~FreshBoard();
    FreshBoard(const FreshBoard&) = delete;
    FreshBoard& operator=(const FreshBoard&) = delete;
    void* fg = nullptr;
};

}  // namespace faults
