// The trigger module model on its own, for what the board seen through the applet cannot pin down:
// exact times, same-time ordering, debounce, the queue's levels and the status bits over time.
#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "trigger_module.h"

namespace {

using sim::BoardEvent;
using R = sim::TriggerRegister;
using Seen = std::vector<std::pair<uint64_t, uint64_t>>;  // (time, data) of an event

constexpr uint64_t kMs = 1000000;
constexpr uint32_t kFiftyHertz = 2499991;  // 1 / (50 * 8 ns) - 9

// The module and a sink recording what it sends out.
struct Rig : sim::TriggerSink {
    sim::TriggerModule module;
    std::vector<uint64_t> camera;
    std::vector<std::pair<BoardEvent, Seen::value_type>> events;

    void cameraPulse(uint64_t time) override { camera.push_back(time); }
    void raise(BoardEvent event, uint64_t time, uint64_t data) override { events.push_back({event, {time, data}}); }
    Seen of(BoardEvent event) const {
        Seen found;
        for (const auto& [e, seen] : events) {
            if (e == event) found.push_back(seen);
        }
        return found;
    }

    void set(R r, uint32_t value, uint64_t time) { module.write(r, value, time, *this); }
    void advance(uint64_t time) { module.advanceTo(time, *this); }
    uint32_t get(R r) const { return module.read(r); }
    void softwareTrigger(uint64_t time) { set(R::SoftwareTrigger, 2, time); }

    // The applet's start sequence, with a queue of `queueFull` pulses unless 0. Pulse form
    // generator 0 (the camera's) passes every pulse, 80 ns wide.
    void start(bool triggered, uint32_t periodRegister, uint64_t time, uint32_t queueFull = 0) {
        set(R::QueueFullValue, queueFull, time);
        set(R::QueueEnabled, queueFull != 0 ? 1 : 0, time);
        set(R::ClearQueuePulse, 1, time);
        set(R::EnableQueue, triggered ? 1 : 0, time);
        set(R::MinimumPeriod, periodRegister, time);
        set(R::Pfg0SelectedPulse, 1, time);
        set(R::Pfg0Width, 10, time);
        set(R::PulseFormEnable, 1, time);
        set(R::ClearQueuePulse, 0, time);
    }
};

TEST(TriggerModule, FreeRunIsSkippedWhileUnseenAndPulsesOncePerPeriodFromTheRestart) {
    Rig rig;
    EXPECT_EQ(rig.module.nextChange(), UINT64_MAX);  // free-runs every 72 ns, but no pulse form generator takes it
    rig.advance(1000);
    EXPECT_EQ(rig.get(R::GeneratorReady), 0u);  // last pulse at 936
    rig.start(false, kFiftyHertz, 5000);
    rig.advance(5000 + 1000 * kMs - 1);
    EXPECT_EQ(rig.camera.size(), 50u);
    EXPECT_EQ(rig.camera.back(), 5000 + 980 * kMs);
    EXPECT_EQ(rig.module.nextChange(), 5000 + 1000 * kMs);  // with the last, a period of 20 ms from 5000
}

TEST(TriggerModule, StatusBitsOfExceededPeriodAndMissingFrameAndTheirClears) {
    Rig rig;
    rig.start(true, 10, 0);  // period 19 ticks = 152 ns, no queue
    rig.set(R::SoftwareTrigger, 1, 900);  // only a write of 2 adds a pulse
    rig.softwareTrigger(1000);
    rig.softwareTrigger(1100);
    rig.module.cameraMissedFrame(1100, rig);
    EXPECT_EQ(rig.get(R::QueueStatus), 5u);
    rig.advance(1151);
    EXPECT_EQ(rig.get(R::GeneratorReady), 0u);
    rig.advance(1152);
    EXPECT_EQ(rig.get(R::GeneratorReady), 1u);
    rig.set(R::ExceededPeriodClear, 2, 1200);
    EXPECT_EQ(rig.get(R::QueueStatus), 4u);
    rig.set(R::MissingFrameClear, 2, 1200);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);
    rig.module.cameraMissedFrame(1300, rig);
    EXPECT_EQ(rig.get(R::QueueStatus), 4u);  // cleared once, not held
    rig.set(R::MissingFrameReset, 1, 1400);
    rig.module.cameraMissedFrame(1500, rig);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);
    EXPECT_EQ(rig.of(BoardEvent::ExceededPeriod), (Seen{{1100, 0}}));
    EXPECT_EQ(rig.of(BoardEvent::MissingFrame), (Seen{{1100, 0}, {1300, 0}}));
    EXPECT_EQ(rig.camera, std::vector<uint64_t>{1000});
}

TEST(TriggerModule, QueuedSoftwareTriggersLeaveOncePerPeriodWithFullBitAndFillLevelEvents) {
    Rig rig;
    rig.set(R::HysteresisOn, 3, 0);
    rig.set(R::HysteresisOff, 1, 0);
    rig.start(true, 116, 0, 3);  // period 125 ticks = 1000 ns
    for (int i = 0; i < 5; ++i) rig.softwareTrigger(0);  // one taken, three wait, one dropped
    EXPECT_EQ(rig.get(R::QueueStatus), 2u);
    rig.advance(1000);
    EXPECT_EQ(rig.get(R::QueueValue), 2u);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);  // no longer full
    rig.softwareTrigger(1500);  // back to the on level without having fallen to the off level
    rig.advance(10000);
    EXPECT_EQ(rig.camera, (std::vector<uint64_t>{0, 1000, 2000, 3000, 4000}));
    EXPECT_EQ(rig.of(BoardEvent::QueueFillLevelOn), (Seen{{0, 3}}));
    EXPECT_EQ(rig.of(BoardEvent::QueueFillLevelOff), (Seen{{3000, 1}}));
    EXPECT_EQ(rig.of(BoardEvent::QueueEmpty), (Seen{{4000, 0}}));
}

TEST(TriggerModule, MultiplyTurnsEachTakenPulseIntoASequenceAndTheQueueWaitsForIt) {
    Rig rig;
    rig.set(R::MultiplyDownscale, 3, 0);
    rig.start(true, 116, 0, 10);
    rig.softwareTrigger(0);
    rig.softwareTrigger(500);
    EXPECT_EQ(rig.get(R::QueueValue), 1u);  // the queue holds pulses before they are multiplied
    rig.softwareTrigger(5500);
    rig.set(R::MultiplyClear, 2, 6500);  // stops what is left of the third sequence
    rig.advance(20000);
    EXPECT_EQ(rig.camera, (std::vector<uint64_t>{0, 1000, 2000, 3000, 4000, 5000, 6000}));
}

TEST(TriggerModule, ExternalPulsesPassDebounceThenPolarityAndTheSelectedPulseOfTheDownscale) {
    Rig rig;
    rig.start(true, 0, 0);
    rig.set(R::SelectExternal, 1, 0);
    rig.set(R::InputInvert, 1, 0);  // falling edges trigger
    rig.set(R::InputDownscale, 3, 0);
    rig.set(R::InputSelectedPulse, 2, 0);  // phase 1
    rig.set(R::Debounce, 10, 0);  // 240 ns
    rig.module.pulseInput(0, 5, 464, 1000);  // high for 232 ns: filtered
    rig.advance(10000);

    // High for exactly the debounce time counts: the deadline runs before an edge at the same time.
    rig.module.pulseInput(0, 6, 480, 20000);
    rig.advance(30000);
    EXPECT_EQ(rig.of(BoardEvent::InputFalling0),
              (Seen{{20480, 0}, {20960, 0}, {21440, 0}, {21920, 0}, {22400, 0}, {22880, 0}}));
    EXPECT_EQ(rig.camera, (std::vector<uint64_t>{20960, 22400}));
}

TEST(TriggerModule, PulseFormGeneratorsPassTheirSelectedPulseAndMergeHighsThatTouch) {
    Rig rig;
    rig.set(R::Pfg1Downscale, 4, 0);
    rig.set(R::Pfg1SelectedPulse, 3, 0);
    rig.set(R::Pfg1Width, 10, 0);
    rig.set(R::OutputEventSelect, 1, 0);
    // Each of generator 2's pulses falls as the next rises: one long high.
    rig.set(R::Pfg2SelectedPulse, 1, 0);
    rig.set(R::Pfg2Delay, 500, 0);
    rig.set(R::Pfg2Width, 125, 0);
    rig.set(R::Gpo1Select, 2, 0);
    rig.start(false, 116, 0);  // 12 pulses up to 11 us
    rig.advance(11500);
    EXPECT_EQ(rig.module.outputPulses(1), 1u);
    EXPECT_EQ(rig.module.outputLevels(), 2u);
    EXPECT_EQ(rig.of(BoardEvent::OutputEvent), (Seen{{2000, 0}, {6000, 0}, {10000, 0}}));
}

TEST(TriggerModule, InvertedCameraOutputRisesAtThePulseEndAndOutputsCatchUpWithAnUnwatchedGenerator) {
    Rig rig;
    rig.set(R::Pfg1SelectedPulse, 1, 0);
    rig.set(R::Pfg1Width, 1000, 0);  // high from 1000 to 9000, nothing selects it yet
    rig.set(R::CameraInvert, 1, 100);  // the inverted low output rises at the write
    rig.start(false, kFiftyHertz, 1000);
    rig.advance(3000);
    EXPECT_EQ(rig.camera, (std::vector<uint64_t>{100, 1080}));
    rig.set(R::OutputEventSelect, 1, 3000);  // selected while its generator is high: no edge
    rig.set(R::Gpo5Select, 1, 3000);
    EXPECT_EQ(rig.module.outputLevels(), 1u << 5);
    EXPECT_EQ(rig.module.outputPulses(5), 2u);  // with generator 0's pulse, then now
    EXPECT_EQ(rig.of(BoardEvent::OutputEvent), (Seen{{1000, 0}}));  // generator 0's, before
}

}  // namespace
