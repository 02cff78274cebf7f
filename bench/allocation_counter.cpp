// The counting allocation functions. With the GNU C library the C allocation functions
// themselves are replaced (forwarding to the library's own), so that every malloc, calloc and
// realloc is seen, the C++ operators included, which allocate through malloc. Elsewhere only the
// C++ operators are replaced and counted.
#include "allocation_counter.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace {

std::atomic<uint64_t> allocations{0};

void countOne() { allocations.fetch_add(1, std::memory_order_relaxed); }

#if defined(__GLIBC__)
constexpr bool kCountedByMalloc = true;
#else
constexpr bool kCountedByMalloc = false;
#endif

void* allocate(std::size_t size) {
    if (!kCountedByMalloc) countOne();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
    countOne();  // aligned_alloc is not one of the replaced functions
    const std::size_t align = static_cast<std::size_t>(alignment);
    const std::size_t rounded = (size + align - 1) / align * align;
    if (void* memory = std::aligned_alloc(align, rounded == 0 ? align : rounded)) return memory;
    throw std::bad_alloc();
}

}  // namespace

namespace bench {

uint64_t heapAllocations() { return allocations.load(std::memory_order_relaxed); }

}  // namespace bench

#if defined(__GLIBC__)
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
void __libc_free(void* memory);

void* malloc(std::size_t size) {
    countOne();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
    countOne();
    return __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) {
    countOne();
    return __libc_realloc(memory, size);
}
void free(void* memory) { __libc_free(memory); }
}
#endif

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void* operator new(std::size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void* operator new[](std::size_t size, std::align_val_t alignment) { return allocateAligned(size, alignment); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::align_val_t) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept { std::free(memory); }
