// The setters of the delivered image's geometry and format, the image selector and the
// acquisition time-out, declared from their table.
#pragma once

#include "applet/setter_framework.h"

namespace vexo::applet {

#define SETTER(name, valueType, function) \
    void function(wrapper::FgNxWrapperImpl& w, ValueOf<ValueType::valueType> value, bool throwOnError);
#include "applet/geometry_setters.def"
#undef SETTER

}  // namespace vexo::applet
