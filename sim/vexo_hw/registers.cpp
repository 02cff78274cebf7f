// The hardware library's register functions: a write is kept in the register file of its
// hardware handle, a read answers what was written last (0 for a register never written).
// Windows exports them by ordinal only (vexo_hw.def).
#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "orvanta/closed_libraries.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include <new>

#include "register_files.h"

namespace {

// The answer to a register read without a place for the value.
constexpr int32_t kInvalidArgument = -1;
// The answer when the register file has no room for a register's first write: a library with a C
// interface throws nothing.
constexpr int32_t kOutOfMemory = -2;

}  // namespace

namespace sim::hw {

RegisterFiles& registerFiles() {
    static RegisterFiles files;
    return files;
}

}  // namespace sim::hw

extern "C" {

int32_t Hw_WriteRegister(uint64_t hardware, uint32_t address, uint64_t value) {
    if (const int32_t failure = sim::hw::countAccess(address, true)) return failure;
    sim::hw::RegisterFiles& files = sim::hw::registerFiles();
    std::lock_guard<std::mutex> lock(files.mutex);
    try {
        files.byHardware[hardware][address] = value;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return 0;
}

int32_t Hw_ReadRegister(uint64_t hardware, uint32_t address, uint64_t* value) {
    if (const int32_t failure = sim::hw::countAccess(address, false)) return failure;
    if (value == nullptr) return kInvalidArgument;
    sim::hw::RegisterFiles& files = sim::hw::registerFiles();
    std::lock_guard<std::mutex> lock(files.mutex);
    *value = 0;
    const auto file = files.byHardware.find(hardware);
    if (file == files.byHardware.end()) return 0;
    const auto found = file->second.find(address);
    if (found != file->second.end()) *value = found->second;
    return 0;
}

}  // extern "C"
