// The setters of the debug injection (entry selection, injection and monitor switches, image
// insertion, pixel words and their flags, the debug file, saving the configuration), declared
// from their table.
#pragma once

#include "applet/setter_framework.h"

namespace vexo::applet {

#define SETTER(name, valueType, function) \
    void function(wrapper::FgNxWrapperImpl& w, ValueOf<ValueType::valueType> value, bool throwOnError);
#include "applet/debug_setters.def"
#undef SETTER

}  // namespace vexo::applet
