// The prototypes of the applet's 32 exports as function pointer types, for the code that
// finds them by name (a runtime, the tests). The definitions in exports.cpp are checked against
// these, so a caller and the library cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>

struct ParameterInfoNode;

namespace vexo::api::prototypes {

#define EXPORT_FUNCTION(name, result, parameters) using name = result(*) parameters;
#include "orvanta/exports.def"
#undef EXPORT_FUNCTION

}  // namespace vexo::api::prototypes
