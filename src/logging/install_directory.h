// Where the frame-grabber software is installed: the folder above the one that holds this
// library (bin, dll, lib, ...), or what the installation's environment variables name. The
// logging dispatcher is looked for below it.
#pragma once

#include <cstddef>
#include <string_view>

namespace vexo::tools::logging {

inline constexpr size_t kInstallDirectoryCapacity = 1024;

// The search on a given module file name, walked by `separator`: the first folder from the end
// whose name is one of the installation's folder names gives the text before it; without such
// a folder (or with an empty name, or a directory longer than 1023 characters) VEXODIR5_64,
// else VEXODIR5, at most 1023 characters and without trailing separators. True with the directory, terminated, in `buffer`
// (kInstallDirectoryCapacity characters); false when nothing names a directory.
bool searchInstallDirectory(std::string_view moduleFileName, char separator, char* buffer);

// The search for the module that holds this code, run until it first succeeds and then kept
// for the process. Null when no directory is known (yet).
const char* installDirectory();

}  // namespace vexo::tools::logging
