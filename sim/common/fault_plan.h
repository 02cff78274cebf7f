// A plan of failures for one kind of call: every call is counted from the plan's setting, and
// the nth fails, either once or together with every call after it. Lock-free, so that a stand-in
// can ask it under its own locks; calls of one kind from several threads at once are counted in
// the order they reach it.
#pragma once

#include <atomic>
#include <cstdint>

namespace sim {

class FaultPlan {
public:
    // nth 0 fails nothing and only counts; code is what a failing call answers.
    void plan(uint64_t nth, bool persistent, int32_t code) {
        nth_.store(0, std::memory_order_relaxed);
        calls_.store(0, std::memory_order_relaxed);
        code_.store(code, std::memory_order_relaxed);
        persistent_.store(persistent, std::memory_order_relaxed);
        nth_.store(nth, std::memory_order_release);
    }
    void clear() { plan(0, false, 0); }

    // Counts one call; the code it fails with, or 0.
    int32_t next() {
        const uint64_t position = calls_.fetch_add(1, std::memory_order_relaxed) + 1;
        const uint64_t nth = nth_.load(std::memory_order_acquire);
        if (nth == 0) return 0;
        const bool fails = position == nth || (position > nth && persistent_.load(std::memory_order_relaxed));
        return fails ? code_.load(std::memory_order_relaxed) : 0;
    }

    uint64_t calls() const { return calls_.load(std::memory_order_relaxed); }

private:
    std::atomic<uint64_t> nth_{0};
    std::atomic<uint64_t> calls_{0};
    std::atomic<int32_t> code_{0};
    std::atomic<bool> persistent_{false};
};

}  // namespace sim
