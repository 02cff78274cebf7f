// Conversions between the camera simulator's SDK units and its clock-control registers. The
// simulator runs on the 8 ns design clock and moves 32 pixels per clock; in pixel-frequency
// mode it repeats a sequence of 2000 clocks of which a number are active.
#pragma once

#include <cmath>
#include <cstdint>

namespace vexo::applet::simulator {

inline constexpr uint32_t kPixelsPerClock = 32;
// Pixels per line and lines per frame, gaps included, that the simulator's counters hold.
inline constexpr uint64_t kMaximumSize = 65536;
inline constexpr double kClockSeconds = 8e-9;
inline constexpr uint32_t kFrequencySequenceLength = 2000;

// Sizes are handled in whole clocks: up to the next multiple of 32 pixels.
constexpr uint64_t roundToProcessingWidth(uint64_t pixels) {
    return (pixels + kPixelsPerClock - 1) / kPixelsPerClock * kPixelsPerClock;
}

// Active clocks per sequence for a pixel frequency in MHz (0 to 4000), rounded to the nearest.
inline uint32_t activePixelsForFrequency(double megahertz) {
    return static_cast<uint32_t>(
        std::trunc(megahertz * 1e6 * kFrequencySequenceLength * kClockSeconds * 0.03125 + 0.5));
}

// The pixel frequency in MHz that a number of active clocks per sequence gives.
inline double frequencyOfActivePixels(uint32_t activePixels) {
    return static_cast<double>(activePixels) * kPixelsPerClock / kFrequencySequenceLength / kClockSeconds / 1e6;
}

// Clocks per line for a line rate in Hz (at least 0.1), rounded to the nearest.
inline uint32_t sequenceLengthForLineRate(double hertz) {
    return static_cast<uint32_t>(std::trunc(1 / (hertz * kClockSeconds) + 0.5));
}

// Clocks per line when a frame of `height` lines is to take 1 / hertz seconds (rate at least
// 0.1, height at least 1), rounded to the nearest.
inline uint32_t sequenceLengthForFrameRate(double hertz, uint32_t height) {
    return static_cast<uint32_t>(std::trunc(1 / (hertz * kClockSeconds) / height + 0.5));
}

}  // namespace vexo::applet::simulator
