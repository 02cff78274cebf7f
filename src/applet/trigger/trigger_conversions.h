// The area trigger module's value vocabulary and unit conversions: the named constants, and the
// pure arithmetic that turns user units (Hz, microseconds, source codes) into the
// register values of the design. Nothing here touches a wrapper, so each piece is testable alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace vexo::applet::trigger {

// The named constants applications use (ATM_GENERATOR, TS_ACTIVE, VCC ...), taken from the same
// list Info answers, so that a value list here cannot drift from what applications are told.
namespace constants {
#define NAMED_CONSTANT(name, value) inline constexpr int32_t name = value;
#include "applet/core/named_constants.def"
#undef NAMED_CONSTANT
}  // namespace constants

// An inclusive range of accepted values; value lists are made of them.
struct ValueRange {
    int64_t first;
    int64_t last;
};

template <size_t N>
constexpr bool inList(const ValueRange (&list)[N], int64_t value) {
    for (const ValueRange& range : list) {
        if (value >= range.first && value <= range.last) return true;
    }
    return false;
}

using namespace constants;

// Pulses the trigger queue holds; a software trigger write may send that many at once while
// the queue is on, one otherwise.
inline constexpr uint32_t kQueueCapacity = 2040;

// The frequency generator counts its period from the register value plus 9 ticks, so the
// register holds the period in 8 ns ticks minus 9.
uint32_t minimumPeriodTicks(double framesPerSecond);

// A stored rate taken through its period in ticks and back, in this order of double
// operations. Nothing is rounded to whole ticks: only the round trip's floating-point error
// remains, which can move a rate at the edge of its range just outside it.
double recomputedRate(double framesPerSecond);

// The trigger period in microseconds for a rate in Hz.
double periodMicroseconds(double framesPerSecond);

// Microseconds to 8 ns ticks, rounded half up. Values beyond 32 bits wrap as the 64-bit
// truncation of the design's tools did.
uint32_t microsecondsToTicks(double microseconds);

// A pulse form generator's delay in ticks; a delay of 0 ticks would stop the generator, so the
// shortest delay the register takes is 1.
uint32_t delayTicks(double microseconds);

// The debounce prescaler counts in 24 ns steps, rounded half up.
uint32_t debounceTicks(double microseconds);

// The input multiplexers number the front inputs directly after the eight GPIs.
uint32_t inputSelectValue(uint32_t source);

// The output multiplexer's select code and polarity inversion for a source.
uint32_t outputSelectCode(int32_t source);
uint32_t outputInvertFlag(int32_t source);

// The GPOs drive camera A's pulse generators: a plain pulse generator source means camera A's.
int32_t effectiveOutputSource(int32_t source);

// A time register of a pulse form generator (in ticks) as microseconds per input pulse.
double generatorTimeMicroseconds(uint32_t ticks, uint32_t downscale);

// The rate consistency rule: a pulse form generator must be done with its delay and its pulse
// before the next trigger, so the period has to be strictly longer than each of the times (and
// than 0; a NaN fails).
bool periodCovers(double periodMicroseconds, std::initializer_list<double> timesMicroseconds);

}  // namespace vexo::applet::trigger
