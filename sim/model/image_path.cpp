// The camera simulator's frames and the buffer stage of the design, rendered as the design would
// deliver them. A line of the pattern is a ramp or a constant, so it is written with memcpy from
// a ramp table or with memset, never pixel by pixel: filling buffers must not be what limits an
// acquisition.
#include "image_path.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace sim {
namespace {

// The simulator moves 32 pixels per clock of 8 ns.
constexpr uint64_t kPixelsPerClock = 32;
constexpr uint64_t kClockNanoseconds = 8;
constexpr uint32_t kPatternSteps = 256;

using Register = ImageRegister;

class RegisterFile {
public:
    explicit RegisterFile(const DesignValues& board) {
        for (size_t i = 0; i < values_.size(); ++i) {
            const NxValue* value = board.nx(kImageRegisters[i].name);
            values_[i] = value != nullptr ? value->integer : 0;
        }
    }
    uint64_t operator[](Register r) const { return values_[static_cast<size_t>(r)]; }
    uint32_t u32(Register r) const { return static_cast<uint32_t>((*this)[r]); }

private:
    std::array<uint64_t, static_cast<size_t>(Register::Count)> values_{};
};

uint32_t stepOf(uint64_t divisor) { return divisor == 0 ? 0 : static_cast<uint32_t>(kPatternSteps / divisor); }

FrameSource sourceOf(const RegisterFile& r) {
    if (r[Register::SelectSource] == 0) return FrameSource::CameraPort;
    if (r[Register::SelectSource] != 1) return FrameSource::None;
    if (r[Register::FreeRun] == 1) return FrameSource::FreeRun;
    switch (r[Register::ValveMode]) {
        case 1: return FrameSource::LineTrigger;
        case 2: return FrameSource::FrameTrigger;
        default: return FrameSource::None;
    }
}

uint64_t freeRunPeriod(const RegisterFile& r) {
    const uint64_t frameLines = r[Register::FrameLines];
    const uint64_t sequence = r[Register::SequenceLength];
    if (r[Register::PixelClockMode] == 0) {
        // Of every `sequence` clocks, `ActivePixels` carry pixels: the line runs that much slower.
        const uint64_t active = r[Register::ActivePixels];
        if (active == 0) return 0;
        return r[Register::LineClocks] * frameLines * sequence * kClockNanoseconds / active;
    }
    // The sequence is the whole line, in clocks.
    return frameLines * sequence * kClockNanoseconds;
}

// 256 steps of the ramp and room behind them for a whole chunk, so that a chunk of any length up
// to kChunk starts at any step.
constexpr size_t kChunk = 4096;
struct RampTable {
    std::array<uint8_t, kPatternSteps + kChunk> bytes{};
    RampTable() {
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
    }
};
const RampTable& ramp() {
    static const RampTable table;
    return table;
}

// `count` pattern bytes from active position x on one line whose value at x = 0 is `base`.
void fillPattern(uint8_t* out, size_t count, uint32_t enableX, uint32_t x, uint32_t base) {
    const uint32_t first = (enableX * x + base) % kPatternSteps;
    if (enableX == 0) {
        std::memset(out, static_cast<int>(first), count);
    } else if (enableX == 1) {
        // A chunk of a multiple of 256 bytes ends where it began: every chunk starts at `first`.
        const uint8_t* from = ramp().bytes.data() + first;
        while (count > 0) {
            const size_t chunk = std::min(count, kChunk);
            std::memcpy(out, from, chunk);
            out += chunk;
            count -= chunk;
        }
    } else {
        uint32_t value = first;
        for (size_t i = 0; i < count; ++i) {
            out[i] = static_cast<uint8_t>(value);
            value = (value + enableX) % kPatternSteps;
        }
    }
}

// `count` camera pixels from x on line y of frame k. The value depends on x only through its low
// eight bits, so the line repeats every 256 pixels: one period is built, then copied.
void fillCameraLine(uint8_t* out, size_t count, uint64_t x, uint64_t y, uint64_t k) {
    std::array<uint8_t, 2 * kPatternSteps> period;
    for (uint32_t j = 0; j < period.size(); ++j) {
        period[j] = static_cast<uint8_t>(((j ^ y) + k) % kPatternSteps);
    }
    const size_t start = static_cast<size_t>(x % kPatternSteps);
    while (count > 0) {
        const size_t chunk = std::min<size_t>(count, kPatternSteps);
        std::memcpy(out, period.data() + start, chunk);
        out += chunk;
        count -= chunk;
    }
}

}  // namespace

uint64_t FrameSettings::lineBytes() const { return lastByte >= firstByte ? uint64_t{lastByte} - firstByte + 1 : 0; }

uint64_t FrameSettings::transferBytes() const { return lineBytes() * lineCount; }

bool FrameSettings::selects(uint64_t k) const { return k % (selectPeriod == 0 ? 1 : selectPeriod) == selectPhase; }

FrameSettings readFrameSettings(const DesignValues& board) {
    const RegisterFile r(board);
    FrameSettings s;
    s.source = sourceOf(r);
    s.periodNanoseconds = freeRunPeriod(r);
    s.frameLines = r.u32(Register::FrameLines);
    s.delivers = s.source == FrameSource::FreeRun && s.periodNanoseconds > 0;
    s.activeWidth = static_cast<uint32_t>(r[Register::ActiveClocks] * kPixelsPerClock);
    s.activeHeight = r.u32(Register::ActiveLines);
    s.enableX = r.u32(Register::EnableX);
    s.yStep = stepOf(r[Register::YDivisor]);
    s.frameStep = stepOf(r[Register::FrameDivisor]);
    s.offset = r.u32(Register::Offset);
    s.firstByte = r.u32(Register::RoiFrom);
    s.lastByte = r.u32(Register::RoiTo);
    s.firstLine = r.u32(Register::FirstLine);
    s.lineCount = r.u32(Register::LineCount);
    s.selectPeriod = r[Register::SelectPeriod] == 0 ? 1 : r.u32(Register::SelectPeriod);
    s.selectPhase = r.u32(Register::SelectPhase);
    return s;
}

FrameSettings cameraFrameSettings(const DesignValues& board, uint32_t width, uint32_t height) {
    FrameSettings s = readFrameSettings(board);
    s.cameraPattern = true;
    s.activeWidth = width;
    s.activeHeight = height;
    return s;
}

void renderFrame(const FrameSettings& s, uint64_t k, uint8_t* destination) {
    const uint64_t lineBytes = s.lineBytes();
    if (lineBytes == 0) return;
    const InjectedImage* const image = s.injected.get();
    const uint64_t width = image != nullptr ? image->width : s.activeWidth;
    const uint64_t height = image != nullptr ? image->height : s.activeHeight;
    // Bytes of the line inside the active width, from the region's first byte on.
    const uint64_t activeBytes = s.firstByte < width ? std::min<uint64_t>(lineBytes, width - s.firstByte) : 0;
    const uint32_t frameBase =
        static_cast<uint32_t>((uint64_t{s.frameStep} * (k % kPatternSteps) + s.offset) % kPatternSteps);
    uint8_t* line = destination;
    for (uint32_t i = 0; i < s.lineCount; ++i, line += lineBytes) {
        const uint64_t y = uint64_t{s.firstLine} + i;
        if (y >= height || activeBytes == 0) {
            std::memset(line, 0, lineBytes);
            continue;
        }
        if (image != nullptr) {
            std::memcpy(line, image->pixels.data() + y * width + s.firstByte, activeBytes);
        } else if (s.cameraPattern) {
            fillCameraLine(line, activeBytes, s.firstByte, y, k);
        } else {
            const uint32_t base =
                static_cast<uint32_t>((uint64_t{s.yStep} * (y % kPatternSteps) + frameBase) % kPatternSteps);
            fillPattern(line, activeBytes, s.enableX, s.firstByte, base);
        }
        if (activeBytes < lineBytes) std::memset(line + activeBytes, 0, lineBytes - activeBytes);
    }
}

}  // namespace sim
