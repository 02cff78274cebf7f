// The simulated runtime's state: board models, inner and application handles, the call log
// and the injected failures, all behind one mutex. Calls into the applet are never made while
// the mutex is held, since the applet calls back into the runtime from under its own lock.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "description_tree.h"
#include "design_model.h"
#include "vexo_sim.h"

namespace sim {

struct Acquisition {
    bool running = false;
    int64_t requested = 0;  // pictures asked for; 0 or less: no end
    int64_t delivered = 0;
};

struct InnerHandle {
    uint64_t hardware = 0;
    bool open = true;
    int32_t lastError = 0;
    std::unique_ptr<DescriptionTree> description;  // built on the first request
    std::vector<std::unique_ptr<char[]>> handedTexts;  // type 22 reads not yet given back
    Acquisition acquisition;                           // the design has one DMA channel
};

// The runtime's record of an application's handle. The applet reads and writes only the first
// pointer-sized field.
struct AppHandle {
    void* wrapper = nullptr;
    uint32_t boardIndex = 0;
    void* applet = nullptr;  // the applet module the calls are routed to
};

struct InjectedCall {
    int64_t result;
    int32_t lastError;
};

struct State {
    State();

    std::mutex mutex;
    // The model of the design whose HAP the last inner handle was opened on; the models before
    // it stay allocated, since the applet keeps names it was handed.
    std::vector<std::unique_ptr<const DesignModel>> models;
    std::map<uint64_t, BoardValues> boards;
    // Closed inner handles stay known (and allocated), so that a late call is told apart from a
    // call with a stray pointer, and no new handle can take a closed one's address.
    std::map<const void*, std::unique_ptr<InnerHandle>> innerHandles;
    std::set<const void*> appHandles;
    std::map<std::string, void*> appletModules;
    std::deque<SimCall> calls;
    std::set<std::string> hiddenNames;
    std::map<std::string, int32_t> failedNxWrites;
    std::map<std::string, int32_t> failedNxReads;
    // Found by the function name a call carries; the transparent comparison spares the key copy.
    std::map<std::string, InjectedCall, std::less<>> failedCalls;
    int32_t failedInit = 0;
    // Descriptions built while set come round on themselves (SimCtl_LoopDescription).
    bool loopingDescription = false;
    int32_t globalLastError = 0;
    // While off, calls go to `unrecorded` instead of the log: the log's growth would count
    // against tests that watch the applet's own heap use.
    bool recording = true;
    SimCall unrecorded{};

    const DesignModel& model() const { return *models.back(); }
    // Makes the design of these rows the model, unless it already is; the boards keep the values
    // of the names both designs have.
    void useDesign(std::vector<DesignRow> rows);
    BoardValues& board(uint64_t hardware) { return boards.try_emplace(hardware, model()).first->second; }
    InnerHandle* inner(const void* handle);
    SimCall& record(const char* function, const void* handle);
    // The log entry for a call prepared by the caller (or the unrecorded one), filled from seed.
    SimCall& keep(const SimCall& seed);
};

// The process-wide state. It goes with the library: an applet that loaded the runtime itself
// unloads it again when its last board closes.
State& state();

uint64_t hardwareOfBoard(uint32_t boardIndex);

// Copies text into a fixed field, cut to fit and always terminated.
void copyText(char* field, std::size_t size, const char* text);

}  // namespace sim
