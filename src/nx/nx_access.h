// The typed accessors through which every setter and read reaches the design's NX parameters.
// An access the row does not allow (a write to a read-only register, a value of another type)
// does not compile. The success path is inline: a setter's writes are the hot path of a
// parameter write, and each would otherwise cost a call frame of its own.
#pragma once

#include <cstdint>

#include "nx/design.h"
#include "nx/nx_parameters.h"
#include "nx/runtime_functions.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"

namespace vexo::nx {

// Asks the runtime for every row's id, in table order; a name without id is logged (level 4)
// and never stops the resolution.
void resolveNxIds(Design& w);

namespace detail {

// One runtime call with the stored id on the inner handle. A null value pointer throws -2070
// (or does nothing without throwOnError) and never reaches the runtime; a non-zero result is
// logged at level 5 and thrown as int32_t when throwOnError is true. Nothing here checks the
// row: the typed forms below do that at compile time.
// A failed access: logged at level 5, thrown as int32_t when throwOnError. `verb` names the
// runtime function in the record, "Setting" or "Getting".
void reportFailedNx(Design& w, const char* verb, NxParameter p, int32_t id, int32_t result, bool throwOnError);

template <RuntimeSlot Slot, typename Value>
void accessNx(Design& w, const char* verb, NxParameter p, Value* value, uint32_t dma, TypeCode typeCode,
              bool throwOnError) {
    if (value == nullptr) {
        if (throwOnError) throw errors::kInvalidParameter;
        return;
    }
    const int32_t id = w.nxIds()[p];
    const int32_t result = w.callRuntime<Slot>(id, value, dma, static_cast<int32_t>(typeCode));
    if (result != errors::kSuccess) reportFailedNx(w, verb, p, id, result, throwOnError);
}

inline void writeNx(Design& w, NxParameter p, const void* value, uint32_t dma, TypeCode typeCode,
                    bool throwOnError) {
    accessNx<RuntimeSlot::Fg_setParameterWithType>(w, "Setting", p, value, dma, typeCode, throwOnError);
}

inline void readNx(Design& w, NxParameter p, void* value, uint32_t dma, TypeCode typeCode, bool throwOnError) {
    accessNx<RuntimeSlot::Fg_getParameterWithType>(w, "Getting", p, value, dma, typeCode, throwOnError);
}

}  // namespace detail

// Every access below is on DMA 0 in the row's own type, failures thrown.
template <NxParameter P>
void writeNx(Design& w, NxValue<P> value) {
    static_assert(canWrite<P>, "the design does not let the applet write this NX parameter");
    detail::writeNx(w, P, &value, 0, rowOf(P).typeCode, true);
}

template <NxParameter P>
NxValue<P> readNx(Design& w) {
    static_assert(canRead<P>, "the design does not let the applet read this NX parameter");
    NxValue<P> value{};
    detail::readNx(w, P, &value, 0, rowOf(P).typeCode, true);
    return value;
}

// An NX parameter as a value of its own type, for tables and helpers that pick one at run time.
template <NxParameter P>
struct Row {};
template <NxParameter P>
inline constexpr Row<P> row{};

// A 32-bit register picked at run time for the use `Use`. Only a row that allows that use in
// 32 bits converts to one, so the check is made where the register is named, at compile time.
template <NxAccess Use>
class U32Register {
public:
    template <NxParameter P>
    constexpr U32Register(Row<P>) : parameter_(P) {  // implicit, so that table rows read plainly
        static_assert(allows(rowOf(P).access, Use), "the design does not allow this use of the NX parameter");
        static_assert(rowOf(P).typeCode == kTypeU32, "the NX parameter does not take 32-bit values");
    }
    constexpr NxParameter parameter() const { return parameter_; }

private:
    NxParameter parameter_;
};

template <NxAccess Use>
void writeNx(Design& w, U32Register<Use> r, uint32_t value) {
    static_assert(allows(Use, NxAccess::Write), "a register picked for reading is not written");
    detail::writeNx(w, r.parameter(), &value, 0, kTypeU32, true);
}

template <NxAccess Use>
uint32_t readNx(Design& w, U32Register<Use> r) {
    static_assert(allows(Use, NxAccess::Read), "a register picked for writing is not read");
    uint32_t value = 0;
    detail::readNx(w, r.parameter(), &value, 0, kTypeU32, true);
    return value;
}

// Reads p in its row's own type into `value`, which must hold that type (for texts: a buffer the
// caller vouches for). For tables of reads walked at run time; such a table must prove at
// compile time that every row it names is readable.
inline void readNxInRowType(Design& w, NxParameter p, void* value) {
    detail::readNx(w, p, value, 0, rowOf(p).typeCode, true);
}

}  // namespace vexo::nx
