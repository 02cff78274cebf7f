/* The value type codes of the runtime's parameter calls (Fg_setParameterWithType,
 * Fg_getParameterWithType, Fg_freeParameterStringWithType): how the value pointer is read or
 * written. C and C++; C++ code inside Orvanta names them vexo::kType*, the same numbers. */
#ifndef ORVANTA_TYPE_CODES_H
#define ORVANTA_TYPE_CODES_H

enum FgTypeCode {
    FG_TYPE_UINT32 = 2,          /* uint32_t */
    FG_TYPE_INT64 = 3,           /* int64_t */
    FG_TYPE_UINT64 = 4,          /* uint64_t */
    FG_TYPE_DOUBLE = 5,          /* double */
    FG_TYPE_TEXT = 6,            /* char[]: a read copies the text into the caller's buffer, whose
                                    length the call does not know */
    FG_TYPE_ALLOCATED_TEXT = 22  /* char*: a read stores a new text, given back with
                                    Fg_freeParameterStringWithType */
};

#ifdef __cplusplus
#include <cstdint>

namespace vexo {

enum TypeCode : int32_t {
    kTypeU32 = FG_TYPE_UINT32,
    kTypeI64 = FG_TYPE_INT64,
    kTypeU64 = FG_TYPE_UINT64,
    kTypeDouble = FG_TYPE_DOUBLE,
    kTypeText = FG_TYPE_TEXT,
    kTypeAllocatedText = FG_TYPE_ALLOCATED_TEXT
};

}  // namespace vexo
#endif

#endif /* ORVANTA_TYPE_CODES_H */
