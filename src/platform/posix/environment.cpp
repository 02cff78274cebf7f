// Environment variables through the C library's environment.
#include "platform/environment.h"

#include <stdlib.h>

namespace vexo::templates::platform {

bool getEnvironment(const char* name, std::string& value) {
    const char* text = getenv(name);
    if (text == nullptr) return false;
    value = text;
    return true;
}

bool setEnvironment(const char* name, const char* value) { return setenv(name, value, 1) == 0; }

bool unsetEnvironment(const char* name) { return unsetenv(name) == 0; }

}  // namespace vexo::templates::platform
