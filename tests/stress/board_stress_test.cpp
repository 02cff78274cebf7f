// Soak runs on the simulated board: many opens and closes of the applet, and many threads
// working on one board at once, every answer checked. The sanitizer builds turn them into leak
// and race hunts.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "board_session.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"
#include "orvanta/parameter_info_node.h"
#include "orvanta/type_codes.h"
#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"
#include "sim_platform.h"

namespace {

// The codes themselves are checked by the end-to-end tests; here they only name operations.
using namespace vexo;

constexpr int32_t FG_TIMEOUT = 600;
constexpr int32_t FG_WIDTH = 100;
constexpr int32_t FG_TRIGGERIN_SRC = 8110;
constexpr int32_t FG_TRIGGERIN_POLARITY = 8116;
constexpr int32_t FG_HAP_FILE = 24108;
constexpr int32_t FG_SYSTEMMONITOR_FPGA_TEMPERATURE = 200341;

#if defined(__SANITIZE_THREAD__)
#define STRESS_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define STRESS_UNDER_TSAN 1
#endif
#endif

#if defined(STRESS_UNDER_TSAN)
// ThreadSanitizer checks each of the megabytes the HAP stand-in compares at every open, and
// slows every other access down many times: the sizes shrink to keep the run short.
constexpr int kCycles = 500;
constexpr int kOperationsPerThread = 25000;
#else
constexpr int kCycles = 10000;
constexpr int kOperationsPerThread = 100000;
#endif
constexpr int kThreads = 8;
constexpr int kInnerCycles = 100000;
// What the resident size may grow by over the inner handle cycles: the allocator's and the
// sanitizers' own keeping (the address sanitizer's quarantine is limited for this test), far
// below what 100,000 handles kept would take.
constexpr uint64_t kFlatBytes = 16u << 20;

// A writable parameter: the values threads write to it (its start value first, so that every
// value it can hold is listed) and values it refuses.
struct Writable {
    int32_t id;
    std::vector<uint32_t> accepted;
    std::vector<uint32_t> refused;
};

// FG_TRIGGERIN_POLARITY accepts only its start value here: the refused writes must leave it so.
const std::vector<Writable> kWritables = {
    {FG_WIDTH, {1024, 8, 512, 4096, 65536}, {0, 7, 65537}},
    {FG_TIMEOUT, {1000000, 2, 5000, 2147483646}, {0, 1, 2147483647}},
    {FG_TRIGGERIN_SRC, {0, 3, 7, 16, 19}, {8, 15, 20, 0xFFFFFFFFu}},
    {FG_TRIGGERIN_POLARITY, {0}, {2, 3, 0xFFFFFFFFu}},
};

bool isOneOf(uint32_t value, const std::vector<uint32_t>& values) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

constexpr const char* kEvent = "FG_TRIGGER_INPUT0_RISING";

// What the board answers at rest, for the threads to compare with.
struct Expected {
    const ParameterInfoNode* description = nullptr;
    double temperature = 0;
    uint64_t eventMask = 0;  // of kEvent
};

// One operation of the mixed run, picked at random; empty when the answer fits what some thread
// did, else what did not fit.
std::string checkedOperation(void* fg, const Expected& expected, std::minstd_rand& random) {
    const Writable& writable = kWritables[random() % kWritables.size()];
    const uint32_t choice = static_cast<uint32_t>(random());
    if (choice % 100 == 0) {  // XML is built anew on each query: a small share
        size_t size = 0;
        return Fg_getParameterInfoXML(fg, 0, nullptr, &size) == 0 && size >= 2 ? "" : "XML size query";
    }
    switch (choice % 8) {
    case 0:
    case 1: {
        uint32_t value = 0xDEADBEEF;
        const int32_t result = Fg_getParameterWithType(fg, writable.id, &value, 0, kTypeU32);
        if (result == 0 && isOneOf(value, writable.accepted)) return "";
        return "read of " + std::to_string(writable.id) + " answered " + std::to_string(result) + " with " +
               std::to_string(value);
    }
    case 2:
    case 3: {
        const bool accepted = choice % 8 == 2;
        const std::vector<uint32_t>& values = accepted ? writable.accepted : writable.refused;
        const uint32_t value = values[random() % values.size()];
        const int32_t result = Fg_setParameterWithType(fg, writable.id, &value, 0, kTypeU32);
        if (result == (accepted ? 0 : errors::kValueOutOfRange)) return "";
        return "write of " + std::to_string(value) + " to " + std::to_string(writable.id) + " answered " +
               std::to_string(result);
    }
    case 4: {
        double value = -1;
        const int32_t id = FG_SYSTEMMONITOR_FPGA_TEMPERATURE;
        const bool fits = Fg_getParameterWithType(fg, id, &value, 0, kTypeDouble) == 0 && value == expected.temperature;
        return fits ? "" : "NX-backed read";
    }
    case 5: {
        char* text = nullptr;
        if (Fg_getParameterWithType(fg, FG_HAP_FILE, &text, 0, kTypeAllocatedText) != 0 || text == nullptr) {
            return "string read";
        }
        const std::string read = text;
        if (Fg_freeParameterStringWithType(fg, FG_HAP_FILE, text, 0, kTypeAllocatedText) != 0) return "string free";
        return read == "Orvanta.hap" ? "" : "string read gave " + read;
    }
    case 6:
        // Only the pointer: the records' limits change under concurrent writes.
        return Fg_getParameterInfo(fg, 0) == expected.description ? "" : "description query";
    default: {
        const char* name = Fg_getEventName(fg, expected.eventMask);
        const bool fits = Fg_getEventMask(fg, kEvent) == expected.eventMask && name != nullptr &&
                          std::strcmp(name, kEvent) == 0;
        return fits ? "" : "event query";
    }
    }
}

}  // namespace

// Every open starts the applet completely (runtime binding, HAP, description, initial values)
// and every close takes it all down again: what one cycle leaks, thousands make visible.
TEST(BoardCycles, ManyOpensAndClosesLeaveNoHapHandleOpen) {
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    SimCtl_SetRecording(0);
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        void* fg = Fg_InitEx("Orvanta", 0, 0);
        ASSERT_NE(fg, nullptr) << "cycle " << cycle;
        ASSERT_EQ(SimHap_LiveHandles(), 1) << "cycle " << cycle;
        ASSERT_EQ(Fg_FreeGrabber(fg), 0) << "cycle " << cycle;
    }
    EXPECT_EQ(SimHap_LiveHandles(), 0);
}

// The runtime alone: inner handles opened on a HAP and closed again, each freed at its close.
TEST(BoardCycles, HundredThousandInnerHandlesKeepTheMemoryFlat) {
    std::ifstream file("Orvanta.hap", std::ios::binary);  // the tests run in the build's bin folder
    const std::vector<char> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    void* hap = Hap_OpenImage(image.data(), image.size(), 1);
    ASSERT_NE(hap, nullptr);
    SimCtl_Reset();
    SimCtl_SetRecording(0);
    const uint64_t hardware = SimCtl_HardwareHandle(5);
    // A handle open on another board all along keeps the runtime's clock thread running.
    void* steady = Fg_InitHandle("Orvanta.hap", SimCtl_HardwareHandle(6), hap);
    ASSERT_NE(steady, nullptr);
    const auto cycle = [&](int count) {
        for (int i = 0; i < count; ++i) {
            void* inner = Fg_InitHandle("Orvanta.hap", hardware, hap);
            ASSERT_NE(inner, nullptr) << "cycle " << i;
            ASSERT_EQ(Fg_FreeGrabber(inner), 0) << "cycle " << i;
        }
    };
    cycle(1000);
    const uint64_t start = sim::platform::residentBytes();
    cycle(kInnerCycles);
    const uint64_t end = sim::platform::residentBytes();
    ASSERT_GT(start, 0u);
    EXPECT_LT(end, start + kFlatBytes) << "from " << start << " to " << end << " bytes";
    EXPECT_EQ(Fg_FreeGrabber(steady), 0);
    SimCtl_SetRecording(1);
    Hap_Release(hap);
}

// An application that runs for hours on the simulated board must not grow the call log for ever:
// it keeps the newest calls, in order.
TEST(CallLog, KeepsOnlyTheNewestCalls) {
    std::ifstream file("Orvanta.hap", std::ios::binary);
    const std::vector<char> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    void* hap = Hap_OpenImage(image.data(), image.size(), 1);
    ASSERT_NE(hap, nullptr);
    SimCtl_Reset();
    void* inner = Fg_InitHandle("Orvanta.hap", SimCtl_HardwareHandle(5), hap);
    ASSERT_NE(inner, nullptr);
    constexpr int32_t kKept = 32768;
    for (int32_t i = 0; i < kKept + 1000; ++i) Fg_getParameterIdByName(inner, i % 2 == 0 ? "even" : "odd");
    Fg_FreeGrabber(inner);
    EXPECT_EQ(SimCtl_CallCount(), kKept);
    SimCall newest{};
    ASSERT_EQ(SimCtl_GetCall(kKept - 1, &newest), 0);
    EXPECT_STREQ(newest.function, "Fg_FreeGrabber");
    SimCall before{};
    ASSERT_EQ(SimCtl_GetCall(kKept - 2, &before), 0);
    EXPECT_STREQ(before.nxName, "odd");
    Hap_Release(hap);
}

TEST(MixedThreads, EveryAnswerFitsWhatSomeThreadDid) {
    board::OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    SimCtl_SetRecording(0);
    Expected expected;
    expected.description = Fg_getParameterInfo(board.fg, 0);
    ASSERT_NE(expected.description, nullptr);
    ASSERT_EQ(Fg_getParameterWithType(board.fg, FG_SYSTEMMONITOR_FPGA_TEMPERATURE, &expected.temperature, 0,
                                      kTypeDouble),
              0);
    expected.eventMask = Fg_getEventMask(board.fg, kEvent);
    ASSERT_NE(expected.eventMask, 0u);

    std::vector<std::thread> threads;
    std::vector<int> failures(kThreads, 0);
    std::vector<std::string> firstFailures(kThreads);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            std::minstd_rand random(1000u + static_cast<unsigned>(t));
            for (int i = 0; i < kOperationsPerThread; ++i) {
                std::string failure = checkedOperation(board.fg, expected, random);
                if (!failure.empty() && failures[t]++ == 0) firstFailures[t] = std::move(failure);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(failures[t], 0) << "thread " << t << ", first: " << firstFailures[t];
    }
}
