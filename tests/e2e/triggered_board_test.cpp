// The simulated board's trigger module and camera as an application drives them through the
// applet, on the virtual clock: the generator and the trigger states, software triggers with and
// without the queue, external pulses with downscale, polarity and multiply, a pulse form
// generator's downscale, a camera too slow for its triggers, the simulator's trigger modes, the
// camera's pixels, the statistics and the events.
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "orvanta/type_codes.h"
#include "orvanta_sim/runtime.h"
#include "trigger_board.h"

namespace {

using vexo::kTypeDouble;
using vexo::kTypeU32;

constexpr uint64_t kMs = 1000000;
constexpr uint64_t kSecond = 1000 * kMs;
constexpr int32_t kRing = 1, kBlocking = 2;
constexpr int32_t kDelivered = 1, kLength = 4;
constexpr uint32_t kGenerator = 1, kExternal = 2, kSoftware = 4;
constexpr uint32_t kActive = 0, kAsyncStop = 1, kSyncStop = 2;
constexpr uint32_t kWidth = 64, kHeight = 16;
constexpr int32_t kBusy = -60;

// A camera of 64 x 16 pixels that takes up to 5000 frames per second (0.2 ms each), the region
// its whole frame, a ring of 8 buffers acquiring from the camera port; the clock stands still.
class TriggeredBoard : public trigger_test::TriggerBoard {
protected:
    void SetUp() override {
        TriggerBoard::SetUp();
        SimCtl_SetVirtualClock(1);
        ASSERT_EQ(SimCtl_SetCamera(0, 1, kWidth, kHeight, 5000), 0);
        ASSERT_EQ(set("FG_WIDTH", kWidth), 0);
        ASSERT_EQ(set("FG_HEIGHT", kHeight), 0);
        memory_ = Fg_AllocMemEx(fg(), 8 * kWidth * kHeight, 8);
        ASSERT_NE(memory_, nullptr);
        ASSERT_EQ(Fg_AcquireEx(fg(), 0, 0, kRing, memory_), 0);
    }
    void TearDown() override { Fg_stopAcquireEx(fg(), 0, memory_, 0); }

    int32_t id(const char* name) { return Fg_getParameterIdByName(fg(), name); }
    uint32_t u32(const char* name) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(Fg_getParameterWithType(fg(), id(name), &value, 0, kTypeU32), 0) << name;
        return value;
    }
    double f64(const char* name) {
        double value = -1;
        EXPECT_EQ(Fg_getParameterWithType(fg(), id(name), &value, 0, kTypeDouble), 0) << name;
        return value;
    }
    // The generator's rate, then the mode and the state.
    void trigger(double rate, uint32_t mode, uint32_t state) {
        ASSERT_EQ(set("FG_TRIGGER_FRAMESPERSECOND", rate), 0);
        ASSERT_EQ(set("FG_AREATRIGGERMODE", mode), 0);
        ASSERT_EQ(set("FG_TRIGGERSTATE", state), 0);
    }
    int64_t delivered() { return Fg_getStatusEx(fg(), kDelivered, 0, 0, memory_); }
    // Pictures delivered while the clock moves on by `nanoseconds`.
    int64_t deliveredIn(uint64_t nanoseconds) {
        const int64_t before = delivered();
        SimCtl_AdvanceClock(nanoseconds);
        return delivered() - before;
    }
    std::vector<uint8_t> picture(int64_t number) {
        const auto* bytes = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg(), number, 0, memory_));
        const int64_t length = Fg_getStatusEx(fg(), kLength, static_cast<uint64_t>(number), 0, memory_);
        if (bytes == nullptr || length <= 0) return {};
        return std::vector<uint8_t>(bytes, bytes + length);
    }
    uint64_t mask(const char* event) { return Fg_getEventMask(fg(), event); }

    void* memory_ = nullptr;
};

TEST_F(TriggeredBoard, GeneratorRunsWhileActiveAndStopsAsItsStateSays) {
    trigger(50, kGenerator, kActive);
    EXPECT_EQ(deliveredIn(kSecond - kMs), 50);
    ASSERT_EQ(set("FG_TRIGGERSTATE", kSyncStop), 0);
    EXPECT_EQ(deliveredIn(kSecond), 0);
    // Active again: the generator starts its period afresh at once.
    ASSERT_EQ(set("FG_TRIGGERSTATE", kActive), 0);
    EXPECT_EQ(deliveredIn(kMs), 1);

    // A pulse held in pulse form generator 0 for 5 ms: Sync Stop lets it out, Async Stop drops it.
    ASSERT_EQ(set("FG_TRIGGERSTATE", kSyncStop), 0);
    ASSERT_EQ(set("FG_TRIGGER_PULSEFORMGEN0_DELAY", 5000.0), 0);
    SimCtl_AdvanceClock(kSecond);
    for (const uint32_t stop : {kSyncStop, kAsyncStop}) {
        SCOPED_TRACE(stop);
        ASSERT_EQ(set("FG_TRIGGERSTATE", kActive), 0);
        SimCtl_AdvanceClock(kMs);
        ASSERT_EQ(set("FG_TRIGGERSTATE", stop), 0);
        EXPECT_EQ(deliveredIn(kSecond), stop == kSyncStop ? 1 : 0);
        ASSERT_EQ(set("FG_TRIGGERSTATE", kSyncStop), 0);
    }
}

// Unrecorded writes of plain registers skip the runtime's locks; trigger registers must still
// reach the trigger module, and the region the image path.
TEST_F(TriggeredBoard, UnrecordedWritesReachTheTriggerModuleAndTheRegion) {
    SimCtl_SetRecording(0);
    ASSERT_EQ(set("FG_WIDTH", kWidth / 2), 0);
    trigger(50, kGenerator, kActive);
    EXPECT_EQ(deliveredIn(kSecond - kMs), 50);
    EXPECT_EQ(picture(delivered()).size(), kWidth / 2 * kHeight);
}

TEST_F(TriggeredBoard, PulseFormGeneratorDownscaleThinsTheCameraTriggers) {
    ASSERT_EQ(set("FG_TRIGGER_PULSEFORMGEN0_DOWNSCALE", 4u), 0);
    trigger(100, kGenerator, kActive);
    EXPECT_EQ(deliveredIn(kSecond - kMs), 25);
    EXPECT_EQ(u32("FG_TRIGGEROUT_STATS_PULSECOUNT"), 25u);
}

TEST_F(TriggeredBoard, DigitalOutputsFollowTheirSourceAndInversion) {
    ASSERT_EQ(set("FG_TRIGGEROUT_SELECT_GPO_3", 1), 0);        // PULSEGEN1
    ASSERT_EQ(set("FG_TRIGGEROUT_SELECT_FRONT_GPO_1", 5), 0);  // VCC
    ASSERT_EQ(set("FG_TRIGGEROUT_SELECT_GPO_5", 11), 0);       // BYPASS_GPI_1
    ASSERT_EQ(set("FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 2u), 0);
    // Start-up's outputs at VCC rose once already.
    const int64_t gpo3 = SimCtl_TriggerOutputPulses(0, 3), gpo5 = SimCtl_TriggerOutputPulses(0, 5);
    trigger(100, kGenerator, kActive);
    SimCtl_AdvanceClock(kSecond - kMs);
    EXPECT_EQ(SimCtl_TriggerOutputPulses(0, 3) - gpo3, 50);
    EXPECT_EQ(SimCtl_TriggerOutputLevels(0) & (1u << 9), 1u << 9);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 1, 4, kMs), 0);
    SimCtl_AdvanceClock(10 * kMs);
    EXPECT_EQ(SimCtl_TriggerOutputPulses(0, 5) - gpo5, 4);
    EXPECT_EQ(SimCtl_TriggerOutputPulses(0, 10), -1);
}

TEST_F(TriggeredBoard, SoftwareTriggerSingleBusyAndQueued) {
    trigger(100, kSoftware, kActive);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 1u), 0);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 1u);
    EXPECT_EQ(set("FG_SENDSOFTWARETRIGGER", 1u), kBusy);
    EXPECT_EQ(deliveredIn(10 * kMs), 1);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 0u);

    // Queued: one pulse leaves at once, the rest one per 10 ms period.
    ASSERT_EQ(set("FG_TRIGGERQUEUE_MODE", 1), 0);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 5u), 0);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 4u);
    EXPECT_EQ(u32("FG_SOFTWARETRIGGER_IS_BUSY"), 1u);
    EXPECT_EQ(deliveredIn(25 * kMs), 3);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 2u);
    EXPECT_EQ(deliveredIn(kSecond), 2);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 0u);

    // More than the queue holds: it reports full, and what did not fit is gone.
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 2040u), 0);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 2040u), 0);
    EXPECT_EQ(u32("FG_TRIGGERQUEUE_FILLLEVEL"), 2040u);
    EXPECT_EQ(deliveredIn(30 * kSecond), 2041);
}

TEST_F(TriggeredBoard, ExternalPulsesPassPolarityDownscaleAndMultiply) {
    trigger(1000, kExternal, kActive);
    ASSERT_EQ(set("FG_TRIGGERIN_SRC", 17u), 0);  // front GPI 1
    ASSERT_EQ(set("FG_TRIGGERIN_DOWNSCALE", 3u), 0);
    ASSERT_EQ(set("FG_TRIGGERIN_DOWNSCALE_PHASE", 1u), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 17, 9, 10 * kMs), 0);
    EXPECT_EQ(deliveredIn(100 * kMs), 3);
    // Another input makes no trigger.
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 16, 9, 10 * kMs), 0);
    EXPECT_EQ(deliveredIn(100 * kMs), 0);

    ASSERT_EQ(set("FG_TRIGGERIN_DOWNSCALE_PHASE", 0u), 0);
    ASSERT_EQ(set("FG_TRIGGERIN_DOWNSCALE", 1u), 0);
    ASSERT_EQ(set("FG_TRIGGER_MULTIPLY_PULSES", 3u), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 17, 2, 10 * kMs), 0);
    EXPECT_EQ(deliveredIn(100 * kMs), 6);

    // Low active: the falling edge triggers, a change of polarity itself does not.
    ASSERT_EQ(set("FG_TRIGGER_MULTIPLY_PULSES", 1u), 0);
    ASSERT_EQ(SimCtl_SetTriggerInputLevel(0, 17, 1), 0);
    ASSERT_EQ(set("FG_TRIGGERIN_POLARITY", 1u), 0);
    EXPECT_EQ(deliveredIn(10 * kMs), 0);
    ASSERT_EQ(SimCtl_SetTriggerInputLevel(0, 17, 0), 0);
    EXPECT_EQ(deliveredIn(10 * kMs), 1);
    ASSERT_EQ(SimCtl_SetTriggerInputLevel(0, 17, 1), 0);
    EXPECT_EQ(deliveredIn(10 * kMs), 0);
    EXPECT_EQ(u32("FG_FRONT_GPI") & 2u, 2u);

    EXPECT_EQ(SimCtl_PulseTriggerInput(0, 8, 1, kMs), -1);
    EXPECT_EQ(SimCtl_SetTriggerInputLevel(SIM_BOARD_COUNT, 0, 1), -1);
}

TEST_F(TriggeredBoard, TriggersFasterThanTheCameraGiveMissingFrames) {
    ASSERT_EQ(SimCtl_SetCamera(0, 1, kWidth, kHeight, 250), 0);
    EXPECT_EQ(u32("FG_MISSING_CAMERA_FRAME_RESPONSE"), 0u);
    trigger(1000, kGenerator, kActive);
    // The camera takes every fifth pulse: the four after it come while it sends its 4 ms frame.
    EXPECT_EQ(deliveredIn(kSecond - kMs / 2), 200);
    EXPECT_EQ(u32("FG_MISSING_CAMERA_FRAME_RESPONSE"), 1u);
    ASSERT_EQ(set("FG_TRIGGERSTATE", kSyncStop), 0);
    SimCtl_AdvanceClock(10 * kMs);
    ASSERT_EQ(set("FG_MISSING_CAMERA_FRAME_RESPONSE_CLEAR", 1u), 0);
    EXPECT_EQ(u32("FG_MISSING_CAMERA_FRAME_RESPONSE"), 0u);
}

TEST_F(TriggeredBoard, CameraPixelsFrameNumbersAndDisconnection) {
    trigger(100, kSoftware, kActive);
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 1u), 0);
        SimCtl_AdvanceClock(10 * kMs);
    }
    ASSERT_EQ(delivered(), 2);
    for (uint64_t k = 0; k < 2; ++k) {
        const std::vector<uint8_t> bytes = picture(static_cast<int64_t>(k + 1));
        ASSERT_EQ(bytes.size(), uint64_t{kWidth} * kHeight);
        for (uint64_t i = 0; i < bytes.size(); ++i) {
            const uint64_t x = i % kWidth, y = i / kWidth;
            ASSERT_EQ(bytes[i], static_cast<uint8_t>((x ^ y) + k)) << "frame " << k << " x " << x << " y " << y;
        }
    }
    EXPECT_EQ(u32("FG_CAMSTATUS"), 1u);

    ASSERT_EQ(SimCtl_SetCamera(0, 0, kWidth, kHeight, 5000), 0);
    EXPECT_EQ(u32("FG_CAMSTATUS"), 0u);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 1u), 0);
    SimCtl_AdvanceClock(10 * kMs);
    EXPECT_EQ(Fg_getLastPicNumberBlockingEx(fg(), 3, 0, 0, memory_), SIM_ERR_TIMEOUT);
}

TEST_F(TriggeredBoard, SimulatorTriggeredByFrameAndByLine) {
    ASSERT_EQ(set("FG_CAMERASIMULATOR_ENABLE", 1u), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_WIDTH", kWidth), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_HEIGHT", kHeight), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_FRAMERATE", 2000.0), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_TRIGGER_MODE", 9u), 0);  // a frame per pulse
    trigger(100, kGenerator, kActive);
    EXPECT_EQ(deliveredIn(kSecond - kMs), 100);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_TRIGGER_MODE", 8u), 0);  // a line per pulse
    EXPECT_EQ(deliveredIn(kSecond), 100 / kHeight);
    // Free run again: the simulator's own rate, whatever the trigger does.
    ASSERT_EQ(set("FG_TRIGGERSTATE", kSyncStop), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_TRIGGER_MODE", 0u), 0);
    const int64_t freeRun = deliveredIn(kSecond);
    EXPECT_GE(freeRun, 1999);
    EXPECT_LE(freeRun, 2001);
}

TEST_F(TriggeredBoard, InputStatisticsCountAndMeasureTheSelectedInput) {
    ASSERT_EQ(set("FG_TRIGGERIN_STATS_SOURCE", 3u), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 3, 10, kMs), 0);
    SimCtl_AdvanceClock(20 * kMs);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 3, 5, 2 * kMs), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 4, 5, kMs / 2), 0);
    SimCtl_AdvanceClock(20 * kMs);
    EXPECT_EQ(u32("FG_TRIGGERIN_STATS_PULSECOUNT"), 15u);
    EXPECT_NEAR(f64("FG_TRIGGERIN_STATS_FREQUENCY"), 500, 1e-6);
    EXPECT_NEAR(f64("FG_TRIGGERIN_STATS_MINFREQUENCY"), 1000.0 / 11, 1e-6);  // the gap between the trains
    EXPECT_NEAR(f64("FG_TRIGGERIN_STATS_MAXFREQUENCY"), 1000, 1e-6);
    ASSERT_EQ(set("FG_TRIGGERIN_STATS_PULSECOUNT_CLEAR", 1u), 0);
    EXPECT_EQ(u32("FG_TRIGGERIN_STATS_PULSECOUNT"), 0u);
    ASSERT_EQ(set("FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR", 1u), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 3, 3, 4 * kMs), 0);
    SimCtl_AdvanceClock(20 * kMs);
    EXPECT_EQ(u32("FG_TRIGGERIN_STATS_PULSECOUNT"), 3u);
    EXPECT_NEAR(f64("FG_TRIGGERIN_STATS_MAXFREQUENCY"), 250, 1e-6);
    // The first period after the clear began before it: 12 ms since the last pulse of the train before.
    EXPECT_NEAR(f64("FG_TRIGGERIN_STATS_MINFREQUENCY"), 1000.0 / 12, 1e-6);
}

// Records every handler call.
struct Calls {
    std::vector<uint64_t> events;
    std::vector<Fg_EventInfo> infos;
    static int32_t record(uint64_t events, void* data, const Fg_EventInfo* info) {
        auto* calls = static_cast<Calls*>(data);
        calls->events.push_back(events);
        calls->infos.push_back(*info);
        return 0;
    }
};

TEST_F(TriggeredBoard, EventsReachHandlersAndWaits) {
    const uint64_t rising = mask("FG_TRIGGER_INPUT2_RISING"), falling = mask("FG_TRIGGER_INPUT2_FALLING");
    ASSERT_NE(rising, 0u);
    ASSERT_NE(falling, 0u);
    Calls calls;
    Fg_EventInfo info{};
    info.version = 1;
    ASSERT_EQ(Fg_registerEventCallback(fg(), rising | falling, &Calls::record, &calls, 0, &info), 0);
    EXPECT_EQ(Fg_registerEventCallback(fg(), rising, &Calls::record, &calls, 1, &info), SIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(Fg_registerEventCallback(memory_, rising, &Calls::record, &calls, 0, &info), SIM_ERR_INVALID_HANDLE);

    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 2, 2, 10 * kMs), 0);
    SimCtl_AdvanceClock(30 * kMs);
    // Rising and falling edge of each pulse, each in a call of its own at its time (debounced).
    ASSERT_EQ(calls.events.size(), 4u);
    EXPECT_EQ(calls.events[0], rising);
    EXPECT_EQ(calls.events[1], falling);
    EXPECT_EQ(calls.infos[0].count, 1u);
    EXPECT_EQ(calls.infos[0].data[0], 2u);
    EXPECT_EQ(calls.infos[2].timestampNs[0] - calls.infos[0].timestampNs[0], 10 * kMs);
    EXPECT_EQ(calls.infos[1].timestampNs[0] - calls.infos[0].timestampNs[0], 5 * kMs);

    // The waits saw them too: since the handle opened, but none after the call or since that wait.
    Fg_EventInfo waited{};
    waited.version = 1;
    EXPECT_EQ(Fg_eventWait(fg(), rising | falling | mask("FG_OVERFLOW_CAM0"), 0, 1, &waited), rising | falling);
    EXPECT_EQ(waited.count, 2u);
    EXPECT_EQ(waited.timestampNs[0], calls.infos[2].timestampNs[0]);
    EXPECT_EQ(Fg_eventWait(fg(), rising | falling, 0, 0, &waited), 0u);
    EXPECT_EQ(Fg_eventWait(fg(), rising, 0, 1, &waited), 0u);

    // Unregistered: no more calls.
    ASSERT_EQ(Fg_registerEventCallback(fg(), rising | falling, nullptr, nullptr, 0, nullptr), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(0, 2, 1, 10 * kMs), 0);
    SimCtl_AdvanceClock(30 * kMs);
    EXPECT_EQ(calls.events.size(), 4u);
}

TEST_F(TriggeredBoard, QueueThresholdsFrameStartMissingFrameAndOverflowEvents) {
    const uint64_t on = mask("FG_TRIGGER_QUEUE_FILLLEVEL_THRESHOLD_CAM0_ON");
    const uint64_t off = mask("FG_TRIGGER_QUEUE_FILLLEVEL_THRESHOLD_CAM0_OFF");
    const uint64_t start = mask("FG_START_OF_FRAME_CAM_PORT_0"), missing = mask("FG_MISSING_CAM0_FRAME_RESPONSE");
    Calls calls;
    Fg_EventInfo info{};
    info.version = 1;
    ASSERT_EQ(Fg_registerEventCallback(fg(), on | off, &Calls::record, &calls, 0, &info), 0);
    ASSERT_EQ(set("FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD", 10u), 0);
    ASSERT_EQ(set("FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD", 3u), 0);
    trigger(1000, kSoftware, kActive);
    ASSERT_EQ(set("FG_TRIGGERQUEUE_MODE", 1), 0);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 20u), 0);
    SimCtl_AdvanceClock(100 * kMs);
    // Once each: on when the queue reached 10, off when it fell to 3.
    ASSERT_EQ(calls.events.size(), 2u);
    EXPECT_EQ(calls.events[0], on);
    EXPECT_EQ(calls.infos[0].data[0], 10u);
    EXPECT_EQ(calls.events[1], off);
    EXPECT_EQ(calls.infos[1].data[0], 3u);

    Fg_EventInfo waited{};
    waited.version = 1;
    EXPECT_EQ(Fg_eventWait(fg(), start | missing, 0, 1, &waited), start);
    EXPECT_EQ(waited.data[0], 20u);  // the camera's twentieth frame

    // A camera that takes only one of two pulses, and a blocking memory no one gives back.
    ASSERT_EQ(Fg_stopAcquireEx(fg(), 0, memory_, 0), 0);
    ASSERT_EQ(SimCtl_SetCamera(0, 1, kWidth, kHeight, 800), 0);
    ASSERT_EQ(Fg_AcquireEx(fg(), 0, 0, kBlocking, memory_), 0);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 20u), 0);
    SimCtl_AdvanceClock(100 * kMs);
    EXPECT_EQ(Fg_eventWait(fg(), missing | mask("FG_OVERFLOW_CAM0"), 0, 1, &waited),
              missing | mask("FG_OVERFLOW_CAM0"));
}

// On the real clock the runtime's own thread runs the board: a wait sees a software trigger's
// frame start without anyone moving the clock.
TEST(TriggeredBoardRealTime, WaitSeesTheFrameStartOfASoftwareTrigger) {
    board::OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    auto set = [&](const char* name, uint32_t value) {
        return Fg_setParameterWithType(board.fg, Fg_getParameterIdByName(board.fg, name), &value, 0, kTypeU32);
    };
    ASSERT_EQ(set("FG_AREATRIGGERMODE", kSoftware), 0);
    ASSERT_EQ(set("FG_TRIGGERSTATE", kActive), 0);
    ASSERT_EQ(set("FG_SENDSOFTWARETRIGGER", 1), 0);
    const uint64_t end = Fg_getEventMask(board.fg, "FG_END_OF_FRAME_CAM_PORT_0");
    EXPECT_EQ(Fg_eventWait(board.fg, end, 10000, 1, nullptr), end);
}

}  // namespace
