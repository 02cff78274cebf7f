// Waiting on the real clock or on the simulated board's virtual one.
#include "waiting.h"

#include <cmath>
#include <thread>

namespace orvanta_tool {

namespace {
constexpr uint64_t kStepNanoseconds = 1000000;
}

Waiting::Waiting(const Session& session, double seconds)
    : sim_(session.sim()), virtual_(sim_.virtualClock()), seconds_(seconds), virtualStart_(sim_.virtualNanoseconds()) {}

double Waiting::elapsedSeconds() const {
    if (virtual_) return static_cast<double>(sim_.virtualNanoseconds() - virtualStart_) / 1e9;
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool Waiting::expired() const { return seconds_ > 0 && elapsedSeconds() >= seconds_; }

int32_t Waiting::wholeSecondsLeft() const {
    if (seconds_ <= 0) return 1;
    return static_cast<int32_t>(std::floor(std::max(0.0, seconds_ - elapsedSeconds())));
}

void Waiting::pause() {
    if (virtual_) {
        sim_.advance(kStepNanoseconds);
    } else {
        std::this_thread::sleep_for(std::chrono::nanoseconds(kStepNanoseconds));
    }
}

}  // namespace orvanta_tool
