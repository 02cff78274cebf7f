// The Orvanta hardware design as the simulated runtime sees it: every NX parameter with its
// runtime-assigned id, value kind, access and start value, plus the runtime's own parameters.
// The design's NX parameters are the ones its HAP lists; a model never changes once built, and
// a board's values live beside it in the board (board.h).
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class ValueKind { U32, U64, Double, Text };

// A number of a board's values. The runtime answers parameter calls on plain numbers without
// the board's lock (runtime/quick_calls.h), so every access is atomic; nothing orders on them.
template <typename T>
class SharedNumber {
public:
    SharedNumber(T value = T{}) noexcept : value_(value) {}  // implicit: it stands for a T
    SharedNumber(const SharedNumber& other) noexcept : value_(other.load()) {}
    SharedNumber& operator=(const SharedNumber& other) noexcept {
        store(other.load());
        return *this;
    }
    SharedNumber& operator=(T value) noexcept {
        store(value);
        return *this;
    }
    operator T() const noexcept { return load(); }  // implicit: it stands for a T
    T load() const noexcept { return value_.load(std::memory_order_relaxed); }
    void store(T value) noexcept { value_.store(value, std::memory_order_relaxed); }

private:
    std::atomic<T> value_;
};

struct NxValue {
    SharedNumber<uint64_t> integer;
    SharedNumber<double> real;
    std::string text;
};

// One NX parameter as the design's HAP lists it.
struct DesignRow {
    std::string name;
    int32_t typeCode = 0;  // the runtime's value type code
    bool writable = false;

    bool operator==(const DesignRow& other) const {
        return name == other.name && typeCode == other.typeCode && writable == other.writable;
    }
};

// What a write to one of the camera debug entry's inputs does (debug_entries.h in the runtime).
enum class CameraInput : uint8_t { None, PixelWord, Flag, Insert };

struct DesignParameter {
    std::string name;             // full NX name, or the runtime's own name ("FG_TIMEOUT")
    int32_t id = 0;
    ValueKind kind = ValueKind::U32;
    bool writable = true;
    bool nx = true;               // false: one of the runtime's own parameters
    bool anyIntegerType = false;  // runtime parameters answer type codes 2, 3 and 4 alike
    bool injectsPixel = false;    // writes are pixel words fed into a debug entry
    CameraInput cameraInput = CameraInput::None;
    uint64_t maximum = 0;         // description maximum of an integer parameter
    NxValue initial;
};

class DesignModel {
public:
    // The HAP's rows in their order come first (and get the first ids), then the debug entries
    // the design announces, then the runtime's own parameters. Without rows (no HAP opened yet)
    // the model has only the latter two.
    explicit DesignModel(std::vector<DesignRow> designRows);

    const std::vector<DesignRow>& designRows() const { return designRows_; }
    const std::vector<DesignParameter>& parameters() const { return parameters_; }
    // Index into parameters(), or -1.
    int32_t indexOfId(int32_t id) const;
    int32_t indexOfNxName(std::string_view name) const;
    // NX names and the runtime's own names alike (for the control interface).
    int32_t indexOfAnyName(std::string_view name) const;
    // The NX parameters only, in table order (for the runtime's name and index queries).
    const std::vector<int32_t>& nxIndices() const { return nxIndices_; }

private:
    void add(DesignParameter parameter);

    std::vector<DesignRow> designRows_;
    std::vector<DesignParameter> parameters_;
    std::vector<int32_t> nxIndices_;
    std::map<int32_t, int32_t> byId_;
    // Transparent: a name is looked up as it comes, without a copy into a string.
    std::map<std::string, int32_t, std::less<>> byNxName_;
    std::map<std::string, int32_t, std::less<>> byAnyName_;
};

// The design's start values, indexed like parameters().
std::vector<NxValue> startValues(const DesignModel& model);
// Puts the start values back in place: the values' storage stays where it is, as the runtime's
// lock-free path may be writing into it.
void restoreStartValues(const DesignModel& model, std::vector<NxValue>& values);

// The type code a parameter of this kind uses when the caller gives none (Fg_getParameter).
int32_t nativeTypeCode(ValueKind kind);

}  // namespace sim
