// How a library known by its Windows file name is named on Linux.
#include "platform/dynamic_library.h"

#include <cctype>
#include <cstring>

namespace vexo::templates::platform {

namespace {

constexpr const char windowsSuffix[] = ".dll";
constexpr const char linuxPrefix[] = "lib";
constexpr const char linuxSuffix[] = ".so";

bool endsWithIgnoringCase(const std::string& text, const char* suffix) {
    const size_t length = std::strlen(suffix);
    if (text.size() < length) return false;
    const size_t start = text.size() - length;
    for (size_t i = 0; i < length; ++i) {
        const auto a = static_cast<unsigned char>(text[start + i]);
        const auto b = static_cast<unsigned char>(suffix[i]);
        if (std::tolower(a) != std::tolower(b)) return false;
    }
    return true;
}

}  // namespace

std::string linuxLibraryFileName(const std::string& windowsFileName) {
    const size_t lastSeparator = windowsFileName.find_last_of("/\\");
    const size_t nameStart = lastSeparator == std::string::npos ? 0 : lastSeparator + 1;
    const std::string fileName = windowsFileName.substr(nameStart);
    const size_t suffixLength = sizeof(windowsSuffix) - 1;
    if (fileName.size() <= suffixLength || !endsWithIgnoringCase(fileName, windowsSuffix)) {
        return windowsFileName;
    }
    return windowsFileName.substr(0, nameStart) + linuxPrefix +
           fileName.substr(0, fileName.size() - suffixLength) + linuxSuffix;
}

}  // namespace vexo::templates::platform
