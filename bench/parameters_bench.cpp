// The parameter paths of one opened board, each beside its floor in the same run: reads and
// writes beside an uncontended lock with a lookup among 130 ids, the FG_WIDTH write beside the
// three runtime writes it makes, and eight threads sharing the board.
#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "applet_session.h"

namespace {

using bench::AllocationsPerIteration;

const bench::Applet& applet() {
    static const bench::Applet exports;
    return exports;
}

// Direct register access is switched on for this board, so that its read can be measured; the
// other paths do not depend on it.
const bench::OpenedBoard& board() {
    static const bench::OpenedBoard opened(0, true);
    return opened;
}

void* fg() { return board().fg; }

void fail(benchmark::State& state, const char* what) { state.SkipWithError(what); }

// ---- Floors ----------------------------------------------------------------------------------

// As many ids as the applet has SDK parameters, sorted, spread like theirs.
std::array<int32_t, 130> floorIds() {
    std::array<int32_t, 130> ids{};
    for (size_t i = 0; i < ids.size(); ++i) ids[i] = static_cast<int32_t>(100 + i * 7001);
    return ids;
}

void BM_Floor_LockAndLookup(benchmark::State& state) {
    static const std::array<int32_t, 130> ids = floorIds();
    std::mutex lock;
    int32_t wanted = ids[57];
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        benchmark::DoNotOptimize(wanted);
        std::lock_guard<std::mutex> guard(lock);
        const auto found = std::lower_bound(ids.begin(), ids.end(), wanted);
        benchmark::DoNotOptimize(found);
    }
}

// The three NX writes an FG_WIDTH write makes, straight into the runtime on the inner handle.
void BM_Floor_ThreeRuntimeWrites(benchmark::State& state) {
    void* inner = board().inner;
    const int32_t ids[3] = {Fg_getParameterIdByName(inner, "Device1_Process0_Buffer_0_XROI_ROIRange_from"),
                            Fg_getParameterIdByName(inner, "Device1_Process0_Buffer_0_XROI_ROIRange_to"),
                            Fg_getParameterIdByName(inner, "Device1_Process0_Buffer_0_DRAM_A_0_XLength")};
    uint32_t value = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        ++value;
        for (const int32_t id : ids) failures += Fg_setParameterWithType(inner, id, &value, 0, bench::kTypeU32) != 0;
    }
    if (failures != 0) fail(state, "a runtime write failed");
}

// ---- Reads -----------------------------------------------------------------------------------

// A stored value (FG_WIDTH), with the caller's type code 2 or 5.
void BM_StoredRead(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    const int32_t type = static_cast<int32_t>(state.range(0));
    uint64_t value = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.get(handle, bench::kWidth, &value, 0, type) != 0;
        benchmark::DoNotOptimize(value);
    }
    if (failures != 0) fail(state, "a read failed");
}

// One NX read through the runtime (FG_SYSTEMMONITOR_FPGA_TEMPERATURE).
void BM_NxBackedRead(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    double value = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.get(handle, bench::kFpgaTemperature, &value, 0, bench::kTypeDouble) != 0;
        benchmark::DoNotOptimize(value);
    }
    if (failures != 0) fail(state, "a read failed");
}

// FG_HAP_FILE handed out as an allocated text and given back: the text itself is one allocation.
void BM_StringReadAndFree(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        char* text = nullptr;
        failures += a.get(handle, bench::kHapFile, &text, 0, bench::kTypeAllocatedText) != 0;
        failures += a.freeString(handle, bench::kHapFile, text, 0, bench::kTypeAllocatedText) != 0;
    }
    if (failures != 0) fail(state, "a read or free failed");
}

// The first register of direct register access above address 0 (whose id, 1000000, is in the
// SDK range), by its id.
void BM_DirectRegisterRead(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    int32_t id = 0;
    for (int32_t index = 130; index < a.parameterCount(handle) && id <= 1000000; ++index) {
        id = a.idByName(handle, a.nameAt(handle, index));
    }
    uint64_t value = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.get(handle, id, &value, 0, bench::kTypeU32) != 0;
        benchmark::DoNotOptimize(value);
    }
    if (id <= 1000000 || failures != 0) fail(state, "no register, or a read failed");
}

// An NX parameter by direct NX access (the FPGA temperature), passed through to the runtime.
void BM_DirectNxRead(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    const int32_t id = bench::kDnxaIdBase + Fg_getParameterIdByName(board().inner, "Device1_Process0_BoardStatus_FpgaTemperature");
    double value = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.get(handle, id, &value, 0, bench::kTypeDouble) != 0;
        benchmark::DoNotOptimize(value);
    }
    if (failures != 0) fail(state, "a read failed");
}

// ---- Writes ----------------------------------------------------------------------------------

// Two widths taken in turn, so that every write changes the value.
void BM_WidthWrite(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    uint32_t widths[2] = {1024, 2048};
    uint32_t turn = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.set(handle, bench::kWidth, &widths[turn++ & 1], 0, bench::kTypeU32) != 0;
    }
    if (failures != 0) fail(state, "a write failed");
}

void BM_FramesPerSecondWrite(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    double rates[2] = {1000.0, 2000.0};
    uint32_t turn = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.set(handle, bench::kFramesPerSecond, &rates[turn++ & 1], 0, bench::kTypeDouble) != 0;
    }
    if (failures != 0) fail(state, "a write failed");
}

// A width below the published minimum: refused with -6000.
void BM_RefusedWrite(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    const uint32_t width = 1;
    int32_t unexpected = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        unexpected += a.set(handle, bench::kWidth, &width, 0, bench::kTypeU32) != -6000;
    }
    if (unexpected != 0) fail(state, "the write was not refused with -6000");
}

// ---- Threads ---------------------------------------------------------------------------------

// Each iteration reads FG_WIDTH and writes FG_HEIGHT; items are parameter operations.
void BM_EightThreadsReadAndWrite(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    uint32_t heights[2] = {512, 1024};
    uint32_t turn = 0;
    uint64_t value = 0;
    int32_t failures = 0;
    AllocationsPerIteration allocations(state);
    for (auto _ : state) {
        failures += a.get(handle, bench::kWidth, &value, 0, bench::kTypeU32) != 0;
        failures += a.set(handle, 200, &heights[turn++ & 1], 0, bench::kTypeU32) != 0;
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 2));
    if (failures != 0) fail(state, "an operation failed");
}

}  // namespace

BENCHMARK(BM_Floor_LockAndLookup);
BENCHMARK(BM_StoredRead)->ArgName("type")->Arg(bench::kTypeU32)->Arg(bench::kTypeDouble);
BENCHMARK(BM_NxBackedRead);
BENCHMARK(BM_StringReadAndFree);
BENCHMARK(BM_DirectRegisterRead);
BENCHMARK(BM_DirectNxRead);
BENCHMARK(BM_RefusedWrite);
BENCHMARK(BM_Floor_ThreeRuntimeWrites);
BENCHMARK(BM_WidthWrite);
BENCHMARK(BM_FramesPerSecondWrite);
BENCHMARK(BM_EightThreadsReadAndWrite)->Threads(8)->UseRealTime();
