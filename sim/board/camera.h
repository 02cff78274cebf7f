// The camera on a board's camera port: it exposes one frame per pulse of the trigger module's
// camera-control output and sends it for 1 / maxFramesPerSecond; a pulse that comes while it
// still sends is a missing frame. Its frames end on the board's timeline (timeline.h).
#pragma once

#include <cstdint>

#include "model/image_path.h"

namespace sim {

struct Board;
class TriggerSink;

struct Camera {
    bool connected = true;
    uint32_t width = 1024;
    uint32_t height = 1024;
    double maxFramesPerSecond = 200;
    bool sending = false;
    uint64_t sendEnd = 0;
    uint64_t frame = 0;      // k of the frame being sent, or of the next one
    FrameSettings settings;  // of the frame being sent, read when it started

    uint64_t frameNanoseconds() const;
};

// A camera-control pulse at `time`: the camera starts a frame, or reports the one it missed.
void startCameraFrame(Board& board, uint64_t time, TriggerSink& sink);
// The camera's frame that ends by the timeline's time is delivered.
void finishCameraFrame(Board& board);

}  // namespace sim
