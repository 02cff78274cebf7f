// The acquisition calls on inner handles, the frame memory calls (the runtime's own, taken on
// either kind of handle), and closing an inner handle, which ends its acquisition and frees its
// memories and itself. Producer threads retired on the way are joined once the board's lock is
// released.
#include <array>
#include <exception>
#include <thread>

#include "application.h"
#include "board/acquisition.h"
#include "clock_thread.h"
#include "inner_call.h"
#include "inner_calls.h"

namespace sim::inner {
namespace {

struct Retired {
    // Fixed room, so that closing a handle needs no memory: a call retires an acquisition or
    // two and the clock thread at most.
    std::array<std::thread, 8> threads;
    size_t count = 0;
    void add(std::thread thread) {
        if (!thread.joinable()) return;
        if (count < threads.size()) {
            threads[count++] = std::move(thread);
        } else {
            thread.detach();
        }
    }
    ~Retired() {
        for (size_t i = 0; i < count; ++i) threads[i].join();
    }
};

// The frame memory a call names on a port: `memory` when it is one of the handle's; for null, the
// memory of the handle's acquisition (itself null when there has been none). 0, or the error of a
// port the design lacks or of any other memory.
int32_t findMemory(const InnerHandle& handle, uint32_t port, void* memory, FrameMemory*& found) {
    found = nullptr;
    if (port != 0) return SIM_ERR_INVALID_PORT;
    found = memory == nullptr ? handle.acquisition.memory : handle.memory(memory);
    return memory == nullptr || found != nullptr ? 0 : SIM_ERR_INVALID_MEMORY;
}

// Stops whatever the handle acquires, until nothing runs or renders on it any more (another
// thread may start an acquisition while this one waits).
void stopAll(Board& board, InnerHandle& handle, Lock& lock, Retired& retired) {
    do {
        retired.add(retireAcquisition(board, handle, lock));
    } while (handle.acquisition.running);
}

Outcome status(const InnerHandle& handle, const FrameMemory* memory, int32_t statusId, uint64_t data) {
    const int64_t last = memory == nullptr ? 0 : memory->delivered();
    switch (statusId) {
        case FG_STATUS_DELIVERED: return ok(last);
        case FG_STATUS_ACQUIRING:
            return ok(memory != nullptr && handle.acquisition.memory == memory && handle.acquisition.running ? 1 : 0);
        case FG_STATUS_LOST: return ok(memory == nullptr ? 0 : memory->lost());
        case FG_STATUS_TRANSFER_LENGTH:
        case FG_STATUS_BUFFER_INDEX:
        case FG_STATUS_TIMESTAMP: {
            const int64_t picture = data == 0 ? last : static_cast<int64_t>(data);
            const int64_t index = memory == nullptr ? -1 : memory->bufferOf(picture);
            if (statusId == FG_STATUS_BUFFER_INDEX) return ok(index);
            if (statusId == FG_STATUS_TIMESTAMP) return ok(index >= 0 ? static_cast<int64_t>(memory->timestampOf(index)) : 0);
            if (index >= 0) return ok(static_cast<int64_t>(memory->lengthOf(index)));
            return data == 0 ? ok(0) : failed(SIM_ERR_INVALID_PICTURE);
        }
        default: return ok(0);
    }
}

// Runs a frame memory call on fg's inner handle: fg itself, or for an application's handle the
// inner handle its applet opened. Its error becomes the handle's last error and the global one:
// the applet keeps the last error of an application's handle itself, so Fg_getLastErrorNumber(NULL)
// is where an application reads why a memory call answered null.
template <typename Body>
int64_t onMemory(void* fg, Body body) {
    const app::Entered application(fg);
    const void* value = application ? application.get()->inner : fg;
    int32_t error = 0;
    Board* board = handles().innerBoard(value, error);
    if (application && board == nullptr) error = SIM_ERR_HANDLE_CLOSED;
    Outcome outcome = failed(error);
    std::shared_ptr<InnerHandle> handle;
    if (board != nullptr) {
        Lock lock(board->mutex);
        handle = board->handle(value);
        outcome = handle == nullptr || !handle->open ? failed(SIM_ERR_HANDLE_CLOSED) : body(*board, *handle);
        if (handle != nullptr && handle->open) handle->lastError = outcome.error;
    }
    handles().globalLastError = outcome.error;
    return outcome.result;
}

int64_t pointerResult(const void* pointer) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(pointer)); }

void* pointerOf(int64_t result) {
    return result <= 0 ? nullptr : reinterpret_cast<void*>(static_cast<uintptr_t>(result));
}

}  // namespace

int64_t statusEx(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory) {
    SimCall seed = callOf("Fg_getStatusEx", fg);
    seed.id = statusId;
    seed.u64 = data;
    seed.dma = port;
    seed.args[0] = reinterpret_cast<uintptr_t>(memory);
    return onInner(seed, [&](Board&, InnerHandle& handle, SimCall&) {
        FrameMemory* named = nullptr;
        if (const int32_t error = findMemory(handle, port, memory, named)) return failed(error);
        return status(handle, named, statusId, data);
    });
}

int32_t acquire(const char* function, void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory) {
    SimCall seed = callOf(function, fg);
    seed.dma = port;
    seed.u64 = static_cast<uint64_t>(pictureCount);
    seed.id = flags;
    seed.args[0] = reinterpret_cast<uintptr_t>(memory);
    Retired retired;
    return static_cast<int32_t>(onInner(seed, [&](Board& board, InnerHandle& handle, SimCall&, Lock& lock) {
        if (port != 0) return failed(SIM_ERR_INVALID_PORT);
        if (flags != FG_ACQ_RING && flags != FG_ACQ_BLOCKING) return failed(SIM_ERR_INVALID_PARAMETER);
        // Starting again on an acquiring port first stops the acquisition there. The waits
        // release the lock: the memory may be freed and the handle closed meanwhile.
        for (;;) {
            FrameMemory* target = handle.memory(memory);
            if (!handle.open) return failed(SIM_ERR_HANDLE_CLOSED);
            if (target == nullptr) return failed(SIM_ERR_INVALID_MEMORY);
            if (!handle.acquisition.running && !handle.acquisition.producing) {
                retired.add(std::move(handle.acquisition.producer));
                startAcquisition(board, board.handle(handle.value), *target, pictureCount, flags == FG_ACQ_BLOCKING);
                return ok();
            }
            retired.add(retireAcquisition(board, handle, lock));
        }
    }));
}

int32_t stopAcquire(const char* function, void* fg, uint32_t port, void* memory, int32_t flags) {
    SimCall seed = callOf(function, fg);
    seed.dma = port;
    seed.id = flags;
    seed.args[0] = reinterpret_cast<uintptr_t>(memory);
    Retired retired;
    return static_cast<int32_t>(onInner(seed, [&](Board& board, InnerHandle& handle, SimCall&, Lock& lock) {
        FrameMemory* named = nullptr;
        if (const int32_t error = findMemory(handle, port, memory, named)) return failed(error);
        // A memory nothing acquires into has nothing to stop.
        if (named != nullptr && named == handle.acquisition.memory) stopAll(board, handle, lock, retired);
        return ok();
    }));
}

int64_t lastPicNumber(void* fg, uint32_t port, void* memory) {
    SimCall seed = callOf("Fg_getLastPicNumberEx", fg);
    seed.dma = port;
    seed.args[0] = reinterpret_cast<uintptr_t>(memory);
    return onInner(seed, [&](Board&, InnerHandle& handle, SimCall&) {
        FrameMemory* named = nullptr;
        if (const int32_t error = findMemory(handle, port, memory, named)) return failed(error);
        return ok(named == nullptr ? 0 : named->delivered());
    });
}

int64_t lastPicNumberBlocking(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds, void* memory) {
    SimCall seed = callOf("Fg_getLastPicNumberBlockingEx", fg);
    seed.u64 = static_cast<uint64_t>(picture);
    seed.dma = port;
    seed.id = timeoutSeconds;
    seed.args[0] = reinterpret_cast<uintptr_t>(memory);
    return onInner(seed, [&](Board& board, InnerHandle& handle, SimCall&, Lock& lock) {
        FrameMemory* named = nullptr;
        if (const int32_t error = findMemory(handle, port, memory, named)) return failed(error);
        if (named == nullptr) return picture <= 0 ? ok(0) : failed(SIM_ERR_TIMEOUT);
        const int64_t answer = waitForPicture(board, handle, named, picture, timeoutSeconds, lock);
        return answer >= 0 ? ok(answer) : failed(static_cast<int32_t>(answer));
    });
}

int32_t freeGrabber(void* fg) {
    Retired retired;
    const SimCall call = callOf("Fg_FreeGrabber", fg);
    return static_cast<int32_t>(onInner(call, [&](Board& board, InnerHandle& handle, SimCall&, Lock& lock) {
        // From here on every call on the handle is refused, and no acquisition starts on it.
        handle.open = false;
        handles().closeInner(handle.value);
        stopAll(board, handle, lock, retired);
        retired.add(std::move(handle.acquisition.producer));
        handle.acquisition.memory = nullptr;
        handle.memories.clear();
        handle.description.reset();
        handle.handedTexts.clear();
        board.handles.erase(handle.value);
        board.changed.notify_all();
        retired.add(innerHandleClosed());
        return ok();
    }, Injected::After));
}

void stopAcquisitionOf(const void* fg) {
    int32_t error = 0;
    Board* board = handles().innerBoard(fg, error);
    if (board == nullptr) return;
    Retired retired;
    Lock lock(board->mutex);
    const std::shared_ptr<InnerHandle> handle = board->handle(fg);
    if (handle != nullptr) stopAll(*board, *handle, lock, retired);
    lock.unlock();
}

void* allocMem(void* fg, size_t totalSize, int64_t bufferCount) {
    return pointerOf(onMemory(fg, [&](Board&, InnerHandle& handle) {
        if (bufferCount < 1 || totalSize / static_cast<uint64_t>(bufferCount) == 0) return failed(SIM_ERR_INVALID_SIZE);
        std::unique_ptr<FrameMemory> memory;
        try {
            memory = std::make_unique<FrameMemory>(totalSize / static_cast<uint64_t>(bufferCount), bufferCount);
        } catch (const std::exception&) {
            return failed(SIM_ERR_OUT_OF_MEMORY);
        }
        const void* address = memory.get();
        handle.memories.emplace(address, std::move(memory));
        return ok(pointerResult(address));
    }));
}

int32_t freeMem(void* fg, void* memory) {
    Retired retired;
    return static_cast<int32_t>(onMemory(fg, [&](Board& board, InnerHandle& handle) {
        FrameMemory* named = handle.memory(memory);
        if (named == nullptr) return failed(SIM_ERR_INVALID_MEMORY);
        Acquisition& a = handle.acquisition;
        if (a.memory == named) {
            if (a.running || a.producing) return failed(SIM_ERR_MEMORY_IN_USE);
            retired.add(std::move(a.producer));  // ended by itself: the thread has finished
            a.memory = nullptr;
        }
        handle.memories.erase(memory);
        board.changed.notify_all();
        return ok();
    }));
}

void* imagePtr(void* fg, int64_t picture, uint32_t port, void* memory) {
    return pointerOf(onMemory(fg, [&](Board&, InnerHandle& handle) {
        FrameMemory* named = nullptr;
        if (const int32_t error = findMemory(handle, port, memory, named)) return failed(error);
        if (named == nullptr) return failed(SIM_ERR_INVALID_MEMORY);
        const int64_t index = named->bufferOf(picture);
        if (index < 0) return failed(SIM_ERR_INVALID_PICTURE);
        return ok(pointerResult(named->buffer(index)));
    }));
}

int32_t setStatus(void* fg, int32_t statusId, int64_t data, uint32_t port, void* memory) {
    return static_cast<int32_t>(onMemory(fg, [&](Board& board, InnerHandle& handle) {
        FrameMemory* named = nullptr;
        if (const int32_t error = findMemory(handle, port, memory, named)) return failed(error);
        if (named == nullptr) return failed(SIM_ERR_INVALID_MEMORY);
        if (statusId == FG_STATUS_RELEASE_PICTURE) {
            if (!named->release(data)) return failed(SIM_ERR_INVALID_PICTURE);
        } else if (statusId == FG_STATUS_RELEASE_ALL) {
            named->releaseAll();
        } else {
            return failed(SIM_ERR_INVALID_PARAMETER);
        }
        publishFillLevel(board, handle, *named);
        return ok();
    }));
}

}  // namespace sim::inner
