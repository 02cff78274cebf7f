#include "board_state.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"
#include "trigger_board.h"

namespace faults {
namespace {

using trigger_test::forEachRecord;

std::string textOf(const ParameterInfoNode& r) {
    std::ostringstream out;
    out.precision(17);
    out << "access " << r.access << " type " << r.type;
    const ParameterValueBlock& v = r.value;
    if (r.type == PARAM_INFO_ENUM) {
        for (int32_t e = 0; e < v.enumeration.entryCount; ++e) out << " " << v.enumeration.entryValues[e];
    } else if (r.type == PARAM_INFO_DOUBLE) {
        out << " " << v.dbl.min << " " << v.dbl.max << " " << v.dbl.inc;
    } else if (r.type != PARAM_INFO_STRING) {
        out << " " << v.words[0] << " " << v.words[1] << " " << v.words[2];
    }
    return out.str();
}

std::string answerOf(void* fg, const Row& row) {
    if (row.kind == "string") {
        char* text = nullptr;
        const int32_t result = Fg_getParameterWithType(fg, row.id, &text, 0, 22);
        std::string answer = std::to_string(result) + " " + (text != nullptr ? text : "(null)");
        if (text != nullptr) Fg_freeParameterStringWithType(fg, row.id, text, 0, 22);
        return answer;
    }
    uint64_t cell = 0;
    const int32_t code = row.kind == "double" ? 5 : row.kind == "int" || row.kind == "enum" ? 2 : 4;
    const int32_t result = Fg_getParameterWithType(fg, row.id, &cell, 0, code);
    return std::to_string(result) + " " + std::to_string(code == 2 ? cell & 0xffffffffU : cell);
}

}  // namespace

const std::vector<Row>& sdkParameters() {
    static const std::vector<Row> rows = [] {
        std::vector<Row> read;
        std::ifstream file("sdk_parameters.txt");
        for (std::string line; std::getline(file, line);) {
            if (line.empty() || line[0] == '#') continue;
            Row row;
            std::istringstream(line) >> row.index >> row.id >> row.name >> row.kind >> row.access >> row.start >>
                row.read;
            read.push_back(row);
        }
        return read;
    }();
    return rows;
}

State stateOf(void* fg) {
    State state;
    for (const Row& row : sdkParameters()) state["value " + row.name] = answerOf(fg, row);
    forEachRecord(fg, [&](const ParameterInfoNode& r) {
        if (r.parameterName != nullptr) state[std::string("record ") + r.parameterName] = textOf(r);
    });
    return state;
}

std::set<std::string> differences(const State& a, const State& b) {
    std::set<std::string> keys;
    for (const auto& [key, text] : a) {
        const auto found = b.find(key);
        if (found == b.end() || found->second != text) keys.insert(key);
    }
    for (const auto& entry : b) {
        if (a.count(entry.first) == 0) keys.insert(entry.first);
    }
    return keys;
}

ParameterInfoNode recordOf(void* fg, const std::string& name) {
    ParameterInfoNode found{};
    forEachRecord(fg, [&](const ParameterInfoNode& r) {
        if (r.parameterName != nullptr && name == r.parameterName) found = r;
    });
    return found;
}

std::string Value::shown() const {
    if (code == 6) return "\"" + text + "\"";
    if (code == 5) {
        double d = 0;
        std::memcpy(&d, &bytes, sizeof d);
        char buffer[40];
        std::snprintf(buffer, sizeof buffer, "%.17g", d);
        return buffer;
    }
    return std::to_string(bytes);
}

std::vector<Value> valuesToWrite(void* fg, const Row& row) {
    const ParameterInfoNode r = recordOf(fg, row.name);
    std::vector<Value> values;
    if (r.type == PARAM_INFO_ENUM) {
        for (int32_t e = 0; e < r.value.enumeration.entryCount; ++e) {
            values.push_back(Value{2, static_cast<uint32_t>(r.value.enumeration.entryValues[e]), {}, false});
        }
    } else if (r.type == PARAM_INFO_STRING) {
        values.push_back(Value{6, 0, "fault-sweep.txt", false});
    } else if (r.type == PARAM_INFO_DOUBLE) {
        double now = 0;
        Fg_getParameterWithType(fg, row.id, &now, 0, 5);
        for (const double chosen : {r.value.dbl.min != now ? r.value.dbl.min : r.value.dbl.max, now}) {
            Value v{5, 0, {}, !values.empty()};
            std::memcpy(&v.bytes, &chosen, sizeof chosen);
            values.push_back(v);
        }
    } else if (r.type != PARAM_INFO_CATEGORY) {
        const bool wide = r.type == PARAM_INFO_UINT64 || r.type == PARAM_INFO_INT64;
        uint64_t now = 0;
        Fg_getParameterWithType(fg, row.id, &now, 0, wide ? 4 : 2);
        const uint64_t min = wide ? r.value.u64.min : r.value.u32.min, max = wide ? r.value.u64.max : r.value.u32.max;
        if (!wide) now &= 0xffffffffU;
        values.push_back(Value{wide ? 4 : 2, now != min ? min : max, {}, false});
        values.push_back(Value{wide ? 4 : 2, now, {}, true});
    }
    return values;
}

FreshBoard::FreshBoard(uint32_t flags) {
    // Boards on the virtual clock stand still: a board reads the same twice, and one run of an
    // operation makes the same calls as the next.
    SimCtl_SetVirtualClock(1);
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    fg = Fg_InitEx("Orvanta", 0, flags);
}

FreshBoard::~FreshBoard() {
    if (fg != nullptr) Fg_FreeGrabber(fg);
}

}  // namespace faults
