// Loading shared libraries and finding their symbols at run time.
#pragma once

#include <cstdint>
#include <string>

namespace vexo::templates::platform {

using ModuleHandle = void*;

// The file name under which a library named by its Windows file name is found on this
// platform: "rtcore5.dll" stays as it is on Windows and becomes "librtcore5.so" on Linux.
std::string nativeLibraryFileName(const std::string& windowsFileName);

// The Linux rule, on every platform: "X.dll" (suffix in any case) becomes "libX.so". A
// directory part, with either separator, is kept as given ("/opt/x/bin/a.dll" ->
// "/opt/x/bin/liba.so"); a name that does not end in ".dll" is returned unchanged.
std::string linuxLibraryFileName(const std::string& windowsFileName);

// Loads a library by the given file name (the system's search order applies to a plain name).
// Null on failure; lastLoadError() then describes why.
ModuleHandle loadLibrary(const char* fileName);
// The address of an exported function or data symbol, or null.
void* findSymbol(ModuleHandle module, const char* name);
void unloadLibrary(ModuleHandle module);

struct LoadError {
    uint32_t code;     // GetLastError() on Windows; 0 on Linux, where only the text is known
    std::string text;  // FormatMessageA text on Windows, dlerror() on Linux
};
// What the last failed loadLibrary of this thread reported.
LoadError lastLoadError();

}  // namespace vexo::templates::platform
