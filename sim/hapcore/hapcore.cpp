// The HAP runtime stand-in: opens simulated HAP images (from memory or from a file), answers the
// register and event queries of the Orvanta design, and lists the NX parameters of an opened
// image, which the runtime loads onto a board when it opens an inner handle there. Windows
// exports the Hap_ functions by ordinal only (hapcore.def).
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
#include <memory>
#include <new>

#include "sim_platform.h"
#include "hap_design.h"
#include "hap_state.h"

namespace sim::hap {

NxList::NxList(std::vector<NxParameterRow> parameters) : rows(std::move(parameters)) {
    view.reserve(rows.size());
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
using sim::platform::FileIdentity;

void* newHandle(HapState& s, bool fromFile, const NxList* design) {
    auto handle = std::make_unique<hap::HapHandle>(hap::HapHandle{fromFile, design});
    s.live.insert(handle.get());
    s.opens.back().handle = handle.get();
    return handle.release();
}

const NxList* keepDesign(HapState& s, std::vector<hap::NxParameterRow> rows) {
    for (const auto& design : s.designs) {
        if (design->rows == rows) return design.get();
    }
    s.designs.push_back(std::make_unique<NxList>(std::move(rows)));
    return s.designs.back().get();
}

// The image checked before under this file, still unchanged, or null.
const hap::CheckedImage* checkedBefore(const HapState& s, const std::string& file, const FileIdentity& identity,
                                       const void* image, uint64_t size) {
    for (const hap::CheckedImage& checked : s.checked) {
        if (checked.image == image && checked.size == size && checked.identity == identity && checked.file == file) {
            return &checked;
        }
    }
    return nullptr;
}

// The design of an intact image, remembered by the image's file when `identity` is given.
const NxList* keepChecked(HapState& s, hap::ImageInfo info, const std::string& file, const FileIdentity* identity,
                          const void* image, uint64_t size) {
    const NxList* design = keepDesign(s, std::move(info.nxParameters));
    if (identity != nullptr) {
        s.checked.push_back(hap::CheckedImage{file, *identity, image, size, info.boardType, design});
    }
    return design;
}

// The NX parameters of an intact image, or null when the image is not intact. An image in a
// library's read-only data is the library file's bytes as they were mapped; they change only when
// the library is mapped anew, from a file with another identity, since nothing rewrites a library
// file in place (so, unlike a HAP file, its identity needs no settled write time).
const NxList* intactDesign(HapState& s, const void* image, uint64_t size) {
    FileIdentity identity;
    const bool inLibrary = sim::platform::readOnlyLibraryFile(image, size, s.fileScratch, identity);
    if (inLibrary) {
        if (const hap::CheckedImage* checked = checkedBefore(s, s.fileScratch, identity, image, size)) {
            return checked->design;
        }
    }
    hap::ImageInfo info;
    if (!hap::validateImage(image, size, &info)) return nullptr;
    return keepChecked(s, std::move(info), s.fileScratch, inLibrary ? &identity : nullptr, image, size);
}

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return {};
    std::vector<unsigned char> content(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(content.data()), static_cast<std::streamsize>(content.size()))) return {};
    return content;
}

// The design of the HAP file at `path`, or null for a damaged one or one for another board;
// `found` is false when the file cannot be read or is empty. The file's identity is taken
// before it is read: a write while it is read shows in the next open's identity.
const NxList* fileDesign(HapState& s, const std::string& path, int32_t boardType, bool& found) {
    FileIdentity identity;
    // A file written within the last step of the file system's clock may be written again
    // without a new identity: only a settled one is trusted.
    const bool identified = sim::platform::fileIdentity(path.c_str(), identity) && identity.settled;
    const uint32_t wanted = static_cast<uint32_t>(boardType);
    found = true;
    if (identified) {
        if (const hap::CheckedImage* checked = checkedBefore(s, path, identity, nullptr, identity.size)) {
            return checked->boardType == wanted ? checked->design : nullptr;
        }
    }
    const std::vector<unsigned char> content = readFile(path);
    found = !content.empty();
    hap::ImageInfo info;
    if (!found || !hap::validateImage(content.data(), content.size(), &info)) return nullptr;
    const uint32_t imageBoardType = info.boardType;
    const NxList* design =
        keepChecked(s, std::move(info), path, identified ? &identity : nullptr, nullptr, identity.size);
    return imageBoardType == wanted ? design : nullptr;
}

// The HAP file by its name from the current directory, else from the folder of this library.
const NxList* intactFileDesign(HapState& s, const char* fileName, int32_t boardType) {
    bool found = false;
    const NxList* design = fileDesign(s, fileName, boardType, found);
    if (found) return design;
    const std::string folder = sim::platform::moduleFolderOf(reinterpret_cast<const void*>(&Hap_OpenFile));
    return folder.empty() ? nullptr : fileDesign(s, folder + fileName, boardType, found);
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

// An open that finds no memory answers null, as any other failed open: nothing is thrown across
// the HAP runtime's C interface.
void* Hap_OpenImage(const void* image, uint64_t size, int32_t flag) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    try {
        SimHapOpen& open = recordOpen(s, false, flag);
        open.image = image;
        open.size = size;
        if (s.plan.next() != 0 || s.failOpen) return nullptr;
        const NxList* design = intactDesign(s, image, size);
        return design != nullptr ? newHandle(s, false, design) : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* Hap_OpenFile(const char* fileName, int32_t boardType, int32_t flag) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    try {
        SimHapOpen& open = recordOpen(s, true, flag);
        open.boardType = boardType;
        if (fileName != nullptr) std::snprintf(open.fileName, sizeof open.fileName, "%s", fileName);
        if (s.plan.next() != 0 || s.failOpen || fileName == nullptr || boardType < 0) return nullptr;
        const NxList* design = intactFileDesign(s, fileName, boardType);
        return design != nullptr ? newHandle(s, true, design) : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void Hap_Release(void* hap) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.live.erase(hap) != 0) delete static_cast<hap::HapHandle*>(hap);
}

int32_t Hap_GetRegisterCount(void* hap) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.plan.next() == 0 && s.isLive(hap) ? hap::registerCount() : -1;
}

const char* Hap_GetRegisterName(void* hap, int32_t position) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.plan.next() != 0 || !s.isLive(hap) || position < 1 || position > hap::registerCount()) return nullptr;
    return hap::registers()[position - 1].name;
}

int64_t Hap_GetRegisterId(void* hap, const char* registerName) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.plan.next() != 0 || !s.isLive(hap) || registerName == nullptr) return -1;
    for (int32_t i = 0; i < hap::registerCount(); ++i) {
        if (std::strcmp(hap::registers()[i].name, registerName) == 0) return hap::registers()[i].address;
    }
    return -1;
}

int32_t Hap_GetRegisterWidth(void* hap, uint32_t registerIdOrAddress) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    const hap::Register* r = s.plan.next() == 0 && s.isLive(hap) ? hap::registerAt(registerIdOrAddress) : nullptr;
    return r != nullptr ? r->width : -1;
}

int32_t Hap_IsRegisterWritable(void* hap, uint32_t registerId) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    const hap::Register* r = s.plan.next() == 0 && s.isLive(hap) ? hap::registerAt(registerId) : nullptr;
    return r != nullptr && r->writable ? 1 : 0;
}

const HapEventDescriptor* Hap_GetEvent(void* hap, int32_t position) {
    HapState& s = hap::hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.plan.next() != 0 || !s.isLive(hap) || position < 0 ||
        position >= static_cast<int32_t>(s.events->descriptors.size())) {
        return nullptr;
    }
    return &s.events->descriptors[position];
}

}  // extern "C"
