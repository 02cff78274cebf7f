// A runtime that does nothing but keep numbers: the floor under the applet in the parameter
// benchmarks. Built as the runtime library (librtcore5.so) into a folder of its own, where the
// applet loads it by its plain file name as it loads any runtime. An NX id is handed out for each
// name asked for; a write stores the number, a read returns the one stored (texts read empty).
// No lock and no record: whatever a row measures beyond this is the applet's own.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#define DO_NOTHING_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int32_t kFirstId = 50000;
constexpr size_t kMaxIds = 1024;
constexpr int32_t kTypeU32 = 2;
constexpr int32_t kTypeText = 6;
constexpr int32_t kTypeAllocatedText = 22;

// Filled while the applet starts (the names); the hot calls touch only `numbers`.
std::vector<std::string> names;
uint64_t numbers[kMaxIds];
char emptyText[1] = {0};
int handleObject;

uint64_t* slotOf(int32_t id) {
    const auto offset = static_cast<uint32_t>(id - kFirstId);
    return offset < kMaxIds ? &numbers[offset] : nullptr;
}

}  // namespace

DO_NOTHING_EXPORT void* Fg_InitHandleSlaveAware(const char*, uint64_t, void*, uint32_t) { return &handleObject; }
DO_NOTHING_EXPORT void* Fg_InitHandle(const char*, uint64_t, void*) { return &handleObject; }
DO_NOTHING_EXPORT int32_t Fg_FreeGrabber(void*) { return 0; }
DO_NOTHING_EXPORT int32_t Fg_getLastErrorNumber(void*) { return 0; }

DO_NOTHING_EXPORT int32_t Fg_getParameterIdByName(void*, const char* name) {
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return kFirstId + static_cast<int32_t>(i);
    }
    if (names.size() == kMaxIds) return 0;
    names.emplace_back(name);
    return kFirstId + static_cast<int32_t>(names.size() - 1);
}

DO_NOTHING_EXPORT int32_t Fg_setParameterWithType(void*, int32_t id, const void* value, uint32_t, int32_t type) {
    uint64_t* slot = slotOf(id);
    if (slot == nullptr || value == nullptr) return -2070;
    if (type == kTypeText || type == kTypeAllocatedText) return 0;
    *slot = 0;
    std::memcpy(slot, value, type == kTypeU32 ? 4 : 8);
    return 0;
}

DO_NOTHING_EXPORT int32_t Fg_getParameterWithType(void*, int32_t id, void* value, uint32_t, int32_t type) {
    const uint64_t* slot = slotOf(id);
    if (slot == nullptr || value == nullptr) return -2070;
    if (type == kTypeText) {
        static_cast<char*>(value)[0] = '\0';
    } else if (type == kTypeAllocatedText) {
        char* text = emptyText;
        std::memcpy(value, &text, sizeof text);
    } else {
        std::memcpy(value, slot, type == kTypeU32 ? 4 : 8);
    }
    return 0;
}

DO_NOTHING_EXPORT int32_t Fg_freeParameterStringWithType(void*, int32_t, void*, uint32_t, int32_t) { return 0; }
DO_NOTHING_EXPORT int32_t Fg_setParameter(void* fg, int32_t id, const void* value, uint32_t dma) {
    return Fg_setParameterWithType(fg, id, value, dma, kTypeU32);
}
DO_NOTHING_EXPORT int32_t Fg_getParameter(void* fg, int32_t id, void* value, uint32_t dma) {
    return Fg_getParameterWithType(fg, id, value, dma, kTypeU32);
}
DO_NOTHING_EXPORT int32_t Fg_saveConfig(void*, const char*) { return 0; }
DO_NOTHING_EXPORT int32_t Fg_loadConfig(void*, const char*) { return 0; }
DO_NOTHING_EXPORT const void* Fg_getParameterInfo(void*, int32_t) { return nullptr; }
DO_NOTHING_EXPORT int32_t Fg_getAppletId(void*, const void*) { return 0; }
DO_NOTHING_EXPORT int64_t Fg_getStatusEx(void*, int32_t, uint64_t, uint32_t, void*) { return 0; }
DO_NOTHING_EXPORT int32_t Fg_AcquireEx(void*, uint32_t, int64_t, int32_t, void*) { return 0; }
DO_NOTHING_EXPORT int32_t Fg_stopAcquireEx(void*, uint32_t, void*, int32_t) { return 0; }
DO_NOTHING_EXPORT int64_t Fg_getLastPicNumberEx(void*, uint32_t, void*) { return 0; }
DO_NOTHING_EXPORT int64_t Fg_getLastPicNumberBlockingEx(void*, int64_t, uint32_t, int32_t, void*) { return 0; }
