// One simulated board in the runtime: the design loaded on it with its values, the camera debug
// entry's images, the timeline (trigger module, camera, triggered simulator), the events, and the
// inner handles open on it with their frame memories and acquisitions, all under the board's own
// lock. Boards are made at the first use of their hardware handle and live as long as the
// runtime; two boards share no lock. The registers of a board are the hardware library's, and
// the HAP a design comes from is the HAP runtime's: neither reaches the board.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "event_records.h"
#include "inner_handle.h"
#include "model/debug_entries.h"
#include "model/design_model.h"
#include "timeline.h"

namespace sim {

struct Board {
    explicit Board(uint64_t hardware);
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    const uint64_t hardware;
    // Everything below. Calls into the applet or a handler are never made while it is held: both
    // call back into the runtime.
    std::mutex mutex;
    // Signalled whenever a picture arrives, a frame's rendering ends, an acquisition stops, a
    // memory or handle goes, or an event occurs.
    std::condition_variable changed;

    DesignValues design;
    // What the design and the event bits were taken from, as the runtime knows them: the same
    // again needs no new load.
    const void* designSource = nullptr;
    const void* eventSource = nullptr;
    uint64_t injectedPixels = 0;  // pixel words fed into the debug entries
    CameraInjection injection;
    Timeline timeline;
    EventRecords events;
    // The open inner handles by their values; a call or producer that waits keeps its own share.
    std::map<const void*, std::shared_ptr<InnerHandle>> handles;

    // The open handle of this value, or null.
    std::shared_ptr<InnerHandle> handle(const void* value) const;

    // Puts the design of these NX rows on the board, unless it is there already. The values of
    // names both designs have are kept. Every design loaded stays allocated: the applet keeps
    // names it was handed.
    void loadDesign(const std::vector<DesignRow>& rows);
    // As after power-up: the design's start values, no injected image, the timeline anew.
    // Handles stay open.
    void restart();

private:
    std::vector<std::shared_ptr<const DesignModel>> designs_;
};

}  // namespace sim
