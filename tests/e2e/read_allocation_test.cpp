// Heap use on the hot paths: reading stored values and a successful FG_WIDTH write allocate
// nothing, in the applet or below it. The executable replaces the global allocation functions
// with counting ones, which the applet loaded at run time binds to as well.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "board_session.h"
#include "orvanta/type_codes.h"

namespace {

using namespace vexo;
using Allocation = board::BoardTest;

constexpr int32_t kWidth = 100;
constexpr int32_t kHapFile = 24108;

std::atomic<uint64_t> allocations{0};

void* allocate(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

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

TEST_F(Allocation, ReadingStoredValuesAndASuccessfulWidthWriteAllocateNothing) {
    // Stored values of each width: FG_WIDTH, FG_TIMEOUT, FG_TRIGGERIN_SRC, FG_PIXELFORMAT
    // (signed), FG_DEBUGWRITEPIXEL (64-bit), FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR.
    uint64_t value = 0;
    uint32_t width = 512;
    int32_t failures = 0;
    const auto readAll = [&] {
        for (const int32_t id : {kWidth, 600, 8110, 200368, 900010, 300203}) {
            for (const int32_t type : {2, 4, 5}) failures += Fg_getParameterWithType(fg(), id, &value, 0, type) != 0;
        }
    };
    const auto writeWidth = [&] { failures += Fg_setParameterWithType(fg(), kWidth, &width, 0, kTypeU32) != 0; };
    // Whatever is set up on first use is not the cost of a read or write.
    readAll();
    writeWidth();
    width = 2048;
    EXPECT_EQ(allocationsDuring(readAll), 0u);
    EXPECT_EQ(allocationsDuring(writeWidth), 0u);
    EXPECT_EQ(failures, 0);

    // The count does see the applet's own allocations: a string handed out is one.
    char* text = nullptr;
    EXPECT_GT(allocationsDuring([&] { Fg_getParameterWithType(fg(), kHapFile, &text, 0, kTypeAllocatedText); }), 0u);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Fg_freeParameterStringWithType(fg(), kHapFile, text, 0, kTypeAllocatedText), 0);
}
