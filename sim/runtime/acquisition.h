// Acquisitions on the simulated board's clock: every source frame falls due one free-run period
// after the previous one; a due frame the image selector lets through gets the next picture
// number and a buffer, or is lost and counted. On the real clock one producer thread per
// acquisition does this; on the virtual clock SimCtl_AdvanceClock does it in the caller's thread.
// Every function here expects the runtime's mutex held through `lock` (the waits release it).
#pragma once

#include <cstdint>
#include <mutex>
#include <thread>

#include "runtime_state.h"

namespace sim {

// Starts an acquisition into `memory` on the handle, whose previous one has been retired; it
// follows the clock that is on now.
void startAcquisition(State& s, InnerHandle& handle, FrameMemory& memory, int64_t pictureCount, bool blocking);

// Stops the handle's acquisition and waits until no frame of it is being rendered. Answers the
// producer thread to join once the mutex is released (empty on the virtual clock).
std::thread retireAcquisition(State& s, InnerHandle& handle, std::unique_lock<std::mutex>& lock);

// Waits up to timeoutSeconds of real time until picture `picture` or a later one is in `memory`;
// answers the last picture number, or SIM_ERR_TIMEOUT at once when no running acquisition can
// bring it any more.
int64_t waitForPicture(State& s, FrameMemory& memory, int64_t picture, int32_t timeoutSeconds,
                       std::unique_lock<std::mutex>& lock);

// Moves the virtual clock on and produces every frame that falls due on it meanwhile. Takes the
// locks itself.
void advanceVirtualClock(uint64_t nanoseconds);

// Writes the fill level of `memory` to the handle's board when it is the memory acquired into.
void publishFillLevel(InnerHandle& handle, const FrameMemory& memory);

// A frame of the camera port or of the triggered simulator has ended on the board: it goes to
// every acquisition running on the board as that acquisition's next source frame. Rendered at
// once, with the board's lock held. `cameraFrame`: the camera's frame number for its pattern;
// null for the simulator, whose pattern counts the acquisition's source frames.
void deliverTriggeredFrame(State& s, BoardTimeline& t, BoardState& board, const FrameSettings& settings,
                           const uint64_t* cameraFrame);

}  // namespace sim
