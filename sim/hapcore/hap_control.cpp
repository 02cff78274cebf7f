// The HAP runtime stand-in's control interface for the tests: the opens it recorded, injected
// open failures, the event list and the NX parameters of an open HAP.
#include <mutex>

#include "hap_state.h"
#include "orvanta_sim/hap_control.h"

using sim::hap::HapState;
using sim::hap::hapState;

extern "C" {

int32_t SimHap_NxParameters(void* hap, const SimHapNxParameter** parameters) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (parameters == nullptr || !s.isLive(hap)) return -1;
    const sim::hap::NxList* design = static_cast<sim::hap::HapHandle*>(hap)->design;
    *parameters = design->view.data();
    return static_cast<int32_t>(design->view.size());
}

void SimHap_Reset(void) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.opens.clear();
    s.failOpen = false;
    s.plan.clear();
    s.events = s.designEvents;
}

void SimHap_PlanFault(uint64_t nth, int32_t persistent) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.plan.plan(nth, persistent != 0, -1);
}

uint64_t SimHap_FaultCalls(void) {
    HapState& s = hapState();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.plan.calls;
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
    s.lists.push_back(sim::hap::makeEventList(names, classes, count));
    s.events = s.lists.back().get();
}

}  // extern "C"
