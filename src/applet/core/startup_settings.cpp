// Switch values and module-path splitting for start-up.
#include "applet/core/startup_settings.h"

#include <cctype>

#include "platform/environment.h"

namespace vexo::applet {

bool isSwitchOnValue(const std::string& value) {
    std::string lower;
    lower.reserve(value.size());
    for (const char c : value) {
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    static const char* const kOnValues[] = {"yes", "true", "on", "1"};
    for (const char* on : kOnValues) {
        if (lower == on) return true;
    }
    return false;
}

bool readSwitch(const char* variableName) {
    std::string value;
    return templates::platform::getEnvironment(variableName, value) && isSwitchOnValue(value);
}

bool splitModulePath(const std::string& fullName, std::string& directory, std::string& baseName) {
    const size_t separator = fullName.find_last_of("\\/");
    if (separator == std::string::npos) return false;
    directory = fullName.substr(0, separator);
    baseName = fullName.substr(separator + 1);
    const size_t dot = baseName.find_last_of('.');
    if (dot != std::string::npos) baseName.erase(dot);
    return !directory.empty() && !baseName.empty();
}

}  // namespace vexo::applet
