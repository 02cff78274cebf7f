// Acquisitions on the real or the virtual clock. The settings of a source frame are read when it
// starts and its picture is rendered outside the board's lock; meanwhile the acquisition counts
// as producing, so that nothing frees or hands out the buffer it is written into.
#include "acquisition.h"

#include <algorithm>
#include <vector>

#include "board.h"
#include "clock.h"
#include "model/debug_entries.h"
#include "orvanta_sim/runtime.h"

namespace sim {
namespace {

using std::chrono::steady_clock;

constexpr const char* kFillLevel = "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel";
constexpr const char* kOverflow = "Device1_Process0_Overflow_OverflowOccurred";

// While no frame is due (the source delivers none) a real-time producer looks again this often:
// the applet's writes reach the board without telling the producer.
constexpr std::chrono::milliseconds kSourcePoll{5};
// How far a real-time producer may fall behind before frames are lost: the board's memory takes
// up this much of the frames (or one whole frame, if longer), so a producer that the system
// did not schedule for a while catches up instead of losing them.
constexpr uint64_t kBoardBacklogNanoseconds = 50'000'000;

void setRegister(Board& board, const char* name, uint64_t value) {
    if (NxValue* stored = board.design.nx(name)) stored->integer = value;
}

bool current(const Acquisition& a, uint64_t generation) { return a.running && a.generation == generation; }

// The buffer for source frame k of the handle's acquisition, or -1 when the image selector drops
// it or it is lost (and counted; for want of a free buffer the overflow register and event too).
int64_t claimBuffer(Board& board, InnerHandle& handle, const FrameSettings& settings, uint64_t k, bool late) {
    FrameMemory& memory = *handle.acquisition.memory;
    if (!settings.selects(k)) return -1;
    if (late || settings.transferBytes() > memory.bufferSize()) {
        memory.countLost();
        return -1;
    }
    const int64_t index = memory.claim();
    if (index < 0) {
        memory.countLost();
        setRegister(board, kOverflow, 1);
        raiseEvent(board, BoardEvent::Overflow, boardClock().now(), 0);
    }
    return index;
}

// The rendered picture in buffer `index` is delivered at board time `time`.
void deliverPicture(Board& board, InnerHandle& handle, const FrameSettings& settings, int64_t index, uint64_t time) {
    Acquisition& a = handle.acquisition;
    FrameMemory& memory = *a.memory;
    const uint64_t length = settings.transferBytes();
    memory.fill(index, length, time);
    monitorPicture(board.design, memory.buffer(index), settings.lineBytes(), length);
    if (memory.blocking()) setRegister(board, kFillLevel, memory.fillLevel());
    if (memory.pictureCount() > 0 && memory.delivered() >= memory.pictureCount()) a.running = false;
    board.changed.notify_all();
}

// Frame a.frame has fallen due: it is dropped by the image selector, lost, or delivered.
// `late`: the producer came to it too late.
void finishFrame(Board& board, InnerHandle& handle, bool late, std::unique_lock<std::mutex>& lock) {
    Acquisition& a = handle.acquisition;
    const uint64_t generation = a.generation;
    FrameMemory& memory = *a.memory;
    const FrameSettings settings = a.settings;
    const uint64_t k = a.frame++;
    // On the virtual clock the frame ends exactly when it fell due; on the real one, as it is
    // delivered.
    const uint64_t time = a.virtualClock ? a.virtualStart + a.frameDue : boardClock().now();
    a.frameStart = a.frameDue;
    a.framePending = false;
    const int64_t index = claimBuffer(board, handle, settings, k, late);
    if (index < 0) return;
    a.producing = true;
    lock.unlock();
    renderFrame(settings, k, memory.buffer(index));
    lock.lock();
    a.producing = false;
    // A picture whose acquisition was stopped while it was rendered is not delivered.
    if (current(a, generation)) deliverPicture(board, handle, settings, index, time);
    board.changed.notify_all();
}

// Produces the frames of the handle's acquisition that are due by `now` (nanoseconds from its
// start). On the real clock a frame more than the board's backlog late is lost rather than
// delivered, so that a producer too slow for the rate loses frames instead of running behind
// for good.
void produceDue(Board& board, InnerHandle& handle, uint64_t now, bool realTime, std::unique_lock<std::mutex>& lock) {
    Acquisition& a = handle.acquisition;
    const uint64_t generation = a.generation;
    while (current(a, generation)) {
        if (!a.framePending) {
            a.settings = readFrameSettings(board.design);
            if (a.settings.delivers) takeInjectedImage(board.injection, a.settings);
            if (!a.settings.delivers) {
                // Nothing is due; a frame starts when the source delivers again.
                a.frameStart = now;
                return;
            }
            a.framePending = true;
            a.frameDue = a.frameStart + a.settings.periodNanoseconds;
        }
        if (a.frameDue > now) return;
        const uint64_t backlog = std::max(a.settings.periodNanoseconds, kBoardBacklogNanoseconds);
        const bool late = realTime && now - a.frameDue >= backlog;
        finishFrame(board, handle, late, lock);
    }
}

uint64_t nanosecondsSince(steady_clock::time_point start) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(steady_clock::now() - start).count();
    return elapsed > 0 ? static_cast<uint64_t>(elapsed) : 0;
}

// The producer keeps the handle alive; the handle's close retires and joins it.
void produceInRealTime(Board* board, std::shared_ptr<InnerHandle> handle, uint64_t generation) {
    std::unique_lock<std::mutex> lock(board->mutex);
    Acquisition& a = handle->acquisition;
    while (current(a, generation)) {
        produceDue(*board, *handle, nanosecondsSince(a.realStart), true, lock);
        if (!current(a, generation)) break;
        const steady_clock::time_point wake = a.framePending
                                                  ? a.realStart + std::chrono::nanoseconds(a.frameDue)
                                                  : steady_clock::now() + kSourcePoll;
        board->changed.wait_until(lock, wake);
    }
    lock.unlock();
}

}  // namespace

void startAcquisition(Board& board, const std::shared_ptr<InnerHandle>& handle, FrameMemory& memory,
                      int64_t pictureCount, bool blocking) {
    Acquisition& a = handle->acquisition;
    const BoardClock& clock = boardClock();
    memory.restart(blocking, pictureCount);
    a.memory = &memory;
    ++a.generation;
    a.running = true;
    a.virtualClock = clock.isVirtual();
    a.realStart = steady_clock::now();
    a.virtualStart = clock.virtualNow();
    a.frame = 0;
    a.frameStart = 0;
    a.framePending = false;
    setRegister(board, kFillLevel, 0);
    setRegister(board, kOverflow, 0);
    if (!a.virtualClock) a.producer = std::thread(produceInRealTime, &board, handle, a.generation);
}

std::thread retireAcquisition(Board& board, InnerHandle& handle, std::unique_lock<std::mutex>& lock) {
    Acquisition& a = handle.acquisition;
    a.running = false;
    board.changed.notify_all();
    board.changed.wait(lock, [&a] { return !a.producing; });
    return std::move(a.producer);
}

int64_t waitForPicture(Board& board, InnerHandle& handle, FrameMemory* memory, int64_t picture,
                       int32_t timeoutSeconds, std::unique_lock<std::mutex>& lock) {
    const steady_clock::time_point deadline = steady_clock::now() + std::chrono::seconds(std::max(timeoutSeconds, 0));
    for (bool timedOut = false;;) {
        // Another thread may free the memory or close the handle while this one waits.
        if (!handle.open) return SIM_ERR_HANDLE_CLOSED;
        if (handle.memory(memory) != memory) return SIM_ERR_INVALID_MEMORY;
        if (memory->delivered() >= picture) return memory->delivered();
        const Acquisition& a = handle.acquisition;
        if (timedOut || a.memory != memory || !a.running) return SIM_ERR_TIMEOUT;
        timedOut = board.changed.wait_until(lock, deadline) == std::cv_status::timeout;
    }
}

void produceOnVirtualClock(Board& board, uint64_t now, std::unique_lock<std::mutex>& lock) {
    std::vector<std::shared_ptr<InnerHandle>> acquiring;
    for (const auto& entry : board.handles) {
        const Acquisition& a = entry.second->acquisition;
        if (a.running && a.virtualClock) acquiring.push_back(entry.second);
    }
    // Rendering releases the lock: an acquisition may stop or start again meanwhile.
    for (const std::shared_ptr<InnerHandle>& handle : acquiring) {
        const Acquisition& a = handle->acquisition;
        if (a.running && a.virtualClock) produceDue(board, *handle, now - a.virtualStart, false, lock);
    }
}

void deliverTriggeredFrame(Board& board, const FrameSettings& settings, const uint64_t* cameraFrame) {
    for (const auto& entry : board.handles) {
        InnerHandle& handle = *entry.second;
        if (!handle.acquisition.running) continue;
        const uint64_t k = handle.acquisition.frame++;
        const int64_t index = claimBuffer(board, handle, settings, k, false);
        if (index < 0) continue;
        renderFrame(settings, cameraFrame != nullptr ? *cameraFrame : k, handle.acquisition.memory->buffer(index));
        deliverPicture(board, handle, settings, index, board.timeline.now);
    }
    board.changed.notify_all();
}

void publishFillLevel(Board& board, InnerHandle& handle, const FrameMemory& memory) {
    if (handle.acquisition.memory == &memory) setRegister(board, kFillLevel, memory.fillLevel());
}

}  // namespace sim
