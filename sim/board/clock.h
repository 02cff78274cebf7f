// The boards' clock, one for all boards: the real clock, or the virtual one that tests stop and
// move by hand (SimCtl_SetVirtualClock, SimCtl_AdvanceClock). It also carries the wake-up of the
// runtime's clock thread, which runs the boards on the real clock and sleeps until the next
// change it knows of: a board whose next change comes sooner wakes it. Its own lock is taken
// inside a board's, never around one.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace sim {

class BoardClock {
public:
    // Nanoseconds on the board clock: the virtual clock, or the real one continued across
    // switches without a jump.
    uint64_t now() const;
    bool isVirtual() const;
    uint64_t virtualNow() const;
    // Switches between the real and the virtual clock; the board clock runs on from where it is.
    void setVirtual(bool on);
    // Moves the virtual clock on to `time` (never back).
    void moveVirtualTo(uint64_t time);
    // The real clock's time point of a board time.
    std::chrono::steady_clock::time_point realTimeOf(uint64_t time) const;

    // A board changes sooner than the clock thread planned, or the thread is to look again.
    void wake();
    // The clock thread's sleep: until `until`, a wake() or the end of its turn (`turn` is no
    // longer current); answers whether its turn goes on.
    bool sleep(std::chrono::steady_clock::time_point until, uint64_t turn);
    // A new turn of the clock thread: the thread of the one before ends. Answers the new turn.
    uint64_t nextTurn();
    bool isTurn(uint64_t turn) const;

    // Serialises SimCtl_AdvanceClock; taken around every board's lock, never inside one.
    std::mutex advancing;

private:
    mutable std::mutex mutex_;
    std::condition_variable wakeUp_;
    bool virtual_ = false;
    uint64_t virtualNow_ = 0;
    std::chrono::steady_clock::time_point realZero_ = std::chrono::steady_clock::now();
    bool woken_ = false;
    uint64_t turn_ = 0;
};

BoardClock& boardClock();

}  // namespace sim
