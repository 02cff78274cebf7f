// The arithmetic of the read rules: design register values turned back into SDK units and the
// status words composed from them. Nothing here touches a wrapper, so each piece stands alone.
#pragma once

#include <cstdint>
#include "orvanta/error_codes.h"

namespace vexo::applet::read {

// An NX answer the design cannot give (the board detection register holds only 0 or 1).

// The frame buffer reports overflow separately; while it overflows, its fill level reads full.
inline constexpr uint32_t kFullFillLevel = 100;
// The trigger queue reports "full" as a flag; its depth is then the queue's size.
inline constexpr uint32_t kFullTriggerQueue = 2040;

// Bits of the monitoring's queue status word.
inline constexpr uint32_t kExceededPeriodLimitsBit = 1u << 0;
inline constexpr uint32_t kTriggerQueueFullBit = 1u << 1;
inline constexpr uint32_t kMissingFrameBit = 1u << 2;

// Bits of FG_CAMSTATUS_EXTENDED that the applet fills in over the runtime's own status.
inline constexpr uint32_t kPixelClockBit = 1u << 0;
inline constexpr uint32_t kBufferOverflowShift = 5;
inline constexpr uint32_t kBufferStatusShift = 6;
inline constexpr uint32_t kBufferStatusMask = 3u << kBufferStatusShift;

// The debounce prescaler counts in steps of three 8 ns ticks; the answer is in microseconds.
inline double debounceMicroseconds(uint32_t steps) { return static_cast<double>(steps) * 8 * 3 / 1000; }

// A period measured in 8 ns ticks as a frequency in Hz; a period of 0 (nothing measured yet)
// gives +infinity, as the division does.
inline double frequencyOfPeriod(uint32_t ticks) { return 1 / (static_cast<double>(ticks) * 8 * 1e-9); }

// A pulse form generator's delay or width register (8 ns ticks) in microseconds.
inline double ticksToMicroseconds(uint32_t ticks) { return static_cast<double>(ticks) * 8 / 1000; }

// The register reads 0 when the alternative detection is configured; the SDK answers the
// reverse. Any other register value throws -2031.
inline uint32_t alternativeBoardDetection(uint32_t nx) {
    if (nx > 1) throw errors::kDesignValueInvalid;
    return nx == 0 ? 1 : 0;
}

inline uint32_t exceededPeriodLimits(uint32_t queueStatus) { return queueStatus & kExceededPeriodLimitsBit; }

inline uint32_t missingFrameResponse(uint32_t queueStatus) { return (queueStatus & kMissingFrameBit) != 0 ? 1 : 0; }

// The frame buffer's fill level in percent as the two-bit buffer status: one step per quarter.
constexpr uint32_t fillLevelQuarter(uint32_t fillLevel) {
    if (fillLevel < 25) return 0;
    if (fillLevel < 50) return 1;
    if (fillLevel < 75) return 2;
    return 3;
}

// The runtime's camera status with the applet's bits laid over it: the pixel clock is set (never
// cleared) while the simulator is the source, buffer status and overflow replace what was there.
constexpr uint32_t extendedCameraStatus(uint32_t runtimeStatus, bool simulatorEnabled, uint32_t fillLevel,
                                        uint32_t overflow) {
    uint32_t status = runtimeStatus;
    if (simulatorEnabled) status |= kPixelClockBit;
    status = (status & ~kBufferStatusMask) | (fillLevelQuarter(fillLevel) << kBufferStatusShift);
    status = (status & ~(1u << kBufferOverflowShift)) | (overflow << kBufferOverflowShift);
    return status;
}

}  // namespace vexo::applet::read
