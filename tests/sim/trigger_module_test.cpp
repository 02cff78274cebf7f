// The trigger module model on its own: register writes at chosen times, and what reaches the
// camera-control output, the digital outputs, the events and the status registers.
#include <cstdint>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "trigger_module.h"

namespace {

using sim::BoardEvent;
using R = sim::TriggerRegister;

constexpr uint64_t kMs = 1000000;
constexpr uint32_t kFiftyHertz = 2499991;  // 1 / (50 * 8 ns) - 9

struct Recorder : sim::TriggerSink {
    std::vector<uint64_t> camera;
    std::vector<std::tuple<BoardEvent, uint64_t, uint64_t>> events;

    void cameraPulse(uint64_t time) override { camera.push_back(time); }
    void raise(BoardEvent event, uint64_t time, uint64_t data) override { events.emplace_back(event, time, data); }

    std::vector<uint64_t> times(BoardEvent event) const {
        std::vector<uint64_t> found;
        for (const auto& [e, time, data] : events) {
            if (e == event) found.push_back(time);
        }
        return found;
    }
    std::vector<uint64_t> data(BoardEvent event) const {
        std::vector<uint64_t> found;
        for (const auto& [e, time, value] : events) {
            if (e == event) found.push_back(value);
        }
        return found;
    }
};

struct Rig {
    sim::TriggerModule module;
    Recorder sink;

    void set(R r, uint32_t value, uint64_t time) { module.write(r, value, time, sink); }
    void advance(uint64_t time) { module.advanceTo(time, sink); }
    uint32_t get(R r) const { return module.read(r); }
    void softwareTrigger(uint64_t time) { set(R::SoftwareTrigger, 2, time); }

    // The applet's start sequence; pulse form generator 0 (the camera's) `delay` ticks late, 10 wide.
    void start(bool triggered, uint32_t periodRegister, uint64_t time, uint32_t delay = 1) {
        set(R::ClearQueuePulse, 1, time);
        set(R::EnableQueue, triggered ? 1 : 0, time);
        set(R::MinimumPeriod, periodRegister, time);
        set(R::Pfg0SelectedPulse, 1, time);
        set(R::Pfg0Delay, delay, time);
        set(R::Pfg0Width, 10, time);
        set(R::PulseFormEnable, 1, time);
        set(R::ClearQueuePulse, 0, time);
    }
    void startQueue(bool queue, uint32_t fullValue, uint32_t periodRegister) {
        set(R::QueueFullValue, fullValue, 0);
        set(R::QueueEnabled, queue ? 1 : 0, 0);
        start(true, periodRegister, 0);
    }
    void startExternal(uint32_t pin, uint32_t invert) {
        startQueue(false, 1, 0);
        set(R::InputSelect, pin, 0);
        set(R::InputInvert, invert, 0);
        set(R::InputSelectedPulse, 1, 0);
        set(R::SelectExternal, 1, 0);
    }
};

std::vector<uint64_t> every(uint64_t first, uint64_t step, uint64_t count) {
    std::vector<uint64_t> times;
    for (uint64_t i = 0; i < count; ++i) times.push_back(first + i * step);
    return times;
}

TEST(TriggerModule, FreeRunPulsesOncePerPeriodFromTheRestartAndIsSkippedWhileUnseen) {
    Rig rig;
    // Register 0 free-runs every 72 ns from time 0, but no pulse form generator takes it.
    EXPECT_EQ(rig.module.nextChange(), UINT64_MAX);
    rig.advance(1000);
    EXPECT_EQ(rig.get(R::GeneratorReady), 0u);  // last pulse at 936

    const uint64_t t0 = 5000;
    rig.start(false, kFiftyHertz, t0);
    rig.advance(t0 + 1000 * kMs - 1);
    EXPECT_EQ(rig.sink.camera, every(t0 + 8, 20 * kMs, 50));
    EXPECT_EQ(rig.module.nextChange(), t0 + 1000 * kMs);
}

TEST(TriggerModule, SyncStopLetsAPulseInFlightFinishAsyncStopDropsIt) {
    for (const bool async : {false, true}) {
        SCOPED_TRACE(async ? "async stop" : "sync stop");
        Rig rig;
        rig.start(false, kFiftyHertz, 0, 125000);  // the first pulse reaches the camera at 1 ms
        if (async) rig.set(R::PulseFormClear, 1, kMs / 2);
        rig.set(R::ClearQueuePulse, 1, kMs / 2);
        rig.advance(100 * kMs);
        EXPECT_EQ(rig.sink.camera, async ? std::vector<uint64_t>{} : std::vector<uint64_t>{kMs});

        // Restarted, the generator pulses at once.
        rig.sink.camera.clear();
        if (async) rig.set(R::PulseFormClear, 0, 200 * kMs);
        rig.set(R::ClearQueuePulse, 0, 200 * kMs);
        rig.advance(210 * kMs);
        EXPECT_EQ(rig.sink.camera, std::vector<uint64_t>{201 * kMs});
    }
}

TEST(TriggerModule, SoftwareTriggerWithoutQueueIsTakenOncePerPeriodAndReportsTheRest) {
    Rig rig;
    rig.startQueue(false, 1, 10);  // period 19 ticks = 152 ns
    EXPECT_EQ(rig.get(R::GeneratorReady), 1u);
    rig.set(R::SoftwareTrigger, 1, 900);  // only a write of 2 adds a pulse
    rig.softwareTrigger(1000);
    EXPECT_EQ(rig.get(R::GeneratorReady), 0u);
    rig.softwareTrigger(1100);
    EXPECT_EQ(rig.get(R::QueueStatus), 1u);
    EXPECT_EQ(rig.sink.times(BoardEvent::ExceededPeriod), std::vector<uint64_t>{1100});
    rig.advance(1151);
    EXPECT_EQ(rig.get(R::GeneratorReady), 0u);
    rig.advance(1152);
    EXPECT_EQ(rig.get(R::GeneratorReady), 1u);
    EXPECT_EQ(rig.get(R::QueueValue), 0u);

    rig.set(R::ExceededPeriodClear, 2, 1200);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);
    rig.softwareTrigger(1200);
    rig.advance(2000);
    EXPECT_EQ(rig.sink.camera, (std::vector<uint64_t>{1008, 1208}));
}

TEST(TriggerModule, QueuedSoftwareTriggersLeaveOncePerPeriodWithFullBitAndFillLevelEvents) {
    Rig rig;
    rig.set(R::HysteresisOn, 3, 0);
    rig.set(R::HysteresisOff, 1, 0);
    rig.startQueue(true, 3, 116);  // period 125 ticks = 1000 ns
    for (int i = 0; i < 5; ++i) rig.softwareTrigger(0);  // one taken, three wait, one dropped
    EXPECT_EQ(rig.get(R::QueueValue), 3u);
    EXPECT_EQ(rig.get(R::QueueStatus), 2u);
    rig.advance(999);
    EXPECT_EQ(rig.get(R::QueueValue), 3u);
    rig.advance(1000);
    EXPECT_EQ(rig.get(R::QueueValue), 2u);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);  // no longer full
    rig.softwareTrigger(1500);  // back to the on level without having fallen to the off level
    rig.advance(4999);
    EXPECT_EQ(rig.get(R::QueueValue), 0u);
    EXPECT_EQ(rig.get(R::GeneratorReady), 0u);
    rig.advance(5000);
    EXPECT_EQ(rig.get(R::GeneratorReady), 1u);
    EXPECT_EQ(rig.sink.camera, every(8, 1000, 5));

    // A second fill that stays below the on level raises nothing more.
    for (int i = 0; i < 3; ++i) rig.softwareTrigger(10000);
    rig.advance(20000);
    EXPECT_EQ(rig.sink.data(BoardEvent::QueueFillLevelOn), std::vector<uint64_t>{3});
    EXPECT_EQ(rig.sink.times(BoardEvent::QueueFillLevelOff), std::vector<uint64_t>{3000});
    EXPECT_EQ(rig.sink.data(BoardEvent::QueueFillLevelOff), std::vector<uint64_t>{1});
    EXPECT_EQ(rig.sink.times(BoardEvent::QueueEmpty), (std::vector<uint64_t>{4000, 12000}));
}

TEST(TriggerModule, MultiplyTurnsEachTakenPulseIntoASequenceAndTheQueueWaitsForIt) {
    Rig rig;
    rig.set(R::MultiplyDownscale, 3, 0);
    rig.set(R::MultiplySelectedPulse, 3, 0);
    rig.startQueue(true, 10, 116);
    rig.softwareTrigger(0);
    rig.softwareTrigger(500);
    EXPECT_EQ(rig.get(R::QueueValue), 1u);
    rig.advance(9000);
    EXPECT_EQ(rig.sink.camera, every(8, 1000, 6));

    // Clearing the sequence stops what is left of it.
    rig.sink.camera.clear();
    rig.softwareTrigger(10000);
    rig.set(R::MultiplyClear, 2, 10500);
    rig.advance(20000);
    EXPECT_EQ(rig.sink.camera, std::vector<uint64_t>{10008});
}

TEST(TriggerModule, ExternalPulsesPassPolarityAndDownscaleAtTheSelectedPhase) {
    for (const uint32_t invert : {0u, 1u}) {
        SCOPED_TRACE(testing::Message() << "invert " << invert);
        Rig rig;
        rig.startExternal(3, invert);
        rig.set(R::InputDownscale, 3, 0);
        rig.set(R::InputSelectedPulse, 2, 0);  // phase 1
        rig.module.pulseInput(3, 9, 10000, 100000);
        rig.advance(300000);
        const uint64_t edge = 100000 + (invert != 0 ? 5000 : 0);
        EXPECT_EQ(rig.sink.camera, (std::vector<uint64_t>{edge + 10008, edge + 40008, edge + 70008}));
        EXPECT_EQ(rig.sink.times(BoardEvent::InputRising3), every(100000, 10000, 9));
    }
}

TEST(TriggerModule, DebounceFiltersPulsesShorterThanItsTime) {
    Rig rig;
    rig.startExternal(3, 0);
    rig.set(R::Debounce, 10, 0);  // 240 ns
    rig.module.pulseInput(3, 5, 400, 1000);  // high for 200 ns
    rig.advance(10000);
    EXPECT_TRUE(rig.sink.camera.empty());
    EXPECT_TRUE(rig.sink.events.empty());

    rig.module.pulseInput(3, 2, 1000, 20000);  // high for 500 ns
    rig.advance(30000);
    EXPECT_EQ(rig.sink.times(BoardEvent::InputRising3), (std::vector<uint64_t>{20240, 21240}));
    EXPECT_EQ(rig.sink.times(BoardEvent::InputFalling3), (std::vector<uint64_t>{20740, 21740}));
    EXPECT_EQ(rig.sink.camera, (std::vector<uint64_t>{20248, 21248}));
}

TEST(TriggerModule, APulseFormGeneratorPassesTheSelectedPulseOfItsDownscale) {
    Rig rig;
    rig.set(R::Pfg1Downscale, 4, 0);
    rig.set(R::Pfg1SelectedPulse, 3, 0);
    rig.set(R::Pfg1Delay, 1, 0);
    rig.set(R::Pfg1Width, 10, 0);
    rig.set(R::Gpo0Select, 1, 0);
    rig.set(R::OutputStatisticsSelect, 1, 0);
    rig.set(R::OutputEventSelect, 1, 0);
    // Generator 2 has four pulses in flight, each overlapping the next: one merged high.
    rig.set(R::Pfg2SelectedPulse, 1, 0);
    rig.set(R::Pfg2Delay, 500, 0);
    rig.set(R::Pfg2Width, 150, 0);
    rig.set(R::Gpo1Select, 2, 0);
    rig.start(false, 116, 0);  // 12 pulses up to 11 us
    rig.advance(11500);
    EXPECT_EQ(rig.module.outputPulses(1), 1u);
    EXPECT_EQ(rig.module.outputLevels() & 2u, 2u);
    EXPECT_EQ(rig.module.outputPulses(0), 3u);
    EXPECT_EQ(rig.get(R::OutputPulses), 3u);
    EXPECT_EQ(rig.sink.times(BoardEvent::OutputEvent), (std::vector<uint64_t>{2008, 6008, 10008}));
    EXPECT_EQ(rig.sink.camera.size(), 12u);  // pulse form generator 0 passes every one

    rig.set(R::OutputPulsesClear, 2, 11500);
    EXPECT_EQ(rig.get(R::OutputPulses), 0u);
}

TEST(TriggerModule, OutputsFollowTheirSelectAndInvert) {
    Rig rig;
    rig.set(R::Gpo2Select, 20, 0);
    rig.set(R::Gpo2Invert, 1, 0);  // VCC
    rig.set(R::Gpo3Select, 8, 0);  // GPI 0
    rig.set(R::FrontGpo1Select, 17, 0);  // front GPI 1
    rig.set(R::Gpo4Select, 5, 0);  // a code without a source: low
    rig.set(R::Gpo5Select, 20, 0);
    rig.set(R::Pfg1SelectedPulse, 1, 0);
    rig.set(R::Pfg1Delay, 1, 0);
    rig.set(R::Pfg1Width, 1000, 0);  // high from 1008 to 9008
    rig.set(R::CameraInvert, 1, 100);  // the inverted low output rises at the write
    rig.start(false, kFiftyHertz, 1000);
    rig.advance(3000);
    EXPECT_EQ(rig.sink.camera, (std::vector<uint64_t>{100, 1088}));  // rises when the pulse ends
    rig.set(R::OutputEventSelect, 1, 3000);  // selected while its generator is high: no edge
    rig.set(R::Gpo5Select, 1, 3000);
    EXPECT_EQ(rig.module.outputLevels(), (1u << 2) | (1u << 5));
    rig.set(R::Gpo5Select, 20, 3000);
    rig.module.setInputLevel(0, true, 4000, rig.sink);
    rig.module.setInputLevel(17, true, 4000, rig.sink);
    EXPECT_EQ(rig.module.outputLevels(), (1u << 2) | (1u << 3) | (1u << 9));
    rig.module.setInputLevel(0, false, 5000, rig.sink);
    EXPECT_EQ(rig.module.outputLevels(), (1u << 2) | (1u << 9));
    EXPECT_EQ(rig.module.outputPulses(2), 1u);
    EXPECT_EQ(rig.module.outputPulses(3), 1u);
    EXPECT_EQ(rig.module.outputPulses(9), 1u);
    EXPECT_EQ(rig.module.outputPulses(4), 0u);
    EXPECT_EQ(rig.module.outputPulses(5), 1u);
    EXPECT_EQ(rig.sink.times(BoardEvent::OutputEvent), std::vector<uint64_t>{1008});  // generator 0's, before
}

TEST(TriggerModule, InputStatisticsCountPeriodsAndMinMaxSinceTheirClear) {
    Rig rig;
    rig.set(R::StatisticsSelect, 9, 0);  // front GPI 1
    rig.module.pulseInput(17, 3, 8000, 0);  // active edges at 0, 8000, 16000
    rig.advance(30000);
    rig.module.pulseInput(17, 3, 16000, 40000);  // 40000, 56000, 72000
    rig.advance(80000);
    EXPECT_EQ(rig.get(R::InputPulses), 6u);
    EXPECT_EQ(rig.get(R::InputPeriod), 2000u);
    EXPECT_EQ(rig.get(R::InputPeriodMin), 1000u);
    EXPECT_EQ(rig.get(R::InputPeriodMax), 3000u);
    EXPECT_EQ(rig.sink.data(BoardEvent::FrontRising1), std::vector<uint64_t>(6, 17));

    rig.set(R::InputMinMaxClear, 1, 90000);
    EXPECT_EQ(rig.get(R::InputPeriodMin), 0u);
    EXPECT_EQ(rig.get(R::InputPeriodMax), 0u);
    rig.module.pulseInput(17, 2, 4000, 100000);
    rig.advance(110000);
    EXPECT_EQ(rig.get(R::InputPeriodMin), 500u);
    EXPECT_EQ(rig.get(R::InputPeriodMax), 3500u);

    rig.set(R::InputPulsesClear, 2, 110000);
    EXPECT_EQ(rig.get(R::InputPulses), 0u);
    rig.module.setInputLevel(2, true, 120000, rig.sink);
    rig.module.setInputLevel(19, true, 120000, rig.sink);
    EXPECT_EQ(rig.get(R::InputLevels), 1u << 2);
    EXPECT_EQ(rig.get(R::FrontInputLevels), 1u << 3);
    EXPECT_EQ(rig.get(R::InputPulses), 0u);  // other pins are not counted
}

TEST(TriggerModule, MissingFrameIsReportedUnlessHeldClearedAndClearsOnce) {
    Rig rig;
    rig.module.cameraMissedFrame(100, rig.sink);
    EXPECT_EQ(rig.get(R::QueueStatus), 4u);
    rig.set(R::MissingFrameClear, 2, 200);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);

    rig.set(R::MissingFrameReset, 1, 300);
    rig.module.cameraMissedFrame(400, rig.sink);
    EXPECT_EQ(rig.get(R::QueueStatus), 0u);
    rig.set(R::MissingFrameReset, 0, 500);
    rig.module.cameraMissedFrame(600, rig.sink);
    EXPECT_EQ(rig.get(R::QueueStatus), 4u);
    EXPECT_EQ(rig.sink.times(BoardEvent::MissingFrame), (std::vector<uint64_t>{100, 600}));
}

}  // namespace
