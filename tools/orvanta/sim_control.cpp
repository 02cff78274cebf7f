// The simulated board's control, looked up in the runtime library by name.
#include "sim_control.h"

#include "host.h"
#include "session.h"

namespace orvanta_tool {

namespace {

// The control's prototypes, as orvanta_sim/runtime_control.h declares them.
using SetVirtualClock = void (*)(int32_t);
using AdvanceClock = void (*)(uint64_t);
using SetCamera = int32_t (*)(uint32_t, int32_t, uint32_t, uint32_t, double);
using PulseTriggerInput = int32_t (*)(uint32_t, uint32_t, uint64_t, uint64_t);
using SetTriggerInputLevel = int32_t (*)(uint32_t, uint32_t, int32_t);
using TriggerOutputPulses = int64_t (*)(uint32_t, uint32_t);
using TriggerOutputLevels = uint32_t (*)(uint32_t);

template <typename F>
F as(void* symbol) {
    return reinterpret_cast<F>(symbol);
}

}  // namespace

bool SimControl::available() const { return runtimeSymbol("SimCtl_SetVirtualClock") != nullptr; }

void* SimControl::function(const char* name) const {
    void* symbol = runtimeSymbol(name);
    if (symbol == nullptr) {
        throw Failure(std::string("sim: the runtime is not the simulated board's (it has no ") + name +
                      "): the sim command steers only the simulated board");
    }
    return symbol;
}

void SimControl::setVirtualClock(bool on) {
    as<SetVirtualClock>(function("SimCtl_SetVirtualClock"))(on ? 1 : 0);
    if (on && !virtualClock_) virtualNanoseconds_ = 0;
    virtualClock_ = on;
}

void SimControl::advance(uint64_t nanoseconds) {
    as<AdvanceClock>(function("SimCtl_AdvanceClock"))(nanoseconds);
    virtualNanoseconds_ += nanoseconds;
}

void SimControl::setCamera(const Camera& camera) {
    const int32_t result = as<SetCamera>(function("SimCtl_SetCamera"))(
        board_, camera.connected ? 1 : 0, camera.width, camera.height, camera.framesPerSecond);
    if (result != 0) throw Failure("sim camera: the simulated board refused the camera's settings", result);
    camera_ = camera;
}

void SimControl::pulse(uint32_t input, uint64_t count, uint64_t periodNanoseconds) {
    if (as<PulseTriggerInput>(function("SimCtl_PulseTriggerInput"))(board_, input, count, periodNanoseconds) != 0) {
        throw Failure("sim pulse: trigger input " + std::to_string(input) +
                      " does not exist (inputs 0-7 and front inputs 16-19), or the period is below 2 ns");
    }
}

void SimControl::setLevel(uint32_t input, bool high) {
    if (as<SetTriggerInputLevel>(function("SimCtl_SetTriggerInputLevel"))(board_, input, high ? 1 : 0) != 0) {
        throw Failure("sim level: trigger input " + std::to_string(input) +
                      " does not exist (inputs 0-7 and front inputs 16-19)");
    }
}

int64_t SimControl::outputPulses(uint32_t output) {
    return as<TriggerOutputPulses>(function("SimCtl_TriggerOutputPulses"))(board_, output);
}

uint32_t SimControl::outputLevels() { return as<TriggerOutputLevels>(function("SimCtl_TriggerOutputLevels"))(board_); }

}  // namespace orvanta_tool
