// The NX parameters of the hardware design that the applet reaches: one enumerator and one
// constexpr row per line of nx_parameters.def, the C++ type of each one's values, and the table
// of their runtime ids (resolved once at start-up). The accessors are in nx_access.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "orvanta/type_codes.h"

namespace vexo::nx {

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

}  // namespace vexo::nx
