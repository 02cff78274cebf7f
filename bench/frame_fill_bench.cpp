// How fast the simulated board fills a frame buffer with the camera simulator's pattern, beside
// memcpy of the same bytes: the fill must not be what limits an acquisition (the design itself
// delivers at most 2e9 8-bit pixels per second).
#include <cstdint>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

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
    for (auto _ : state) {
        sim::renderFrame(s, k++, buffer.data());
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    count(state, buffer.size());
}

}  // namespace

BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_RenderFrame)->ArgNames({"enableX", "yStep"})->Args({1, 0})->Args({0, 1})->Args({1, 1});
