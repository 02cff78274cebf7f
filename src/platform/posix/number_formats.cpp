// The 64-bit conversions of configuration files: the C99 forms. One text serves printing and
// scanning, so the print and scan letters have to agree here.
#include "platform/number_formats.h"

#include <cinttypes>

namespace vexo::templates::platform {

namespace {
constexpr bool sameText(const char* a, const char* b) { return *a == *b && (*a == '\0' || sameText(a + 1, b + 1)); }
}  // namespace

static_assert(sameText(PRIu64, SCNu64) && sameText(PRIi64, SCNi64), "one format serves both directions");

const char* const kUInt64Format = "%" PRIu64;
const char* const kInt64Format = "%" PRIi64;

}  // namespace vexo::templates::platform
