// The HAP runtime stand-in: opens simulated HAP images (from memory or from a file), answers the
// register and event queries of the Orvanta design, and loads the NX parameters an opened image
// lists onto a board when the runtime opens an inner handle there. Windows exports the Hap_
// functions by ordinal only (hapcore.def).
#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "orvanta/closed_libraries.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include <cstdio>
#include <cstring>
#include <fstream>

#include "board/board.h"
#include "sim_platform.h"
#include "hap_design.h"
#include "hap_loading.h"
#include "hap_state.h"

namespace sim::hap {

NxList::NxList(std::vector<NxParameterRow> parameters) : rows(std::move(parameters)) {
    for (const NxParameterRow& row : rows) {
        view.push_back(SimHapNxParameter{row.name.c_str(), row.typeCode, row.writable ? 1 : 0});
    }
}

std::unique_ptr<EventList> makeEventList(const char* const* names, const uint32_t* classes, int32_t count) {
    auto list = std::make_unique<EventList>();
    for (int32_t i = 0; i < count; ++i) list->names.emplace_back(names[i] != nullptr ? names[i] : "");
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t eventClass = classes != nullptr ? classes[i] : 1;
        list->descriptors.push_back(HapEventDescriptor{0x1000U + 7U * static_cast<uint64_t>(i), list->names[i].c_str(), eventClass});
    }
    return list;
}

HapState::HapState() {
    std::vector<const char*> names;
    std::vector<uint32_t> classes;
    for (int32_t i = 0; i < defaultEventCount(); ++i) {
        names.push_back(defaultEvents()[i].name);
        classes.push_back(defaultEvents()[i].eventClass);
    }
    lists.push_back(makeEventList(names.data(), classes.data(), static_cast<int32_t>(names.size())));
    designEvents = events = lists.back().get();
}

HapState& hapState() {
    static HapState instance;
    return instance;
}

}  // namespace sim::hap

namespace {

namespace hap = sim::hap;
using hap::HapState;
using hap::NxList;

void* newHandle(HapState& s, bool fromFile, const NxList* design) {
    auto* handle = new hap::HapHandle{fromFile, design};
    s.live.insert(handle);
    s.opens.back().handle = handle;
    return handle;
}

const NxList* keepDesign(HapState& s, std::vector<hap::NxParameterRow> rows) {
    for (const auto& design : s.designs) {
        if (design->rows == rows) return design.get();
    }
    s.designs.push_back(std::make_unique<NxList>(std::move(rows)));
    return s.designs.back().get();
}

// The NX parameters of an intact image, or null when the image is not intact.
const NxList* intactDesign(HapState& s, const void* image, uint64_t size) {
    const auto* bytes = static_cast<const unsigned char*>(image);
    if (bytes != nullptr && size == s.lastIntactImage.size() && size != 0 &&
        std::memcmp(bytes, s.lastIntactImage.data(), s.lastIntactImage.size()) == 0) {
        return s.lastIntactDesign;
    }
    hap::ImageInfo info;
    if (!hap::validateImage(image, size, &info)) return nullptr;
    s.lastIntactImage.assign(bytes, bytes + size);
    s.lastIntactDesign = keepDesign(s, std::move(info.nxParameters));
    return s.lastIntactDesign;
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<unsigned char> content(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(content.data()), static_cast<std::streamsize>(content.size()))) return {};
    return content;
}

// The HAP file by its name from the current directory, else from the folder of this library.
std::vector<unsigned char> readHapFile(const char* fileName) {
    std::vector<unsigned char> content = readFile(fileName);
    if (!content.empty()) return content;
    const std::string folder = sim::platform::moduleFolderOf(reinterpret_cast<const void*>(&Hap_OpenFile));
    return folder.empty() ? std::vector<unsigned char>{} : readFile(folder + fileName);
}

SimHapOpen& recordOpen(HapState& s, bool fromFile, int32_t flag) {
    s.opens.emplace_back();
    SimHapOpen& open = s.opens.back();
    std::memset(&open, 0, sizeof open);
    open.fromFile = fromFile ? 1 : 0;
    open.flag = flag;
    return open;
}

}  // namespace

extern "C" {

void* Hap_OpenImage(const void* image, uint64_t size, int32_t flag) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    SimHapOpen& open = recordOpen(s, false, flag);
    open.image = image;
    open.size = size;
    if (s.failOpen) return nullptr;
    const NxList* design = intactDesign(s, image, size);
    return design != nullptr ? newHandle(s, false, design) : nullptr;
}

void* Hap_OpenFile(const char* fileName, int32_t boardType, int32_t flag) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    SimHapOpen& open = recordOpen(s, true, flag);
    open.boardType = boardType;
    if (fileName != nullptr) std::snprintf(open.fileName, sizeof open.fileName, "%s", fileName);
    if (s.failOpen || fileName == nullptr) return nullptr;
    const std::vector<unsigned char> content = readHapFile(fileName);
    hap::ImageInfo info;
    if (!hap::validateImage(content.data(), content.size(), &info)) return nullptr;
    if (boardType < 0 || static_cast<uint32_t>(boardType) != info.boardType) return nullptr;
    return newHandle(s, true, keepDesign(s, std::move(info.nxParameters)));
}

void Hap_Release(void* hap) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.live.erase(hap) != 0) delete static_cast<hap::HapHandle*>(hap);
}

int32_t Hap_GetRegisterCount(void* hap) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.isLive(hap) ? hap::registerCount() : -1;
}

const char* Hap_GetRegisterName(void* hap, int32_t position) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.isLive(hap) || position < 1 || position > hap::registerCount()) return nullptr;
    return hap::registers()[position - 1].name;
}

int64_t Hap_GetRegisterId(void* hap, const char* registerName) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.isLive(hap) || registerName == nullptr) return -1;
    for (int32_t i = 0; i < hap::registerCount(); ++i) {
        if (std::strcmp(hap::registers()[i].name, registerName) == 0) return hap::registers()[i].address;
    }
    return -1;
}

int32_t Hap_GetRegisterWidth(void* hap, uint32_t registerIdOrAddress) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    const hap::Register* r = s.isLive(hap) ? hap::registerAt(registerIdOrAddress) : nullptr;
    return r != nullptr ? r->width : -1;
}

int32_t Hap_IsRegisterWritable(void* hap, uint32_t registerId) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    const hap::Register* r = s.isLive(hap) ? hap::registerAt(registerId) : nullptr;
    return r != nullptr && r->writable ? 1 : 0;
}

const HapEventDescriptor* Hap_GetEvent(void* hap, int32_t position) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.isLive(hap) || position < 0 || position >= static_cast<int32_t>(s.events->descriptors.size())) return nullptr;
    return &s.events->descriptors[position];
}

int32_t SimHap_EventPosition(void* hap, const char* name) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!s.isLive(hap) || name == nullptr) return -1;
    const std::vector<HapEventDescriptor>& descriptors = s.events->descriptors;
    for (size_t i = 0; i < descriptors.size(); ++i) {
        if (std::strcmp(descriptors[i].name, name) == 0) return static_cast<int32_t>(i);
    }
    return -1;
}

int32_t SimHap_LoadDesign(void* hap, uint64_t hardware) {
    std::vector<sim::DesignRow> rows;
    {
        HapState& s = hap::hapState();
        std::lock_guard<std::mutex> lock(s.mutex);
        if (!s.isLive(hap)) return -1;
        for (const hap::NxParameterRow& row : static_cast<hap::HapHandle*>(hap)->design->rows) {
            rows.push_back(sim::DesignRow{row.name, row.typeCode, row.writable});
        }
    }
    // Not under this library's lock: the board's is the innermost of all.
    SimBoard_Of(hardware)->loadDesign(rows);
    return 0;
}

}  // extern "C"
