// The last accepted value of every SDK parameter: one numeric slot per parameter and the two
// texts that setters keep (FG_DEBUGFILE, FG_DEBUGSAVECONFIG). Setters store here first and put
// the old value back when the design refuses the new one.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "applet/core/initial_values.h"
#include "applet/core/sdk_parameter_table.h"

namespace vexo::applet {

// The member in use follows the parameter's kind: u32 for integers and enumerations (i32 for
// the few whose value is signed), u64 for 64-bit integers, f64 for doubles.
union StoredValue {
    uint32_t u32;
    int32_t i32;
    uint64_t u64;
    double f64;
};

class ValueStore {
public:
    // Every slot 0, then the rows of both initial-value tables.
    ValueStore();

    StoredValue& operator[](SdkParameter parameter) { return slots[indexOf(parameter)]; }
    const StoredValue& operator[](SdkParameter parameter) const { return slots[indexOf(parameter)]; }

    // Only FG_DEBUGFILE and FG_DEBUGSAVECONFIG keep a text; any other parameter throws
    // std::invalid_argument (a programming error, not a caller's).
    std::string& text(SdkParameter parameter);
    const std::string& text(SdkParameter parameter) const;

    // Stores an initial value in the member that the parameter's kind uses.
    void store(const InitialValue& value);

private:
    std::array<StoredValue, kSdkParameterCount> slots;
    std::string debugFile;
    std::string debugSaveConfig;
};

}  // namespace vexo::applet
