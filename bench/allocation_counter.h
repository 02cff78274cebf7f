// Heap allocations of the whole process, counted by the benchmark executable's own allocation
// functions; the applet and the stand-in components, loaded into the same process, bind to them
// as well. Every row reports them as the counter "allocs" (per iteration).
#pragma once

#include <cstdint>

#include <benchmark/benchmark.h>

namespace bench {

// Allocations made so far by any thread.
uint64_t heapAllocations();

// Counts the allocations between its construction and its destruction and reports them per
// iteration. In a row run by several threads only the first thread reports, since the count is
// the process's: the sum over threads is then the total, averaged over every thread's iterations.
class AllocationsPerIteration {
public:
    explicit AllocationsPerIteration(benchmark::State& state) : state(state), start(heapAllocations()) {}
    ~AllocationsPerIteration() {
        const uint64_t made = state.thread_index() == 0 ? heapAllocations() - start : 0;
        state.counters["allocs"] = benchmark::Counter(static_cast<double>(made), benchmark::Counter::kAvgIterations);
    }
    AllocationsPerIteration(const AllocationsPerIteration&) = delete;
    AllocationsPerIteration& operator=(const AllocationsPerIteration&) = delete;

private:
    benchmark::State& state;
    uint64_t start;
};

}  // namespace bench
