// What every setter of a writable SDK parameter shares: the value types in which the write path
// reads a caller's value, the setter signature, typed access to the stored values and the common
// contract (check, store, apply, put the old value back on failure). Failures travel as thrown
// int32_t codes up to the boundary of the SDK operation.
//
// Setters are listed per group in X-macro files, one row per parameter:
//     SETTER(FG_SDK_NAME, ValueType, functionName)
// (trigger_setters.def, camera_simulator_setters.def, geometry_setters.def, debug_setters.def,
// gathered by setter_groups.def). setters.h declares the functions from those rows and the
// dispatch table of setter_table.h is built from them; nothing else needs to be registered.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include "applet/board.h"
#include "applet/core/sdk_parameter_table.h"
#include "applet/core/value_store.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

// How the write path reads the caller's value: Text is a zero-terminated const char*, Pointer
// is the caller's pointer itself.
enum class ValueType : uint8_t { U32, I32, F64, U64, Text, Pointer };

template <ValueType V>
struct ValueTypeTraits;
template <>
struct ValueTypeTraits<ValueType::U32> { using Type = uint32_t; };
template <>
struct ValueTypeTraits<ValueType::I32> { using Type = int32_t; };
template <>
struct ValueTypeTraits<ValueType::F64> { using Type = double; };
template <>
struct ValueTypeTraits<ValueType::U64> { using Type = uint64_t; };
template <>
struct ValueTypeTraits<ValueType::Text> { using Type = const char*; };
template <>
struct ValueTypeTraits<ValueType::Pointer> { using Type = const void*; };

template <ValueType V>
using ValueOf = typename ValueTypeTraits<V>::Type;

// A setter: void name(Board& w, T value, bool throwOnError), T from the
// table above. The write path passes throwOnError true, start-up and configuration loading
// false; with false a setter returns quietly on failure.
template <ValueType V>
using SetterFunction = void (*)(Board& w, ValueOf<V> value, bool throwOnError);

// The caller's bytes in the parameter's own type, whatever type code the caller passed. The
// pointer may be unaligned, hence the copy.
template <ValueType V>
ValueOf<V> readValue(const void* value) {
    if constexpr (V == ValueType::Text) {
        return static_cast<const char*>(value);
    } else if constexpr (V == ValueType::Pointer) {
        return value;
    } else {
        ValueOf<V> result{};
        std::memcpy(&result, value, sizeof(result));
        return result;
    }
}

// The stored value of a parameter in its own type. Numbers live in the parameter's union
// member; texts (FG_DEBUGFILE, FG_DEBUGSAVECONFIG) in the store's text slots.
template <typename T>
T stored(const Board& w, SdkParameter p) {
    const StoredValue& slot = w.values()[p];
    if constexpr (std::is_same_v<T, uint32_t>) {
        return slot.u32;
    } else if constexpr (std::is_same_v<T, int32_t>) {
        return slot.i32;
    } else if constexpr (std::is_same_v<T, double>) {
        return slot.f64;
    } else if constexpr (std::is_same_v<T, uint64_t>) {
        return slot.u64;
    } else {
        static_assert(std::is_same_v<T, std::string>, "stored values are u32, i32, f64, u64 or text");
        return w.values().text(p);
    }
}

template <typename T>
void store(Board& w, SdkParameter p, const T& value) {
    StoredValue& slot = w.values()[p];
    if constexpr (std::is_same_v<T, uint32_t>) {
        slot.u32 = value;
    } else if constexpr (std::is_same_v<T, int32_t>) {
        slot.i32 = value;
    } else if constexpr (std::is_same_v<T, double>) {
        slot.f64 = value;
    } else if constexpr (std::is_same_v<T, uint64_t>) {
        slot.u64 = value;
    } else {
        static_assert(std::is_same_v<T, std::string>, "stored values are u32, i32, f64, u64 or text");
        w.values().text(p) = value;
    }
}

// The end of every failing setter: the code leaves with throwOnError, else nothing is reported.
inline void failSetter(int32_t code, bool throwOnError) {
    if (throwOnError) throw code;
}

namespace detail {
// A text value is kept as a copy; everything else as it is.
template <typename T>
using StoredForm = std::conditional_t<std::is_same_v<T, const char*>, std::string, T>;
}  // namespace detail

// The common setter contract. A value that fails its range or list check (accepted false)
// ends in -6000 with the stored value untouched (for the parameter being written, answered
// through Board::refuseQuietly). Otherwise the new value is stored before apply() runs, so that
// apply and whatever it calls see it; when apply throws an int32_t code the old value is put
// back. NX writes made before the failure stay made.
template <typename T, typename Apply>
void runSetter(Board& w, SdkParameter p, T value, bool accepted, bool throwOnError,
               Apply&& apply) {
    using Stored = detail::StoredForm<T>;
    if (!accepted) {
        if (!throwOnError || !w.refuseQuietly(p, errors::kValueOutOfRange)) {
            failSetter(errors::kValueOutOfRange, throwOnError);
        }
        return;
    }
    w.closeQuietRefusal();
    const Stored old = stored<Stored>(w, p);
    store<Stored>(w, p, Stored(value));
    try {
        std::forward<Apply>(apply)();
    } catch (int32_t code) {
        store<Stored>(w, p, old);
        failSetter(code, throwOnError);
    }
}

}  // namespace vexo::applet
