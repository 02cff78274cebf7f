// Frame buffers and the record of the last acquisition into them.
#include "frame_memory.h"

#include <new>

namespace sim {

FrameMemory::FrameMemory(uint64_t bufferSize, int64_t bufferCount) : bufferSize_(bufferSize) {
    const auto count = static_cast<uint64_t>(bufferCount);
    if (bufferCount < 1 || bufferSize == 0 || count > SIZE_MAX / bufferSize) throw std::bad_alloc();
    // calloc rather than a zeroing loop: large memories are zeroed pages the system maps lazily.
    bytes_.reset(static_cast<uint8_t*>(std::calloc(static_cast<size_t>(count), static_cast<size_t>(bufferSize))));
    if (!bytes_) throw std::bad_alloc();
    slots_.resize(static_cast<size_t>(count));
}

void FrameMemory::restart(bool blocking, int64_t pictureCount) {
    for (Slot& slot : slots_) slot = Slot{};
    blocking_ = blocking;
    pictureCount_ = pictureCount;
    delivered_ = 0;
    lost_ = 0;
    held_ = 0;
    nextFree_ = 0;
}

int64_t FrameMemory::claim() {
    const size_t count = slots_.size();
    size_t index = static_cast<size_t>(static_cast<uint64_t>(delivered_) % count);
    if (blocking_) {
        size_t tried = 0;
        index = nextFree_;
        while (slots_[index].held) {
            if (++tried == count) return -1;
            index = (index + 1) % count;
        }
        nextFree_ = (index + 1) % count;
    }
    slots_[index] = Slot{};
    return static_cast<int64_t>(index);
}

int64_t FrameMemory::fill(int64_t index, uint64_t length, uint64_t timestamp) {
    Slot& slot = slots_[static_cast<size_t>(index)];
    slot.picture = ++delivered_;
    slot.length = length;
    slot.timestamp = timestamp;
    if (blocking_) {
        slot.held = true;
        ++held_;
    }
    return slot.picture;
}

int64_t FrameMemory::bufferOf(int64_t picture) const {
    if (picture < 1 || picture > delivered_) return -1;
    // In ring mode picture n is in buffer (n - 1) mod count unless overwritten; blocking mode
    // fills whichever buffer is free.
    const size_t ring = static_cast<size_t>(static_cast<uint64_t>(picture - 1) % slots_.size());
    if (slots_[ring].picture == picture) return static_cast<int64_t>(ring);
    if (!blocking_) return -1;
    for (size_t i = 0; i < slots_.size(); ++i) {
        if (slots_[i].picture == picture) return static_cast<int64_t>(i);
    }
    return -1;
}

bool FrameMemory::release(int64_t picture) {
    const int64_t index = bufferOf(picture);
    if (index < 0 || !slots_[static_cast<size_t>(index)].held) return false;
    slots_[static_cast<size_t>(index)].held = false;
    --held_;
    return true;
}

void FrameMemory::releaseAll() {
    for (Slot& slot : slots_) slot.held = false;
    held_ = 0;
}

uint32_t FrameMemory::fillLevel() const {
    return static_cast<uint32_t>(static_cast<uint64_t>(held_) * 100 / slots_.size());
}

}  // namespace sim
