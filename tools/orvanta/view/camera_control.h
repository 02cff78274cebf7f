// The simulated camera on the camera port, through the stand-in runtime's test control
// (SimCtl_SetCamera), found in the loaded runtime at run time: a runtime without it has no such
// camera to set, and the page then shows no control for it.
#pragma once

#include <cstdint>
#include <mutex>

namespace orvanta_tool::view {

struct CameraSettings {
    bool connected = true;  // the stand-in's camera as a board starts with it
    uint32_t width = 1024;
    uint32_t height = 1024;
    double maxFramesPerSecond = 200;
};

class CameraControl {
public:
    explicit CameraControl(uint32_t board);

    bool available() const { return set_ != nullptr; }
    // What was last set here (the control cannot be asked).
    CameraSettings settings() const;
    // False when the runtime refuses the settings or has no such control.
    bool apply(const CameraSettings& settings);

private:
    using SetCamera = int32_t (*)(uint32_t, int32_t, uint32_t, uint32_t, double);
    uint32_t board_;
    SetCamera set_ = nullptr;
    mutable std::mutex mutex_;
    CameraSettings settings_;
};

}  // namespace orvanta_tool::view
