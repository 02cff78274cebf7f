// What happens on a board over time apart from the free-running simulator's frames: the trigger
// module, the camera on the camera port, the simulator's triggered frames and the events they
// raise. The timeline runs up to the board's clock whenever something looks at it (a register
// written or read, a test's control call), and on the real clock by the runtime's clock thread,
// on the virtual clock by SimCtl_AdvanceClock. It runs step by step, from one change to the
// next, so that a frame that ends at a time is gone before a pulse of the same time comes.
// Every function here expects the board's lock held.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "camera.h"
#include "design_binding.h"
#include "model/board_events.h"
#include "model/image_path.h"
#include "model/trigger_module.h"
#include "simulator_triggers.h"

namespace sim {

struct Board;

struct Timeline {
    uint64_t now = 0;  // the board time it has run to
    std::unique_ptr<TriggerModule> trigger = std::make_unique<TriggerModule>();
    Camera camera;
    TriggeredSimulator simulator;
    DesignBinding binding;
    // The status last published to the board's values: a value set through the control
    // interface stays until the model's own changes.
    std::array<uint64_t, static_cast<size_t>(TriggerRegister::Count) + 1> published{};
    // Where the design's frames come from, read again whenever the applet writes a source register.
    FrameSource source = FrameSource::None;
};

// Where the trigger module's results go while the timeline runs.
class TimelinePort final : public TriggerSink {
public:
    explicit TimelinePort(Board& board) : board_(board) {}
    void cameraPulse(uint64_t time) override;
    void raise(BoardEvent event, uint64_t time, uint64_t data) override;

private:
    Board& board_;
};

// Runs the timeline up to `time`; on the real clock at most a few thousand changes per call.
void runTimeline(Board& board, uint64_t time);
// Runs it up to the board's clock.
void runTimelineToNow(Board& board);
// The earliest board time at which the timeline changes by itself; UINT64_MAX: none.
uint64_t nextChange(const Board& board);

// Writes the model's status registers and the camera status to the board's values; `always`:
// also those that did not change since they were last written.
void publishStatus(Board& board, bool always = false);

// The applet wrote parameter `index`; a trigger register reaches the trigger module.
void registerWritten(Board& board, int32_t index);
// Parameter `index` is about to be read: a status register's timeline runs to now.
void beforeRead(Board& board, int32_t index);
// Sets a trigger input's level now.
void setInputLevel(Board& board, uint32_t input, bool high);

// As after power-up: the trigger module, camera and events start again, and the design is bound
// anew at the next use.
void restartTimeline(Board& board);

}  // namespace sim
