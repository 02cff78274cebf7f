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
#include "image_path.h"

namespace {

constexpr uint32_t kSide = 1024;

sim::FrameSettings frameOf(uint32_t enableX, uint32_t yStep) {
    sim::FrameSettings s;
    s.activeWidth = kSide;
    s.activeHeight = kSide;
    s.enableX = enableX;
    s.yStep = yStep;
    s.frameStep = 1;
    s.lastByte = kSide - 1;
    s.lineCount = kSide;
    return s;
}

void count(benchmark::State& state, uint64_t bytes) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * bytes));  // 8-bit pixels
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint8_t> from(uint64_t{kSide} * kSide, 1), to(from.size());
    bench::AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    count(state, from.size());
}

// Ramps along the line (horizontal, diagonal) and constant lines (vertical).
void BM_RenderFrame(benchmark::State& state) {
    const sim::FrameSettings s = frameOf(static_cast<uint32_t>(state.range(0)), static_cast<uint32_t>(state.range(1)));
    std::vector<uint8_t> buffer(s.transferBytes());
    uint64_t k = 0;
    bench::AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        sim::renderFrame(s, k++, buffer.data());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    count(state, buffer.size());
}

// The camera simulator free-running 1024 x 1024 frames in pixel-frequency mode into a ring of
// four buffers; each iteration advances the virtual clock by one frame period (the frame is
// rendered in this thread), then asks for the last picture number and its buffer as an
// application would.
void BM_AcquisitionLoop(benchmark::State& state) {
    static const bench::OpenedBoard board(0, false);
    void* fg = board.fg;
    const auto set = [&](const char* name, uint32_t value) {
        return Fg_setParameterWithType(fg, Fg_getParameterIdByName(fg, name), &value, 0, bench::kTypeU32);
    };
    int32_t failures = 0;
    failures += set("FG_CAMERASIMULATOR_ENABLE", 1) != 0;
    failures += set("FG_CAMERASIMULATOR_SELECT_MODE", 0) != 0;
    failures += set("FG_CAMERASIMULATOR_WIDTH", kSide) != 0;
    failures += set("FG_CAMERASIMULATOR_HEIGHT", kSide) != 0;
    failures += set("FG_WIDTH", kSide) != 0;
    failures += set("FG_HEIGHT", kSide) != 0;
    double rate = 0;
    failures += Fg_getParameterWithType(fg, Fg_getParameterIdByName(fg, "FG_CAMERASIMULATOR_FRAMERATE"), &rate, 0,
                                        bench::kTypeDouble) != 0;
    if (failures != 0 || rate <= 0) {
        state.SkipWithError("the camera simulator could not be set up");
        return;
    }
    const uint64_t period = static_cast<uint64_t>(1e9 / rate + 0.5);
    const uint64_t frameBytes = uint64_t{kSide} * kSide;
    SimCtl_SetVirtualClock(1);
    void* memory = Fg_AllocMemEx(fg, 4 * frameBytes, 4);
    // Half a period before the first frame falls due: from then on each period brings one.
    if (memory == nullptr || Fg_AcquireEx(fg, 0, 0, 1, memory) != 0) {
        state.SkipWithError("the acquisition did not start");
        return;
    }
    SimCtl_AdvanceClock(period / 2);
    int64_t last = 0;
    {
        bench::AllocationsPerIteration allocations(state);
        for (auto _ : state) {
            SimCtl_AdvanceClock(period);
            last = Fg_getLastPicNumberEx(fg, 0, memory);
            benchmark::DoNotOptimize(Fg_getImagePtrEx(fg, last, 0, memory));
        }
    }
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
