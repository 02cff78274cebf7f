// The setters of the camera simulator. Sizes are rounded to the simulator's 32-pixel width and
// written as line and frame geometry; the three timing modes each program the clock registers
// from one rate, and each limits the sizes the others may take so that the simulator never has
// to exceed its maximum pixel rate.
#include "applet/core/setters.h"

#include <cmath>
#include <cstddef>
#include <initializer_list>
#include <utility>

#include "applet/camera_simulator/camera_simulator.h"
#include "applet/camera_simulator/camera_simulator_conversions.h"
#include "applet/description/description_refresh.h"
#include "nx/nx_access.h"

namespace vexo::applet {

namespace {

using nx::NxParameter;
using nx::readNx;
using nx::writeNx;
using namespace simulator;

// Pixels per line and lines per frame, gaps included, that the simulator's counters hold.
constexpr uint64_t kMaximumSize = 65536;
constexpr double kMinimumRate = 0.1;
constexpr double kMaximumPixelFrequency = 4000;
constexpr uint32_t kMaximumPatternOffset = 255;

struct PatternRow {
    uint32_t pattern;   // FG_HORIZONTAL, FG_VERTICAL, FG_DIAGONAL
    uint32_t enableX;   // 1: the value grows along the line
    uint32_t yDivisor;  // 1: it grows with every line, 256: it stays for 256 lines
};
constexpr PatternRow kPatterns[] = {{1, 1, 1}, {2, 0, 256}, {3, 1, 256}};

struct RollRow {
    int32_t roll;  // FG_OFF, FG_ON
    uint32_t frameDivisor;
};
// A rolling pattern moves on with every frame; a static one only after 256.
constexpr RollRow kRolls[] = {{0, 1}, {1, 256}};

struct TriggerModeRow {
    uint32_t mode;  // SIMULATION_FREE_RUN, RISING_EDGE_TRIGGERS_LINE, RISING_EDGE_TRIGGERS_FRAME
    uint32_t freeRun;
    uint32_t valveMode;
};
constexpr TriggerModeRow kTriggerModes[] = {{0, 1, 2}, {8, 0, 1}, {9, 0, 2}};

constexpr uint32_t kSources[] = {0, 1};  // FG_CAMPORT, FG_CAMERASIMULATOR

template <typename T, size_t N>
bool listed(const T (&list)[N], T value) {
    for (const T& entry : list) {
        if (entry == value) return true;
    }
    return false;
}

template <typename Row, size_t N, typename Key, typename Field>
const Row* findRow(const Row (&rows)[N], Field Row::*key, Key value) {
    for (const Row& row : rows) {
        if (row.*key == value) return &row;
    }
    return nullptr;
}

uint32_t selectMode(const Board& w) {
    return stored<uint32_t>(w, SdkParameter::FG_CAMERASIMULATOR_SELECT_MODE);
}
uint32_t storedHeight(const Board& w) { return stored<uint32_t>(w, SdkParameter::FG_CAMERASIMULATOR_HEIGHT); }

void refresh(Board& w, std::initializer_list<SdkParameter> parameters) {
    for (const SdkParameter p : parameters) refreshDescription(w, p);
}

// The simulator counts a line as a whole and its active part, in clocks: the register named
// image width takes the whole line, the one named line gap the active part. Frames alike, in
// lines. A geometry that does not fit the counters changes nothing.
void setLineGeometry(Board& w, uint64_t width, uint64_t gap) {
    width = roundToProcessingWidth(width);
    gap = roundToProcessingWidth(gap);
    if (width + gap > kMaximumSize) throw errors::kValueOutOfRange;
    CameraSimulatorState& s = w.cameraSimulator();
    s.width = static_cast<uint32_t>(width);
    s.lineGap = static_cast<uint32_t>(gap);
    writeNx<NxParameter::Process0_CameraSimulator_Size_ImageWidth>(w,
        static_cast<uint32_t>((width + gap) / kPixelsPerClock));
    writeNx<NxParameter::Process0_CameraSimulator_LineGap_Number>(w, static_cast<uint32_t>(width / kPixelsPerClock));
}

void setFrameGeometry(Board& w, uint64_t height, uint64_t gap) {
    if (height + gap > kMaximumSize) throw errors::kValueOutOfRange;
    CameraSimulatorState& s = w.cameraSimulator();
    s.height = static_cast<uint32_t>(height);
    s.frameGap = static_cast<uint32_t>(gap);
    writeNx<NxParameter::Process0_CameraSimulator_Size_ImageHeight>(w, static_cast<uint32_t>(height + gap));
    writeNx<NxParameter::Process0_CameraSimulator_FrameGap_Number>(w, static_cast<uint32_t>(height));
}

// The smaller of a limit and a bound that a rate sets; a bound that is not a number refuses.
double atMost(double limit, double rateBound) { return rateBound >= limit ? limit : rateBound; }

bool withinLimit(uint32_t value, double limit) { return static_cast<double>(value) <= limit; }

// The size limits in force before a change, from the running rates: a larger size would need a
// pixel rate above the simulator's maximum.
double widthLimit(Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t mode = selectMode(w);
    const double rate = s.maximumPixelRate;
    double limit = static_cast<double>(kMaximumSize) - (mode == kSelectPixelFrequency ? s.lineGap : 0);
    if (mode == kSelectLineRate) {
        limit = atMost(limit, std::trunc(rate / cameraSimulatorLineRate(w, mode) - kPixelsPerClock));
    } else if (mode == kSelectFrameRate) {
        limit =
            atMost(limit, std::trunc(rate / (storedHeight(w) * cameraSimulatorFrameRate(w, mode)) - kPixelsPerClock));
    }
    return limit;
}

double lineGapLimit(Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t mode = selectMode(w);
    if (mode == kSelectFrameRate) return 0;
    double limit = static_cast<double>(kMaximumSize) - s.width;
    if (mode == kSelectLineRate) {
        const double lineRate = cameraSimulatorLineRate(w, mode);
        limit = atMost(limit, std::trunc(s.maximumPixelRate / lineRate - s.width - kPixelsPerClock));
    }
    return limit;
}

double heightLimit(Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t mode = selectMode(w);
    if (mode != kSelectFrameRate) return static_cast<double>(kMaximumSize) - s.frameGap;
    const double frameRate = cameraSimulatorFrameRate(w, mode);
    return atMost(static_cast<double>(kMaximumSize),
                  std::trunc(s.maximumPixelRate / ((s.width + static_cast<double>(kPixelsPerClock)) * frameRate)));
}

// Setters whose limits depend on the running rates read the clock registers for their check; a
// failed read ends the setter before anything is stored.
template <typename Check, typename Apply>
void runLimitedSetter(Board& w, SdkParameter p, uint32_t value, Check&& check, bool throwOnError,
                      Apply&& apply) {
    bool accepted = false;
    try {
        accepted = check();
    } catch (int32_t code) {
        failSetter(code, throwOnError);
        return;
    }
    runSetter(w, p, value, accepted, throwOnError, std::forward<Apply>(apply));
}

// After a change of the select mode the new mode's rate is programmed again from what the
// application last asked for, within what the current width allows.
void reapplyRate(Board& w, uint32_t mode) {
    const CameraSimulatorState& s = w.cameraSimulator();
    if (mode == kSelectPixelFrequency) {
        setCameraSimulatorPixelFrequency(w, stored<double>(w, SdkParameter::FG_CAMERASIMULATOR_PIXEL_FREQUENCY), true);
    } else if (mode == kSelectLineRate) {
        const double fastest = s.maximumPixelRate / (s.width + static_cast<double>(kPixelsPerClock));
        const double requested = stored<double>(w, SdkParameter::FG_CAMERASIMULATOR_LINERATE);
        setCameraSimulatorLineRate(w, requested < fastest ? requested : fastest, true);
    } else {
        setCameraSimulatorFrameRate(w, s.frameRate, true);
    }
}

}  // namespace

void setCameraSimulatorEnable(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_ENABLE, value, listed(kSources, value), throwOnError,
              [&] { writeNx<NxParameter::Process0_CameraSimulator_Enable_SelectSource>(w, value); });
}

void setCameraSimulatorPattern(Board& w, uint32_t value, bool throwOnError) {
    const PatternRow* row = findRow(kPatterns, &PatternRow::pattern, value);
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_PATTERN, value, row != nullptr, throwOnError, [&] {
        writeNx<NxParameter::Process0_CameraSimulator_EnableX_Enable_Value>(w, row->enableX);
        writeNx<NxParameter::Process0_CameraSimulator_Y_Divisor>(w, row->yDivisor);
    });
}

void setCameraSimulatorPatternOffset(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_PATTERN_OFFSET, value, value <= kMaximumPatternOffset, throwOnError,
              [&] { writeNx<NxParameter::Process0_CameraSimulator_Offset_Value>(w, value); });
}

void setCameraSimulatorRoll(Board& w, int32_t value, bool throwOnError) {
    const RollRow* row = findRow(kRolls, &RollRow::roll, value);
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_ROLL, value, row != nullptr, throwOnError,
              [&] { writeNx<NxParameter::Process0_CameraSimulator_Frame_Divisor>(w, row->frameDivisor); });
}

void setCameraSimulatorTriggerMode(Board& w, uint32_t value, bool throwOnError) {
    const TriggerModeRow* row = findRow(kTriggerModes, &TriggerModeRow::mode, value);
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_TRIGGER_MODE, value, row != nullptr, throwOnError, [&] {
        writeNx<NxParameter::Process0_CameraSimulator_TriggerValve_FreeRun_Select>(w, row->freeRun);
        writeNx<NxParameter::Process0_CameraSimulator_TriggerValve_TriggerValve_Mode>(w, row->valveMode);
    });
}

void setCameraSimulatorWidth(Board& w, uint32_t value, bool throwOnError) {
    runLimitedSetter(
        w, SdkParameter::FG_CAMERASIMULATOR_WIDTH, value,
        [&] { return value >= 1 && withinLimit(value, widthLimit(w)); }, throwOnError,
        [&] {
            setLineGeometry(w, value, selectMode(w) == kSelectPixelFrequency ? w.cameraSimulator().lineGap : 0);
            refresh(w, {SdkParameter::FG_CAMERASIMULATOR_LINE_GAP, SdkParameter::FG_CAMERASIMULATOR_HEIGHT,
                        SdkParameter::FG_CAMERASIMULATOR_LINERATE, SdkParameter::FG_CAMERASIMULATOR_FRAMERATE});
        });
}

void setCameraSimulatorLineGap(Board& w, uint32_t value, bool throwOnError) {
    runLimitedSetter(
        w, SdkParameter::FG_CAMERASIMULATOR_LINE_GAP, value, [&] { return withinLimit(value, lineGapLimit(w)); },
        throwOnError,
        [&] {
            setLineGeometry(w, w.cameraSimulator().width, value);
            refresh(w, {SdkParameter::FG_CAMERASIMULATOR_WIDTH});
        });
}

void setCameraSimulatorHeight(Board& w, uint32_t value, bool throwOnError) {
    runLimitedSetter(
        w, SdkParameter::FG_CAMERASIMULATOR_HEIGHT, value,
        [&] { return value >= 1 && withinLimit(value, heightLimit(w)); }, throwOnError,
        [&] {
            const bool frameRateMode = selectMode(w) == kSelectFrameRate;
            setFrameGeometry(w, value, frameRateMode ? 0 : w.cameraSimulator().frameGap);
            // The frame period is spread over the lines: more lines need a shorter line.
            if (frameRateMode) {
                setCameraSimulatorFrameRate(w, stored<double>(w, SdkParameter::FG_CAMERASIMULATOR_FRAMERATE), true);
            }
            refresh(w, {SdkParameter::FG_CAMERASIMULATOR_WIDTH, SdkParameter::FG_CAMERASIMULATOR_FRAME_GAP,
                        SdkParameter::FG_CAMERASIMULATOR_FRAMERATE});
        });
}

void setCameraSimulatorFrameGap(Board& w, uint32_t value, bool throwOnError) {
    const uint32_t height = storedHeight(w);
    // Only pixel-frequency mode runs frame gaps; the other modes derive the frame from the line.
    const bool accepted =
        selectMode(w) == kSelectPixelFrequency ? uint64_t{value} + height <= kMaximumSize : value == 0;
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_FRAME_GAP, value, accepted, throwOnError, [&] {
        setFrameGeometry(w, height, value);
        refresh(w, {SdkParameter::FG_CAMERASIMULATOR_HEIGHT});
    });
}

// A frequency below about 1 MHz rounds to no active clock at all, of which no repeat divisor
// can be formed: it is refused like any value outside the range.
void setCameraSimulatorPixelFrequency(Board& w, double value, bool throwOnError) {
    const bool inRange = value >= 0 && value <= kMaximumPixelFrequency;
    const uint32_t active = inRange ? activePixelsForFrequency(value) : 0;
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_PIXEL_FREQUENCY, value, active > 0, throwOnError, [&] {
        writeNx<NxParameter::Process0_CameraSimulator_PixelFrequency_ActivePixel_Number>(w, active);
        writeNx<NxParameter::Process0_CameraSimulator_PixelFrequency_RepeatPat_Divisor>(w,
            kFrequencySequenceLength / active);
        writeNx<NxParameter::Process0_CameraSimulator_PixelFrequency_SequenceLength_ImageWidth>(w,
            kFrequencySequenceLength);
        w.cameraSimulator().frameRate = cameraSimulatorFrameRate(w, selectMode(w));
    });
}

void setCameraSimulatorLineRate(Board& w, double value, bool throwOnError) {
    CameraSimulatorState& s = w.cameraSimulator();
    const bool accepted =
        value >= kMinimumRate && value <= s.maximumPixelRate / (s.width + static_cast<double>(kPixelsPerClock));
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_LINERATE, value, accepted, throwOnError, [&] {
        writeNx<NxParameter::Process0_CameraSimulator_PixelFrequency_SequenceLength_ImageWidth>(w,
            sequenceLengthForLineRate(value));
        writeNx<NxParameter::Process0_CameraSimulator_PixelFrequency_ActivePixel_Number>(w, 1);
        setLineGeometry(w, s.width, 0);
        s.frameRate = cameraSimulatorFrameRate(w, selectMode(w));
        refresh(w, {SdkParameter::FG_CAMERASIMULATOR_WIDTH, SdkParameter::FG_CAMERASIMULATOR_LINE_GAP});
    });
}

void setCameraSimulatorFrameRate(Board& w, double value, bool throwOnError) {
    CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t height = storedHeight(w);
    const double fastest = s.maximumPixelRate / ((s.width + static_cast<double>(kPixelsPerClock)) * height);
    const bool accepted = height > 0 && value >= kMinimumRate && value <= fastest;
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_FRAMERATE, value, accepted, throwOnError, [&] {
        constexpr NxParameter sequence = NxParameter::Process0_CameraSimulator_PixelFrequency_SequenceLength_ImageWidth;
        writeNx<sequence>(w, sequenceLengthForFrameRate(value, height));
        writeNx<NxParameter::Process0_CameraSimulator_PixelFrequency_ActivePixel_Number>(w, 1);
        setLineGeometry(w, s.width, 0);
        setFrameGeometry(w, height, 0);
        // The rate the simulator really runs after the line length was rounded to whole clocks.
        s.frameRate = 1 / (static_cast<double>(readNx<sequence>(w)) * height * kClockSeconds);
        refresh(w, {SdkParameter::FG_CAMERASIMULATOR_WIDTH, SdkParameter::FG_CAMERASIMULATOR_HEIGHT});
    });
}

// The stored sizes and gaps are applied again under the new mode's rules before its rate is
// programmed. Should that fail, only the stored mode goes back: the access flags and registers
// already changed stay as they are.
void setCameraSimulatorSelectMode(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_SELECT_MODE, value, value <= kSelectFrameRate, throwOnError, [&] {
        refreshCameraSimulatorAccess(w, value);
        writeNx<NxParameter::Process0_CameraSimulator_ControlPixelClock_Mode>(w,
            value == kSelectPixelFrequency ? 0 : 1);
        setLineGeometry(w, w.cameraSimulator().width, stored<uint32_t>(w, SdkParameter::FG_CAMERASIMULATOR_LINE_GAP));
        setFrameGeometry(w, storedHeight(w), stored<uint32_t>(w, SdkParameter::FG_CAMERASIMULATOR_FRAME_GAP));
        reapplyRate(w, value);
        refresh(w, {SdkParameter::FG_CAMERASIMULATOR_WIDTH, SdkParameter::FG_CAMERASIMULATOR_LINE_GAP,
                    SdkParameter::FG_CAMERASIMULATOR_HEIGHT, SdkParameter::FG_CAMERASIMULATOR_FRAME_GAP});
    });
}

}  // namespace vexo::applet
