// Time passing while the tool waits for the board. On the real clock the tool sleeps; on the
// simulated board's virtual clock (sim clock virtual) nothing happens unless the clock moves, so
// the tool moves it on itself while it waits, and a time-out counts the board's time.
#pragma once

#include <chrono>
#include <cstdint>

#include "session.h"

namespace orvanta_tool {

class Waiting {
public:
    // Gives up after `seconds` of the board's time; 0 or less waits for ever.
    Waiting(const Session& session, double seconds);

    bool virtualClock() const { return virtual_; }
    bool expired() const;
    // The board's time since the wait began.
    double elapsedSeconds() const;
    // The wait's time left, in whole seconds rounded down (for the runtime's blocking calls).
    int32_t wholeSecondsLeft() const;
    // Lets a moment pass: a millisecond's sleep, or the virtual clock a millisecond on.
    void pause();

private:
    SimControl& sim_;
    bool virtual_;
    double seconds_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    uint64_t virtualStart_;
};

}  // namespace orvanta_tool
