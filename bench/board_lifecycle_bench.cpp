// Opening and closing the applet, and the operations that walk or rebuild the whole description
// or configuration: the description tree walked, the XML description sized and fetched, a
// configuration saved and loaded. Their targets are absolute times, with allocation counts.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "applet_session.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/parameter_info_node.h"

namespace {

using bench::applet;
using bench::board;
using bench::measure;

// The floor of opening a board: what the stand-ins themselves do for one open and close (the
// HAP image opened and released, the inner handle opened and closed), without the applet.
void BM_Floor_StandInOpenAndClose(benchmark::State& state) {
    board();
    uint64_t imageSize = 0;
    uint64_t imageAddress = 0;
    applet().info(0x412, 0, 0, &imageSize, &imageAddress);
    const void* image = reinterpret_cast<const void*>(static_cast<uintptr_t>(imageAddress));
    const uint64_t hardware = SimCtl_HardwareHandle(1);
    measure(state, "the stand-ins did not open", [&] {
        void* hap = Hap_OpenImage(image, imageSize, 1);
        void* inner = Fg_InitHandleSlaveAware("Orvanta.hap", hardware, hap, 0);
        if (inner != nullptr) Fg_FreeGrabber(inner);
        if (hap != nullptr) Hap_Release(hap);
        return hap != nullptr && inner != nullptr;
    });
}

// Std_entry on board 1 as the runtime calls it (flags 0: initial values written), then the
// applet's Fg_FreeGrabber with a handle record holding the wrapper.
void BM_StdEntryAndFreeGrabber(benchmark::State& state) {
    const bench::Applet& a = applet();
    board();  // the runtime and the applet are loaded, as they are when an application opens a board
    const uint64_t hardware = SimCtl_HardwareHandle(1);
    measure(state, "the applet did not open or close", [&] {
        int32_t error = 0;
        void* record[1] = {a.stdEntry(hardware, &error, 0)};
        return record[0] != nullptr && a.freeGrabber(record) == 0;
    });
}

int32_t countNodes(const ParameterInfoNode* node) {
    int32_t count = 1;
    if (node->type == PARAM_INFO_CATEGORY) {
        for (int32_t i = 0; i < node->value.category.childCount; ++i) count += countNodes(node->value.category.children[i]);
    }
    return count;
}

// Every record of port 0, from the head through the older top-level categories.
void BM_ParameterInfoWalk(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* fg = board().fg;
    int32_t nodes = 0;
    measure(state, "", [&] {
        nodes = 0;
        for (const ParameterInfoNode* top = a.parameterInfo(fg, 0); top != nullptr; top = top->older) {
            nodes += countNodes(top);
        }
        benchmark::DoNotOptimize(nodes);
        return true;
    });
    state.counters["records"] = nodes;
    if (nodes < 130) state.SkipWithError("the tree is missing records");
}

// As an application fetches it: the size first, then the text into a buffer of that size.
void BM_ParameterInfoXml(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* fg = board().fg;
    size_t size = 0;
    a.parameterInfoXml(fg, 0, nullptr, &size);
    std::vector<char> buffer(size);
    measure(state, "the XML query failed", [&] {
        size = 0;
        return a.parameterInfoXml(fg, 0, nullptr, &size) == 0 && a.parameterInfoXml(fg, 0, buffer.data(), &size) == 0;
    });
    state.counters["bytes"] = static_cast<double>(size);
}

void BM_SaveAndLoadConfig(benchmark::State& state) {
    const bench::Applet& a = applet();
    void* fg = board().fg;
    const std::string file = (std::filesystem::temp_directory_path() / "orvanta-bench-config.mcf").string();
    measure(state, "a save or load failed",
            [&] { return a.saveConfig(fg, file.c_str()) == 0 && a.loadConfig(fg, file.c_str()) == 0; });
    std::filesystem::remove(file);
}

}  // namespace

BENCHMARK(BM_Floor_StandInOpenAndClose)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StdEntryAndFreeGrabber)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParameterInfoWalk)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParameterInfoXml)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveAndLoadConfig)->Unit(benchmark::kMicrosecond);
