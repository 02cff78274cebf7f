// The transitions of the area trigger module and the interpreter that writes their steps.
#include "applet/trigger/trigger_state_machine.h"

#include <array>
#include <cstddef>
#include <initializer_list>

#include "applet/core/setter_framework.h"
#include "applet/core/setters.h"
#include "applet/description/description_refresh.h"
#include "applet/trigger/trigger_conversions.h"
#include "nx/nx_access.h"

namespace vexo::applet::trigger {

namespace {

using nx::NxParameter;
using nx::writeNx;

enum class Op : uint8_t { End, Pfg, Sel, Qclr, Reset, Flush, StartGenerator, StartQueue };

struct Step {
    Op op = Op::End;
    uint32_t value = 0;
};

// The steps carry the shorthand names under which the design's engineers talk about them.
// PFG(x): the pulse form generators' clear mode; SEL(x): external trigger selection; QCLR(x):
// the generator queue's clear; RESET, FLUSH, START_G and START_Q are sequences (below).
constexpr Step PFG(uint32_t x) { return {Op::Pfg, x}; }
constexpr Step SEL(uint32_t x) { return {Op::Sel, x}; }
constexpr Step QCLR(uint32_t x) { return {Op::Qclr, x}; }
constexpr Step RESET{Op::Reset, 0};
constexpr Step FLUSH{Op::Flush, 0};
constexpr Step START_G{Op::StartGenerator, 0};
constexpr Step START_Q{Op::StartQueue, 0};

enum class Field : uint8_t { Mode, State };

struct Transition {
    uint32_t oldMode;
    uint32_t oldState;
    Field field;  // which member of the pair changes
    uint32_t newValue;
    std::array<Step, 5> steps;
};

constexpr uint32_t GENERATOR = ATM_GENERATOR;
constexpr uint32_t EXTERNAL = ATM_EXTERNAL;
constexpr uint32_t SOFTWARE = ATM_SOFTWARE;
constexpr uint32_t ACTIVE = TS_ACTIVE;
constexpr uint32_t ASYNC_STOP = TS_ASYNC_STOP;
constexpr uint32_t SYNC_STOP = TS_SYNC_STOP;
constexpr Field MODE = Field::Mode;
constexpr Field STATE = Field::State;

// A mode change while stopped only stops the queue: the new mode's start sequence runs when the
// state later becomes active, by that mode's row. Stopping synchronously lets the pulse form
// generators finish; stopping asynchronously clears them at once (PFG(1)).
constexpr Transition kTransitions[] = {
    {GENERATOR, SYNC_STOP, STATE, ACTIVE, {RESET, START_G}},
    {GENERATOR, SYNC_STOP, STATE, ASYNC_STOP, {PFG(1)}},
    {GENERATOR, ASYNC_STOP, STATE, ACTIVE, {RESET, PFG(0), START_G}},
    {GENERATOR, ACTIVE, MODE, EXTERNAL, {PFG(1), FLUSH, SEL(1)}},
    {GENERATOR, ACTIVE, MODE, SOFTWARE, {PFG(1), FLUSH}},
    {GENERATOR, ACTIVE, STATE, ASYNC_STOP, {PFG(1), QCLR(1)}},
    {GENERATOR, ACTIVE, STATE, SYNC_STOP, {QCLR(1)}},
    {EXTERNAL, SYNC_STOP, MODE, GENERATOR, {QCLR(1)}},
    {EXTERNAL, SYNC_STOP, STATE, ACTIVE, {PFG(1), FLUSH, SEL(1)}},
    {EXTERNAL, SYNC_STOP, STATE, ASYNC_STOP, {PFG(1)}},
    {EXTERNAL, ASYNC_STOP, MODE, GENERATOR, {QCLR(1)}},
    {EXTERNAL, ASYNC_STOP, STATE, ACTIVE, {FLUSH, SEL(1)}},
    {EXTERNAL, ACTIVE, MODE, GENERATOR, {SEL(0), PFG(1), RESET, PFG(0), START_G}},
    {EXTERNAL, ACTIVE, MODE, SOFTWARE, {SEL(0), PFG(1), FLUSH}},
    {EXTERNAL, ACTIVE, STATE, ASYNC_STOP, {PFG(1), SEL(0)}},
    {EXTERNAL, ACTIVE, STATE, SYNC_STOP, {SEL(0)}},
    {SOFTWARE, SYNC_STOP, MODE, GENERATOR, {QCLR(1)}},
    {SOFTWARE, SYNC_STOP, STATE, ACTIVE, {PFG(1), FLUSH}},
    {SOFTWARE, SYNC_STOP, STATE, ASYNC_STOP, {PFG(1)}},
    {SOFTWARE, ASYNC_STOP, MODE, GENERATOR, {QCLR(1)}},
    {SOFTWARE, ASYNC_STOP, STATE, ACTIVE, {FLUSH}},
    {SOFTWARE, ACTIVE, MODE, GENERATOR, {PFG(1), RESET, PFG(0), START_G}},
    {SOFTWARE, ACTIVE, MODE, EXTERNAL, {PFG(1), FLUSH, SEL(1)}},
    {SOFTWARE, ACTIVE, STATE, ASYNC_STOP, {PFG(1)}},
};

constexpr bool sameKey(const Transition& a, const Transition& b) {
    return a.oldMode == b.oldMode && a.oldState == b.oldState && a.field == b.field && a.newValue == b.newValue;
}

constexpr bool keysUnique() {
    constexpr size_t count = sizeof(kTransitions) / sizeof(kTransitions[0]);
    for (size_t i = 0; i < count; ++i) {
        for (size_t j = i + 1; j < count; ++j) {
            if (sameKey(kTransitions[i], kTransitions[j])) return false;
        }
    }
    return true;
}
static_assert(sizeof(kTransitions) / sizeof(kTransitions[0]) == 24, "the trigger module has 24 transitions");
static_assert(keysUnique(), "one transition per (mode, state, change)");

const Transition* findTransition(uint32_t mode, uint32_t state, Field field, uint32_t newValue) {
    const Transition key{mode, state, field, newValue, {}};
    for (const Transition& transition : kTransitions) {
        if (sameKey(transition, key)) return &transition;
    }
    return nullptr;
}

void runStep(Board& w, const Step& step);

void runSteps(Board& w, std::initializer_list<Step> steps) {
    for (const Step& step : steps) runStep(w, step);
}

// START_G and START_Q: restart the frequency generator, with or without the trigger queue, at
// the recomputed stored rate.
void start(Board& w, uint32_t enableQueue) {
    runStep(w, QCLR(1));
    writeNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_EnableQueue_Select>(w, enableQueue);
    setTriggerFramesPerSecond(w, recomputedRate(stored<double>(w, SdkParameter::FG_TRIGGER_FRAMESPERSECOND)), true);
    writeNx<NxParameter::Process1_Trigger_TriggerCam0_PulseFormGenerators_Enable_Select>(w, 1);
    runStep(w, QCLR(0));
}

// RESET forgets missing camera frames and leaves the pulse form generators cleared (PFG(2)).
void reset(Board& w) {
    writeNx<NxParameter::Process1_Trigger_Monitoring_CheckForMissingFrame_Cam0_ResetMissing_Mode>(w, 2);
    runStep(w, PFG(2));
}

// FLUSH empties the input downscaler and the queue, then releases the pulse form generators.
void flush(Board& w) {
    writeNx<NxParameter::Process1_Trigger_TriggerCam0_Downscale_Clear_Mode>(w, 2);
    runStep(w, START_Q);
    writeNx<NxParameter::Process1_Trigger_TriggerCam0_Generators_ClearDownscale_Mode>(w, 2);
    runSteps(w, {RESET, PFG(0)});
}

void runStep(Board& w, const Step& step) {
    constexpr NxParameter pfg = NxParameter::Process1_Trigger_TriggerCam0_PulseFormGenerators_Clear_Mode;
    constexpr NxParameter sel = NxParameter::Process1_Trigger_TriggerCam0_TriggerMode_SelectExternal_Select;
    constexpr NxParameter qclr = NxParameter::Process1_Trigger_TriggerCam0_Generators_ClearQueuePulse_Mode;
    switch (step.op) {
    case Op::End: return;
    case Op::Pfg: return writeNx<pfg>(w, step.value);
    case Op::Sel: return writeNx<sel>(w, step.value);
    case Op::Qclr: return writeNx<qclr>(w, step.value);
    case Op::Reset: return reset(w);
    case Op::Flush: return flush(w);
    case Op::StartGenerator: return start(w, 0);
    case Op::StartQueue: return start(w, 1);
    }
}

}  // namespace

void changeTriggerState(Board& w, uint32_t oldMode, uint32_t oldState, uint32_t newMode,
                        uint32_t newState) {
    const Transition* transition = nullptr;
    if (newMode != oldMode) {
        transition = findTransition(oldMode, oldState, Field::Mode, newMode);
    } else if (newState != oldState) {
        transition = findTransition(oldMode, oldState, Field::State, newState);
    }
    if (transition != nullptr) {
        for (const Step& step : transition->steps) runStep(w, step);
    }
    refreshTriggerAccess(w, newMode);
}

}  // namespace vexo::applet::trigger
