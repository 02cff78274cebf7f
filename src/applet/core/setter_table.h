// The one dispatch table from SDK parameter to setter, built at compile time from the setter
// group files. The write path, applyInitialValues and configuration loading walk it; a
// read-only parameter has an empty entry.
#pragma once

#include <array>
#include <cstdint>

#include "applet/core/initial_values.h"
#include "applet/core/sdk_parameter_table.h"
#include "applet/core/setter_framework.h"
#include "applet/core/setters.h"

namespace vexo::applet {

class Board;

// A setter seen through the caller's untyped value pointer, and through an initial-value row.
using CallerSetter = void (*)(Board& w, const void* value, bool throwOnError);
using InitialSetter = void (*)(Board& w, const InitialValue& value);

struct SetterEntry {
    ValueType type = ValueType::U32;
    CallerSetter fromCaller = nullptr;  // null: a read-only parameter
    InitialSetter fromInitial = nullptr;
    // Whether the entry holds a setter, for the compile-time checks: comparing function
    // addresses is not a constant expression for every compiler setting.
    bool present = false;
};

namespace detail {

template <ValueType V, SetterFunction<V> Setter>
void callWithCallerValue(Board& w, const void* value, bool throwOnError) {
    Setter(w, readValue<V>(value), throwOnError);
}

// Initial values are written as integers, doubles or texts; each is converted to the setter's
// own type. Start-up passes throwOnError false: a refused initial value is not an error.
template <ValueType V, SetterFunction<V> Setter>
void callWithInitialValue(Board& w, const InitialValue& value) {
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
    return SetterEntry{V, &callWithCallerValue<V, Setter>, &callWithInitialValue<V, Setter>, true};
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
#include "applet/core/setter_groups.def"
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
#include "applet/core/setter_groups.def"
#undef SETTER
    return sound;
}
static_assert(setterRowsAreSound(), "setters belong to writable parameters of a fitting kind, one each");

}  // namespace detail

inline constexpr detail::SetterTable kSetters = detail::buildSetterTable();

constexpr const SetterEntry& setterOf(SdkParameter p) { return kSetters[indexOf(p)]; }

// Every writable parameter has its setter, so the write path never meets a writable parameter
// it cannot serve.
constexpr bool everyWritableParameterHasASetter() {
    for (size_t i = 0; i < kSdkParameterCount; ++i) {
        if (isWritable(kSdkParameters[i].access) && !kSetters[i].present) return false;
    }
    return true;
}
static_assert(everyWritableParameterHasASetter(), "a writable SDK parameter lacks its setter");

}  // namespace vexo::applet
