// Frames of an acquisition as NumPy arrays that view the runtime's frame buffers, without a
// copy. The buffers (a frame memory of the runtime) stay allocated while anything views them:
// the stream, its frames and every array taken from a frame hold the memory, and the memory
// holds the board's runtime handle, with which the runtime would free it. A frame can be used
// until it is released (or its stream or board closes); arrays taken before stay valid memory,
// but in blocking mode the board may then fill the buffer anew.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <nanobind/nanobind.h>

#include "handle.h"

namespace orvanta_python {

namespace nb = nanobind;

// One frame memory of the runtime with the acquisition into it.
struct Memory {
    Memory(std::shared_ptr<Handle> handle, void* memory, uint64_t bufferSize, int64_t bufferCount, bool blocking)
        : handle(std::move(handle)), memory(memory), bufferSize(bufferSize), bufferCount(bufferCount),
          blocking(blocking) {}
    ~Memory();
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;

    // Stops the acquisition; its frames are no longer handed out. Under the GIL; idempotent.
    void close();

    std::shared_ptr<Handle> handle;
    void* memory;
    uint64_t bufferSize;
    int64_t bufferCount;
    bool blocking;
    bool closed = false;  // under the GIL
};

// Where a delivered picture lies and how its bytes read as an image.
struct Picture {
    int64_t number = 0;
    const uint8_t* data = nullptr;
    uint64_t rows = 0, columns = 0;
    uint32_t elementBytes = 1; // 1, 2 or 4: uint8, uint16, uint32
};

class Frame {
public:
    Frame(std::shared_ptr<Memory> memory, const Picture& picture);

    // The NumPy array viewing the buffer (read-only); throws once the frame is released.
    nb::object array(nb::handle self);
    // A copy the caller keeps.
    nb::object copy(nb::handle self);
    // Gives the buffer back to the board (blocking mode); later uses raise. Idempotent.
    void release();
    // Marks the frame released and answers whether the board still needs to be told; the
    // stream tells it in the same call that fetches the next frame. Under the GIL.
    bool detach();
    bool released() const { return !memory_ || memory_->closed; }

    const Picture& picture() const { return picture_; }
    nb::tuple shape() const;
    // Asked of the runtime when wanted, while the frame is held: the index of the buffer holding
    // the picture, and the board clock at its delivery (kept once asked).
    int64_t buffer() const;
    uint64_t timestamp();

    // The buffer protocol: a read-only view of the picture, holding the memory while it lives.
    int getBuffer(Py_buffer* view, int flags);
    static void releaseBuffer(Py_buffer* view);

private:
    void check(const char* operation) const;
    int64_t status(const char* operation, int32_t statusId) const;

    std::shared_ptr<Memory> memory_;  // null once released
    Picture picture_;
    Py_ssize_t shape_[2], strides_[2];
    std::optional<uint64_t> timestamp_;
};

class Stream {
public:
    // Starts an acquisition into `buffers` buffers of bufferSize bytes (0: the picture size the
    // board's geometry and format give now). pictureCount 0: until closed. Call with the GIL.
    Stream(const std::shared_ptr<Handle>& handle, int64_t buffers, int64_t pictureCount, bool blocking,
           double timeout, bool autoRelease, uint64_t bufferSize);

    // The next picture as a frame; none (StopIteration) once the acquisition ended or the
    // stream was closed; throws a time-out after `timeout` seconds (whole seconds).
    std::shared_ptr<Frame> next(std::optional<double> timeout);
    void close();
    bool closed() const { return !memory_ || memory_->closed; }
    const std::shared_ptr<Memory>& memory() const { return memory_; }

    int64_t status(int32_t statusId) const;
    int64_t skipped() const { return skipped_; }
    bool blocking() const { return blocking_; }
    int64_t buffers() const { return buffers_; }
    uint64_t bufferSize() const { return bufferSize_; }

private:
    enum class Fetched { Picture, Waiting, Ended };
    // Gives picture `release` back (0: none), waits up to `seconds` for picture next_ and, when
    // it came, locates it. One call without the GIL for the usual frame that is there already.
    Fetched fetch(Memory& memory, int64_t release, int32_t seconds, Picture& picture);
    void* locateNewest(Memory& memory, int64_t delivered);
    Picture locate(Memory& memory, void* data);

    std::shared_ptr<Memory> memory_;  // reset on closing; every operation holds its own while it runs
    std::shared_ptr<Frame> last_;  // released by the next frame when autoRelease
    int64_t pictureCount_;
    bool blocking_;
    double timeout_;
    bool autoRelease_;
    int64_t buffers_;
    uint64_t bufferSize_;
    int64_t next_ = 1;
    int64_t skipped_ = 0;
    int32_t widthId_ = 0, payloadId_ = 0;
    // The line layout of pictures of layoutLength_ bytes.
    int64_t layoutLength_ = -1;
    uint64_t lineBytes_ = 0, columns_ = 0;
    uint32_t elementBytes_ = 1;
};

}  // namespace orvanta_python
