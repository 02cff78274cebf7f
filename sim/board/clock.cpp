// The boards' clock.
#include "clock.h"

#include <algorithm>

#include "process_wide.h"

namespace sim {

using std::chrono::steady_clock;

namespace {

uint64_t nanosecondsSince(steady_clock::time_point zero) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(steady_clock::now() - zero).count();
    return elapsed > 0 ? static_cast<uint64_t>(elapsed) : 0;
}

}  // namespace

uint64_t BoardClock::now() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return virtual_ ? virtualNow_ : nanosecondsSince(realZero_);
}

bool BoardClock::isVirtual() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return virtual_;
}

uint64_t BoardClock::virtualNow() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return virtualNow_;
}

void BoardClock::setVirtual(bool on) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (on == virtual_) return;
    const uint64_t now = std::max(virtual_ ? virtualNow_ : nanosecondsSince(realZero_), virtualNow_);
    if (on) {
        virtualNow_ = now;
    } else {
        realZero_ = steady_clock::now() - std::chrono::nanoseconds(now);
    }
    virtual_ = on;
    woken_ = true;
    wakeUp_.notify_all();
}

void BoardClock::moveVirtualTo(uint64_t time) {
    std::lock_guard<std::mutex> lock(mutex_);
    virtualNow_ = std::max(virtualNow_, time);
}

steady_clock::time_point BoardClock::realTimeOf(uint64_t time) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return realZero_ + std::chrono::nanoseconds(time);
}

void BoardClock::wake() {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
    wakeUp_.notify_all();
}

bool BoardClock::sleep(steady_clock::time_point until, uint64_t turn) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (virtual_) {
        // Nothing runs by itself on the virtual clock.
        wakeUp_.wait(lock, [&] { return woken_ || turn_ != turn; });
    } else {
        wakeUp_.wait_until(lock, until, [&] { return woken_ || turn_ != turn; });
    }
    woken_ = false;
    return turn_ == turn;
}

uint64_t BoardClock::nextTurn() {
    std::lock_guard<std::mutex> lock(mutex_);
    wakeUp_.notify_all();
    return ++turn_;
}

bool BoardClock::isTurn(uint64_t turn) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return turn_ == turn;
}

BoardClock& boardClock() { return platform::processWide<BoardClock>(); }

}  // namespace sim
