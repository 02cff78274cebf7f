// Heap allocations of the whole process, counted by the benchmark executable's own allocation
// functions; the applet and the stand-in components, loaded into the same process, bind to them
// as well. Every row reports them as the counter "allocs" (per iteration).
#pragma once

#include <cstdint>

#include <benchmark/benchmark.h>

namespace bench {

// Allocations made so far by any thread.
uint64_t heapAllocations();

// Runs `operation` once an iteration and reports the allocations made meanwhile per iteration; a
// row in which it answers false even once is skipped with `what`. In a row run by several threads
// only the first thread reports, since the count is the process's: the sum over threads is then
// the total, averaged over every thread's iterations.
template <typename Operation>
void measure(benchmark::State& state, const char* what, Operation&& operation) {
    int32_t failures = 0;
    const uint64_t start = heapAllocations();
    for (auto _ : state) failures += operation() ? 0 : 1;
    const uint64_t made = state.thread_index() == 0 ? heapAllocations() - start : 0;
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
    if (failures != 0) state.SkipWithError(what);
}

}  // namespace bench
