// Small start-up decisions taken from the environment and from the library's own file name:
// the on/off switches (VEXO_ENABLE_DRA and alike) and the module base name.
#pragma once

#include <string>

namespace vexo::applet {

// True when the whole value, lower-cased character by character, is "yes", "true", "on" or
// "1". Nothing is trimmed: " yes" stays off.
bool isSwitchOnValue(const std::string& value);

// An environment switch: off when the variable is undefined, else isSwitchOnValue.
bool readSwitch(const char* variableName);

// Splits a full file name at its last '\' or '/' (both count on every platform) into the
// directory and the file name without its extension (cut at the last '.'). False, leaving
// the outputs unspecified, when either part comes out empty.
bool splitModulePath(const std::string& fullName, std::string& directory, std::string& baseName);

}  // namespace vexo::applet
