// Acquisitions on the real or the virtual clock. The settings of a source frame are read when it
// starts and its picture is rendered outside every lock; meanwhile the acquisition counts as
// producing, so that nothing frees or hands out the buffer it is written into.
#include "acquisition.h"

#include <algorithm>
#include <vector>

#include "debug_entries.h"
#include "orvanta_sim/runtime.h"

namespace sim {
namespace {

using std::chrono::steady_clock;

constexpr const char* kFillLevel = "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel";
constexpr const char* kOverflow = "Device1_Process0_Overflow_OverflowOccurred";

// While no frame is due (the source delivers none) a real-time producer looks again this often:
// the applet's writes reach the board without telling the runtime.
constexpr std::chrono::milliseconds kSourcePoll{5};
// How far a real-time producer may fall behind before frames are lost: the board's memory takes
// up this much of the frames (or one whole frame, if longer), so a producer that the system
// did not schedule for a while catches up instead of losing them.
constexpr uint64_t kBoardBacklogNanoseconds = 50'000'000;

void setRegister(BoardState& board, const char* name, uint64_t value) {
    const int32_t index = board.design->indexOfNxName(name);
    if (index >= 0) board.values[static_cast<size_t>(index)].integer = value;
}

bool current(const Acquisition& a, uint64_t generation) { return a.running && a.generation == generation; }

// The buffer for source frame k of the handle's acquisition, or -1 when the image selector drops
// it or it is lost (and counted; for want of a free buffer the overflow register and event too).
int64_t claimBuffer(State& s, InnerHandle& handle, BoardState& board, const FrameSettings& settings, uint64_t k,
                    bool late) {
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
        if (handle.timeline != nullptr) raiseEvent(s, *handle.timeline, BoardEvent::Overflow, boardNow(s), 0);
    }
    return index;
}

// The rendered picture in buffer `index` is delivered at board time `time`.
void deliverPicture(InnerHandle& handle, BoardState& board, const FrameSettings& settings, int64_t index,
                    uint64_t time) {
    Acquisition& a = handle.acquisition;
    FrameMemory& memory = *a.memory;
    const uint64_t length = settings.transferBytes();
    memory.fill(index, length, time);
    monitorPicture(board, memory.buffer(index), settings.lineBytes(), length);
    if (memory.blocking()) setRegister(board, kFillLevel, memory.fillLevel());
    if (memory.pictureCount() > 0 && memory.delivered() >= memory.pictureCount()) a.running = false;
}

// Frame a.frame has fallen due: it is dropped by the image selector, lost, or delivered.
// `late`: the producer came to it too late.
void finishFrame(State& s, InnerHandle& handle, bool late, std::unique_lock<std::mutex>& lock) {
    Acquisition& a = handle.acquisition;
    const uint64_t generation = a.generation;
    FrameMemory& memory = *a.memory;
    const FrameSettings settings = a.settings;
    const uint64_t k = a.frame++;
    // On the virtual clock the frame ends exactly when it fell due; on the real one, as it is
    // delivered.
    const uint64_t time = a.virtualClock ? a.virtualStart + a.frameDue : boardNow(s);
    a.frameStart = a.frameDue;
    a.framePending = false;
    int64_t index = -1;
    withBoard(*handle.board, [&](BoardState& board) { index = claimBuffer(s, handle, board, settings, k, late); });
    if (index < 0) return;
    a.producing = true;
    lock.unlock();
    renderFrame(settings, k, memory.buffer(index));
    lock.lock();
    a.producing = false;
    // A picture whose acquisition was stopped while it was rendered is not delivered.
    if (current(a, generation)) {
        withBoard(*handle.board, [&](BoardState& board) { deliverPicture(handle, board, settings, index, time); });
    }
    s.changed.notify_all();
}

// Produces the frames of the handle's acquisition that are due by `now` (nanoseconds from its
// start). On the real clock a frame more than the board's backlog late is lost rather than
// delivered, so that a producer too slow for the rate loses frames instead of running behind
// for good.
void produceDue(State& s, InnerHandle& handle, uint64_t now, bool realTime, std::unique_lock<std::mutex>& lock) {
    Acquisition& a = handle.acquisition;
    const uint64_t generation = a.generation;
    while (current(a, generation)) {
        if (!a.framePending) {
            withBoard(*handle.board, [&](BoardState& board) {
                a.settings = readFrameSettings(board);
                if (a.settings.delivers) takeInjectedImage(board, a.settings);
            });
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
        finishFrame(s, handle, late, lock);
    }
}

uint64_t nanosecondsSince(steady_clock::time_point start) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(steady_clock::now() - start).count();
    return elapsed > 0 ? static_cast<uint64_t>(elapsed) : 0;
}

void produceInRealTime(State* s, InnerHandle* handle, uint64_t generation) {
    std::unique_lock<std::mutex> lock(s->mutex);
    Acquisition& a = handle->acquisition;
    while (current(a, generation)) {
        produceDue(*s, *handle, nanosecondsSince(a.realStart), true, lock);
        if (!current(a, generation)) break;
        const steady_clock::time_point wake = a.framePending
                                                  ? a.realStart + std::chrono::nanoseconds(a.frameDue)
                                                  : steady_clock::now() + kSourcePoll;
        s->changed.wait_until(lock, wake);
    }
}

}  // namespace

void startAcquisition(State& s, InnerHandle& handle, FrameMemory& memory, int64_t pictureCount, bool blocking) {
    Acquisition& a = handle.acquisition;
    memory.restart(blocking, pictureCount);
    a.memory = &memory;
    ++a.generation;
    a.running = true;
    a.virtualClock = s.virtualClock;
    a.realStart = steady_clock::now();
    a.virtualStart = s.virtualNow;
    a.frame = 0;
    a.frameStart = 0;
    a.framePending = false;
    withBoard(*handle.board, [](BoardState& board) {
        setRegister(board, kFillLevel, 0);
        setRegister(board, kOverflow, 0);
    });
    if (!a.virtualClock) a.producer = std::thread(produceInRealTime, &s, &handle, a.generation);
}

std::thread retireAcquisition(State& s, InnerHandle& handle, std::unique_lock<std::mutex>& lock) {
    Acquisition& a = handle.acquisition;
    a.running = false;
    s.changed.notify_all();
    s.changed.wait(lock, [&a] { return !a.producing; });
    return std::move(a.producer);
}

int64_t waitForPicture(State& s, FrameMemory& memory, int64_t picture, int32_t timeoutSeconds,
                       std::unique_lock<std::mutex>& lock) {
    const steady_clock::time_point deadline = steady_clock::now() + std::chrono::seconds(std::max(timeoutSeconds, 0));
    FrameMemory* const m = &memory;
    for (bool timedOut = false;; ) {
        // Another thread may free the memory once its acquisition stopped.
        if (s.memory(m) != m) return SIM_ERR_INVALID_MEMORY;
        if (m->delivered() >= picture) return m->delivered();
        const Acquisition& a = m->owner()->acquisition;
        if (timedOut || a.memory != m || !a.running) return SIM_ERR_TIMEOUT;
        timedOut = s.changed.wait_until(lock, deadline) == std::cv_status::timeout;
    }
}

void advanceVirtualClock(uint64_t nanoseconds) {
    State& s = state();
    std::lock_guard<std::mutex> serial(s.advancing);
    std::unique_lock<std::mutex> lock(s.mutex);
    if (!s.virtualClock) {
        s.virtualNow += nanoseconds;
    } else {
        runBoards(s, s.virtualNow + nanoseconds, lock);
    }
    const uint64_t now = s.virtualNow;
    std::vector<InnerHandle*> acquiring;
    for (const auto& entry : s.innerHandles) {
        const Acquisition& a = entry.second->acquisition;
        if (a.running && a.virtualClock) acquiring.push_back(entry.second.get());
    }
    // Rendering releases the mutex: an acquisition may stop or start again meanwhile.
    for (InnerHandle* handle : acquiring) {
        const Acquisition& a = handle->acquisition;
        if (a.running && a.virtualClock) produceDue(s, *handle, now - a.virtualStart, false, lock);
    }
}

void deliverTriggeredFrame(State& s, BoardTimeline& t, BoardState& board, const FrameSettings& settings,
                           const uint64_t* cameraFrame) {
    for (const auto& entry : s.innerHandles) {
        InnerHandle& handle = *entry.second;
        if (handle.board != t.board || !handle.acquisition.running) continue;
        const uint64_t k = handle.acquisition.frame++;
        const int64_t index = claimBuffer(s, handle, board, settings, k, false);
        if (index < 0) continue;
        renderFrame(settings, cameraFrame != nullptr ? *cameraFrame : k, handle.acquisition.memory->buffer(index));
        deliverPicture(handle, board, settings, index, t.now);
    }
    s.changed.notify_all();
}

void publishFillLevel(InnerHandle& handle, const FrameMemory& memory) {
    if (handle.acquisition.memory != &memory) return;
    const uint32_t level = memory.fillLevel();
    withBoard(*handle.board, [level](BoardState& board) { setRegister(board, kFillLevel, level); });
}

}  // namespace sim
