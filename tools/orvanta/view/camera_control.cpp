// The stand-in's camera control, resolved by name in the runtime the process loaded.
#include "camera_control.h"

#include "../host.h"

namespace orvanta_tool::view {

CameraControl::CameraControl(uint32_t board) : board_(board) {
    set_ = reinterpret_cast<SetCamera>(runtimeSymbol("SimCtl_SetCamera"));
}

CameraSettings CameraControl::settings() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return settings_;
}

bool CameraControl::apply(const CameraSettings& settings) {
    if (set_ == nullptr) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (set_(board_, settings.connected ? 1 : 0, settings.width, settings.height, settings.maxFramesPerSecond) != 0) {
        return false;
    }
    settings_ = settings;
    return true;
}

}  // namespace orvanta_tool::view
