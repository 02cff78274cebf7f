// The one acquisition that serves every viewer: a thread of its own acquires into the runtime's
// frame buffers and keeps a copy of the latest picture. Viewers take the latest
// frame when they are ready for one, so a slow viewer skips frames and nothing queues up.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "frame_geometry.h"

namespace orvanta_tool::view {

class BoardAccess;

struct Frame {
    uint64_t serial = 0;   // counts the frames this server kept, across restarts of the acquisition
    int64_t picture = 0;   // the runtime's picture number, from 1 at each start
    FrameGeometry geometry;
    uint32_t lines = 0;    // lines delivered (a picture may be shorter than the frame)
    std::vector<uint8_t> pixels;
};

struct AcquisitionStatus {
    bool requested = false;  // started by a viewer, not stopped since
    bool running = false;    // the runtime acquires
    uint64_t serial = 0;     // the latest frame's
    int64_t picture = 0;
    int64_t delivered = 0;
    int64_t lost = 0;
    double framesPerSecond = 0;  // frames kept over the last second
    FrameGeometry geometry;
    std::string message;  // why it does not run, or why no frame comes
};

class FrameSource {
public:
    FrameSource(void* fg, BoardAccess& board);
    ~FrameSource();  // stops the acquisition and frees its memory
    FrameSource(const FrameSource&) = delete;
    FrameSource& operator=(const FrameSource&) = delete;

    void start();
    void stop();
    // After a parameter write or a load: the acquisition starts again with buffers of the new
    // geometry when it has changed.
    void settingsChanged();

    AcquisitionStatus status() const;
    std::shared_ptr<const Frame> latest() const;
    // The latest frame once it is newer than `after` (a serial); null on time-out or shutdown.
    // A serial beyond the latest (a viewer of an earlier server) counts as none.
    std::shared_ptr<const Frame> waitNewer(uint64_t after, std::chrono::milliseconds timeout) const;
    // Ends every wait, now and from now on.
    void shutdown();

    // For the benchmark: keeps a picture of `bytes` as the acquisition thread does.
    void keep(int64_t picture, const FrameGeometry& geometry, const uint8_t* bytes, size_t length);

private:
    void run();
    void acquire(const FrameGeometry& geometry);
    void interrupt();  // wakes the acquisition thread out of its wait for a picture
    std::shared_ptr<Frame> takeFrame(size_t bytes);
    void publish(std::shared_ptr<Frame> frame, int64_t picture, const FrameGeometry& geometry);
    bool keepGoing() const;
    void forgetBefore(std::chrono::steady_clock::time_point start) const;  // under the lock

    void* fg_;
    BoardAccess& board_;

    mutable std::mutex mutex_;
    mutable std::condition_variable control_;
    mutable std::condition_variable frames_;
    bool requested_ = false;
    bool restart_ = false;
    bool quit_ = false;
    bool shutdown_ = false;
    void* memory_ = nullptr;  // while an acquisition runs
    AcquisitionStatus status_;
    std::shared_ptr<Frame> latest_;
    // Frames no viewer holds any more, to be filled again: a frame's last holder gives it back.
    struct Pool {
        std::mutex mutex;
        std::vector<std::unique_ptr<Frame>> frames;
    };
    std::shared_ptr<Pool> pool_ = std::make_shared<Pool>();
    // When the frames of the last second were kept (the rate); older ones are forgotten.
    mutable std::deque<std::chrono::steady_clock::time_point> recent_;
    std::thread thread_;
};

}  // namespace orvanta_tool::view
