// The simulated runtime's own state: inner and application handles, the applet modules, the
// global last error and the test control, all behind one mutex. The boards the handles are
// opened on belong to the hardware library (board/board.h); a board's lock is taken inside this
// one, never around it. Calls into the applet are never made while the mutex is held, since the
// applet calls back into the runtime from under its own lock.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "board/board.h"
#include "description_tree.h"
#include "test_control.h"

namespace sim {

struct Acquisition {
    bool running = false;
    int64_t requested = 0;  // pictures asked for; 0 or less: no end
    int64_t delivered = 0;
};

struct InnerHandle {
    uint64_t hardware = 0;
    Board* board = nullptr;  // the board of `hardware`
    bool open = true;
    int32_t lastError = 0;
    std::unique_ptr<DescriptionTree> description;      // built on the first request
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

struct State {
    std::mutex mutex;
    // Closed inner handles stay known (and allocated), so that a late call is told apart from a
    // call with a stray pointer, and no new handle can take a closed one's address.
    std::map<const void*, std::unique_ptr<InnerHandle>> innerHandles;
    std::set<const void*> appHandles;
    std::map<std::string, void*> appletModules;
    int32_t globalLastError = 0;
    TestControl control;

    InnerHandle* inner(const void* handle);
};

// The process-wide state. It goes with the library: an applet that loaded the runtime itself
// unloads it again when its last board closes.
State& state();

// The hardware handle of board `boardIndex`, as Std_entry receives it.
uint64_t hardwareOfBoard(uint32_t boardIndex);

}  // namespace sim
