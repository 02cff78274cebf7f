// Acquisitions of a board's inner handles on the board's clock: every source frame falls due one
// free-run period after the previous one; a due frame the image selector lets through gets the
// next picture number and a buffer, or is lost and counted. On the real clock one producer thread
// per acquisition does this; on the virtual clock SimCtl_AdvanceClock does it in the caller's
// thread. Triggered frames come from the board's timeline. Every function here expects the
// board's lock held through `lock` (the waits release it).
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "inner_handle.h"

namespace sim {

struct Board;

// Starts an acquisition into `memory` on the handle, whose previous one has been retired; it
// follows the clock that is on now.
void startAcquisition(Board& board, const std::shared_ptr<InnerHandle>& handle, FrameMemory& memory,
                      int64_t pictureCount, bool blocking);

// Stops the handle's acquisition and waits until no frame of it is being rendered. Answers the
// producer thread to join once the lock is released (empty on the virtual clock).
std::thread retireAcquisition(Board& board, InnerHandle& handle, std::unique_lock<std::mutex>& lock);

// Waits up to timeoutSeconds of real time until picture `picture` or a later one is in `memory`;
// answers the last picture number, or SIM_ERR_TIMEOUT at once when no running acquisition can
// bring it any more, SIM_ERR_INVALID_MEMORY when the memory is freed and SIM_ERR_HANDLE_CLOSED
// when the handle is closed meanwhile.
int64_t waitForPicture(Board& board, InnerHandle& handle, FrameMemory* memory, int64_t picture,
                       int32_t timeoutSeconds, std::unique_lock<std::mutex>& lock);

// Produces every frame of the board's virtual-clock acquisitions that is due at virtual time `now`.
void produceOnVirtualClock(Board& board, uint64_t now, std::unique_lock<std::mutex>& lock);

// Writes the fill level of `memory` to the board when it is the memory the handle acquires into.
void publishFillLevel(Board& board, InnerHandle& handle, const FrameMemory& memory);

// A frame of the camera port or of the triggered simulator has ended on the board: it goes to
// every acquisition running on the board as that acquisition's next source frame, rendered at
// once. `cameraFrame`: the camera's frame number for its pattern; null for the simulator, whose
// pattern counts the acquisition's source frames.
void deliverTriggeredFrame(Board& board, const FrameSettings& settings, const uint64_t* cameraFrame);

}  // namespace sim
