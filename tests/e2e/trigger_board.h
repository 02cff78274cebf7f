// A board opened as an application opens it, or prepared first: SDK parameters written by name,
// the registers the applet then wrote, listed in order, and the description records read back.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "board_session.h"
#include "orvanta/parameter_info_node.h"

namespace trigger_test {

using board::NxWrite;
using Writes = std::vector<NxWrite>;

constexpr int32_t kOutOfRange = -6000;
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

using RecordVisit = std::function<void(const ParameterInfoNode&)>;

// Visits every parameter record below a category, depth first in index order.
inline void forEachRecord(const ParameterInfoNode* category, const RecordVisit& visit) {
    for (int32_t i = 0; i < category->value.category.childCount; ++i) {
        const ParameterInfoNode* child = category->value.category.children[i];
        if (child->type == PARAM_INFO_CATEGORY) {
            forEachRecord(child, visit);
        } else {
            visit(*child);
        }
    }
}

// The same for every top-level category of port 0, newest first.
inline void forEachRecord(void* fg, const RecordVisit& visit) {
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg, 0); top != nullptr; top = top->older) {
        forEachRecord(top, visit);
    }
}

// A copy of the current record of an SDK parameter; a missing record fails the case without ending it.
inline ParameterInfoNode record(void* fg, const std::string& name) {
    ParameterInfoNode found{};
    forEachRecord(fg, [&](const ParameterInfoNode& r) { found = name == r.parameterName ? r : found; });
    if (found.parameterName == nullptr) ADD_FAILURE() << "no record of " << name;
    return found;
}

// Board 0, freshly reset, prepared (the HAP's events, the runtime's description...) and then
// opened with flags 0; closed again at the end.
struct PreparedBoard {
    template <typename Prepare>
    explicit PreparedBoard(Prepare&& prepare) {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        prepare();
        fg = Fg_InitEx("Orvanta", 0, 0);
    }
    ~PreparedBoard() {
        if (fg != nullptr) Fg_FreeGrabber(fg);
    }
    PreparedBoard(const PreparedBoard&) = delete;
    PreparedBoard& operator=(const PreparedBoard&) = delete;
    void* fg = nullptr;
};

// The GenApi description of port 0 without its closing zero, fetched as a caller does: size first.
inline std::string fetchXml(void* fg) {
    size_t size = 0;
    EXPECT_EQ(Fg_getParameterInfoXML(fg, 0, nullptr, &size), 0);
    std::vector<char> buffer(size, 'x');
    EXPECT_EQ(Fg_getParameterInfoXML(fg, 0, buffer.data(), &size), 0);
    return std::string(buffer.data(), size > 0 ? size - 1 : 0);
}

// Both direct access switches on, as a fixture's first base: before its board opens.
struct DirectAccessOn {
    board::Switch dra{"VEXO_ENABLE_DRA"}, dnxa{"VEXO_ENABLE_DNXA"};
};

class TriggerBoard : public board::BoardTest {
protected:
    // Writes an SDK parameter by name; integers go as type code 2, doubles as 5.
    template <typename T>
    int32_t set(const char* name, T value) {
        static_assert(std::is_same_v<T, double> || sizeof(T) == 4, "SDK values here are 32-bit or double");
        const int32_t id = Fg_getParameterIdByName(fg(), name);
        return Fg_setParameterWithType(fg(), id, &value, 0, std::is_same_v<T, double> ? 5 : 2);
    }

    // The same, after forgetting earlier calls: nxWrites() then holds this write's registers.
    template <typename T>
    int32_t write(const char* name, T value) {
        SimCtl_ClearCalls();
        return set(name, value);
    }
};

}  // namespace trigger_test

// The NX writes since the last write() are exactly these, in this order.
#define EXPECT_WRITES(expected) \
    EXPECT_EQ(::trigger_test::listing(::board::nxWrites()), ::trigger_test::listing(expected))

// In a TriggerBoard case: the write is accepted and makes exactly these register writes, in order.
#define EXPECT_WRITE(name, value, ...)                            \
    do {                                                          \
        EXPECT_EQ(write(name, value), 0) << (name);               \
        EXPECT_WRITES((::trigger_test::Writes{__VA_ARGS__}));     \
    } while (0)

// In a TriggerBoard case: the write is refused with this code and writes no register.
#define EXPECT_REFUSED(name, value, code)                         \
    do {                                                          \
        EXPECT_EQ(write(name, value), code) << (name);            \
        EXPECT_WRITES(::trigger_test::Writes{});                  \
    } while (0)
