// The 64-bit conversions of configuration files in the Windows C library's own length modifier.
#include "platform/number_formats.h"

namespace vexo::templates::platform {

const char* const kUInt64Format = "%I64u";
const char* const kInt64Format = "%I64i";

}  // namespace vexo::templates::platform
