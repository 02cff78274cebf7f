// The setters of the area trigger module (rate, inputs, downscalers, queue, software trigger,
// pulse form generators, outputs, statistics and monitoring clears), declared from their table.
#pragma once

#include "applet/setter_framework.h"

namespace vexo::applet {

#define SETTER(name, valueType, function) \
    void function(wrapper::FgNxWrapperImpl& w, ValueOf<ValueType::valueType> value, bool throwOnError);
#include "applet/trigger_setters.def"
#undef SETTER

}  // namespace vexo::applet
