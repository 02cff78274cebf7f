// Frame buffers an application allocated with Fg_AllocMemEx, and the record of the last
// acquisition into them: which picture each buffer holds, which ones the application holds in
// blocking mode, and the counters, all readable after the acquisition ended until the next one
// on the same memory starts. Plain bookkeeping: the lock of the board it belongs to guards it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace sim {

class FrameMemory {
public:
    // Throws std::bad_alloc when the buffers cannot be had. The bytes start zeroed.
    FrameMemory(uint64_t bufferSize, int64_t bufferCount);

    uint64_t bufferSize() const { return bufferSize_; }
    int64_t bufferCount() const { return static_cast<int64_t>(slots_.size()); }
    uint8_t* buffer(int64_t index) const { return bytes_.get() + static_cast<uint64_t>(index) * bufferSize_; }

    // Forgets the previous acquisition's record: no picture, nothing held, counters 0.
    void restart(bool blocking, int64_t pictureCount);
    bool blocking() const { return blocking_; }
    int64_t pictureCount() const { return pictureCount_; }
    int64_t delivered() const { return delivered_; }
    int64_t lost() const { return lost_; }
    void countLost() { ++lost_; }

    // The buffer the next picture goes into, emptied of what it held; -1 in blocking mode when
    // the application holds every buffer.
    int64_t claim();
    // The claimed buffer now holds the next picture (numbered here), `length` bytes long,
    // delivered at board time `timestamp`; in blocking mode it is the application's from now on.
    // Answers the picture's number.
    int64_t fill(int64_t index, uint64_t length, uint64_t timestamp);

    // The buffer holding picture `picture`, or -1 (never delivered, or overwritten since).
    int64_t bufferOf(int64_t picture) const;
    // The transfer length of a picture a buffer holds.
    uint64_t lengthOf(int64_t index) const { return slots_[static_cast<size_t>(index)].length; }
    uint64_t timestampOf(int64_t index) const { return slots_[static_cast<size_t>(index)].timestamp; }
    // Gives a held picture back for filling; false when the application does not hold it.
    bool release(int64_t picture);
    void releaseAll();
    // Percent of the buffers the application holds.
    uint32_t fillLevel() const;

private:
    struct Slot {
        int64_t picture = 0;  // 0: none (never filled, or being filled)
        uint64_t length = 0;
        uint64_t timestamp = 0;
        bool held = false;
    };
    struct FreeBytes {
        void operator()(uint8_t* bytes) const { std::free(bytes); }
    };

    uint64_t bufferSize_;
    std::unique_ptr<uint8_t, FreeBytes> bytes_;
    std::vector<Slot> slots_;
    bool blocking_ = false;
    int64_t pictureCount_ = 0;
    int64_t delivered_ = 0;
    int64_t lost_ = 0;
    int64_t held_ = 0;
    size_t nextFree_ = 0;  // blocking mode: where the search for a free buffer starts
};

}  // namespace sim
