// The stand-ins' platform shim on POSIX systems: dladdr, getenv, dlopen, stat, and the loaded
// libraries' segments.
#include <dlfcn.h>
#include <link.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <fstream>

#include "sim_platform.h"

namespace sim::platform {

std::string moduleFolderOf(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return {};
    const std::string file = info.dli_fname;
    const std::size_t cut = file.find_last_of('/');
    return cut == std::string::npos ? std::string() : file.substr(0, cut + 1);
}

bool environment(const char* name, std::string& value) {
    const char* text = getenv(name);
    if (text == nullptr) return false;
    value = text;
    return true;
}

// RTLD_NOW: a library with an unresolvable symbol fails here, as it would on Windows.
void* loadLibrary(const char* fileName) { return fileName != nullptr ? dlopen(fileName, RTLD_NOW) : nullptr; }

// dlsym would take a null module as "search every loaded library".
void* findSymbol(void* module, const char* name) { return module != nullptr ? dlsym(module, name) : nullptr; }

namespace {

// Coarse file system clocks step by up to two seconds.
constexpr time_t kSettledAfterSeconds = 3;

// Looks for the loaded segment holding the first byte of [begin, end): read-only when there is
// one, it holds the whole range and it is not writable.
struct SegmentSearch {
    uintptr_t begin;
    uintptr_t end;
    bool readOnly = false;
};

int visitLoadedObject(dl_phdr_info* object, size_t, void* data) {
    auto* search = static_cast<SegmentSearch*>(data);
    for (ElfW(Half) i = 0; i < object->dlpi_phnum; ++i) {
        const ElfW(Phdr)& segment = object->dlpi_phdr[i];
        if (segment.p_type != PT_LOAD) continue;
        const uintptr_t start = object->dlpi_addr + segment.p_vaddr;
        const uintptr_t stop = start + segment.p_memsz;
        if (search->begin < start || search->begin >= stop) continue;
        search->readOnly = search->end <= stop && (segment.p_flags & PF_W) == 0;
        return 1;
    }
    return 0;
}

}  // namespace

bool fileIdentity(const char* path, FileIdentity& identity) {
    struct stat status {};
    if (path == nullptr || stat(path, &status) != 0 || !S_ISREG(status.st_mode)) return false;
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    identity.size = static_cast<uint64_t>(status.st_size);
    identity.writeTime = static_cast<int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
    identity.fileNumber = static_cast<uint64_t>(status.st_ino);
    identity.settled = now.tv_sec - status.st_mtim.tv_sec > kSettledAfterSeconds;
    return true;
}

// The segment flags are the library's own; RELRO data lie in writable segments and so count
// as writable, which only costs a check.
bool readOnlyLibraryFile(const void* address, uint64_t size, std::string& file, FileIdentity& identity) {
    const auto begin = reinterpret_cast<uintptr_t>(address);
    if (address == nullptr || size == 0 || size > UINTPTR_MAX - begin) return false;
    SegmentSearch search{begin, begin + static_cast<uintptr_t>(size)};
    dl_iterate_phdr(visitLoadedObject, &search);
    Dl_info info{};
    if (!search.readOnly || dladdr(address, &info) == 0 || info.dli_fname == nullptr) return false;
    file.assign(info.dli_fname);
    return fileIdentity(file.c_str(), identity);
}

std::string libraryFileName(const std::string& name, bool plugIn) { return (plugIn ? "" : "lib") + name + ".so"; }

uint64_t residentBytes() {
    // statm: total and resident size, in pages.
    std::ifstream statm("/proc/self/statm");
    uint64_t total = 0;
    uint64_t resident = 0;
    if (!(statm >> total >> resident)) return 0;
    return resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace sim::platform
