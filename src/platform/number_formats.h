// The conversions with which configuration files write and read 64-bit integers. Windows' C
// library has its own length modifier for them; elsewhere the C99 forms do the same job.
#pragma once

namespace vexo::templates::platform {

// One format each for printing and scanning (the two coincide on both platforms). The signed
// scan takes a 0x prefix as hexadecimal and a leading 0 as octal.
extern const char* const kUInt64Format;
extern const char* const kInt64Format;

}  // namespace vexo::templates::platform
