// An inner handle as its board keeps it: what the calls on it leave behind (the last error, the
// description tree, texts handed out), its frame memories and the acquisition on its one DMA
// channel. Owned by the board (shared with whatever waits on it), reached under the board's lock.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "model/description_tree.h"
#include "model/frame_memory.h"
#include "model/image_path.h"

namespace sim {

// The acquisition on a handle's one DMA channel (acquisition.h runs it). Times are nanoseconds
// from its start, on the real clock or on the virtual one.
struct Acquisition {
    FrameMemory* memory = nullptr;  // acquiring, or the last acquired into; null: none since
    uint64_t generation = 0;        // counts the starts, so that a producer knows its own
    bool running = false;
    bool virtualClock = false;
    bool producing = false;  // a frame is being rendered outside the board's lock
    std::chrono::steady_clock::time_point realStart;
    uint64_t virtualStart = 0;
    uint64_t frame = 0;       // k of the next source frame
    uint64_t frameStart = 0;  // when it started (its settings are read then)
    bool framePending = false;
    uint64_t frameDue = 0;
    FrameSettings settings;  // of the pending frame
    std::thread producer;    // real time only; joined outside the board's lock
};

struct InnerHandle {
    explicit InnerHandle(const void* handleValue) : value(handleValue) {}
    // Joins nothing: the closing call has retired the producer.
    ~InnerHandle() {
        if (acquisition.producer.joinable()) acquisition.producer.detach();
    }

    const void* const value;  // the handle as its caller holds it
    bool open = true;
    int32_t lastError = 0;
    std::unique_ptr<DescriptionTree> description;      // built on the first request
    std::vector<std::unique_ptr<char[]>> handedTexts;  // type 22 reads not yet given back
    std::map<const void*, std::unique_ptr<FrameMemory>> memories;
    Acquisition acquisition;

    // One of the handle's frame memories, or null.
    FrameMemory* memory(const void* address) const {
        const auto found = memories.find(address);
        return found == memories.end() ? nullptr : found->second.get();
    }
};

}  // namespace sim
