// Starting, following and stopping an acquisition, and the frames it hands out.
#include "stream.h"

#include <algorithm>
#include <cmath>

#include <nanobind/stl/shared_ptr.h>

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

// The picture size in bytes that the board's region and format give now.
uint64_t pictureBytes(void* fg) {
    const uint32_t payloadBits = readU32(fg, idOf(fg, "FG_LINE_PAYLOAD_SIZE"), "FG_LINE_PAYLOAD_SIZE");
    const uint32_t height = readU32(fg, idOf(fg, "FG_HEIGHT"), "FG_HEIGHT");
    return uint64_t{payloadBits} / 8 * height;
}

}  // namespace

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

Frame::Frame(std::shared_ptr<Memory> memory, const Picture& picture) : memory_(std::move(memory)), picture_(picture) {
    const auto item = static_cast<Py_ssize_t>(picture.elementBytes);
    shape_[0] = static_cast<Py_ssize_t>(picture.rows);
    shape_[1] = static_cast<Py_ssize_t>(picture.columns);
    strides_[0] = picture.columns == 0 ? item : static_cast<Py_ssize_t>(picture.columns) * item;
    strides_[1] = item;
}

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

int64_t Frame::buffer() const { return status("buffer", FG_STATUS_BUFFER_INDEX); }

uint64_t Frame::timestamp() {
    if (!timestamp_) timestamp_ = static_cast<uint64_t>(std::max<int64_t>(0, status("timestamp", FG_STATUS_TIMESTAMP)));
    return *timestamp_;
}

int64_t Frame::status(const char* operation, int32_t statusId) const {
    check(operation);
    const std::shared_ptr<Memory> memory = memory_;
    return withoutGil([&] {
        Handle::Use use(*memory->handle, operation);
        return Fg_getStatusEx(memory->handle->fg(), statusId, static_cast<uint64_t>(picture_.number), 0, memory->memory);
    });
}

nb::object Frame::array(nb::handle self) {
    check("array");
    // NumPy takes the view through the buffer protocol, the quickest way in. The view holds the
    // frame, so the frame keeps none of its views: a cycle through C++ no collector would see.
    static PyObject* asarray = nb::object(nb::module_::import_("numpy").attr("asarray")).release().ptr();
    return nb::borrow(asarray)(self);
}

nb::object Frame::copy(nb::handle self) { return array(self).attr("copy")(); }

bool Frame::detach() {
    if (!memory_) return false;
    const bool tell = memory_->blocking && !memory_->closed;
    memory_.reset();
    return tell;
}

void Frame::release() {
    std::shared_ptr<Memory> memory = memory_;
    if (!detach()) return;
    withoutGil([&] {
        if (memory->handle->closed()) return;
        Fg_setStatusEx(memory->handle->fg(), FG_STATUS_RELEASE_PICTURE, picture_.number, 0, memory->memory);
    });
}

int Frame::getBuffer(Py_buffer* view, int flags) {
    check("buffer");
    if ((flags & PyBUF_WRITABLE) == PyBUF_WRITABLE) refuse(Kind::General, "buffer: a frame is read-only");
    static char formats[][2] = {"B", "H", "I"};
    view->buf = const_cast<uint8_t*>(picture_.data);
    view->len = static_cast<Py_ssize_t>(picture_.rows * (picture_.columns == 0 ? 1 : picture_.columns) *
                                        picture_.elementBytes);
    view->readonly = 1;
    view->itemsize = static_cast<Py_ssize_t>(picture_.elementBytes);
    view->format = (flags & PyBUF_FORMAT) != 0 ? formats[picture_.elementBytes / 2] : nullptr;
    view->ndim = picture_.columns == 0 ? 1 : 2;
    view->shape = (flags & PyBUF_ND) == PyBUF_ND ? shape_ : nullptr;
    view->strides = (flags & PyBUF_STRIDES) == PyBUF_STRIDES ? strides_ : nullptr;
    view->suboffsets = nullptr;
    // The view holds the memory, which outlives the frame's release.
    view->internal = new std::shared_ptr<Memory>(memory_);
    return 0;
}

void Frame::releaseBuffer(Py_buffer* view) { delete static_cast<std::shared_ptr<Memory>*>(view->internal); }

// ---- Stream -------------------------------------------------------------------------------

Stream::Stream(const std::shared_ptr<Handle>& handle, int64_t buffers, int64_t pictureCount, bool blocking,
               double timeout, bool autoRelease, uint64_t bufferSize)
    : pictureCount_(pictureCount), blocking_(blocking), timeout_(timeout), autoRelease_(autoRelease),
      buffers_(buffers) {
    if (buffers < 1) refuse(Kind::OutOfRange, "stream: buffers must be 1 or more", -2090);
    if (pictureCount < 0) refuse(Kind::OutOfRange, "stream: count must be 0 (endless) or more", -6000);
    if (!(timeout >= 0)) refuse(Kind::OutOfRange, "stream: a time-out below 0", -6000);
    void* memory = withoutGil([&]() -> void* {
        Handle::Use use(*handle, "stream");
        void* fg = handle->fg();
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
    memory_ = std::make_shared<Memory>(handle, memory, bufferSize_, buffers, blocking);
}

int64_t Stream::status(int32_t statusId) const {
    const std::shared_ptr<Memory> memory = memory_;
    if (!memory) return 0;
    return withoutGil([&] {
        Handle::Use use(*memory->handle, "stream status");
        return Fg_getStatusEx(memory->handle->fg(), statusId, 0, 0, memory->memory);
    });
}

Stream::Fetched Stream::fetch(Memory& memory, int64_t release, int32_t seconds, Picture& picture) {
    return withoutGil([&] {
        Handle::Use use(*memory.handle, "next frame");
        void* fg = memory.handle->fg();
        if (release != 0) Fg_setStatusEx(fg, FG_STATUS_RELEASE_PICTURE, release, 0, memory.memory);
        // A picture that is there already has its buffer: no wait to ask for.
        void* data = Fg_getImagePtrEx(fg, next_, 0, memory.memory);
        if (data == nullptr) {
            int64_t last = Fg_getLastPicNumberBlockingEx(fg, next_, 0, seconds, memory.memory);
            if (last < next_) {
                if (Fg_getStatusEx(fg, FG_STATUS_ACQUIRING, 0, 0, memory.memory) == 1) return Fetched::Waiting;
                // A picture may have come in just before the acquisition ended.
                last = Fg_getLastPicNumberEx(fg, 0, memory.memory);
                if (last < next_) return Fetched::Ended;
            }
            data = locateNewest(memory, last);
        }
        picture = locate(memory, data);
        return Fetched::Picture;
    });
}

// The buffer of picture next_, which has been delivered; in ring mode a picture overwritten
// meanwhile is passed over for the newest.
void* Stream::locateNewest(Memory& memory, int64_t delivered) {
    void* fg = memory.handle->fg();
    void* data = Fg_getImagePtrEx(fg, next_, 0, memory.memory);
    if (data == nullptr && !blocking_ && delivered > next_) {
        skipped_ += delivered - next_;
        next_ = delivered;
        data = Fg_getImagePtrEx(fg, next_, 0, memory.memory);
    }
    if (data == nullptr) fail("next frame: picture " + std::to_string(next_), memoryError(fg), Call::Acquisition);
    return data;
}

// Picture next_ in its buffer at `data`, with its length and the board's line layout.
Picture Stream::locate(Memory& memory, void* data) {
    void* fg = memory.handle->fg();
    Picture p;
    p.number = next_;
    p.data = static_cast<const uint8_t*>(data);
    const int64_t length = Fg_getStatusEx(fg, FG_STATUS_TRANSFER_LENGTH, static_cast<uint64_t>(next_), 0, memory.memory);
    // Never more than a buffer holds, whatever the runtime reports.
    const uint64_t bytes = std::min<uint64_t>(length > 0 ? static_cast<uint64_t>(length) : 0, memory.bufferSize);
    // The line layout is read again when a picture's length differs from the last one's: a
    // change of the region or format shows from the first picture it makes longer or shorter.
    if (length != layoutLength_) {
        uint32_t payloadBits = 0, width = 0;
        Fg_getParameterWithType(fg, payloadId_, &payloadBits, 0, FG_TYPE_UINT32);
        Fg_getParameterWithType(fg, widthId_, &width, 0, FG_TYPE_UINT32);
        const uint32_t bits = width != 0 ? payloadBits / width : 0;
        layoutLength_ = length;
        lineBytes_ = payloadBits / 8;
        elementBytes_ = bits == 16 ? 2 : bits == 32 ? 4 : 1;
        columns_ = bits == 8 || bits == 16 || bits == 32 ? width : lineBytes_;
    }
    if (lineBytes_ != 0 && bytes % lineBytes_ == 0) {
        p.rows = bytes / lineBytes_;
        p.columns = columns_;
        p.elementBytes = elementBytes_;
    } else {
        // A picture cut short, or a layout the runtime does not describe: its bytes, one line.
        p.rows = bytes;
    }
    ++next_;
    return p;
}

std::shared_ptr<Frame> Stream::next(std::optional<double> timeout) {
    std::shared_ptr<Memory> memory = memory_;
    int64_t release = 0;
    if (autoRelease_ && last_) {
        if (last_->detach()) release = last_->picture().number;
        last_.reset();
    }
    const double wait = timeout.value_or(timeout_);
    if (!(wait >= 0)) refuse(Kind::OutOfRange, "next frame: a time-out below 0", -6000);
    if (!memory || memory->closed || (pictureCount_ > 0 && next_ > pictureCount_)) {
        if (release != 0 && memory) {
            withoutGil([&] { Fg_setStatusEx(memory->handle->fg(), FG_STATUS_RELEASE_PICTURE, release, 0, memory->memory); });
        }
        return nullptr;
    }
    // The runtime waits whole seconds: a slice of at most one, so that Ctrl-C and a stream
    // closed by another thread are noticed between two.
    Picture picture;
    for (double left = std::ceil(wait);; release = 0) {
        const int32_t slice = static_cast<int32_t>(std::min(left, 1.0));
        const Fetched fetched = fetch(*memory, release, slice, picture);
        if (fetched == Fetched::Picture) break;
        if (fetched == Fetched::Ended || memory->closed) return nullptr;
        left -= slice;
        if (left <= 0) {
            refuse(Kind::Timeout, "next frame: picture " + std::to_string(next_) + " did not come within " +
                                      std::to_string(wait) + " s", -2120);
        }
        if (PyErr_CheckSignals() != 0) throw nb::python_error();
    }
    auto frame = std::make_shared<Frame>(memory, picture);
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
