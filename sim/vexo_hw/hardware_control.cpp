// The hardware library's control interface for the tests: the boards' registers by hand,
// injected access failures and the access counts.
#include "orvanta_sim/hardware_control.h"

#include <map>
#include <mutex>

#include "fault_plan.h"
#include "register_files.h"

namespace sim::hw {
namespace {

struct Faults {
    std::mutex mutex;
    std::map<uint32_t, int32_t> byAddress;
    int32_t writes = 0;
    int32_t reads = 0;
    sim::FaultPlan plan;
};

Faults& faults() {
    static Faults instance;
    return instance;
}

}  // namespace

int32_t countAccess(uint32_t address, bool write) {
    Faults& f = faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    ++(write ? f.writes : f.reads);
    if (const int32_t planned = f.plan.next()) return planned;
    const auto found = f.byAddress.find(address);
    return found == f.byAddress.end() ? 0 : found->second;
}

}  // namespace sim::hw

extern "C" {

void SimHw_Reset(void) {
    {
        sim::hw::RegisterFiles& files = sim::hw::registerFiles();
        std::lock_guard<std::mutex> lock(files.mutex);
        files.byHardware.clear();
    }
    sim::hw::Faults& f = sim::hw::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.byAddress.clear();
    f.plan.clear();
    f.writes = 0;
    f.reads = 0;
}

int32_t SimHw_GetRegister(uint64_t hardware, uint32_t address, uint64_t* value) {
    if (value == nullptr) return -1;
    sim::hw::RegisterFiles& files = sim::hw::registerFiles();
    std::lock_guard<std::mutex> lock(files.mutex);
    const auto& file = files.byHardware[hardware];
    const auto found = file.find(address);
    *value = found == file.end() ? 0 : found->second;
    return found == file.end() ? -1 : 0;
}

void SimHw_SetRegister(uint64_t hardware, uint32_t address, uint64_t value) {
    sim::hw::RegisterFiles& files = sim::hw::registerFiles();
    std::lock_guard<std::mutex> lock(files.mutex);
    files.byHardware[hardware][address] = value;
}

void SimHw_FailAccess(uint32_t address, int32_t code) {
    sim::hw::Faults& f = sim::hw::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    if (code == 0) {
        f.byAddress.erase(address);
    } else {
        f.byAddress[address] = code;
    }
}

int32_t SimHw_WriteCount(void) {
    sim::hw::Faults& f = sim::hw::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    return f.writes;
}

int32_t SimHw_ReadCount(void) {
    sim::hw::Faults& f = sim::hw::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    return f.reads;
}

void SimHw_PlanFault(uint64_t nth, int32_t persistent, int32_t code) {
    sim::hw::Faults& f = sim::hw::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    f.plan.plan(nth, persistent != 0, code);
}

uint64_t SimHw_FaultCalls(void) {
    sim::hw::Faults& f = sim::hw::faults();
    std::lock_guard<std::mutex> lock(f.mutex);
    return f.plan.calls;
}

}  // extern "C"
