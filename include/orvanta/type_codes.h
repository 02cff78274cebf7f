// The value type codes of the runtime's parameter calls (Fg_setParameterWithType,
// Fg_getParameterWithType, Fg_freeParameterStringWithType): how the value pointer is read.
#pragma once

#include <cstdint>

namespace vexo {

enum TypeCode : int32_t {
    kTypeU32 = 2,            // unsigned 32-bit
    kTypeI64 = 3,            // signed 64-bit
    kTypeU64 = 4,            // unsigned 64-bit
    kTypeDouble = 5,
    kTypeText = 6,           // a text into the caller's buffer, whose length the call does not know
    kTypeAllocatedText = 22  // a pointer to a new text, given back with Fg_freeParameterStringWithType
};

}  // namespace vexo
