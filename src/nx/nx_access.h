// The NX parameters of the hardware design that the applet reaches: one enumerator and one
// constexpr row per line of nx_parameters.def, the table of their runtime ids (resolved once at
// start-up) and the typed accessors through which every setter and read reaches the design.
// An access the row does not allow (a write to a read-only register, a value of another type)
// does not compile.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "orvanta/type_codes.h"

namespace vexo::nx {

class Design;

enum class NxAccess : uint8_t { Write, Read, WriteRead };

// Whether a row granted `granted` may be used for `wanted`.
constexpr bool allows(NxAccess granted, NxAccess wanted) {
    return granted == wanted || granted == NxAccess::WriteRead;
}

// The identifier of an NX parameter is its position in nx_parameters.def.
enum class NxParameter : int32_t {
#define NX_PARAMETER(ident, access, typeCode) ident,
#include "nx/nx_parameters.def"
#undef NX_PARAMETER
};

struct NxParameterRow {
    const char* name;  // the full design path, "Device1_" included
    NxAccess access;
    TypeCode typeCode;
};

inline constexpr NxParameterRow kNxParameters[] = {
#define NX_PARAMETER(ident, access, typeCode) {"Device1_" #ident, NxAccess::access, static_cast<TypeCode>(typeCode)},
#include "nx/nx_parameters.def"
#undef NX_PARAMETER
};

inline constexpr size_t kNxParameterCount = sizeof(kNxParameters) / sizeof(kNxParameters[0]);
static_assert(kNxParameterCount == 118, "the design offers the applet 118 NX parameters");

constexpr size_t indexOf(NxParameter parameter) { return static_cast<size_t>(parameter); }
constexpr const NxParameterRow& rowOf(NxParameter parameter) { return kNxParameters[indexOf(parameter)]; }

template <NxParameter P>
inline constexpr bool canWrite = allows(rowOf(P).access, NxAccess::Write);
template <NxParameter P>
inline constexpr bool canRead = allows(rowOf(P).access, NxAccess::Read);

// The C++ type of one value under a type code. Texts have none: they are read into a buffer.
template <TypeCode Code>
struct ValueOfTypeCode;
template <>
struct ValueOfTypeCode<kTypeU32> { using type = uint32_t; };
template <>
struct ValueOfTypeCode<kTypeU64> { using type = uint64_t; };
template <>
struct ValueOfTypeCode<kTypeDouble> { using type = double; };

template <NxParameter P>
using NxValue = typename ValueOfTypeCode<rowOf(P).typeCode>::type;

static_assert(canWrite<NxParameter::Process0_CameraSimulator_Size_ImageWidth> &&
              !canRead<NxParameter::Process0_CameraSimulator_Size_ImageWidth>);
static_assert(canRead<NxParameter::Process0_BoardStatus_FpgaTemperature> &&
              !canWrite<NxParameter::Process0_BoardStatus_FpgaTemperature>);
static_assert(canRead<NxParameter::Process1_Trigger_TriggerInput_Debounce8_Prescale_Period> &&
              canWrite<NxParameter::Process1_Trigger_TriggerInput_Debounce8_Prescale_Period>);
static_assert(std::is_same_v<NxValue<NxParameter::Process0_BoardStatus_FpgaTemperature>, double> &&
              std::is_same_v<NxValue<NxParameter::Process0_BoardStatus_FpgaDNA>, uint64_t>);

// Runtime ids by row. An id below 1 means the runtime did not know the name; the value is kept
// and passed on anyway, so the runtime's own answer decides what such an access does.
class NxIdTable {
public:
    int32_t operator[](NxParameter parameter) const { return ids[indexOf(parameter)]; }
    void set(NxParameter parameter, int32_t id) { ids[indexOf(parameter)] = id; }

private:
    std::array<int32_t, kNxParameterCount> ids{};
};

// Asks the runtime for every row's id, in table order; a name without id is logged (level 4)
// and never stops the resolution.
void resolveNxIds(Design& w);

namespace detail {

// One runtime call with the stored id on the inner handle. A null value pointer throws -2070
// (or does nothing without throwOnError) and never reaches the runtime; a non-zero result is
// logged at level 5 and thrown as int32_t when throwOnError is true. Nothing here checks the
// row: the typed forms below do that at compile time.
void writeNx(Design& w, NxParameter p, const void* value, uint32_t dma, TypeCode typeCode,
             bool throwOnError);
void readNx(Design& w, NxParameter p, void* value, uint32_t dma, TypeCode typeCode,
            bool throwOnError);

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
