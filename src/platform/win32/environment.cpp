// Environment variables through the process environment block. The C library keeps a copy of
// its own that the Win32 calls do not update, and its _putenv cannot define an empty value,
// so reading and setting both go through Win32.
#include "platform/environment.h"

#include <vector>

#include "platform/win32/windows_api.h"

namespace vexo::templates::platform {

bool getEnvironment(const char* name, std::string& value) {
    // A defined but empty variable also reads as length 0; only the error tells them apart.
    SetLastError(ERROR_SUCCESS);
    DWORD needed = GetEnvironmentVariableA(name, nullptr, 0);
    while (true) {
        if (needed == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
            value.clear();
            return true;
        }
        std::vector<char> text(needed);
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableA(name, text.data(), needed);
        if (length < needed) {
            if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return false;
            value.assign(text.data(), length);
            return true;
        }
        needed = length;  // grew in between: the result is the size now needed
    }
}

bool setEnvironment(const char* name, const char* value) {
    return SetEnvironmentVariableA(name, value) != FALSE;
}

bool unsetEnvironment(const char* name) { return SetEnvironmentVariableA(name, nullptr) != FALSE; }

}  // namespace vexo::templates::platform
