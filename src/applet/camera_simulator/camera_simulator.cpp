// The camera simulator's rate functions. Pixel frequency, line rate and frame rate follow from
// the clock registers and the effective geometry; which register holds the truth depends on
// the mode (active clocks per sequence in mode 0, clocks per line in modes 1 and 2).
#include "applet/camera_simulator/camera_simulator.h"

#include <cmath>

#include "applet/camera_simulator/camera_simulator_conversions.h"
#include "applet/core/setter_framework.h"
#include "nx/nx_access.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

namespace {

using nx::NxParameter;
using nx::readNx;
using namespace simulator;

// Outside pixel-frequency mode no frequency is programmed; what is reported then is the double
// just below the 4000 MHz maximum.
constexpr double kUnprogrammedFrequency = 3999.9999999999995;

void requireKnownMode(uint32_t mode) {
    if (mode > kSelectFrameRate) throw errors::kUnknownSelectMode;
}

uint32_t storedSelectMode(const Board& w) {
    return stored<uint32_t>(w, SdkParameter::FG_CAMERASIMULATOR_SELECT_MODE);
}

uint32_t storedHeight(const Board& w) { return stored<uint32_t>(w, SdkParameter::FG_CAMERASIMULATOR_HEIGHT); }

// Line and frame length as the simulator runs them: the gaps count only in the modes that keep
// them (the line gap in mode 0, the frame gap outside mode 2).
double lineLength(const Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    return static_cast<double>(s.width) + (storedSelectMode(w) == kSelectPixelFrequency ? s.lineGap : 0);
}

double frameLength(const Board& w) {
    return static_cast<double>(storedHeight(w)) +
           (storedSelectMode(w) != kSelectFrameRate ? w.cameraSimulator().frameGap : 0);
}

// The smaller of a limit and a bound that a rate sets; a bound that is not a number refuses.
double atMost(double limit, double rateBound) { return rateBound >= limit ? limit : rateBound; }

// Clocks per line (modes 1 and 2).
double sequenceLength(Board& w) {
    return readNx<NxParameter::Process0_CameraSimulator_PixelFrequency_SequenceLength_ImageWidth>(w);
}

}  // namespace

double cameraSimulatorPixelFrequency(Board& w, uint32_t mode) {
    requireKnownMode(mode);
    if (mode != kSelectPixelFrequency) return kUnprogrammedFrequency;
    return frequencyOfActivePixels(
        readNx<NxParameter::Process0_CameraSimulator_PixelFrequency_ActivePixel_Number>(w));
}

double cameraSimulatorLineRate(Board& w, uint32_t mode) {
    requireKnownMode(mode);
    switch (mode) {
    case kSelectPixelFrequency:
        return cameraSimulatorPixelFrequency(w, mode) * 1e6 / lineLength(w);
    case kSelectLineRate:
        return 1 / (sequenceLength(w) * kClockSeconds);
    default:
        return kPixelsPerClock / (w.cameraSimulator().width * kClockSeconds);
    }
}

double cameraSimulatorFrameRate(Board& w, uint32_t mode) {
    requireKnownMode(mode);
    switch (mode) {
    case kSelectPixelFrequency:
        return cameraSimulatorPixelFrequency(w, mode) * 1e6 / (lineLength(w) * frameLength(w));
    case kSelectLineRate:
        return cameraSimulatorLineRate(w, mode) / frameLength(w);
    default:
        return 1 / (sequenceLength(w) * storedHeight(w) * kClockSeconds);
    }
}

double cameraSimulatorWidthLimit(Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t mode = storedSelectMode(w);
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

double cameraSimulatorLineGapLimit(Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t mode = storedSelectMode(w);
    if (mode == kSelectFrameRate) return 0;
    double limit = static_cast<double>(kMaximumSize) - s.width;
    if (mode == kSelectLineRate) {
        const double lineRate = cameraSimulatorLineRate(w, mode);
        limit = atMost(limit, std::trunc(s.maximumPixelRate / lineRate - s.width - kPixelsPerClock));
    }
    return limit;
}

double cameraSimulatorHeightLimit(Board& w) {
    const CameraSimulatorState& s = w.cameraSimulator();
    const uint32_t mode = storedSelectMode(w);
    if (mode != kSelectFrameRate) return static_cast<double>(kMaximumSize) - s.frameGap;
    const double frameRate = cameraSimulatorFrameRate(w, mode);
    return atMost(static_cast<double>(kMaximumSize),
                  std::trunc(s.maximumPixelRate / ((s.width + static_cast<double>(kPixelsPerClock)) * frameRate)));
}

double cameraSimulatorFrameGapLimit(Board& w) {
    if (storedSelectMode(w) != kSelectPixelFrequency) return 0;
    return static_cast<double>(kMaximumSize) - storedHeight(w);
}

}  // namespace vexo::applet
