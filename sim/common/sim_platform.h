// The little the stand-ins (and their tests) need of the operating system: the folder a library
// was loaded from, an environment variable, libraries loaded by name at run time, what tells a
// file's contents apart without reading them, and the process's resident memory. A POSIX and a Win32 implementation; nothing else in sim/
// includes a system header of either platform.
#pragma once

#include <cstdint>
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

// What tells a file's contents apart without reading them: equal identities of one path mean
// equal contents, provided the last write is `settled`, that is lies further back than the
// step of the file system's clock (a rewrite within one step may keep the time).
struct FileIdentity {
    uint64_t size = 0;
    int64_t writeTime = 0;  // in the platform's own unit
    uint64_t fileNumber = 0;  // the file system's number for the file, 0 where there is none
    bool settled = false;

    bool operator==(const FileIdentity& other) const {
        return size == other.size && writeTime == other.writeTime && fileNumber == other.fileNumber;
    }
};

// The identity of a regular file; false when there is no such file.
bool fileIdentity(const char* path, FileIdentity& identity);

// The file of the loaded library whose read-only data hold all `size` bytes at `address`, with
// its identity. Such bytes change only with the library file. False for bytes anywhere else (the
// heap, the stack, writable data) or a library file that cannot be examined. `file` is assigned,
// not made anew: a caller that keeps it allocates nothing once it is long enough.
bool readOnlyLibraryFile(const void* address, uint64_t size, std::string& file, FileIdentity& identity);

// The bytes of the process's memory now resident; 0 where it cannot be told.
uint64_t residentBytes();

// The file name of a library named without prefix and suffix: "rtcore5" becomes "rtcore5.dll"
// on Windows and "librtcore5.so" elsewhere; a plug-in ("Orvanta") takes no "lib" prefix.
std::string libraryFileName(const std::string& name, bool plugIn = false);

}  // namespace sim::platform
