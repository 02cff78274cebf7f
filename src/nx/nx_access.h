// The NX parameters of the hardware design that the applet reaches: one enumerator and one
// constexpr row per line of nx_parameters.def, the table of their runtime ids (resolved once at
// start-up) and the typed accessors through which every setter and read reaches the design.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vexo::wrapper {
class FgNxWrapperImpl;
}

namespace vexo::nx {

enum class NxAccess : uint8_t { Write, Read, WriteRead };

// The identifier of an NX parameter is its position in nx_parameters.def.
enum class NxParameter : int32_t {
#define NX_PARAMETER(ident, access, typeCode) ident,
#include "nx/nx_parameters.def"
#undef NX_PARAMETER
};

struct NxParameterRow {
    const char* name;  // the full design path, "Device1_" included
    NxAccess access;
    uint32_t typeCode;
};

inline constexpr NxParameterRow kNxParameters[] = {
#define NX_PARAMETER(ident, access, typeCode) {"Device1_" #ident, NxAccess::access, typeCode},
#include "nx/nx_parameters.def"
#undef NX_PARAMETER
};

inline constexpr size_t kNxParameterCount = sizeof(kNxParameters) / sizeof(kNxParameters[0]);
static_assert(kNxParameterCount == 118, "the design offers the applet 118 NX parameters");

constexpr size_t indexOf(NxParameter parameter) { return static_cast<size_t>(parameter); }
constexpr const NxParameterRow& rowOf(NxParameter parameter) { return kNxParameters[indexOf(parameter)]; }

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
void resolveNxIds(wrapper::FgNxWrapperImpl& w);

// One runtime call with the stored id on the inner handle. A null value pointer throws -2070
// (or does nothing without throwOnError) and never reaches the runtime; a non-zero result is
// logged at level 5 and thrown as int32_t when throwOnError is true.
void writeNx(wrapper::FgNxWrapperImpl& w, NxParameter p, const void* value, uint32_t dma, uint32_t typeCode,
             bool throwOnError);
void readNx(wrapper::FgNxWrapperImpl& w, NxParameter p, void* value, uint32_t dma, uint32_t typeCode,
            bool throwOnError);

// What nearly every setter does: an unsigned 32-bit value on DMA 0 (type code 2), failures thrown.
void writeNxU32(wrapper::FgNxWrapperImpl& w, NxParameter p, uint32_t value);
uint32_t readNxU32(wrapper::FgNxWrapperImpl& w, NxParameter p);

}  // namespace vexo::nx
