// The HAP runtime stand-in's state, shared by its HAP functions (hapcore.cpp) and its test
// control (hap_control.cpp), all behind one mutex.
#pragma once

#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "fault_plan.h"
#include "hap_image_format.h"
#include "orvanta/closed_libraries.h"
#include "orvanta_sim/hap_control.h"
#include "sim_platform.h"

namespace sim::hap {

// The NX parameters of one image, with the view handed out by SimHap_NxParameters, made once.
struct NxList {
    explicit NxList(std::vector<NxParameterRow> parameters);
    std::vector<NxParameterRow> rows;
    std::vector<SimHapNxParameter> view;
};

// An image found intact, known by the file its bytes come from: a HAP file, or the library whose
// read-only data hold the image (then `image` is its address). Bytes of either kind change only
// with the file, so an image whose file kept its identity is not checked again.
struct CheckedImage {
    std::string file;
    platform::FileIdentity identity;
    const void* image;
    uint64_t size;
    uint32_t boardType;
    const NxList* design;
};

struct HapHandle {
    bool fromFile;
    const NxList* design;
};

struct EventList {
    std::deque<std::string> names;
    std::vector<HapEventDescriptor> descriptors;
};

// count names with their classes (null classes: all 1).
std::unique_ptr<EventList> makeEventList(const char* const* names, const uint32_t* classes, int32_t count);

struct HapState {
    HapState();

    std::mutex mutex;
    std::set<const void*> live;
    // Every list ever made stays allocated: the applet keeps the names it was handed.
    std::vector<std::unique_ptr<EventList>> lists;
    const EventList* designEvents = nullptr;
    const EventList* events = nullptr;
    // The images found intact, by their files. An applet opens its one built-in image of
    // megabytes at every board open, and checking it each time would dominate a run of many
    // opens. Images elsewhere in memory are checked at every open.
    std::vector<CheckedImage> checked;
    std::string fileScratch;  // the file of the image being opened, kept to save its allocation
    // Every list ever read, each once: the names are handed out and kept.
    std::vector<std::unique_ptr<NxList>> designs;

    // Test control: the opens recorded and an injected failure of every open.
    std::vector<SimHapOpen> opens;
    bool failOpen = false;
    // Counts the HAP calls (all but releasing) and fails those it plans.
    FaultPlan plan;

    bool isLive(const void* hap) const { return hap != nullptr && live.count(hap) != 0; }
};

HapState& hapState();

}  // namespace sim::hap
