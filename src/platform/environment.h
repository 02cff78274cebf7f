// Reading and setting the process's environment variables.
#pragma once

#include <string>

namespace vexo::templates::platform {

// True when the variable is defined (also with an empty value), with its value in `value`.
bool getEnvironment(const char* name, std::string& value);

// Defines the variable (an empty value keeps it defined) or removes it; true on success. The
// values are the ones getEnvironment sees on both platforms.
bool setEnvironment(const char* name, const char* value);
bool unsetEnvironment(const char* name);

}  // namespace vexo::templates::platform
