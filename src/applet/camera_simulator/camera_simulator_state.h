// What the applet keeps of the camera simulator beside the stored SDK values: the geometry last
// written to the design (rounded to the simulator's 32-pixel processing width), the fixed
// maximum pixel rate and the frame rate the simulator runs at. One per opened board.
#pragma once

#include <cstdint>

namespace vexo::applet {

struct CameraSimulatorState {
    // The simulator moves 32 pixels per 8 ns clock: 4e9 pixels per second in theory, of which
    // the design guarantees half.
    static constexpr double kMaximumPixelRate = 2000000000.0;

    // Effective geometry: active width and line gap in pixels (multiples of 32), active height
    // and frame gap in lines.
    uint32_t width = 1024;
    uint32_t lineGap = 0;
    uint32_t height = 1024;
    uint32_t frameGap = 0;
    // Pixels per second the simulator may produce at most.
    double maximumPixelRate = kMaximumPixelRate;
    // The frame rate in frames per second that frame-rate mode re-applies after a change of the
    // select mode or the height; kept because the design holds only the rounded period.
    double frameRate = 10.0;
};

}  // namespace vexo::applet
