// The simulator's triggered frames: the settings of a frame are read at its first pulse, an
// injected image waiting at the debug entry takes its place, and the frame goes to the board's
// acquisitions when its last line has been sent.
#include "simulator_triggers.h"

#include <algorithm>

#include "acquisition.h"
#include "board.h"
#include "model/debug_entries.h"

namespace sim {

void startSimulatorFrame(Board& board, uint64_t time, FrameSource source) {
    TriggeredSimulator& simulator = board.timeline.simulator;
    if (simulator.sending) return;
    if (simulator.lines == 0) {
        simulator.settings = readFrameSettings(board.design);
        takeInjectedImage(board.injection, simulator.settings);
    }
    const FrameSettings& settings = simulator.settings;
    uint64_t duration = settings.periodNanoseconds;
    if (source == FrameSource::LineTrigger) {
        duration /= std::max<uint32_t>(settings.frameLines, 1);
        simulator.frameDone = ++simulator.lines >= std::max<uint32_t>(settings.activeHeight, 1);
    } else {
        simulator.frameDone = true;
    }
    simulator.sending = true;
    simulator.sendEnd = time + std::max<uint64_t>(duration, 1);
}

void finishSimulatorFrame(Board& board) {
    TriggeredSimulator& simulator = board.timeline.simulator;
    if (!simulator.sending || simulator.sendEnd > board.timeline.now) return;
    simulator.sending = false;
    if (!simulator.frameDone) return;
    simulator.lines = 0;
    simulator.frameDone = false;
    deliverTriggeredFrame(board, simulator.settings, nullptr);
    simulator.settings.injected.reset();
}

}  // namespace sim
