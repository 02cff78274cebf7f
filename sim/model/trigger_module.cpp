// The area trigger module as a discrete-event model: a handful of pending times (pin edges and
// debounce deadlines, the generator's next pulse, the pulse form generators' edges) processed in
// time order. Nothing is sampled per tick, so the cost is a few steps per pulse whatever the rate.
//
// Occurrences at the same time run in this fixed order: debounce deadlines (pins 0-11), scheduled
// input edges (pins 0-11), the generator, pulse form generator rises (0-3), then their falls
// (0-3). Work that one occurrence starts at the same time (a settled edge passing the generator,
// a pulse form generator without delay) runs right after it, in the same order.
//
// Choices the register descriptions leave open, and how the model takes them:
// - A clear register held at 1 keeps its block cleared, and a block held cleared passes and
//   counts nothing (the multiply block: the generator still takes the pulse and keeps its period,
//   but none reaches the pulse form generators).
// - The queue-full status bit is set when a pulse is dropped because the queue is full and stays
//   until a pulse leaves the queue or the queue is cleared.
// - The fill level of the hysteresis and QueueEmpty is the number of pulses waiting; a pulse the
//   generator takes at once never waits. Clearing the queue counts as the level falling.
// - A level that has stayed exactly the debounce time counts (the deadline runs before an input
//   edge at the same time).
// - The pulses of a pulse form generator never overtake one another: a pulse that a shorter delay
//   would put ahead of an earlier one rises and falls no earlier than that one. Highs that touch
//   merge as overlapping ones do. More than kMaxInFlight pulses in flight are dropped.
// - Enable_Select 0 keeps new pulses out of the pulse form generators; those in flight finish.
// - The input statistics forget the last active edge when their pin or polarity changes; a
//   period that spans a min/max clear counts as the first one after it.
// - setInputLevel takes the pin over from a pulse train still unfolding on it.
#include "trigger_module.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

namespace sim {
namespace {

constexpr uint64_t kNever = UINT64_MAX;
constexpr uint64_t kTickNanoseconds = 8;
constexpr uint64_t kDebounceStepNanoseconds = 24;
constexpr uint64_t kPeriodOffsetTicks = 9;  // the generator's period is its register plus 9 ticks
constexpr uint32_t kPulseForms = 4;
constexpr uint32_t kRegistersPerPulseForm = 4;  // downscale, selected pulse, delay, width
constexpr uint32_t kCameraOutput = kDigitalOutputs;  // after the digital outputs
constexpr uint32_t kOutputs = kDigitalOutputs + 1;
constexpr uint32_t kPinSelectBase = 8;  // output select codes 8-19 are the pins' levels
constexpr uint32_t kSourceCodes = kPinSelectBase + kTriggerPins;
constexpr size_t kMaxInFlight = size_t{1} << 16;

constexpr uint32_t kExceededPeriodBit = 1u << 0;
constexpr uint32_t kQueueFullBit = 1u << 1;
constexpr uint32_t kMissingFrameBit = 1u << 2;

// Clear registers: 1 holds the block cleared, 2 clears it once at the write.
constexpr uint32_t kHoldCleared = 1;
constexpr uint32_t kClearOnce = 2;
constexpr uint32_t kSoftwarePulse = 2;

constexpr size_t at(TriggerRegister r) { return static_cast<size_t>(r); }
constexpr TriggerRegister offset(TriggerRegister base, uint32_t n) {
    return static_cast<TriggerRegister>(at(base) + n);
}

static_assert(at(TriggerRegister::Pfg3Width) == at(TriggerRegister::Pfg0Downscale) + kPulseForms * kRegistersPerPulseForm - 1,
              "pulse form generator registers in groups of four");
static_assert(at(TriggerRegister::FrontGpo1Invert) == at(TriggerRegister::CameraSelect) + 2 * kOutputs - 1,
              "output registers in select/invert pairs, the camera-control output first");

TriggerRegister pulseFormRegister(uint32_t g, TriggerRegister ofForm0) {
    return offset(ofForm0, g * kRegistersPerPulseForm);
}
// Output o as this file numbers them: 0-9 the digital outputs, 10 the camera-control output.
TriggerRegister selectRegister(uint32_t o) {
    return offset(TriggerRegister::CameraSelect, o == kCameraOutput ? 0 : 2 * (o + 1));
}
TriggerRegister invertRegister(uint32_t o) { return offset(selectRegister(o), 1); }

uint64_t addSaturated(uint64_t a, uint64_t b) { return a > kNever - b ? kNever : a + b; }

// Of every run of n pulses (0 counts as 1) the selected one passes; `position` counts the run.
bool passesDownscale(uint32_t& position, uint32_t n, uint32_t selected) {
    n = std::max<uint32_t>(n, 1);
    position = position % n + 1;
    return position == selected;
}

struct Pin {
    bool raw = false;
    bool level = false;  // debounced
    uint64_t rawSince = 0;
    uint64_t settleAt = kNever;  // when a raw level unlike the debounced one will count
    // A pulse train: the next edge, the rise of the current pulse, pulses not yet ended.
    uint64_t edgeAt = kNever;
    bool edgeRises = true;
    uint64_t riseAt = 0;
    uint64_t period = 0;
    uint64_t left = 0;
};

// One pulse form generator's pulses in flight, oldest first, in a ring that only grows: positions
// [head, risen) are high, [risen, tail) wait for their rise. While nothing watches the generator
// (no output selects it, neither output statistics nor output event), its edges could change
// nothing: they are not scheduled, and the state catches up with the time when it is next needed.
struct PulseForm {
    struct Pulse {
        uint64_t rise;
        uint64_t fall;
    };
    std::vector<Pulse> ring = std::vector<Pulse>(8);
    uint64_t head = 0;
    uint64_t risen = 0;
    uint64_t tail = 0;
    uint64_t lastRise = 0;
    uint64_t lastFall = 0;
    uint32_t position = 0;  // of the downscale
    // The next rise and fall, kept at hand: the model looks them up before every step.
    uint64_t nextRise = kNever;
    uint64_t nextFall = kNever;
    bool watched = true;

    bool high() const { return risen > head; }
    const Pulse& pulse(uint64_t i) const { return ring[i & (ring.size() - 1)]; }
    void update() {
        if (!watched) {
            nextRise = nextFall = kNever;
            return;
        }
        nextRise = risen < tail ? pulse(risen).rise : kNever;
        nextFall = head < risen ? pulse(head).fall : kNever;
    }
    // Where the scheduled edges would have left it: rises before falls at the same time.
    void catchUp(uint64_t now) {
        while (risen < tail && pulse(risen).rise <= now) ++risen;
        while (head < risen && pulse(head).fall <= now) ++head;
    }
    void push(Pulse p, uint64_t now) {
        if (!watched) catchUp(now);
        if (tail - head == ring.size()) {
            std::vector<Pulse> larger(ring.size() * 2);
            for (uint64_t i = head; i < tail; ++i) larger[i & (larger.size() - 1)] = pulse(i);
            ring.swap(larger);
        }
        ring[tail++ & (ring.size() - 1)] = p;
        lastRise = p.rise;
        lastFall = p.fall;
        update();
    }
};

enum class Due : uint8_t { Nothing, Settle, InputEdge, Generator, Rise, Fall };

struct Next {
    uint64_t time = kNever;
    Due what = Due::Nothing;
    uint32_t index = 0;
};

}  // namespace

struct TriggerModule::Impl {
    std::array<uint32_t, at(TriggerRegister::Count)> reg{};
    uint64_t now = 0;
    TriggerSink* sink = nullptr;

    std::array<Pin, kTriggerPins> pins{};
    uint32_t busyPins = 0;  // bit p: pin p has a deadline or a train pending
    uint32_t inputPosition = 0;

    bool hasPulsed = false;  // since the generator last started its period afresh
    uint64_t lastPulse = 0;
    uint64_t sequenceLeft = 0;  // multiplied pulses still to come
    uint32_t queued = 0;
    bool fillLevelHigh = false;
    uint32_t status = 0;

    std::array<PulseForm, kPulseForms> forms{};

    uint32_t outputsHigh = 0;  // bit o as numbered by selectRegister
    std::array<uint64_t, kDigitalOutputs> outputRises{};
    std::array<uint32_t, kSourceCodes> listeners{};  // the outputs each select code drives

    uint32_t inputPulses = 0;
    uint32_t inputPeriod = 0;
    uint32_t inputMin = 0;
    uint32_t inputMax = 0;
    bool minMaxSeen = false;
    bool hasActiveEdge = false;
    uint64_t lastActiveEdge = 0;
    uint32_t outputPulses = 0;

    Impl() {
        rebuildListeners();
        watchForms();
    }

    uint32_t value(TriggerRegister r) const { return reg[at(r)]; }
    bool held(TriggerRegister r) const { return value(r) == kHoldCleared; }
    void raise(BoardEvent e, uint64_t data) { sink->raise(e, now, data); }

    // ---- generator ----

    uint64_t period() const {
        return (uint64_t{value(TriggerRegister::MinimumPeriod)} + kPeriodOffsetTicks) * kTickNanoseconds;
    }
    bool ready() const { return !hasPulsed || now - lastPulse >= period(); }
    uint64_t readyAt() const { return hasPulsed ? std::max(addSaturated(lastPulse, period()), now) : now; }
    bool freeRunning() const { return value(TriggerRegister::EnableQueue) == 0; }
    // Free-run pulses that cannot reach a pulse form generator are counted, not processed.
    bool freeRunUnseen() const {
        return freeRunning() && !held(TriggerRegister::ClearQueuePulse) &&
               (value(TriggerRegister::PulseFormEnable) == 0 || held(TriggerRegister::PulseFormClear));
    }
    uint64_t generatorDue() const {
        if (held(TriggerRegister::ClearQueuePulse)) return kNever;
        if (freeRunning()) return freeRunUnseen() ? kNever : readyAt();
        return sequenceLeft > 0 || queued > 0 ? readyAt() : kNever;
    }
    void skipFreeRun(uint64_t target) {
        const uint64_t first = readyAt();
        if (first > target) return;
        lastPulse = first + (target - first) / period() * period();
        hasPulsed = true;
    }

    void emit(bool reachesForms) {
        lastPulse = now;
        hasPulsed = true;
        if (!reachesForms || value(TriggerRegister::PulseFormEnable) == 0 || held(TriggerRegister::PulseFormClear)) return;
        for (uint32_t g = 0; g < kPulseForms; ++g) enterForm(g);
    }
    void startSequence() {
        const bool passing = !held(TriggerRegister::MultiplyClear);
        sequenceLeft = passing ? std::max<uint32_t>(value(TriggerRegister::MultiplyDownscale), 1) - 1 : 0;
        emit(passing);
    }
    void generatorPulse() {
        if (freeRunning()) {
            emit(true);
        } else if (sequenceLeft > 0) {
            --sequenceLeft;
            emit(true);
        } else {
            status &= ~kQueueFullBit;
            setQueued(queued - 1);
            startSequence();
        }
    }
    // A software or external pulse reaches the generator.
    void arrive() {
        if (freeRunning() || held(TriggerRegister::ClearQueuePulse)) return;
        if (sequenceLeft == 0 && queued == 0 && ready()) {
            startSequence();
        } else if (value(TriggerRegister::QueueEnabled) != 0) {
            if (queued < value(TriggerRegister::QueueFullValue)) {
                setQueued(queued + 1);
            } else {
                status |= kQueueFullBit;
            }
        } else if (!held(TriggerRegister::ExceededPeriodClear)) {
            status |= kExceededPeriodBit;
            raise(BoardEvent::ExceededPeriod, 0);
        }
    }
    void setQueued(uint32_t n) {
        const uint32_t old = queued;
        queued = n;
        if (n > old && !fillLevelHigh && n >= value(TriggerRegister::HysteresisOn)) {
            fillLevelHigh = true;
            raise(BoardEvent::QueueFillLevelOn, n);
        }
        if (n < old && fillLevelHigh && n <= value(TriggerRegister::HysteresisOff)) {
            fillLevelHigh = false;
            raise(BoardEvent::QueueFillLevelOff, n);
        }
        if (old > 0 && n == 0) raise(BoardEvent::QueueEmpty, 0);
    }

    // ---- pulse form generators ----

    void enterForm(uint32_t g) {
        PulseForm& f = forms[g];
        if (!passesDownscale(f.position, value(pulseFormRegister(g, TriggerRegister::Pfg0Downscale)),
                             value(pulseFormRegister(g, TriggerRegister::Pfg0SelectedPulse)))) {
            return;
        }
        if (f.tail - f.head >= kMaxInFlight) return;
        const uint64_t delay = uint64_t{value(pulseFormRegister(g, TriggerRegister::Pfg0Delay))} * kTickNanoseconds;
        const uint64_t width = uint64_t{value(pulseFormRegister(g, TriggerRegister::Pfg0Width))} * kTickNanoseconds;
        const uint64_t rise = std::max(addSaturated(now, delay), f.lastRise);
        f.push({rise, std::max(addSaturated(rise, width), f.lastFall)}, now);
    }
    void riseForm(uint32_t g) {
        const bool wasHigh = forms[g].high();
        ++forms[g].risen;
        forms[g].update();
        if (!wasHigh) formEdge(g, true);
    }
    void fallForm(uint32_t g) {
        ++forms[g].head;
        forms[g].update();
        if (!forms[g].high()) formEdge(g, false);
    }
    void formEdge(uint32_t g, bool high) {
        if (high) {
            if (value(TriggerRegister::OutputStatisticsSelect) == g && !held(TriggerRegister::OutputPulsesClear)) {
                ++outputPulses;
            }
            if (value(TriggerRegister::OutputEventSelect) == g) raise(BoardEvent::OutputEvent, 0);
        }
        refreshOutputs(listeners[g]);
    }
    void watchForms() {
        for (uint32_t g = 0; g < kPulseForms; ++g) {
            PulseForm& f = forms[g];
            f.catchUp(now);
            f.watched = listeners[g] != 0 || value(TriggerRegister::OutputStatisticsSelect) == g ||
                        value(TriggerRegister::OutputEventSelect) == g;
            f.update();
        }
    }
    void dropForms() {
        for (uint32_t g = 0; g < kPulseForms; ++g) {
            PulseForm& f = forms[g];
            const bool wasHigh = f.high();
            f.head = f.risen = f.tail;
            f.lastRise = f.lastFall = 0;
            f.position = 0;
            f.update();
            if (wasHigh) formEdge(g, false);
        }
    }

    // ---- outputs ----

    bool sourceLevel(uint32_t code) const {
        if (code < kPulseForms) return forms[code].high();
        if (code >= kPinSelectBase && code < kSourceCodes) return pins[code - kPinSelectBase].level;
        return false;  // GND and every code without a source
    }
    void rebuildListeners() {
        listeners.fill(0);
        for (uint32_t o = 0; o < kOutputs; ++o) {
            const uint32_t code = value(selectRegister(o));
            if (code < kSourceCodes) listeners[code] |= 1u << o;
        }
    }
    void refreshOutputs(uint32_t outputs) {
        for (uint32_t o = 0; outputs != 0; ++o, outputs >>= 1) {
            if ((outputs & 1) == 0) continue;
            const bool high = sourceLevel(value(selectRegister(o))) != (value(invertRegister(o)) != 0);
            if (high == (((outputsHigh >> o) & 1) != 0)) continue;
            outputsHigh ^= 1u << o;
            if (!high) continue;
            if (o == kCameraOutput) {
                sink->cameraPulse(now);
            } else {
                ++outputRises[o];
            }
        }
    }

    // ---- inputs ----

    void updateBusy(uint32_t p) {
        const bool busy = pins[p].settleAt != kNever || pins[p].edgeAt != kNever;
        busyPins = busy ? busyPins | (1u << p) : busyPins & ~(1u << p);
    }
    uint64_t debounceTime() const { return uint64_t{value(TriggerRegister::Debounce)} * kDebounceStepNanoseconds; }
    void setRaw(uint32_t p, bool high) {
        Pin& pin = pins[p];
        if (pin.raw == high) return;
        pin.raw = high;
        pin.rawSince = now;
        pin.settleAt = pin.raw == pin.level ? kNever : addSaturated(now, debounceTime());
        updateBusy(p);
    }
    void trainEdge(uint32_t p) {
        Pin& pin = pins[p];
        const bool rises = pin.edgeRises;
        if (rises) {
            pin.edgeRises = false;
            pin.edgeAt = addSaturated(pin.riseAt, pin.period / 2);
        } else if (--pin.left == 0) {
            pin.edgeAt = kNever;
        } else {
            pin.riseAt = addSaturated(pin.riseAt, pin.period);
            pin.edgeAt = pin.riseAt;
            pin.edgeRises = true;
        }
        updateBusy(p);
        setRaw(p, rises);
    }
    void settle(uint32_t p) {
        Pin& pin = pins[p];
        pin.level = pin.raw;
        pin.settleAt = kNever;
        updateBusy(p);
        const bool high = pin.level;
        raise(high ? risingEdgeEvent(p) : fallingEdgeEvent(p), inputOfPin(p));
        if (value(TriggerRegister::StatisticsSelect) == p && high != (value(TriggerRegister::StatisticsInvert) != 0)) {
            countStatisticsEdge();
        }
        if (value(TriggerRegister::SelectExternal) != 0 && value(TriggerRegister::InputSelect) == p &&
            high != (value(TriggerRegister::InputInvert) != 0) && !held(TriggerRegister::InputDownscaleClear) &&
            passesDownscale(inputPosition, value(TriggerRegister::InputDownscale),
                            value(TriggerRegister::InputSelectedPulse))) {
            arrive();
        }
        refreshOutputs(listeners[kPinSelectBase + p]);
    }
    void countStatisticsEdge() {
        if (!held(TriggerRegister::InputPulsesClear)) ++inputPulses;
        if (hasActiveEdge) {
            const uint64_t ticks = (now - lastActiveEdge) / kTickNanoseconds;
            inputPeriod = static_cast<uint32_t>(std::min<uint64_t>(ticks, UINT32_MAX));
            inputMin = minMaxSeen ? std::min(inputMin, inputPeriod) : inputPeriod;
            inputMax = minMaxSeen ? std::max(inputMax, inputPeriod) : inputPeriod;
            minMaxSeen = true;
        }
        hasActiveEdge = true;
        lastActiveEdge = now;
    }

    // ---- time ----

    // Candidates are taken in the order of precedence, so the first at the earliest time wins.
    Next earliest() const {
        Next next;
        const auto consider = [&next](uint64_t time, Due what, uint32_t index) {
            if (time < next.time) next = {time, what, index};
        };
        if (busyPins != 0) {
            for (uint32_t p = 0; p < kTriggerPins; ++p) consider(pins[p].settleAt, Due::Settle, p);
            for (uint32_t p = 0; p < kTriggerPins; ++p) consider(pins[p].edgeAt, Due::InputEdge, p);
        }
        consider(generatorDue(), Due::Generator, 0);
        for (uint32_t g = 0; g < kPulseForms; ++g) consider(forms[g].nextRise, Due::Rise, g);
        for (uint32_t g = 0; g < kPulseForms; ++g) consider(forms[g].nextFall, Due::Fall, g);
        return next;
    }

    void runTo(uint64_t target) {
        target = std::max(target, now);
        // Nothing in the loop below looks at free-run pulses that no pulse form generator takes.
        if (freeRunUnseen()) skipFreeRun(target);
        for (;;) {
            const Next next = earliest();
            if (next.what == Due::Nothing || next.time > target) break;
            now = next.time;
            switch (next.what) {
                case Due::Settle: settle(next.index); break;
                case Due::InputEdge: trainEdge(next.index); break;
                case Due::Generator: generatorPulse(); break;
                case Due::Rise: riseForm(next.index); break;
                case Due::Fall: fallForm(next.index); break;
                case Due::Nothing: break;
            }
        }
        now = target;
    }

    // ---- writes ----

    void apply(TriggerRegister r, uint32_t old, uint32_t v) {
        const bool clears = v == kHoldCleared || v == kClearOnce;
        switch (r) {
            case TriggerRegister::SoftwareTrigger:
                if (v == kSoftwarePulse) arrive();
                break;
            case TriggerRegister::Debounce:
                for (Pin& pin : pins) {
                    if (pin.settleAt != kNever) pin.settleAt = std::max(addSaturated(pin.rawSince, debounceTime()), now);
                }
                break;
            case TriggerRegister::InputDownscaleClear:
                if (clears) inputPosition = 0;
                break;
            case TriggerRegister::ClearQueuePulse:
                if (clears) {
                    sequenceLeft = 0;
                    status &= ~kQueueFullBit;
                    setQueued(0);
                }
                // Released (or cleared once): the period starts afresh, a free run with a pulse now.
                if (v == kClearOnce || (old == kHoldCleared && v != kHoldCleared)) hasPulsed = false;
                break;
            case TriggerRegister::MultiplyClear:
                if (clears) sequenceLeft = 0;
                break;
            case TriggerRegister::PulseFormClear:
                if (clears) dropForms();
                break;
            case TriggerRegister::StatisticsSelect:
            case TriggerRegister::StatisticsInvert:
                if (v != old) hasActiveEdge = false;
                break;
            case TriggerRegister::InputPulsesClear:
                if (clears) inputPulses = 0;
                break;
            case TriggerRegister::InputMinMaxClear:
                if (v != old) {
                    minMaxSeen = false;
                    inputMin = inputMax = 0;
                }
                break;
            case TriggerRegister::OutputStatisticsSelect:
            case TriggerRegister::OutputEventSelect:
                watchForms();
                break;
            case TriggerRegister::OutputPulsesClear:
                if (clears) outputPulses = 0;
                break;
            case TriggerRegister::ExceededPeriodClear:
                if (clears) status &= ~kExceededPeriodBit;
                break;
            case TriggerRegister::MissingFrameClear:
            case TriggerRegister::MissingFrameReset:
                if (clears) status &= ~kMissingFrameBit;
                break;
            default:
                if (at(r) >= at(TriggerRegister::CameraSelect) && at(r) <= at(TriggerRegister::FrontGpo1Invert)) {
                    const uint32_t pair = static_cast<uint32_t>(at(r) - at(TriggerRegister::CameraSelect)) / 2;
                    rebuildListeners();
                    watchForms();
                    refreshOutputs(1u << (pair == 0 ? kCameraOutput : pair - 1));
                }
                break;
        }
    }

    uint32_t levels(uint32_t firstPin, uint32_t count) const {
        uint32_t bits = 0;
        for (uint32_t i = 0; i < count; ++i) bits |= pins[firstPin + i].level ? 1u << i : 0;
        return bits;
    }
};

TriggerModule::TriggerModule() : impl_(std::make_unique<Impl>()) {}
TriggerModule::~TriggerModule() = default;

void TriggerModule::write(TriggerRegister r, uint32_t value, uint64_t time, TriggerSink& sink) {
    if (r >= TriggerRegister::Count || isTriggerStatus(r)) return;
    Impl& m = *impl_;
    m.sink = &sink;
    m.runTo(time);
    const uint32_t old = m.reg[at(r)];
    m.reg[at(r)] = value;
    m.apply(r, old, value);
    m.runTo(m.now);  // what the write made due at once
}

uint32_t TriggerModule::read(TriggerRegister r) const {
    const Impl& m = *impl_;
    switch (r) {
        case TriggerRegister::GeneratorReady: return m.ready() ? 1 : 0;
        case TriggerRegister::QueueValue: return m.queued;
        case TriggerRegister::QueueStatus: return m.status;
        case TriggerRegister::InputLevels: return m.levels(0, 8);
        case TriggerRegister::FrontInputLevels: return m.levels(8, kTriggerPins - 8);
        case TriggerRegister::InputPulses: return m.inputPulses;
        case TriggerRegister::InputPeriod: return m.inputPeriod;
        case TriggerRegister::InputPeriodMin: return m.inputMin;
        case TriggerRegister::InputPeriodMax: return m.inputMax;
        case TriggerRegister::OutputPulses: return m.outputPulses;
        default: return r < TriggerRegister::Count ? m.reg[at(r)] : 0;
    }
}

void TriggerModule::setInputLevel(uint32_t input, bool high, uint64_t time, TriggerSink& sink) {
    if (!isTriggerInput(input)) return;
    Impl& m = *impl_;
    m.sink = &sink;
    m.runTo(time);
    const uint32_t p = pinOfInput(input);
    m.pins[p].edgeAt = kNever;
    m.pins[p].left = 0;
    m.updateBusy(p);
    m.setRaw(p, high);
    m.runTo(m.now);
}

void TriggerModule::pulseInput(uint32_t input, uint64_t count, uint64_t periodNanoseconds, uint64_t time) {
    if (!isTriggerInput(input) || count == 0) return;
    Impl& m = *impl_;
    const uint32_t p = pinOfInput(input);
    Pin& pin = m.pins[p];
    // A start before the time last run to begins at that time; its first edge is taken at the
    // next advanceTo.
    pin.riseAt = pin.edgeAt = std::max(time, m.now);
    pin.edgeRises = true;
    pin.period = periodNanoseconds;
    pin.left = count;
    m.updateBusy(p);
}

void TriggerModule::cameraMissedFrame(uint64_t time, TriggerSink& sink) {
    Impl& m = *impl_;
    m.sink = &sink;
    m.runTo(time);
    if (m.held(TriggerRegister::MissingFrameClear) || m.held(TriggerRegister::MissingFrameReset)) return;
    m.status |= kMissingFrameBit;
    m.raise(BoardEvent::MissingFrame, 0);
}

void TriggerModule::advanceTo(uint64_t time, TriggerSink& sink) {
    impl_->sink = &sink;
    impl_->runTo(time);
}

uint64_t TriggerModule::nextChange() const { return impl_->earliest().time; }

uint32_t TriggerModule::outputLevels() const { return impl_->outputsHigh & ((1u << kDigitalOutputs) - 1); }

uint64_t TriggerModule::outputPulses(uint32_t output) const {
    return output < kDigitalOutputs ? impl_->outputRises[output] : 0;
}

}  // namespace sim
