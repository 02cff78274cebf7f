// The file name of the module that contains an address, found with dladdr.
#include "platform/module_path.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace vexo::templates::platform {

namespace {

// The way GetModuleFileNameA fills a buffer: cut and terminated when the name does not fit.
size_t copyName(const char* name, size_t length, char* buffer, size_t size) {
    if (length == 0) return 0;
    const size_t copied = std::min(length, size - 1);
    std::memcpy(buffer, name, copied);
    buffer[copied] = '\0';
    return length < size ? length : size;
}

}  // namespace

size_t moduleFileNameOf(const void* address, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    Dl_info info{};
    link_map* module = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void**>(&module), RTLD_DL_LINKMAP) == 0 ||
        info.dli_fname == nullptr) {
        return 0;
    }
    // For the executable itself dladdr only knows argv[0], which may be relative or bare.
    if (module != nullptr && module->l_name != nullptr && module->l_name[0] == '\0') {
        char executable[4096];
        const ssize_t length = readlink("/proc/self/exe", executable, sizeof(executable));
        if (length > 0 && static_cast<size_t>(length) < sizeof(executable)) {
            return copyName(executable, static_cast<size_t>(length), buffer, size);
        }
    }
    return copyName(info.dli_fname, std::strlen(info.dli_fname), buffer, size);
}

char pathSeparator() { return '/'; }

}  // namespace vexo::templates::platform
