// The clock thread and the virtual clock's advance. A board is locked only while its timeline
// runs or a handler call is taken out of it; handlers run with every lock released and may call
// into the runtime, close their own handle included.
#include "clock_thread.h"

#include <algorithm>
#include <chrono>
#include <mutex>

#include "board/acquisition.h"
#include "board/clock.h"
#include "handle_table.h"
#include "process_wide.h"
#include "test_control.h"

namespace sim {
namespace {

using std::chrono::steady_clock;

constexpr uint64_t kNever = UINT64_MAX;
// The clock thread looks at the boards at least this often, so that a change it was not told
// about (a value set through the control interface) is not missed for long.
constexpr std::chrono::milliseconds kClockPoll{100};
// Behind the real clock, the thread lets the boards' locks go for this long between two runs.
constexpr std::chrono::milliseconds kBehindPause{1};

thread_local const void* handlerApplication = nullptr;

struct ClockThread {
    std::mutex mutex;
    std::thread thread;
    uint64_t openHandles = 0;

    ~ClockThread() {
        if (!thread.joinable()) return;
        boardClock().nextTurn();
        thread.join();
    }
};

ClockThread& clockThread() {
    // The table, the test control and the clock go after the thread, which the handlers it calls
    // may reach them from until it ends.
    static HandleTable& table = handles();
    static TestControl& testControl = control();
    static_cast<void>(table);
    static_cast<void>(testControl);
    return platform::processWide<ClockThread>();
}

// Calls the board's handlers that have events due, each with no lock held. A handler whose
// application handle is closing meanwhile is not called.
void dispatchHandlers(Board& board) {
    HandlerCall call;
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(board.mutex);
            if (!takeHandlerCall(board.events, call)) return;
        }
        AppHandle* app = handles().enterApplication(call.application);
        if (app != nullptr) {
            fillEventInfo(call.info, call.events, call.records);
            handlerApplication = app;
            call.function(call.events, call.data, call.info);
            handlerApplication = nullptr;
            handles().leaveApplication(app);
        }
        std::lock_guard<std::mutex> lock(board.mutex);
        handlerReturned(board.events, call.application);
        board.changed.notify_all();
    }
}

void runBoardsTo(uint64_t time) {
    HandleTable::BoardList boards;
    const size_t count = handles().boards(boards);
    for (size_t i = 0; i < count; ++i) {
        {
            std::lock_guard<std::mutex> lock(boards[i]->mutex);
            runTimeline(*boards[i], time);
        }
        dispatchHandlers(*boards[i]);
    }
}

uint64_t nextBoardChange() {
    HandleTable::BoardList boards;
    const size_t count = handles().boards(boards);
    uint64_t next = kNever;
    for (size_t i = 0; i < count; ++i) {
        std::lock_guard<std::mutex> lock(boards[i]->mutex);
        next = std::min(next, nextChange(*boards[i]));
    }
    return next;
}

// Runs every board to `time`; on the virtual clock the clock steps from change to change, so
// that a handler sees the boards at its event.
void runBoards(uint64_t time) {
    BoardClock& clock = boardClock();
    if (clock.isVirtual()) {
        for (uint64_t next = nextBoardChange(); next <= time; next = nextBoardChange()) {
            clock.moveVirtualTo(next);
            runBoardsTo(clock.virtualNow());
            if (!clock.isVirtual()) return;
        }
        clock.moveVirtualTo(time);
        time = clock.virtualNow();
    }
    runBoardsTo(time);
}

void runClock(uint64_t turn) {
    BoardClock& clock = boardClock();
    while (clock.isTurn(turn)) {
        if (clock.isVirtual()) {
            clock.sleep(steady_clock::now() + kClockPoll, turn);
            continue;
        }
        runBoards(clock.now());
        const uint64_t next = nextBoardChange();
        steady_clock::time_point wake = steady_clock::now() + kClockPoll;
        if (next <= clock.now()) {
            // Behind the real clock: the others get the locks for a while between two runs.
            wake = steady_clock::now() + kBehindPause;
        } else if (next != kNever) {
            wake = std::min(wake, clock.realTimeOf(next));
        }
        clock.sleep(wake, turn);
    }
}

}  // namespace

void innerHandleOpened() {
    ClockThread& c = clockThread();
    std::lock_guard<std::mutex> lock(c.mutex);
    // The thread first: a thread that cannot be started leaves the count as it was.
    if (!c.thread.joinable()) c.thread = std::thread(runClock, boardClock().nextTurn());
    ++c.openHandles;
}

std::thread innerHandleClosed() {
    ClockThread& c = clockThread();
    std::lock_guard<std::mutex> lock(c.mutex);
    if (--c.openHandles != 0) return {};
    boardClock().nextTurn();
    if (c.thread.get_id() == std::this_thread::get_id()) {
        // A handler closed the last handle: the thread ends when the handler returns.
        c.thread.detach();
        return {};
    }
    return std::move(c.thread);
}

void advanceVirtualClock(uint64_t nanoseconds) {
    BoardClock& clock = boardClock();
    std::lock_guard<std::mutex> serial(clock.advancing);
    if (!clock.isVirtual()) {
        clock.moveVirtualTo(clock.virtualNow() + nanoseconds);
    } else {
        runBoards(clock.virtualNow() + nanoseconds);
    }
    const uint64_t now = clock.virtualNow();
    HandleTable::BoardList boards;
    const size_t count = handles().boards(boards);
    for (size_t i = 0; i < count; ++i) {
        std::unique_lock<std::mutex> lock(boards[i]->mutex);
        produceOnVirtualClock(*boards[i], now, lock);
    }
}

bool inHandlerOf(const void* application) { return application != nullptr && handlerApplication == application; }

}  // namespace sim
