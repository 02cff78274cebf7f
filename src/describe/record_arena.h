// Memory for the description records of one store and for the texts and arrays they point at:
// taken piece by piece from large blocks and given back all at once, with the store. Records are
// plain structs handed to callers by address, so a piece never moves.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace vexo::describe {

class RecordArena {
public:
    // Every piece starts on this boundary, enough for the pointers, 64-bit integers and doubles
    // that records hold.
    static constexpr std::size_t kAlignment = 8;
    static_assert(alignof(std::max_align_t) % kAlignment == 0, "blocks start on the pieces' boundary");

    static constexpr std::size_t rounded(std::size_t bytes) {
        return (bytes + kAlignment - 1) / kAlignment * kAlignment;
    }
    template <typename T>
    static constexpr std::size_t bytesFor(std::size_t count) {
        return rounded(sizeof(T) * count);
    }
    // The bytes a copy of `text` takes (none for null).
    static std::size_t bytesForText(const char* text) {
        return text != nullptr ? rounded(std::strlen(text) + 1) : 0;
    }

    RecordArena() = default;
    RecordArena(const RecordArena&) = delete;
    RecordArena& operator=(const RecordArena&) = delete;

    // Makes sure that pieces of `bytes` in all (each counted as bytesFor or bytesForText gives
    // it) can be taken without allocating. Throws std::bad_alloc, with nothing changed, when a
    // new block cannot be had. Once a new block is taken, the rest of the current one stays unused.
    void reserve(std::size_t bytes) {
        if (bytes <= left) return;
        if (blocks.size() == blocks.capacity()) blocks.reserve(blocks.empty() ? 8 : 2 * blocks.size());
        const std::size_t units = (bytes > kBlockSize ? bytes : kBlockSize) / sizeof(std::max_align_t) + 1;
        std::unique_ptr<std::max_align_t[]> block(new std::max_align_t[units]);
        next = reinterpret_cast<std::byte*>(block.get());
        blocks.push_back(std::move(block));  // room was made above
        left = units * sizeof(std::max_align_t);
    }

    // `count` value-initialised (zero) objects from reserved memory.
    template <typename T>
    T* make(std::size_t count) {
        static_assert(alignof(T) <= kAlignment, "pieces are aligned for record fields only");
        static_assert(std::is_trivially_destructible_v<T>, "the arena destroys nothing");
        T* objects = reinterpret_cast<T*>(take(bytesFor<T>(count)));
        std::uninitialized_value_construct_n(objects, count);
        return objects;
    }

    // A copy of `text` in reserved memory; null for null.
    char* copy(const char* text) {
        if (text == nullptr) return nullptr;
        const std::size_t size = std::strlen(text) + 1;
        char* copied = static_cast<char*>(take(rounded(size)));
        std::memcpy(copied, text, size);
        return copied;
    }

private:
    // Large enough that the description of a board takes a few blocks.
    static constexpr std::size_t kBlockSize = 32 * 1024;

    // Taking more than was reserved is a fault of the caller, not a lack of memory.
    void* take(std::size_t bytes) {
        if (bytes > left) std::abort();
        void* piece = next;
        next += bytes;
        left -= bytes;
        return piece;
    }

    std::vector<std::unique_ptr<std::max_align_t[]>> blocks;
    std::byte* next = nullptr;
    std::size_t left = 0;
};

}  // namespace vexo::describe
