// The start-up values of the SDK parameters as two tables generated from initial_values.def:
// the rows applyInitialValues writes through the setters, in order, and the rows only stored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "applet/core/sdk_parameter_table.h"

namespace vexo::applet {

struct InitialValue {
    enum class Form : uint8_t { Integer, Double, Text };

    constexpr InitialValue(SdkParameter p, int value) : parameter(p), form(Form::Integer), integer(value) {}
    constexpr InitialValue(SdkParameter p, double value) : parameter(p), form(Form::Double), number(value) {}
    constexpr InitialValue(SdkParameter p, const char* value) : parameter(p), form(Form::Text), text(value) {}

    SdkParameter parameter;
    Form form;
    int64_t integer = 0;
    double number = 0.0;
    const char* text = "";
};

inline constexpr InitialValue kAppliedInitialValues[] = {
#define APPLIED(name, value) {SdkParameter::name, value},
#define STORED(name, value)
#include "applet/core/initial_values.def"
#undef STORED
#undef APPLIED
};

inline constexpr InitialValue kStoredInitialValues[] = {
#define APPLIED(name, value)
#define STORED(name, value) {SdkParameter::name, value},
#include "applet/core/initial_values.def"
#undef STORED
#undef APPLIED
};

static_assert(sizeof(kAppliedInitialValues) / sizeof(kAppliedInitialValues[0]) == 61,
              "applyInitialValues writes 61 parameters");

// A double row must name a double parameter and a text row a string parameter, and the other
// way round: a row written in the wrong form would be stored in the wrong member.
template <size_t N>
constexpr bool formsMatchKinds(const InitialValue (&rows)[N]) {
    for (const InitialValue& row : rows) {
        const ParameterKind kind = infoOf(row.parameter).kind;
        if ((row.form == InitialValue::Form::Double) != (kind == ParameterKind::Double)) return false;
        if ((row.form == InitialValue::Form::Text) != (kind == ParameterKind::String)) return false;
    }
    return true;
}
static_assert(formsMatchKinds(kAppliedInitialValues) && formsMatchKinds(kStoredInitialValues));

}  // namespace vexo::applet
