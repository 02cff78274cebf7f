// A board opened as an application opens it, with SDK parameters written by name through the
// runtime, and the trigger registers the applet then wrote, listed in order for comparison.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "vexo_sim.h"

namespace trigger_test {

using board::NxWrite;
using Writes = std::vector<NxWrite>;

inline const std::string kTriggerPrefix = "Device1_Process1_Trigger_";

// A write of a trigger register, named without the common prefix.
inline NxWrite nx(const std::string& name, uint64_t value) { return {kTriggerPrefix + name, value}; }

inline Writes operator+(Writes a, const Writes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// One line per write, so that a failed comparison shows both sequences in full.
inline std::string listing(const Writes& writes) {
    std::string text;
    for (const NxWrite& w : writes) {
        const bool trigger = w.name.compare(0, kTriggerPrefix.size(), kTriggerPrefix) == 0;
        text += "\n  " + (trigger ? w.name.substr(kTriggerPrefix.size()) : w.name) + " = " + std::to_string(w.value);
    }
    return text;
}

struct TriggerBoard : board::OpenBoard {
    TriggerBoard() { REQUIRE(fg != nullptr); }

    // Writes an SDK parameter by name; integers go as type code 2, doubles as 5.
    template <typename T>
    int32_t set(const char* name, T value) {
        static_assert(std::is_same_v<T, double> || sizeof(T) == 4, "SDK values here are 32-bit or double");
        const int32_t id = Fg_getParameterIdByName(fg, name);
        return Fg_setParameterWithType(fg, id, &value, 0, std::is_same_v<T, double> ? 5 : 2);
    }

    // The same, after forgetting earlier calls: nxWrites() then holds this write's registers.
    template <typename T>
    int32_t write(const char* name, T value) {
        SimCtl_ClearCalls();
        return set(name, value);
    }
};

}  // namespace trigger_test

#define CHECK_WRITES(expected) CHECK_EQ(::trigger_test::listing(::board::nxWrites()), ::trigger_test::listing(expected))
