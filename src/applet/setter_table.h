// The one dispatch table from SDK parameter to setter, built at compile time from every setter
// group file that exists. The write path and applyInitialValues walk it; a parameter whose
// setter has not been written has an empty entry.
#pragma once

#include <array>
#include <cstdint>

#include "applet/initial_values.h"
#include "applet/sdk_parameter_table.h"
#include "applet/setter_framework.h"

#if __has_include("applet/trigger_setters.h")
#include "applet/trigger_setters.h"
#endif
#if __has_include("applet/camera_simulator_setters.h")
#include "applet/camera_simulator_setters.h"
#endif
#if __has_include("applet/geometry_setters.h")
#include "applet/geometry_setters.h"
#endif
#if __has_include("applet/debug_setters.h")
#include "applet/debug_setters.h"
#endif

namespace vexo::applet {

// A setter seen through the caller's untyped value pointer, and through an initial-value row.
using CallerSetter = void (*)(wrapper::FgNxWrapperImpl& w, const void* value, bool throwOnError);
using InitialSetter = void (*)(wrapper::FgNxWrapperImpl& w, const InitialValue& value);

struct SetterEntry {
    ValueType type = ValueType::U32;
    CallerSetter fromCaller = nullptr;  // null: the parameter has no setter yet
    InitialSetter fromInitial = nullptr;
};

namespace detail {

template <ValueType V, SetterFunction<V> Setter>
void callWithCallerValue(wrapper::FgNxWrapperImpl& w, const void* value, bool throwOnError) {
    Setter(w, readValue<V>(value), throwOnError);
}

// Initial values are written as integers, doubles or texts; each is converted to the setter's
// own type. Start-up passes throwOnError false: a refused initial value is not an error.
template <ValueType V, SetterFunction<V> Setter>
void callWithInitialValue(wrapper::FgNxWrapperImpl& w, const InitialValue& value) {
    if constexpr (V == ValueType::Text || V == ValueType::Pointer) {
        Setter(w, value.text, false);
    } else if constexpr (V == ValueType::F64) {
        Setter(w, value.form == InitialValue::Form::Double ? value.number : static_cast<double>(value.integer), false);
    } else {
        Setter(w, static_cast<ValueOf<V>>(value.integer), false);
    }
}

template <ValueType V, SetterFunction<V> Setter>
constexpr SetterEntry entryFor() {
    return SetterEntry{V, &callWithCallerValue<V, Setter>, &callWithInitialValue<V, Setter>};
}

// The value type a setter reads must fit the parameter's kind, or the value store's member and
// the caller's bytes would be read in different widths.
constexpr bool typeFitsKind(ValueType type, ParameterKind kind) {
    switch (kind) {
    case ParameterKind::Integer:
    case ParameterKind::Enumeration: return type == ValueType::U32 || type == ValueType::I32;
    case ParameterKind::Integer64: return type == ValueType::U64;
    case ParameterKind::Double: return type == ValueType::F64;
    case ParameterKind::String: return type == ValueType::Text || type == ValueType::Pointer;
    case ParameterKind::Forwarded: return false;
    }
    return false;
}

using SetterTable = std::array<SetterEntry, kSdkParameterCount>;

constexpr SetterTable buildSetterTable() {
    SetterTable table{};
#define SETTER(name, valueType, function) \
    table[indexOf(SdkParameter::name)] = entryFor<ValueType::valueType, &function>();
#include "applet/setter_groups.def"
#undef SETTER
    return table;
}

// Every setter belongs to a writable parameter of a fitting kind, and no parameter has two.
constexpr bool setterRowsAreSound() {
    std::array<int, kSdkParameterCount> rows{};
    bool sound = true;
#define SETTER(name, valueType, function)                                            \
    sound = sound && isWritable(infoOf(SdkParameter::name).access);                  \
    sound = sound && typeFitsKind(ValueType::valueType, infoOf(SdkParameter::name).kind); \
    sound = sound && ++rows[indexOf(SdkParameter::name)] == 1;
#include "applet/setter_groups.def"
#undef SETTER
    return sound;
}
static_assert(setterRowsAreSound(), "setters belong to writable parameters of a fitting kind, one each");

}  // namespace detail

inline constexpr detail::SetterTable kSetters = detail::buildSetterTable();

constexpr const SetterEntry& setterOf(SdkParameter p) { return kSetters[indexOf(p)]; }

}  // namespace vexo::applet
