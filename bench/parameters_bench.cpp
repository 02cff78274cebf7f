// The parameter paths of one opened board, each beside its floor in the same run: reads and
// writes beside an uncontended lock with a lookup among 130 ids, and eight threads sharing the
// board. Built twice: over the do-nothing runtime (BENCH_OVER_DO_NOTHING), where the FG_WIDTH
// write stands beside the applet's parameter lock, the lookup and the three calls into the
// runtime it makes, and both beside a GenApi engine's feature get and set (Aravis's fake device,
// BENCH_WITH_ARAVIS); and over the stand-in runtime, whose figures are for information.
#include <algorithm>
#include <array>
#include <cstdint>
#include <mutex>

#include <benchmark/benchmark.h>
#if defined(BENCH_WITH_ARAVIS)
#include <arv.h>
#endif

#include "allocation_counter.h"
#include "applet_session.h"

namespace {

using bench::applet;
using bench::measure;

// Direct register access is switched on for this board, so that its read can be measured; the
// other paths do not depend on it.
const bench::OpenedBoard& board() { return bench::board(true); }
void* fg() { return board().fg; }

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
    measure(state, "", [&] {
        benchmark::DoNotOptimize(wanted);
        std::lock_guard<std::mutex> guard(lock);
        benchmark::DoNotOptimize(std::lower_bound(ids.begin(), ids.end(), wanted));
        return true;
    });
}

// The NX parameters an FG_WIDTH write writes.
std::array<int32_t, 3> widthNxIds() {
    return {bench::runtimeId("Device1_Process0_Buffer_0_XROI_ROIRange_from"),
            bench::runtimeId("Device1_Process0_Buffer_0_XROI_ROIRange_to"),
            bench::runtimeId("Device1_Process0_Buffer_0_DRAM_A_0_XLength")};
}

#if defined(BENCH_OVER_DO_NOTHING)
// What an FG_WIDTH write needs at the least: the applet's parameter lock (re-entrant) taken and
// given back, the parameter found among 130 ids, and its three NX writes into the runtime.
void BM_Floor_WidthWrite(benchmark::State& state) {
    board();
    static const std::array<int32_t, 130> sdkIds = floorIds();
    using Set = int32_t (*)(void*, int32_t, const void*, uint32_t, int32_t);
    const Set set = bench::runtimeFunction<Set>("Fg_setParameterWithType");
    const std::array<int32_t, 3> ids = widthNxIds();
    std::recursive_mutex lock;
    int32_t wanted = sdkIds[57];
    uint32_t value = 0;
    measure(state, "a runtime write failed", [&] {
        benchmark::DoNotOptimize(wanted);
        std::lock_guard<std::recursive_mutex> guard(lock);
        benchmark::DoNotOptimize(std::lower_bound(sdkIds.begin(), sdkIds.end(), wanted));
        ++value;
        bool written = true;
        for (const int32_t id : ids) written &= set(nullptr, id, &value, 0, bench::kTypeU32) == 0;
        return written;
    });
}
#else
// The three NX writes an FG_WIDTH write makes, straight into the runtime on the inner handle.
void BM_Floor_ThreeRuntimeWrites(benchmark::State& state) {
    void* handle = board().inner;
    const std::array<int32_t, 3> ids = widthNxIds();
    uint32_t value = 0;
    measure(state, "a runtime write failed", [&] {
        ++value;
        bool written = true;
        for (const int32_t id : ids) written &= Fg_setParameterWithType(handle, id, &value, 0, bench::kTypeU32) == 0;
        return written;
    });
}
#endif

#if defined(BENCH_WITH_ARAVIS)
// A GenApi engine's own path for one feature: Aravis reading and writing Width of its fake device
// in this process (its node tree, the register behind it, the fake device's memory).
struct FakeDevice {
    FakeDevice() : device(arv_fake_device_new("ORVANTA0", nullptr)) {}
    ~FakeDevice() {
        if (device != nullptr) g_object_unref(device);
    }
    ArvDevice* device;
};

void BM_GenApi_WidthGet(benchmark::State& state) {
    FakeDevice fake;
    if (fake.device == nullptr) {
        state.SkipWithError("no fake device");
        return;
    }
    measure(state, "a feature read failed", [&] {
        GError* error = nullptr;
        benchmark::DoNotOptimize(arv_device_get_integer_feature_value(fake.device, "Width", &error));
        if (error == nullptr) return true;
        g_error_free(error);
        return false;
    });
}

void BM_GenApi_WidthSet(benchmark::State& state) {
    FakeDevice fake;
    if (fake.device == nullptr) {
        state.SkipWithError("no fake device");
        return;
    }
    const gint64 widths[2] = {512, 640};
    uint32_t turn = 0;
    measure(state, "a feature write failed", [&] {
        GError* error = nullptr;
        arv_device_set_integer_feature_value(fake.device, "Width", widths[turn++ & 1], &error);
        if (error == nullptr) return true;
        g_error_free(error);
        return false;
    });
}
#endif

// ---- Reads -----------------------------------------------------------------------------------

// Reads of `id` with the caller's type code `type`.
void measureReads(benchmark::State& state, int32_t id, int32_t type) {
    const bench::Applet& a = applet();
    void* handle = fg();
    uint64_t value = 0;  // wide enough for every numeric type code
    measure(state, "a read failed", [&] {
        const bool read = a.get(handle, id, &value, 0, type) == 0;
        benchmark::DoNotOptimize(value);
        return read;
    });
}

// A stored value (FG_WIDTH), with the caller's type code 2 or 5.
void BM_StoredRead(benchmark::State& state) {
    measureReads(state, bench::kWidth, static_cast<int32_t>(state.range(0)));
}

// One NX read through the runtime (FG_SYSTEMMONITOR_FPGA_TEMPERATURE).
void BM_NxBackedRead(benchmark::State& state) { measureReads(state, bench::kFpgaTemperature, bench::kTypeDouble); }

// The first register of direct register access above address 0 (whose id, 1000000, is in the
// SDK range), by its id.
void BM_DirectRegisterRead(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    int32_t id = 0;
    for (int32_t index = 130; index < a.parameterCount(handle) && id <= 1000000; ++index) {
        id = a.idByName(handle, a.nameAt(handle, index));
    }
    if (id <= 1000000) {
        state.SkipWithError("no register");
        return;
    }
    measureReads(state, id, bench::kTypeU32);
}

// An NX parameter by direct NX access (the FPGA temperature), passed through to the runtime.
void BM_DirectNxRead(benchmark::State& state) {
    board();
    const int32_t nxId = bench::runtimeId("Device1_Process0_BoardStatus_FpgaTemperature");
    measureReads(state, bench::kDnxaIdBase + nxId, bench::kTypeDouble);
}

// FG_HAP_FILE handed out as an allocated text and given back: the text itself is one allocation.
void BM_StringReadAndFree(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    measure(state, "a read or free failed", [&] {
        char* text = nullptr;
        const bool read = a.get(handle, bench::kHapFile, &text, 0, bench::kTypeAllocatedText) == 0;
        return a.freeString(handle, bench::kHapFile, text, 0, bench::kTypeAllocatedText) == 0 && read;
    });
}

// ---- Writes ----------------------------------------------------------------------------------

// Writes of `id` taking two values in turn, so that every write changes the value when they
// differ; each must answer `expected`.
template <typename T>
void measureWrites(benchmark::State& state, int32_t id, int32_t type, T first, T second, int32_t expected = 0) {
    const bench::Applet& a = applet();
    void* handle = fg();
    const T values[2] = {first, second};
    uint32_t turn = 0;
    measure(state, expected == 0 ? "a write failed" : "the write was not refused",
            [&] { return a.set(handle, id, &values[turn++ & 1], 0, type) == expected; });
}

void BM_WidthWrite(benchmark::State& state) {
    measureWrites<uint32_t>(state, bench::kWidth, bench::kTypeU32, 1024, 2048);
}

void BM_FramesPerSecondWrite(benchmark::State& state) {
    measureWrites(state, bench::kFramesPerSecond, bench::kTypeDouble, 1000.0, 2000.0);
}

// A width below the published minimum: refused with -6000.
void BM_RefusedWrite(benchmark::State& state) {
    measureWrites<uint32_t>(state, bench::kWidth, bench::kTypeU32, 1, 1, -6000);
}

// ---- Threads ---------------------------------------------------------------------------------

// Each iteration reads FG_WIDTH and writes FG_HEIGHT; items are parameter operations.
void BM_EightThreadsReadAndWrite(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* handle = fg();
    const uint32_t heights[2] = {512, 1024};
    uint32_t turn = 0;
    uint64_t value = 0;
    measure(state, "an operation failed", [&] {
        const bool read = a.get(handle, bench::kWidth, &value, 0, bench::kTypeU32) == 0;
        return a.set(handle, bench::kHeight, &heights[turn++ & 1], 0, bench::kTypeU32) == 0 && read;
    });
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 2));
}

}  // namespace

BENCHMARK(BM_Floor_LockAndLookup);
BENCHMARK(BM_StoredRead)->ArgName("type")->Arg(bench::kTypeU32)->Arg(bench::kTypeDouble);
BENCHMARK(BM_NxBackedRead);
BENCHMARK(BM_StringReadAndFree);
BENCHMARK(BM_DirectRegisterRead);
BENCHMARK(BM_DirectNxRead);
BENCHMARK(BM_RefusedWrite);
#if defined(BENCH_OVER_DO_NOTHING)
BENCHMARK(BM_Floor_WidthWrite);
#else
BENCHMARK(BM_Floor_ThreeRuntimeWrites);
#endif
BENCHMARK(BM_WidthWrite);
BENCHMARK(BM_FramesPerSecondWrite);
BENCHMARK(BM_EightThreadsReadAndWrite)->Threads(8)->UseRealTime();
#if defined(BENCH_WITH_ARAVIS)
BENCHMARK(BM_GenApi_WidthGet);
BENCHMARK(BM_GenApi_WidthSet);
#endif
