// The camera on the camera port: its frames start with the camera-control pulses and end one
// frame time later, raising the frame start and end events; an ended frame goes to the board's
// acquisitions when the design takes its frames from the camera port.
#include "camera.h"

#include <cmath>

#include "acquisition.h"
#include "board.h"

namespace sim {

uint64_t Camera::frameNanoseconds() const {
    return static_cast<uint64_t>(std::llround(1e9 / maxFramesPerSecond));
}

void startCameraFrame(Board& board, uint64_t time, TriggerSink& sink) {
    Camera& camera = board.timeline.camera;
    if (!camera.connected) return;
    if (camera.sending) {
        board.timeline.trigger->cameraMissedFrame(time, sink);
        return;
    }
    camera.sending = true;
    camera.sendEnd = time + camera.frameNanoseconds();
    camera.settings = cameraFrameSettings(board.design, camera.width, camera.height);
    raiseEvent(board, BoardEvent::FrameStart, time, camera.frame + 1);
}

void finishCameraFrame(Board& board) {
    Camera& camera = board.timeline.camera;
    if (!camera.sending || camera.sendEnd > board.timeline.now) return;
    camera.sending = false;
    const uint64_t k = camera.frame++;
    raiseEvent(board, BoardEvent::FrameEnd, board.timeline.now, k + 1);
    if (camera.settings.source == FrameSource::CameraPort) deliverTriggeredFrame(board, camera.settings, &k);
}

}  // namespace sim
