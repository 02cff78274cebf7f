// What the tool needs of the operating system: the applet library that the runtime loaded,
// whether a stream is a terminal, binary standard output, a file name of its own in the
// temporary folder.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "orvanta/runtime.h"

namespace orvanta_tool {

// The applet's descriptor query, as the applet exports it.
using InfoFunction = Fg_InfoFunc;

// The file name the runtime loads for an applet: "Orvanta.so" or "Orvanta.dll".
std::string appletLibraryName(const std::string& applet);

// The applet's Info export in the library of that file name, provided the runtime has loaded it
// already (this never loads a library itself); null otherwise.
InfoFunction loadedAppletInfo(const std::string& libraryName);

// The runtime's library file name: "librtcore5.so" or "rtcore5.dll".
std::string runtimeLibraryName();

// An export of the library of that file name, provided the process has loaded it already; null
// otherwise (also when that library has no such export).
void* loadedSymbol(const std::string& libraryName, const char* symbol);

bool isTerminal(std::FILE* stream);

// Keeps the line ends of texts written to the stream as they are (Windows would add carriage returns).
void setBinary(std::FILE* stream);

// A path in the temporary folder that no other process uses, ending in `suffix`.
std::string temporaryPath(const std::string& suffix);

}  // namespace orvanta_tool
