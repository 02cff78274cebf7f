// Finding the installation directory: from this library's own file name, else from the
// installation's environment variables. Once found, it is kept for the life of the process.
#include "logging/install_directory.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "platform/environment.h"
#include "platform/locks.h"
#include "platform/module_path.h"

namespace vexo::tools::logging {

namespace platform = templates::platform;

namespace {

// The folders the installation puts libraries in; the folder above one of them is the
// installation directory.
constexpr std::array<std::string_view, 5> kLibraryFolderNames = {"bin", "dll", "Hardware Applets", "lib", "lib64"};

// VEXODIR5_64 first: a 64-bit library belongs to the 64-bit installation.
constexpr std::array<const char*, 2> kInstallDirectoryVariables = {"VEXODIR5_64", "VEXODIR5"};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool isLibraryFolder(std::string_view name) {
    return std::any_of(kLibraryFolderNames.begin(), kLibraryFolderNames.end(),
                       [name](std::string_view known) { return sameIgnoringCase(name, known); });
}

// Moves `end` back over a run of separators ending just before it.
size_t skipSeparatorsBackwards(std::string_view path, size_t end, char separator) {
    while (end > 0 && path[end - 1] == separator) --end;
    return end;
}

// The length of the installation directory at the front of `path`, walking its folders from
// the one that holds the file towards the start.
std::optional<size_t> installDirectoryLength(std::string_view path, char separator) {
    const size_t fileNameSeparator = path.find_last_of(separator);
    if (fileNameSeparator == std::string_view::npos) return std::nullopt;
    size_t folderEnd = skipSeparatorsBackwards(path, fileNameSeparator, separator);
    while (folderEnd > 0) {
        const size_t previous = path.find_last_of(separator, folderEnd - 1);
        const size_t folderStart = previous == std::string_view::npos ? 0 : previous + 1;
        if (isLibraryFolder(path.substr(folderStart, folderEnd - folderStart))) {
            return skipSeparatorsBackwards(path, folderStart, separator);
        }
        if (folderStart == 0) break;
        folderEnd = skipSeparatorsBackwards(path, folderStart, separator);
    }
    return std::nullopt;
}

// An empty value names no folder: the Windows call that reads the variable reports it with the
// same result as a missing one.
bool installDirectoryFromEnvironment(char separator, char* buffer) {
    for (const char* variable : kInstallDirectoryVariables) {
        std::string value;
        if (!platform::getEnvironment(variable, value) || value.empty()) continue;
        size_t length = std::min(value.size(), kInstallDirectoryCapacity - 1);
        length = skipSeparatorsBackwards(std::string_view(value).substr(0, length), length, separator);
        std::memcpy(buffer, value.data(), length);
        buffer[length] = '\0';
        return true;
    }
    return false;
}

// Written only under the lock and only until the directory is found.
char installDirectoryBuffer[kInstallDirectoryCapacity];
bool installDirectoryFound = false;
volatile uint32_t installDirectoryLock = 0;

}  // namespace

bool searchInstallDirectory(std::string_view moduleFileName, char separator, char* buffer) {
    const std::optional<size_t> length = installDirectoryLength(moduleFileName, separator);
    if (length && *length < kInstallDirectoryCapacity) {
        std::memcpy(buffer, moduleFileName.data(), *length);
        buffer[*length] = '\0';
        return true;
    }
    return installDirectoryFromEnvironment(separator, buffer);
}

const char* installDirectory() {
    platform::SpinLockVariableGuard guard(&installDirectoryLock, nullptr);
    if (installDirectoryFound) return installDirectoryBuffer;
    char moduleFileName[kInstallDirectoryCapacity];
    // Any address inside this library names the library; a cut name is no use.
    const size_t length = platform::moduleFileNameOf(installDirectoryBuffer, moduleFileName, sizeof moduleFileName);
    const std::string_view name(moduleFileName, length < sizeof moduleFileName ? length : 0);
    installDirectoryFound = searchInstallDirectory(name, platform::pathSeparator(), installDirectoryBuffer);
    return installDirectoryFound ? installDirectoryBuffer : nullptr;
}

}  // namespace vexo::tools::logging
