// How fast the simulated board fills a frame buffer with the camera simulator's pattern, beside
// memcpy of the same bytes: the fill must not be what limits an acquisition (the design itself
// delivers at most 2e9 8-bit pixels per second). And an acquisition loop through the applet as an
// application runs it, on the virtual clock, one frame of the same size per iteration.
#include <cstdint>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "applet_session.h"
#include "model/image_path.h"

namespace {

constexpr uint32_t kSide = 1024;

// Fills of a frame at `destination`, one an iteration; the items are its 8-bit pixels.
template <typename Fill>
void measureFills(benchmark::State& state, uint8_t* destination, Fill&& fill) {
    bench::measure(state, "", [&] {
        fill();
        benchmark::DoNotOptimize(destination);
        benchmark::ClobberMemory();
        return true;
    });
    const int64_t bytes = static_cast<int64_t>(state.iterations()) * kSide * kSide;
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(bytes);
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint8_t> from(uint64_t{kSide} * kSide, 1), to(from.size());
    measureFills(state, to.data(), [&] { std::memcpy(to.data(), from.data(), from.size()); });
}

// Ramps along the line (horizontal, diagonal) and constant lines (vertical).
void BM_RenderFrame(benchmark::State& state) {
    sim::FrameSettings s;
    s.activeWidth = s.activeHeight = s.lineCount = kSide;
    s.lastByte = kSide - 1;
    s.enableX = static_cast<uint32_t>(state.range(0));
    s.yStep = static_cast<uint32_t>(state.range(1));
    s.frameStep = 1;
    std::vector<uint8_t> buffer(s.transferBytes());
    uint64_t k = 0;
    measureFills(state, buffer.data(), [&] { sim::renderFrame(s, k++, buffer.data()); });
}

// The camera simulator free-running 1024 x 1024 frames in pixel-frequency mode into a ring of
// four buffers; each iteration advances the virtual clock by one frame period (the frame is
// rendered in this thread), then asks for the last picture number and its buffer as an
// application would.
void BM_AcquisitionLoop(benchmark::State& state) {
    void* fg = bench::board().fg;
    const struct {
        const char* name;
        uint32_t value;
    } settings[] = {{"FG_CAMERASIMULATOR_ENABLE", 1}, {"FG_CAMERASIMULATOR_SELECT_MODE", 0},
                    {"FG_CAMERASIMULATOR_WIDTH", kSide}, {"FG_CAMERASIMULATOR_HEIGHT", kSide},
                    {"FG_WIDTH", kSide},                 {"FG_HEIGHT", kSide}};
    int32_t failures = 0;
    for (const auto& setting : settings) {
        const int32_t id = Fg_getParameterIdByName(fg, setting.name);
        failures += Fg_setParameterWithType(fg, id, &setting.value, 0, bench::kTypeU32) != 0;
    }
    double rate = 0;
    const int32_t rateId = Fg_getParameterIdByName(fg, "FG_CAMERASIMULATOR_FRAMERATE");
    failures += Fg_getParameterWithType(fg, rateId, &rate, 0, bench::kTypeDouble) != 0;
    const uint64_t frameBytes = uint64_t{kSide} * kSide;
    SimCtl_SetVirtualClock(1);
    void* memory = Fg_AllocMemEx(fg, 4 * frameBytes, 4);
    if (failures != 0 || rate <= 0 || memory == nullptr || Fg_AcquireEx(fg, 0, 0, 1, memory) != 0) {
        state.SkipWithError("the camera simulator or the acquisition could not be set up");
        return;
    }
    // Half a period before the first frame falls due: from then on each period brings one.
    const uint64_t period = static_cast<uint64_t>(1e9 / rate + 0.5);
    SimCtl_AdvanceClock(period / 2);
    int64_t last = 0;
    bench::measure(state, "", [&] {
        SimCtl_AdvanceClock(period);
        last = Fg_getLastPicNumberEx(fg, 0, memory);
        benchmark::DoNotOptimize(Fg_getImagePtrEx(fg, last, 0, memory));
        return true;
    });
    Fg_stopAcquireEx(fg, 0, memory, 0);
    Fg_FreeMemEx(fg, memory);
    SimCtl_SetVirtualClock(0);
    if (last != static_cast<int64_t>(state.iterations())) state.SkipWithError("not one picture per period");
    state.SetItemsProcessed(last);
    state.SetBytesProcessed(static_cast<int64_t>(static_cast<uint64_t>(last) * frameBytes));
}

}  // namespace

BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_RenderFrame)->ArgNames({"enableX", "yStep"})->Args({1, 0})->Args({0, 1})->Args({1, 1});
BENCHMARK(BM_AcquisitionLoop);
