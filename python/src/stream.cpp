// Starting, following and stopping an acquisition, and the frames it hands out.
#include "stream.h"

#include <algorithm>
#include <cmath>

#include <nanobind/ndarray.h>

#include "failure.h"
#include "gil.h"
#include "orvanta/runtime.h"

namespace orvanta_python {

namespace {

int32_t idOf(void* fg, const char* name) {
    const int32_t id = Fg_getParameterIdByName(fg, name);
    if (id <= 0) fail(std::string("stream: the board has no ") + name, -2070, Call::Read);
    return id;
}

uint32_t readU32(void* fg, int32_t id, const char* name) {
    uint32_t value = 0;
    const int32_t result = Fg_getParameterWithType(fg, id, &value, 0, FG_TYPE_UINT32);
    if (result != 0) fail(std::string("get ") + name, result, Call::Read);
    return value;
}

// The error of a memory call that answered nothing.
int32_t memoryError(void* fg) {
    const int32_t error = Fg_getLastErrorNumber(fg);
    return error != 0 ? error : Fg_getLastErrorNumber(nullptr);
}

nb::dlpack::dtype dtypeOf(uint32_t elementBytes) {
    switch (elementBytes) {
    case 2: return nb::dtype<uint16_t>();
    case 4: return nb::dtype<uint32_t>();
    default: return nb::dtype<uint8_t>();
    }
}

}  // namespace

uint64_t pictureBytes(void* fg) {
    const uint32_t payloadBits = readU32(fg, idOf(fg, "FG_LINE_PAYLOAD_SIZE"), "FG_LINE_PAYLOAD_SIZE");
    const uint32_t height = readU32(fg, idOf(fg, "FG_HEIGHT"), "FG_HEIGHT");
    return uint64_t{payloadBits} / 8 * height;
}

Memory::~Memory() {
    withoutGil([this] {
        if (!closed) Fg_stopAcquireEx(handle->fg(), 0, memory, 0);
        Fg_FreeMemEx(handle->fg(), memory);
    });
}

void Memory::close() {
    if (closed) return;
    closed = true;
    withoutGil([this] { Fg_stopAcquireEx(handle->fg(), 0, memory, 0); });
}

// ---- Frame --------------------------------------------------------------------------------

void Frame::check(const char* operation) const {
    if (!memory_) refuse(Kind::Closed, std::string(operation) + ": frame " + std::to_string(picture_.number) + " was released");
    if (memory_->closed) {
        refuse(Kind::Closed, std::string(operation) + ": the stream of frame " + std::to_string(picture_.number) + " was closed");
    }
}

nb::tuple Frame::shape() const {
    if (picture_.columns == 0) return nb::make_tuple(picture_.rows);
    return nb::make_tuple(picture_.rows, picture_.columns);
}

nb::object Frame::array() {
    check("array");
    if (!array_.is_valid()) {
        // The array's owner holds the memory, so that the buffer outlives every view of it.
        auto* owner = new std::shared_ptr<Memory>(memory_);
        nb::capsule keep(owner, [](void* p) noexcept { delete static_cast<std::shared_ptr<Memory>*>(p); });
        const size_t shape[2] = {static_cast<size_t>(picture_.rows), static_cast<size_t>(picture_.columns)};
        const size_t dimensions = picture_.columns == 0 ? 1 : 2;
        array_ = nb::ndarray<nb::numpy, nb::ro>(picture_.data, dimensions, shape, keep, nullptr,
                                                dtypeOf(picture_.elementBytes))
                     .cast();
    }
    return array_;
}

nb::object Frame::copy() { return array().attr("copy")(); }

void Frame::release() {
    if (!memory_) return;
    std::shared_ptr<Memory> memory = std::move(memory_);
    array_ = nb::object();
    if (memory->closed || !memory->blocking) return;
    withoutGil([&] {
        if (memory->handle->closed()) return;
        Fg_setStatusEx(memory->handle->fg(), FG_STATUS_RELEASE_PICTURE, picture_.number, 0, memory->memory);
    });
}

// ---- Stream -------------------------------------------------------------------------------

Stream::Stream(const std::shared_ptr<Handle>& handle, int64_t buffers, int64_t pictureCount, bool blocking,
               double timeout, bool autoRelease, uint64_t bufferSize)
    : handle_(handle), pictureCount_(pictureCount), blocking_(blocking), timeout_(timeout),
      autoRelease_(autoRelease), buffers_(buffers) {
    if (buffers < 1) refuse(Kind::OutOfRange, "stream: buffers must be 1 or more", -2090);
    if (pictureCount < 0) refuse(Kind::OutOfRange, "stream: count must be 0 (endless) or more", -6000);
    if (!(timeout >= 0)) refuse(Kind::OutOfRange, "stream: a time-out below 0", -6000);
    void* memory = withoutGil([&]() -> void* {
        Handle::Use use(*handle_, "stream");
        void* fg = handle_->fg();
        widthId_ = idOf(fg, "FG_WIDTH");
        payloadId_ = idOf(fg, "FG_LINE_PAYLOAD_SIZE");
        bufferSize_ = bufferSize != 0 ? bufferSize : pictureBytes(fg);
        if (bufferSize_ == 0) refuse(Kind::OutOfRange, "stream: the board's pictures are empty", -2090);
        if (bufferSize_ > UINT64_MAX / static_cast<uint64_t>(buffers)) {
            refuse(Kind::OutOfRange, "stream: the buffers do not fit the address space", -2091);
        }
        void* allocated = Fg_AllocMemEx(fg, bufferSize_ * static_cast<uint64_t>(buffers), buffers);
        if (allocated == nullptr) fail("stream: Fg_AllocMemEx", memoryError(fg), Call::Acquisition);
        const int32_t result =
            Fg_AcquireEx(fg, 0, pictureCount, blocking ? FG_ACQ_BLOCKING : FG_ACQ_RING, allocated);
        if (result != 0) {
            Fg_FreeMemEx(fg, allocated);
            fail("stream: Fg_AcquireEx", result, Call::Acquisition);
        }
        return allocated;
    });
    memory_ = std::make_shared<Memory>(handle_, memory, bufferSize_, buffers, blocking);
}

int64_t Stream::status(int32_t statusId) const {
    if (!memory_) return 0;
    return withoutGil([&] {
        Handle::Use use(*handle_, "stream status");
        return Fg_getStatusEx(handle_->fg(), statusId, 0, 0, memory_->memory);
    });
}

// Waits for picture next_ in slices of at most a second (the runtime's waits count whole
// seconds), so that Ctrl-C and a stream closed by another thread are noticed. Answers the last
// picture delivered, or 0 when the acquisition ended without bringing it.
int64_t Stream::waitFor(const std::shared_ptr<Memory>& memory, double timeout) {
    for (double left = std::ceil(timeout);;) {
        const int32_t slice = static_cast<int32_t>(std::min(left, 1.0));
        int64_t last = 0;
        bool acquiring = true;
        withoutGil([&] {
            Handle::Use use(*handle_, "next frame");
            last = Fg_getLastPicNumberBlockingEx(handle_->fg(), next_, 0, slice, memory->memory);
            if (last < next_) acquiring = Fg_getStatusEx(handle_->fg(), FG_STATUS_ACQUIRING, 0, 0, memory->memory) == 1;
        });
        if (last >= next_) return last;
        if (memory->closed) return 0;
        if (!acquiring) {
            // A picture may have come in just before the acquisition ended.
            const int64_t delivered = withoutGil([&] {
                Handle::Use use(*handle_, "next frame");
                return Fg_getLastPicNumberEx(handle_->fg(), 0, memory->memory);
            });
            return delivered >= next_ ? delivered : 0;
        }
        left -= slice;
        if (left <= 0) break;
        if (PyErr_CheckSignals() != 0) throw nb::python_error();
    }
    refuse(Kind::Timeout, "next frame: picture " + std::to_string(next_) + " did not come within " +
                              std::to_string(timeout) + " s", -2120);
}

// Where picture next_ lies, with its length and the board's line layout; in ring mode a picture
// overwritten meanwhile is passed over for the newest.
Picture Stream::locate(const std::shared_ptr<Memory>& memory, int64_t delivered) {
    return withoutGil([&] {
        Handle::Use use(*handle_, "next frame");
        void* fg = handle_->fg();
        Picture p;
        void* data = Fg_getImagePtrEx(fg, next_, 0, memory->memory);
        if (data == nullptr && !blocking_ && delivered > next_) {
            skipped_ += delivered - next_;
            next_ = delivered;
            data = Fg_getImagePtrEx(fg, next_, 0, memory->memory);
        }
        if (data == nullptr) fail("next frame: picture " + std::to_string(next_), memoryError(fg), Call::Acquisition);
        p.number = next_;
        p.data = static_cast<const uint8_t*>(data);
        p.buffer = Fg_getStatusEx(fg, FG_STATUS_BUFFER_INDEX, static_cast<uint64_t>(next_), 0, memory->memory);
        p.timestamp = static_cast<uint64_t>(
            std::max<int64_t>(0, Fg_getStatusEx(fg, FG_STATUS_TIMESTAMP, static_cast<uint64_t>(next_), 0, memory->memory)));
        const int64_t length = Fg_getStatusEx(fg, FG_STATUS_TRANSFER_LENGTH, static_cast<uint64_t>(next_), 0, memory->memory);
        // Never more than a buffer holds, whatever the runtime reports.
        const uint64_t bytes = std::min<uint64_t>(length > 0 ? static_cast<uint64_t>(length) : 0, memory->bufferSize);
        // The layout is read now: a frame that started before a change of the region or format
        // shows as its bytes, one line of them.
        uint32_t width = 0, payloadBits = 0;
        Fg_getParameterWithType(fg, widthId_, &width, 0, FG_TYPE_UINT32);
        Fg_getParameterWithType(fg, payloadId_, &payloadBits, 0, FG_TYPE_UINT32);
        const uint64_t lineBytes = payloadBits / 8;
        const uint64_t bits = width != 0 ? payloadBits / width : 0;
        p.elementBytes = bits == 16 ? 2 : bits == 32 ? 4 : 1;
        if (lineBytes != 0 && bytes % lineBytes == 0) {
            p.rows = bytes / lineBytes;
            p.columns = bits == 8 || bits == 16 || bits == 32 ? width : lineBytes;
        } else {
            p.elementBytes = 1;
            p.rows = bytes;
        }
        ++next_;
        return p;
    });
}

std::shared_ptr<Frame> Stream::next(std::optional<double> timeout) {
    std::shared_ptr<Memory> memory = memory_;
    if (autoRelease_ && last_) {
        last_->release();
        last_.reset();
    }
    if (!memory || memory->closed) return nullptr;
    if (pictureCount_ > 0 && next_ > pictureCount_) return nullptr;
    const double wait = timeout.value_or(timeout_);
    if (!(wait >= 0)) refuse(Kind::OutOfRange, "next frame: a time-out below 0", -6000);
    const int64_t delivered = waitFor(memory, wait);
    if (delivered == 0) return nullptr;
    auto frame = std::make_shared<Frame>(memory, locate(memory, delivered));
    if (autoRelease_) last_ = frame;
    return frame;
}

void Stream::close() {
    if (last_) {
        last_->release();
        last_.reset();
    }
    if (!memory_) return;
    memory_->close();
    memory_.reset();
}

}  // namespace orvanta_python
