// The HAP runtime stand-in: opens simulated HAP images (from memory or from a file) and answers
// the register and event queries of the Orvanta design, and the stand-in runtime's question for
// the NX parameters that the opened image lists. Windows exports the Hap_ functions by
// ordinal only (hapcore.def); the SimHap_ control functions by name.
#if !defined(_WIN32)
#pragma GCC visibility push(default)
#endif
#include "orvanta/closed_libraries.h"
#if !defined(_WIN32)
#pragma GCC visibility pop
#endif

#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "hap_design.h"
#include "hap_image_format.h"
#include "platform/module_path.h"
#include "sim_hap_design.h"
#include "vexo_sim.h"

namespace {

namespace hap = sim::hap;

// The NX parameters of one image, with the view the runtime is handed.
struct NxList {
    explicit NxList(std::vector<hap::NxParameterRow> parameters) : rows(std::move(parameters)) {
        for (const hap::NxParameterRow& row : rows) {
            view.push_back(SimHapNxParameter{row.name.c_str(), row.typeCode, row.writable ? 1 : 0});
        }
    }
    std::vector<hap::NxParameterRow> rows;
    std::vector<SimHapNxParameter> view;
};

struct HapHandle {
    bool fromFile;
    const NxList* design;
};

struct EventList {
    std::deque<std::string> names;
    std::vector<HapEventDescriptor> descriptors;
};

std::unique_ptr<EventList> designEventList();

struct HapState {
    HapState() {
        lists.push_back(designEventList());
        designEvents = events = lists.back().get();
    }

    std::mutex mutex;
    std::set<const void*> live;
    std::vector<SimHapOpen> opens;
    bool failOpen = false;
    // Every list ever made stays allocated: the applet keeps the names it was handed.
    std::vector<std::unique_ptr<EventList>> lists;
    const EventList* designEvents = nullptr;
    const EventList* events = nullptr;
    // The last image found intact, byte for byte. An applet opens its one built-in image at
    // every board open, and summing its megabytes each time would dominate a run of many opens;
    // comparing is much cheaper, and a changed byte still means a new check.
    std::vector<unsigned char> lastIntactImage;
    const NxList* lastIntactDesign = nullptr;
    // Every list ever read, each once: the runtime keeps the names it was handed.
    std::vector<std::unique_ptr<NxList>> designs;
};

std::unique_ptr<EventList> makeEventList(const char* const* names, const uint32_t* classes, int32_t count) {
    auto list = std::make_unique<EventList>();
    for (int32_t i = 0; i < count; ++i) list->names.emplace_back(names[i] != nullptr ? names[i] : "");
    for (int32_t i = 0; i < count; ++i) {
        const uint32_t eventClass = classes != nullptr ? classes[i] : 1;
        list->descriptors.push_back(HapEventDescriptor{0x1000U + 7U * static_cast<uint64_t>(i), list->names[i].c_str(), eventClass});
    }
    return list;
}

std::unique_ptr<EventList> designEventList() {
    std::vector<const char*> names;
    std::vector<uint32_t> classes;
    for (int32_t i = 0; i < hap::defaultEventCount(); ++i) {
        names.push_back(hap::defaultEvents()[i].name);
        classes.push_back(hap::defaultEvents()[i].eventClass);
    }
    return makeEventList(names.data(), classes.data(), static_cast<int32_t>(names.size()));
}

HapState& hapState() {
    static HapState instance;
    return instance;
}

bool isLive(HapState& s, const void* hap) { return hap != nullptr && s.live.count(hap) != 0; }

void* newHandle(HapState& s, bool fromFile, const NxList* design) {
    auto* handle = new HapHandle{fromFile, design};
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
    char self[1024];
    const std::size_t length = vexo::templates::platform::moduleFileNameOf(reinterpret_cast<const void*>(&Hap_OpenFile), self, sizeof self);
    if (length == 0 || length >= sizeof self) return {};
    std::string folder(self, length);
    const std::size_t cut = folder.find_last_of(vexo::templates::platform::pathSeparator());
    if (cut == std::string::npos) return {};
    return readFile(folder.substr(0, cut + 1) + fileName);
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
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    SimHapOpen& open = recordOpen(s, false, flag);
    open.image = image;
    open.size = size;
    if (s.failOpen) return nullptr;
    const NxList* design = intactDesign(s, image, size);
    return design != nullptr ? newHandle(s, false, design) : nullptr;
}

void* Hap_OpenFile(const char* fileName, int32_t boardType, int32_t flag) {
    HapState& s = hapState();
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
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.live.erase(hap) != 0) delete static_cast<HapHandle*>(hap);
}

int32_t Hap_GetRegisterCount(void* hap) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return isLive(s, hap) ? hap::registerCount() : -1;
}

const char* Hap_GetRegisterName(void* hap, int32_t position) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!isLive(s, hap) || position < 1 || position > hap::registerCount()) return nullptr;
    return hap::registers()[position - 1].name;
}

int64_t Hap_GetRegisterId(void* hap, const char* registerName) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!isLive(s, hap) || registerName == nullptr) return -1;
    for (int32_t i = 0; i < hap::registerCount(); ++i) {
        if (std::strcmp(hap::registers()[i].name, registerName) == 0) return hap::registers()[i].address;
    }
    return -1;
}

int32_t Hap_GetRegisterWidth(void* hap, uint32_t registerIdOrAddress) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    const hap::Register* r = isLive(s, hap) ? hap::registerAt(registerIdOrAddress) : nullptr;
    return r != nullptr ? r->width : -1;
}

int32_t Hap_IsRegisterWritable(void* hap, uint32_t registerId) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    const hap::Register* r = isLive(s, hap) ? hap::registerAt(registerId) : nullptr;
    return r != nullptr && r->writable ? 1 : 0;
}

const HapEventDescriptor* Hap_GetEvent(void* hap, int32_t position) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (!isLive(s, hap) || position < 0 || position >= static_cast<int32_t>(s.events->descriptors.size())) return nullptr;
    return &s.events->descriptors[position];
}

int32_t SimHap_NxParameters(void* hap, const SimHapNxParameter** parameters) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (parameters == nullptr || !isLive(s, hap)) return -1;
    const NxList* design = static_cast<HapHandle*>(hap)->design;
    *parameters = design->view.data();
    return static_cast<int32_t>(design->view.size());
}

void SimHap_Reset(void) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.opens.clear();
    s.failOpen = false;
    s.events = s.designEvents;
}

void SimHap_FailOpen(int32_t fail) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.failOpen = fail != 0;
}

int32_t SimHap_OpenCount(void) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return static_cast<int32_t>(s.opens.size());
}

int32_t SimHap_GetOpen(int32_t index, SimHapOpen* open) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (open == nullptr || index < 0 || index >= static_cast<int32_t>(s.opens.size())) return -1;
    *open = s.opens[index];
    return 0;
}

int32_t SimHap_LiveHandles(void) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return static_cast<int32_t>(s.live.size());
}

void SimHap_SetEvents(const char* const* names, const uint32_t* classes, int32_t count) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (count <= 0 || names == nullptr) {
        s.events = s.designEvents;
        return;
    }
    s.lists.push_back(makeEventList(names, classes, count));
    s.events = s.lists.back().get();
}

}  // extern "C"
