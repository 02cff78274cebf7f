// Description refreshes: the limits and access flags of description records that follow the
// stored values of other parameters. A refresh rewrites records only; it writes no register
// and changes no stored value (the camera simulator's limits may read its clock registers).
#include "applet/description/description_refresh.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <limits>

#include "applet/camera_simulator/camera_simulator.h"
#include "applet/camera_simulator/camera_simulator_conversions.h"
#include "applet/core/setter_framework.h"
#include "applet/geometry/geometry.h"
#include "applet/trigger/trigger_conversions.h"
#include "orvanta/parameter_info_node.h"

namespace vexo::applet {

namespace {

using P = SdkParameter;

// A rate maximum stays a positive normal double, so that user interfaces can divide by it.
constexpr double kSmallestRateMaximum = std::numeric_limits<double>::min();
constexpr double kPixelsPerClock = simulator::kPixelsPerClock;

ParameterInfoNode* recordOf(Board& w, P p) { return w.descriptionRecord(p); }

uint32_t storedU32(const Board& w, P p) { return stored<uint32_t>(w, p); }

// ---- Limit functions: each answers the new limit in the record's own unit. ----

template <P Beside>
double besideInRange(Board& w) {
    return static_cast<double>(kMaximumExtent) - storedU32(w, Beside);
}

template <P Phase>
double abovePhase(Board& w) {
    return storedU32(w, Phase) + 1.0;
}

template <P Downscale>
double belowDownscale(Board& w) {
    return storedU32(w, Downscale) - 1.0;
}

double softwareTriggerPulses(Board& w) {
    return stored<int32_t>(w, P::FG_TRIGGERQUEUE_MODE) == trigger::constants::FG_ON ? trigger::kQueueCapacity : 1;
}

double maximumPixelRate(const Board& w) { return w.cameraSimulator().maximumPixelRate; }

double simulatorLineRate(Board& w) {
    const double rate = maximumPixelRate(w) / (w.cameraSimulator().width + kPixelsPerClock);
    return std::max(rate, kSmallestRateMaximum);
}

// The pixels per frame wrap as the design's 32-bit counter does.
double simulatorFrameRate(Board& w) {
    const uint32_t pixelsPerFrame = (w.cameraSimulator().width + simulator::kPixelsPerClock) *
                                    storedU32(w, P::FG_CAMERASIMULATOR_HEIGHT);
    return std::max(maximumPixelRate(w) / pixelsPerFrame, kSmallestRateMaximum);
}

// ---- Which limit of which record. ----

enum class Bound : uint8_t { Minimum, Maximum };

struct LimitRow {
    P parameter;
    Bound bound;
    double (*limit)(Board& w);
};

#define PULSE_FORM_GENERATOR_ROWS(n)                                                                           \
    {P::FG_TRIGGER_PULSEFORMGEN##n##_DOWNSCALE, Bound::Minimum,                                                \
     abovePhase<P::FG_TRIGGER_PULSEFORMGEN##n##_DOWNSCALE_PHASE>},                                             \
    {P::FG_TRIGGER_PULSEFORMGEN##n##_DOWNSCALE_PHASE, Bound::Maximum,                                          \
     belowDownscale<P::FG_TRIGGER_PULSEFORMGEN##n##_DOWNSCALE>}

constexpr LimitRow kLimits[] = {
    {P::FG_WIDTH, Bound::Maximum, besideInRange<P::FG_XOFFSET>},
    {P::FG_HEIGHT, Bound::Maximum, besideInRange<P::FG_YOFFSET>},
    {P::FG_XOFFSET, Bound::Maximum, besideInRange<P::FG_WIDTH>},
    {P::FG_YOFFSET, Bound::Maximum, besideInRange<P::FG_HEIGHT>},
    {P::FG_CAMERASIMULATOR_WIDTH, Bound::Maximum, cameraSimulatorWidthLimit},
    {P::FG_CAMERASIMULATOR_LINE_GAP, Bound::Maximum, cameraSimulatorLineGapLimit},
    {P::FG_CAMERASIMULATOR_HEIGHT, Bound::Maximum, cameraSimulatorHeightLimit},
    {P::FG_CAMERASIMULATOR_FRAME_GAP, Bound::Maximum, cameraSimulatorFrameGapLimit},
    {P::FG_CAMERASIMULATOR_LINERATE, Bound::Maximum, simulatorLineRate},
    {P::FG_CAMERASIMULATOR_FRAMERATE, Bound::Maximum, simulatorFrameRate},
    {P::FG_SENDSOFTWARETRIGGER, Bound::Maximum, softwareTriggerPulses},
    {P::FG_TRIGGERIN_DOWNSCALE, Bound::Minimum, abovePhase<P::FG_TRIGGERIN_DOWNSCALE_PHASE>},
    {P::FG_TRIGGERIN_DOWNSCALE_PHASE, Bound::Maximum, belowDownscale<P::FG_TRIGGERIN_DOWNSCALE>},
    PULSE_FORM_GENERATOR_ROWS(0),
    PULSE_FORM_GENERATOR_ROWS(1),
    PULSE_FORM_GENERATOR_ROWS(2),
    PULSE_FORM_GENERATOR_ROWS(3),
};

#undef PULSE_FORM_GENERATOR_ROWS

// The row of each parameter, by its position in the parameter table (a write looks its row up).
constexpr uint8_t kNoLimitRow = 0xFF;
static_assert(std::size(kLimits) < kNoLimitRow, "limit rows are numbered in a byte");

constexpr std::array<uint8_t, kSdkParameterCount> limitRowIndices() {
    std::array<uint8_t, kSdkParameterCount> rows{};
    for (uint8_t& row : rows) row = kNoLimitRow;
    for (size_t i = 0; i < std::size(kLimits); ++i) rows[indexOf(kLimits[i].parameter)] = static_cast<uint8_t>(i);
    return rows;
}

constexpr std::array<uint8_t, kSdkParameterCount> kLimitRowOf = limitRowIndices();

const LimitRow* limitRowOf(P p) {
    const uint8_t row = kLimitRowOf[indexOf(p)];
    return row == kNoLimitRow ? nullptr : &kLimits[row];
}

// Integer limits are whole numbers already; one outside the record's range is held at its end.
uint32_t asRecordU32(double limit) {
    constexpr double largest = std::numeric_limits<uint32_t>::max();
    if (!(limit > 0)) return 0;
    return limit >= largest ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(limit);
}

void setBound(ParameterInfoNode& record, Bound bound, double limit) {
    if (record.type == PARAM_INFO_DOUBLE) {
        (bound == Bound::Minimum ? record.value.dbl.min : record.value.dbl.max) = limit;
    } else if (record.type == PARAM_INFO_UINT32) {
        (bound == Bound::Minimum ? record.value.u32.min : record.value.u32.max) = asRecordU32(limit);
    }
}

// ---- Access flags. ----

constexpr P kTriggerParameters[] = {
    P::FG_AREATRIGGERMODE,
    P::FG_TRIGGERSTATE,
    P::FG_TRIGGER_FRAMESPERSECOND,
    P::FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR,
    P::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD,
    P::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD,
    P::FG_TRIGGER_OUTPUT_EVENT_SELECT,
    P::FG_TRIGGERIN_DEBOUNCE,
    P::FG_TRIGGERIN_SRC,
    P::FG_TRIGGERIN_POLARITY,
    P::FG_SENDSOFTWARETRIGGER,
    P::FG_TRIGGERIN_DOWNSCALE,
    P::FG_TRIGGERIN_DOWNSCALE_PHASE,
    P::FG_TRIGGER_MULTIPLY_PULSES,
    P::FG_TRIGGERQUEUE_MODE,
    P::FG_TRIGGER_PULSEFORMGEN0_DOWNSCALE,
    P::FG_TRIGGER_PULSEFORMGEN0_DOWNSCALE_PHASE,
    P::FG_TRIGGER_PULSEFORMGEN0_DELAY,
    P::FG_TRIGGER_PULSEFORMGEN0_WIDTH,
    P::FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE,
    P::FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE_PHASE,
    P::FG_TRIGGER_PULSEFORMGEN1_DELAY,
    P::FG_TRIGGER_PULSEFORMGEN1_WIDTH,
    P::FG_TRIGGER_PULSEFORMGEN2_DOWNSCALE,
    P::FG_TRIGGER_PULSEFORMGEN2_DOWNSCALE_PHASE,
    P::FG_TRIGGER_PULSEFORMGEN2_DELAY,
    P::FG_TRIGGER_PULSEFORMGEN2_WIDTH,
    P::FG_TRIGGER_PULSEFORMGEN3_DOWNSCALE,
    P::FG_TRIGGER_PULSEFORMGEN3_DOWNSCALE_PHASE,
    P::FG_TRIGGER_PULSEFORMGEN3_DELAY,
    P::FG_TRIGGER_PULSEFORMGEN3_WIDTH,
    P::FG_TRIGGERCAMERA_OUT_SELECT,
    P::FG_MISSING_CAMERA_FRAME_RESPONSE_CLEAR,
};
static_assert(std::size(kTriggerParameters) == 33, "the area trigger mode governs 33 parameters");

// The simulator's rates and gaps; in each select mode only the ones that mode runs on are set
// by the application, the others follow from them.
constexpr P kRatesAndGaps[] = {
    P::FG_CAMERASIMULATOR_PIXEL_FREQUENCY, P::FG_CAMERASIMULATOR_LINERATE, P::FG_CAMERASIMULATOR_FRAMERATE,
    P::FG_CAMERASIMULATOR_LINE_GAP,        P::FG_CAMERASIMULATOR_FRAME_GAP,
};

struct SelectModeAccess {
    uint32_t mode;
    std::array<bool, std::size(kRatesAndGaps)> writable;  // in the order of kRatesAndGaps
};

constexpr SelectModeAccess kSelectModeAccess[] = {
    {kSelectPixelFrequency, {true, false, false, true, true}},
    {kSelectLineRate, {false, true, false, false, true}},
    {kSelectFrameRate, {false, false, true, false, false}},
};

void setAccess(Board& w, P p, uint32_t access) {
    if (ParameterInfoNode* record = recordOf(w, p)) record->access = access;
}

}  // namespace

void refreshDescription(Board& w, SdkParameter p) {
    const LimitRow* row = limitRowOf(p);
    ParameterInfoNode* record = row != nullptr ? recordOf(w, p) : nullptr;
    if (record == nullptr) return;  // no limit that follows others, or no description built
    setBound(*record, row->bound, row->limit(w));
}

void refreshTriggerAccess(Board& w, uint32_t newAreaTriggerMode) {
    for (const P p : kTriggerParameters) setAccess(w, p, PARAM_ACCESS_READ_WRITE_CHANGE);
    // Pulses come from the trigger input: there is nothing to send by software.
    if (newAreaTriggerMode == static_cast<uint32_t>(trigger::constants::ATM_EXTERNAL)) {
        setAccess(w, P::FG_SENDSOFTWARETRIGGER, PARAM_ACCESS_READ);
    }
}

void refreshCameraSimulatorAccess(Board& w, uint32_t selectMode) {
    for (const SelectModeAccess& row : kSelectModeAccess) {
        if (row.mode != selectMode) continue;
        for (size_t i = 0; i < std::size(kRatesAndGaps); ++i) {
            setAccess(w, kRatesAndGaps[i], row.writable[i] ? PARAM_ACCESS_READ_WRITE_CHANGE : PARAM_ACCESS_READ);
        }
    }
}

}  // namespace vexo::applet
