// The acquisition thread: starts an acquisition in blocking mode into frame buffers sized for
// the current geometry, waits for each next picture, copies the latest one out, publishes it and
// gives the buffers back; starts again when the geometry changes, and stops and frees its memory
// when asked. Blocking mode, not ring mode: a ring buffer may be filled again while it is copied.
#include "frame_source.h"

#include <cstring>

#include "board_access.h"
#include "orvanta/runtime.h"

namespace orvanta_tool::view {

namespace {

constexpr uint32_t kPort = 0;
constexpr int64_t kBuffers = 4;
constexpr int32_t kWaitSeconds = 1;  // how long a wait may keep the thread from a request
constexpr size_t kPooledFrames = 4;

}  // namespace

FrameSource::FrameSource(void* fg, BoardAccess& board) : fg_(fg), board_(board) {
    thread_ = std::thread([this] { run(); });
}

FrameSource::~FrameSource() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        shutdown_ = true;
        interrupt();
    }
    control_.notify_all();
    frames_.notify_all();
    thread_.join();
}

void FrameSource::interrupt() {
    if (memory_ != nullptr) Fg_stopAcquireEx(fg_, kPort, memory_, 0);
}

void FrameSource::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = true;
    control_.notify_all();
}

void FrameSource::stop() {
    std::lock_guard<std::mutex> lock(mutex_);
    requested_ = false;
    interrupt();
    control_.notify_all();
}

void FrameSource::settingsChanged() {
    const FrameGeometry geometry = board_.geometry();
    std::lock_guard<std::mutex> lock(mutex_);
    if (!requested_ || (status_.running && geometry == status_.geometry)) return;
    restart_ = true;
    interrupt();
    control_.notify_all();
}

void FrameSource::shutdown() {
    std::lock_guard<std::mutex> lock(mutex_);
    shutdown_ = true;
    frames_.notify_all();
}

AcquisitionStatus FrameSource::status() const {
    std::lock_guard<std::mutex> lock(mutex_);
    AcquisitionStatus status = status_;
    status.requested = requested_;
    // The rate falls to 0 when frames stop coming, without waiting for the next one.
    forgetBefore(std::chrono::steady_clock::now() - std::chrono::seconds(1));
    status.framesPerSecond = static_cast<double>(recent_.size());
    return status;
}

std::shared_ptr<const Frame> FrameSource::latest() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return latest_;
}

std::shared_ptr<const Frame> FrameSource::waitNewer(uint64_t after, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mutex_);
    if (latest_ != nullptr && after > latest_->serial) after = 0;
    const bool arrived = frames_.wait_for(lock, timeout, [&] {
        return shutdown_ || (latest_ != nullptr && latest_->serial > after);
    });
    if (!arrived || shutdown_) return nullptr;
    return latest_;
}

void FrameSource::forgetBefore(std::chrono::steady_clock::time_point start) const {
    while (!recent_.empty() && recent_.front() < start) recent_.pop_front();
}

bool FrameSource::keepGoing() const { return !quit_ && !restart_ && requested_; }

std::shared_ptr<Frame> FrameSource::takeFrame(size_t bytes) {
    std::unique_ptr<Frame> frame;
    {
        std::lock_guard<std::mutex> lock(pool_->mutex);
        if (!pool_->frames.empty()) {
            frame = std::move(pool_->frames.back());
            pool_->frames.pop_back();
        }
    }
    if (frame == nullptr) frame = std::make_unique<Frame>();
    frame->pixels.resize(bytes);
    return std::shared_ptr<Frame>(frame.release(), [pool = pool_](Frame* done) {
        std::lock_guard<std::mutex> lock(pool->mutex);
        if (pool->frames.size() < kPooledFrames) {
            pool->frames.emplace_back(done);
        } else {
            delete done;
        }
    });
}

void FrameSource::keep(int64_t picture, const FrameGeometry& geometry, const uint8_t* bytes, size_t length) {
    std::shared_ptr<Frame> frame = takeFrame(length);
    std::memcpy(frame->pixels.data(), bytes, length);
    publish(std::move(frame), picture, geometry);
}

void FrameSource::publish(std::shared_ptr<Frame> frame, int64_t picture, const FrameGeometry& geometry) {
    frame->picture = picture;
    frame->geometry = geometry;
    frame->lines = geometry.lineBytes != 0 ? static_cast<uint32_t>(frame->pixels.size() / geometry.lineBytes) : 0;
    const auto now = std::chrono::steady_clock::now();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frame->serial = latest_ != nullptr ? latest_->serial + 1 : 1;
        latest_ = std::move(frame);
        status_.serial = latest_->serial;
        status_.picture = picture;
        recent_.push_back(now);
        forgetBefore(now - std::chrono::seconds(1));
    }
    frames_.notify_all();
}

void FrameSource::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        if (!requested_) {
            status_.message = "stopped";
            control_.wait(lock);
            continue;
        }
        restart_ = false;
        lock.unlock();
        const FrameGeometry geometry = board_.geometry();
        acquire(geometry);
        lock.lock();
        if (!status_.message.empty() && keepGoing()) {
            // It could not start: try again when something changes, or in a second.
            control_.wait_for(lock, std::chrono::seconds(1), [this] { return !keepGoing(); });
        }
    }
}

void FrameSource::acquire(const FrameGeometry& geometry) {
    const auto fail = [this](const std::string& message) {
        std::lock_guard<std::mutex> lock(mutex_);
        status_.message = message;
    };
    if (geometry.frameBytes() == 0) return fail("the frame is empty (FG_WIDTH, FG_HEIGHT, FG_LINE_PAYLOAD_SIZE)");
    void* memory = Fg_AllocMemEx(fg_, geometry.frameBytes() * kBuffers, kBuffers);
    if (memory == nullptr) {
        return fail(callFailure("Fg_AllocMemEx", Fg_getLastErrorNumber(fg_), Call::Acquisition));
    }
    if (Fg_AcquireEx(fg_, kPort, 0, FG_ACQ_BLOCKING, memory) != 0) {
        const int32_t code = Fg_getLastErrorNumber(fg_);
        Fg_FreeMemEx(fg_, memory);
        return fail(callFailure("Fg_AcquireEx", code, Call::Acquisition));
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        memory_ = memory;
        status_.running = true;
        status_.geometry = geometry;
        status_.delivered = 0;
        status_.lost = 0;
        status_.message.clear();
        // A request that came while it started.
        if (!keepGoing()) interrupt();
    }
    int64_t last = 0;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!keepGoing()) break;
        }
        const int64_t picture = Fg_getLastPicNumberBlockingEx(fg_, last + 1, kPort, kWaitSeconds, memory);
        const int64_t delivered = Fg_getStatusEx(fg_, FG_STATUS_DELIVERED, 0, kPort, memory);
        const int64_t lost = Fg_getStatusEx(fg_, FG_STATUS_LOST, 0, kPort, memory);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            status_.delivered = delivered;
            status_.lost = lost;
            if (picture > last) {
                status_.message.clear();
            } else if (last == 0) {
                status_.message = "no frame comes: is an image source on, and triggered?";
            }
        }
        if (picture <= last) {
            if (Fg_getStatusEx(fg_, FG_STATUS_ACQUIRING, 0, kPort, memory) != 1) {
                std::lock_guard<std::mutex> lock(mutex_);
                if (keepGoing()) status_.message = "the acquisition ended";
                break;
            }
            continue;
        }
        // The latest picture wins; the ones before it since the last wait are only given back.
        // Each holds a buffer until then, so they are at most as many as the buffers.
        const auto* bytes = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg_, picture, kPort, memory));
        int64_t length = Fg_getStatusEx(fg_, FG_STATUS_TRANSFER_LENGTH, static_cast<uint64_t>(picture), kPort, memory);
        if (length <= 0 || static_cast<size_t>(length) > geometry.frameBytes()) {
            length = static_cast<int64_t>(geometry.frameBytes());
        }
        std::shared_ptr<Frame> frame;
        if (bytes != nullptr) {
            frame = takeFrame(static_cast<size_t>(length));
            std::memcpy(frame->pixels.data(), bytes, static_cast<size_t>(length));
        }
        for (int64_t held = last + 1; held <= picture; ++held) {
            Fg_setStatusEx(fg_, FG_STATUS_RELEASE_PICTURE, held, kPort, memory);
        }
        last = picture;
        if (frame != nullptr) publish(std::move(frame), picture, geometry);
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        memory_ = nullptr;
        status_.running = false;
    }
    Fg_stopAcquireEx(fg_, kPort, memory, 0);
    Fg_FreeMemEx(fg_, memory);
}

}  // namespace orvanta_tool::view
