// The executable's allocation functions: malloc and free, with the calling thread's allocations
// counted and failed as planned. Only the thread that set a plan counts, so that the boards'
// clock thread and acquisition threads do not move the count of an operation.
#include "allocation_plan.h"

#include <cstdlib>
#include <new>

namespace faults::allocation {
namespace {

thread_local bool counting = false;
thread_local uint64_t counted = 0;
thread_local uint64_t failAt = 0;
thread_local bool failOn = false;

// False when this allocation is to fail.
bool allowed() {
    if (!counting) return true;
    ++counted;
    return failAt == 0 || (counted != failAt && !(failOn && counted > failAt));
}

void* allocate(std::size_t size) {
    if (!allowed()) throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void* allocateOrNull(std::size_t size) noexcept {
    return allowed() ? std::malloc(size == 0 ? 1 : size) : nullptr;
}

}  // namespace

bool available() { return true; }

void plan(uint64_t nth, bool persistent) {
    counting = true;
    counted = 0;
    failAt = nth;
    failOn = persistent;
}

uint64_t calls() { return counted; }

}  // namespace faults::allocation

using faults::allocation::allocate;
using faults::allocation::allocateOrNull;

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
