// The camera simulator's rate functions, shared by its setters and by the read path: pixel
// frequency, line rate and frame rate of a select mode, computed from the effective geometry
// (the wrapper's cameraSimulator() state), the stored height and the simulator's clock
// registers.
#pragma once

#include <cstdint>

#include "applet/camera_simulator/camera_simulator_state.h"

namespace vexo::applet {

class Board;

// A select mode other than the three below.

// The select modes: which of the three rates the application sets.
inline constexpr uint32_t kSelectPixelFrequency = 0;
inline constexpr uint32_t kSelectLineRate = 1;
inline constexpr uint32_t kSelectFrameRate = 2;

// Each throws -2075 for a mode other than 0, 1 or 2 and the runtime's code when a register
// read fails. Pixel frequency in MHz, line rate in lines and frame rate in frames per second.
double cameraSimulatorPixelFrequency(Board& w, uint32_t mode);
double cameraSimulatorLineRate(Board& w, uint32_t mode);
double cameraSimulatorFrameRate(Board& w, uint32_t mode);

// The largest size or gap the running rates leave room for, before a change: a larger one would
// need a pixel rate above the simulator's maximum. The setters check against these, and the
// description publishes them as the records' maxima. A limit that is not a number refuses.
double cameraSimulatorWidthLimit(Board& w);
double cameraSimulatorLineGapLimit(Board& w);
double cameraSimulatorHeightLimit(Board& w);
// Only pixel-frequency mode runs frame gaps; the other modes derive the frame from the line.
double cameraSimulatorFrameGapLimit(Board& w);

}  // namespace vexo::applet
