// The camera simulator triggered by the trigger module's camera-control output: one whole frame
// per pulse (frame trigger) or one line per pulse until the frame is complete (line trigger). A
// pulse that comes while a frame or line is still being sent is not taken.
#pragma once

#include <cstdint>

#include "model/image_path.h"

namespace sim {

struct Board;

struct TriggeredSimulator {
    bool sending = false;    // a frame (frame trigger) or a line (line trigger) is on its way
    uint64_t sendEnd = 0;
    uint32_t lines = 0;      // lines received of the frame being built
    bool frameDone = false;  // the line ending at sendEnd completes the frame
    FrameSettings settings;  // of the frame being sent or built, read at its first pulse
};

// A camera-control pulse at `time` while the simulator is triggered by `source`.
void startSimulatorFrame(Board& board, uint64_t time, FrameSource source);
// The simulator's frame or line that ends by the timeline's time; a complete frame is delivered.
void finishSimulatorFrame(Board& board);

}  // namespace sim
