// The little the stand-ins need of the operating system: the folder a library was loaded from,
// an environment variable, and libraries loaded by name at run time. A POSIX and a Win32
// implementation; nothing else in sim/ includes a system header of either platform.
#pragma once

#include <string>

namespace sim::platform {

// The folder of the loaded module (library or executable) that contains `address`, with its
// trailing separator; empty when it cannot be found.
std::string moduleFolderOf(const void* address);

// True when the variable is defined (also with an empty value), with its value in `value`. On
// Windows this is the process environment block, where the applet's own platform layer and the
// tests set variables.
bool environment(const char* name, std::string& value);

// Loads a library by file name (the system's search order applies to a plain name); null on
// failure. Libraries loaded here stay loaded.
void* loadLibrary(const char* fileName);
// The address of an exported symbol, or null (also for a null module).
void* findSymbol(void* module, const char* name);

// The file name of a library named without prefix and suffix: "rtcore5" becomes "rtcore5.dll"
// on Windows and "librtcore5.so" elsewhere; a plug-in ("Orvanta") takes no "lib" prefix.
std::string libraryFileName(const std::string& name, bool plugIn = false);

}  // namespace sim::platform
