// Unit conversions of the area trigger module and the output multiplexer's source tables.
#include "applet/trigger/trigger_conversions.h"

namespace vexo::applet::trigger {

namespace {

constexpr int64_t kGeneratorPeriodOffset = 9;

// Consecutive sources that select consecutive multiplexer inputs from firstCode on. The plain
// and camera A forms of a pulse generator share an input, as do a GPI and its inverse (the
// inversion is the polarity flag's job). Sources in no row select input 0.
struct SelectRow {
    int32_t first;
    int32_t last;
    uint32_t firstCode;
};

constexpr SelectRow kSelectRows[] = {
    {0, 3, 0},   {6, 9, 0},   {50, 53, 0},  {60, 63, 0},  {54, 57, 4},  {64, 67, 4},  {10, 17, 8},
    {20, 27, 8}, {30, 33, 16}, {40, 43, 16}, {4, 4, 20},  {5, 5, 20},   {68, 75, 21}, {76, 83, 21}};

// Sources driven inverted; VCC is the constant input 20 inverted, GND the same input as it is.
constexpr ValueRange kInvertedSources[] = {{5, 5}, {6, 9}, {20, 27}, {40, 43}, {60, 67}};

// Cuts toward zero into 64 bits; a double beyond them (or NaN) gives 0 rather than undefined
// behaviour.
int64_t truncate(double value) {
    if (!(value > -9.2e18 && value < 9.2e18)) return 0;
    return static_cast<int64_t>(value);
}

// A 32-bit register keeps the low 32 bits of the truncated value.
uint32_t truncateToRegister(double value) { return static_cast<uint32_t>(static_cast<uint64_t>(truncate(value))); }

}  // namespace

uint32_t minimumPeriodTicks(double framesPerSecond) {
    const int64_t ticks = truncate(1 / (framesPerSecond * 8 * 1e-9));
    return static_cast<uint32_t>(static_cast<uint64_t>(ticks - kGeneratorPeriodOffset));
}

double recomputedRate(double framesPerSecond) {
    return 1 / ((1 / (framesPerSecond * 8 * 1e-9)) * 8 * 1e-9);
}

double periodMicroseconds(double framesPerSecond) { return 1e6 / framesPerSecond; }

uint32_t microsecondsToTicks(double microseconds) { return truncateToRegister(microseconds * 1000 * 0.125 + 0.5); }

uint32_t delayTicks(double microseconds) {
    const uint32_t ticks = microsecondsToTicks(microseconds);
    return ticks == 0 ? 1 : ticks;
}

uint32_t debounceTicks(double microseconds) { return truncateToRegister(microseconds * 1000 / 24 + 0.5); }

uint32_t inputSelectValue(uint32_t source) {
    return source >= static_cast<uint32_t>(TRGINSRC_FRONT_GPI_0) ? source - 8 : source;
}

uint32_t outputSelectCode(int32_t source) {
    for (const SelectRow& row : kSelectRows) {
        if (source >= row.first && source <= row.last) return row.firstCode + static_cast<uint32_t>(source - row.first);
    }
    return 0;
}

uint32_t outputInvertFlag(int32_t source) { return inList(kInvertedSources, source) ? 1 : 0; }

int32_t effectiveOutputSource(int32_t source) {
    if (source >= PULSEGEN0 && source <= PULSEGEN3) return source - PULSEGEN0 + CAM_A_PULSEGEN0;
    if (source >= NOT_PULSEGEN0 && source <= NOT_PULSEGEN3) return source - NOT_PULSEGEN0 + CAM_A_NOT_PULSEGEN0;
    return source;
}

double generatorTimeMicroseconds(uint32_t ticks, uint32_t downscale) {
    return static_cast<double>(ticks) * 8 / 1000 / static_cast<double>(downscale);
}

bool periodCovers(double periodMicroseconds, std::initializer_list<double> timesMicroseconds) {
    if (!(periodMicroseconds > 0)) return false;
    for (const double time : timesMicroseconds) {
        if (!(periodMicroseconds > time)) return false;
    }
    return true;
}

}  // namespace vexo::applet::trigger
