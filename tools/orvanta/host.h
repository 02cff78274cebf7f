// What the tool needs of the operating system: the applet library that the runtime loaded, the
// runtime library's own folder and symbols, why a library does not load, whether a stream is a
// terminal, binary standard output, a file name of its own in the temporary folder, Ctrl-C.
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

// The folder of the runtime library the tool runs on (the one holding Fg_Init).
std::string runtimeFolder();

// An export of that runtime library other than the application interface (the simulated
// board's SimCtl_ control); null when the runtime has none of that name.
void* runtimeSymbol(const char* name);

// Loads a library file as the runtime would and unloads it again: empty when it loads, else the
// system loader's reason.
std::string libraryLoadError(const std::string& path);

bool isTerminal(std::FILE* stream);

// Keeps the line ends of texts written to the stream as they are (Windows would add carriage returns).
void setBinary(std::FILE* stream);

// A path in the temporary folder that no other process uses, ending in `suffix`.
std::string temporaryPath(const std::string& suffix);

// While one exists, Ctrl-C (SIGINT, or the console's Ctrl-C and Ctrl-Break on Windows) does not end
// the process but is noted, for a loop to end in good order; the usual handling comes back after.
class InterruptCatcher {
public:
    InterruptCatcher();
    ~InterruptCatcher();
    InterruptCatcher(const InterruptCatcher&) = delete;
    InterruptCatcher& operator=(const InterruptCatcher&) = delete;

    // Whether Ctrl-C came since this catcher was made.
    static bool interrupted();
};

}  // namespace orvanta_tool
