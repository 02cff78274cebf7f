// The Orvanta hardware design as the simulated runtime sees it: every NX parameter with its
// runtime-assigned id, value kind, access and start value, plus the runtime's own parameters.
// The design's NX parameters are the ones its HAP lists; a model never changes once built, and
// a board's values live beside it (DesignValues).
#pragma once

#include <memory>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

enum class ValueKind { U32, U64, Double, Text };

// One value of a board: the number or the text its kind holds.
struct NxValue {
    uint64_t integer = 0;
    double real = 0;
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

// A design as a board holds it: the model and the board's values of its parameters.
struct DesignValues {
    std::shared_ptr<const DesignModel> design;  // never null
    std::vector<NxValue> values;                // indexed like design->parameters()

    // The value of an NX parameter, or null when the design lacks the name.
    NxValue* nx(std::string_view name);
    const NxValue* nx(std::string_view name) const;
};

// The type code a parameter of this kind uses when the caller gives none (Fg_getParameter).
int32_t nativeTypeCode(ValueKind kind);

// Whether a number of this kind is read or written in the form of the caller's type code.
// `anyInteger`: one of the runtime's own parameters, which answer 2, 3 and 4 alike.
bool numberTakesType(ValueKind kind, int32_t type, bool anyInteger = false);
// A number from the caller's memory, and one into it, in the form of an accepted type code.
void storeNumber(NxValue& stored, ValueKind kind, int32_t type, const void* value);
void loadNumber(const NxValue& stored, ValueKind kind, int32_t type, void* value);

}  // namespace sim
