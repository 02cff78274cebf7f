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
#include "applet/description/published_limits.h"
#include "nx/nx_access.h"

namespace vexo::applet {

namespace {

using nx::NxParameter;
using nx::readNx;
using nx::writeNx;
using namespace simulator;


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

// The register rows above hold one row for each value the description offers, and no other.
template <typename Row, size_t N, typename Field>
constexpr bool offersTheSameValues(const Row (&rows)[N], Field Row::*key, tree::EnumerationTable published) {
    if (published.count != static_cast<int32_t>(N)) return false;
    for (const Row& row : rows) {
        bool found = false;
        for (int32_t i = 0; i < published.count; ++i) found = found || published.entries[i].value == static_cast<int64_t>(row.*key);
        if (!found) return false;
    }
    return true;
}
static_assert(offersTheSameValues(kPatterns, &PatternRow::pattern,
                                  publishedRow(SdkParameter::FG_CAMERASIMULATOR_PATTERN).entries));
static_assert(offersTheSameValues(kRolls, &RollRow::roll, publishedRow(SdkParameter::FG_CAMERASIMULATOR_ROLL).entries));
static_assert(offersTheSameValues(kTriggerModes, &TriggerModeRow::mode,
                                  publishedRow(SdkParameter::FG_CAMERASIMULATOR_TRIGGER_MODE).entries));

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

bool withinLimit(uint32_t value, double limit) { return static_cast<double>(value) <= limit; }

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
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_ENABLE, value, isPublishedEntry(SdkParameter::FG_CAMERASIMULATOR_ENABLE, value), throwOnError,
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
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_PATTERN_OFFSET, value, inPublishedRange(SdkParameter::FG_CAMERASIMULATOR_PATTERN_OFFSET, value),
              throwOnError,
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
        [&] {
            return inPublishedRange(SdkParameter::FG_CAMERASIMULATOR_WIDTH, value) &&
                   withinLimit(value, cameraSimulatorWidthLimit(w));
        }, throwOnError,
        [&] {
            setLineGeometry(w, value, selectMode(w) == kSelectPixelFrequency ? w.cameraSimulator().lineGap : 0);
            refresh(w, {SdkParameter::FG_CAMERASIMULATOR_LINE_GAP, SdkParameter::FG_CAMERASIMULATOR_HEIGHT,
                        SdkParameter::FG_CAMERASIMULATOR_LINERATE, SdkParameter::FG_CAMERASIMULATOR_FRAMERATE});
        });
}

void setCameraSimulatorLineGap(Board& w, uint32_t value, bool throwOnError) {
    runLimitedSetter(
        w, SdkParameter::FG_CAMERASIMULATOR_LINE_GAP, value, [&] { return withinLimit(value, cameraSimulatorLineGapLimit(w)); },
        throwOnError,
        [&] {
            setLineGeometry(w, w.cameraSimulator().width, value);
            refresh(w, {SdkParameter::FG_CAMERASIMULATOR_WIDTH});
        });
}

void setCameraSimulatorHeight(Board& w, uint32_t value, bool throwOnError) {
    runLimitedSetter(
        w, SdkParameter::FG_CAMERASIMULATOR_HEIGHT, value,
        [&] {
            return inPublishedRange(SdkParameter::FG_CAMERASIMULATOR_HEIGHT, value) &&
                   withinLimit(value, cameraSimulatorHeightLimit(w));
        }, throwOnError,
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
    const bool accepted = withinLimit(value, cameraSimulatorFrameGapLimit(w));
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_FRAME_GAP, value, accepted, throwOnError, [&] {
        setFrameGeometry(w, height, value);
        refresh(w, {SdkParameter::FG_CAMERASIMULATOR_HEIGHT});
    });
}

// A frequency below about 1 MHz rounds to no active clock at all, of which no repeat divisor
// can be formed: it is refused like any value outside the range.
void setCameraSimulatorPixelFrequency(Board& w, double value, bool throwOnError) {
    const bool inRange = inPublishedRange(SdkParameter::FG_CAMERASIMULATOR_PIXEL_FREQUENCY, value);
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
    // The description's maximum follows the width; the setter checks the same fastest rate.
    const double slowest = publishedRow(SdkParameter::FG_CAMERASIMULATOR_LINERATE).min;
    const bool accepted =
        value >= slowest && value <= s.maximumPixelRate / (s.width + static_cast<double>(kPixelsPerClock));
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
    const double slowest = publishedRow(SdkParameter::FG_CAMERASIMULATOR_FRAMERATE).min;
    const bool accepted = height > 0 && value >= slowest && value <= fastest;
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
    runSetter(w, SdkParameter::FG_CAMERASIMULATOR_SELECT_MODE, value,
              isPublishedEntry(SdkParameter::FG_CAMERASIMULATOR_SELECT_MODE, value), throwOnError, [&] {
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
