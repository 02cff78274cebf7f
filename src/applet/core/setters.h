// Every setter of a writable SDK parameter, declared from the group tables (trigger module,
// camera simulator, image geometry, debug injection), so that the dispatch table and setters
// that call other setters see them all.
#pragma once

#include "applet/core/setter_framework.h"

namespace vexo::applet {

class Board;

#define SETTER(name, valueType, function) \
    void function(Board& w, ValueOf<ValueType::valueType> value, bool throwOnError);
#include "applet/core/setter_groups.def"
#undef SETTER

}  // namespace vexo::applet
