// Heap use on the hot paths: reading stored values and a successful FG_WIDTH write allocate
// nothing, in the applet or below it. The executable replaces the global allocation functions
// with counting ones, which the applet loaded at run time binds to as well.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "board_session.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"

namespace {

using Allocation = board::BoardTest;

std::atomic<uint64_t> allocations{0};

void* allocate(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

constexpr int32_t kTypeU32 = 2;
constexpr int32_t kTypeAllocated = 22;
constexpr int32_t kWidth = 100;
constexpr int32_t kHapFile = 24108;

// Allocations made while `body` runs, with the runtime's call log paused.
template <typename Body>
uint64_t allocationsDuring(Body&& body) {
    SimCtl_SetRecording(0);
    const uint64_t before = allocations.load();
    body();
    const uint64_t after = allocations.load();
    SimCtl_SetRecording(1);
    return after - before;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

TEST_F(Allocation, ReadingStoredValuesAllocatesNothing) {
    // Stored values of each width: FG_WIDTH, FG_TIMEOUT, FG_TRIGGERIN_SRC, FG_PIXELFORMAT
    // (signed), FG_DEBUGWRITEPIXEL (64-bit), FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR.
    uint64_t value = 0;
    int32_t failures = 0;
    const auto readAll = [&] {
        for (const int32_t id : {100, 600, 8110, 200368, 900010, 300203}) {
            for (const int32_t type : {2, 4, 5}) failures += Fg_getParameterWithType(fg(), id, &value, 0, type) != 0;
        }
    };
    readAll();  // whatever is set up on first use is not the read's cost
    EXPECT_EQ(allocationsDuring(readAll), 0u);
    EXPECT_EQ(failures, 0);

    // The count does see the applet's own allocations: a string handed out is one.
    char* text = nullptr;
    EXPECT_GT(allocationsDuring([&] { Fg_getParameterWithType(fg(), kHapFile, &text, 0, kTypeAllocated); }), 0u);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), kHapFile, text, 0, kTypeAllocated), 0);
}

TEST_F(Allocation, ASuccessfulWidthWriteAllocatesNothing) {
    int32_t result = 0;
    const auto write = [&](uint32_t width) { result |= Fg_setParameterWithType(fg(), kWidth, &width, 0, kTypeU32); };
    write(512);
    EXPECT_EQ(allocationsDuring([&] { write(2048); }), 0u);
    EXPECT_EQ(result, 0);
}
