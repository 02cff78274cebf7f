// A plan of failures for one kind of call: every call is counted from the plan's setting, and
// the nth fails, either once or together with every call after it. Plain data: the stand-in that
// owns a plan asks and sets it under its own lock.
#pragma once

#include <cstdint>

namespace sim {

struct FaultPlan {
    uint64_t nth = 0;  // 0 fails nothing and only counts
    uint64_t calls = 0;
    int32_t code = 0;  // what a failing call answers
    bool persistent = false;

    void plan(uint64_t failAt, bool fromThereOn, int32_t answer) { *this = {failAt, 0, answer, fromThereOn}; }
    void clear() { *this = {}; }

    // Counts one call; the code it fails with, or 0.
    int32_t next() {
        ++calls;
        const bool fails = nth != 0 && (calls == nth || (persistent && calls > nth));
        return fails ? code : 0;
    }
};

}  // namespace sim
