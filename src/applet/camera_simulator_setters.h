// The setters of the camera simulator (source, pattern, geometry, timing mode and rates),
// declared from their table.
#pragma once

#include "applet/setter_framework.h"

namespace vexo::applet {

#define SETTER(name, valueType, function) \
    void function(wrapper::FgNxWrapperImpl& w, ValueOf<ValueType::valueType> value, bool throwOnError);
#include "applet/camera_simulator_setters.def"
#undef SETTER

}  // namespace vexo::applet
