// The read rules: the table built from read_rules.def, the composite rules it names, and the
// one runner that applies a row and writes its answer in the parameter's own type.
#include "applet/core/read_rules.h"

#include <array>
#include <cstring>
#include <optional>
#include <string>

#include "applet/board.h"
#include "applet/camera_simulator/camera_simulator.h"
#include "applet/camera_simulator/camera_simulator_conversions.h"
#include "applet/core/read_conversions.h"
#include "applet/core/setter_framework.h"
#include "applet/debug/debug_injection.h"
#include "applet/geometry/geometry.h"
#include "applet/trigger/trigger_conversions.h"
#include "nx/nx_access.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"

namespace vexo::applet {

namespace {

using Nx = nx::NxParameter;
using nx::readNx;
using namespace trigger::constants;

// The descriptor property that answers the number of processes of the design.

// A number in the value-store member of the parameter's kind, or nothing when the rule leaves
// the caller's value as it was.
using Answer = std::optional<StoredValue>;

StoredValue valueOf(uint32_t number) {
    StoredValue value;
    value.u64 = 0;
    value.u32 = number;
    return value;
}

StoredValue valueOf(double number) {
    StoredValue value;
    value.f64 = number;
    return value;
}

// An NX conversion: the 32-bit register value in, the SDK value out.
using NxConversion = StoredValue (*)(uint32_t raw);

template <auto Convert>
StoredValue as(uint32_t raw) {
    return valueOf(Convert(raw));
}

using Composite = Answer (*)(Board& w);
// A text composite writes at most `capacity` characters and the terminator at `text`.
using TextComposite = void (*)(Board& w, char* text, size_t capacity);

enum class ReadKind : uint8_t { Constant, Stored, Forwarded, NxRead, Composite, TextComposite };

struct ReadRule {
    ReadKind kind = ReadKind::Constant;  // every parameter's row replaces it (checked below)
    uint32_t number = 0;             // Constant numbers
    const char* text = nullptr;      // Constant texts
    bool callersArguments = false;   // Forwarded: the caller's DMA index and type code ...
    uint32_t dma = 0;                // ... or these
    int32_t type = 0;
    Nx nx = Nx{};                    // NxRead
    bool converted = false;          // NxRead: false answers the value as read ...
    NxConversion convert = nullptr;  // ... true converts it
    Composite compose = nullptr;     // Composite
    TextComposite composeText = nullptr;  // TextComposite
};

constexpr ReadRule constant(uint32_t number) { return {ReadKind::Constant, number}; }
constexpr ReadRule constantText(const char* text) { return {ReadKind::Constant, 0, text}; }
constexpr ReadRule storedValue() { return {ReadKind::Stored}; }
constexpr ReadRule forwarded() { return {ReadKind::Forwarded, 0, nullptr, true}; }
constexpr ReadRule forwardedAs(uint32_t dma, TypeCode type) {
    return {ReadKind::Forwarded, 0, nullptr, false, dma, type};
}
constexpr ReadRule nxRead(Nx parameter) { return {ReadKind::NxRead, 0, nullptr, false, 0, 0, parameter}; }
constexpr ReadRule nxRead(Nx parameter, NxConversion convert) {
    return {ReadKind::NxRead, 0, nullptr, false, 0, 0, parameter, true, convert};
}
constexpr ReadRule composite(Composite compose) {
    return {ReadKind::Composite, 0, nullptr, false, 0, 0, Nx{}, false, nullptr, compose};
}
constexpr ReadRule textComposite(TextComposite compose) {
    return {ReadKind::TextComposite, 0, nullptr, false, 0, 0, Nx{}, false, nullptr, nullptr, compose};
}

Answer integer(uint32_t number) { return valueOf(number); }
Answer real(double number) { return valueOf(number); }

uint32_t storedU32(const Board& w, SdkParameter p) { return stored<uint32_t>(w, p); }

uint32_t selectMode(const Board& w) { return storedU32(w, SdkParameter::FG_CAMERASIMULATOR_SELECT_MODE); }

uint32_t areaTriggerMode(const Board& w) { return storedU32(w, SdkParameter::FG_AREATRIGGERMODE); }

// The runtime's own parameter; a non-zero answer is the read's result.
void askRuntime(Board& w, int32_t id, void* value, uint32_t dma, int32_t type) {
    const int32_t result = w.callRuntime<nx::RuntimeSlot::Fg_getParameterWithType>(id, value, dma, type);
    if (result != errors::kSuccess) throw result;
}

bool overflowOccurred(Board& w) { return readNx<Nx::Process0_Overflow_OverflowOccurred>(w) == 1; }

uint32_t fillLevel(Board& w) {
    if (overflowOccurred(w)) return read::kFullFillLevel;
    return readNx<Nx::Process0_Buffer_0_DRAM_A_0_FillLevel>(w);
}

uint32_t extendedCameraStatus(Board& w) {
    const uint32_t level = fillLevel(w);
    const uint32_t overflow = readNx<Nx::Process0_Overflow_OverflowOccurred>(w);
    uint32_t runtimeStatus = 0;
    askRuntime(w, infoOf(SdkParameter::FG_CAMSTATUS_EXTENDED).id, &runtimeStatus, 0, kTypeU32);
    const bool simulator = storedU32(w, SdkParameter::FG_CAMERASIMULATOR_ENABLE) == 1;
    return read::extendedCameraStatus(runtimeStatus, simulator, level, overflow);
}

Answer cameraStatusExtended(Board& w) { return integer(extendedCameraStatus(w)); }

Answer cameraStatus(Board& w) { return integer(extendedCameraStatus(w) & read::kPixelClockBit); }

Answer processCount(Board&) { return integer(static_cast<uint32_t>(kProcessCount)); }

Answer bufferFillLevel(Board& w) { return integer(fillLevel(w)); }

// Bits per line of the output format, wrapping in 32 bits as the register it describes would.
Answer linePayloadSize(Board& w) {
    const uint32_t bits = bitsPerPixel(storedU32(w, SdkParameter::FG_FORMAT));
    if (bits == 0) throw errors::kDesignValueInvalid;
    return integer(storedU32(w, SdkParameter::FG_WIDTH) * bits);
}

// The simulator's geometry as it runs: gaps that the select mode does not use read 0.
Answer simulatorWidth(Board& w) { return integer(w.cameraSimulator().width); }

Answer simulatorLineGap(Board& w) {
    return integer(selectMode(w) != kSelectPixelFrequency ? 0 : w.cameraSimulator().lineGap);
}

Answer simulatorFrameGap(Board& w) {
    return integer(selectMode(w) == kSelectFrameRate ? 0 : w.cameraSimulator().frameGap);
}

Answer simulatorPixelFrequency(Board& w) { return real(cameraSimulatorPixelFrequency(w, selectMode(w))); }

Answer simulatorLineRate(Board& w) { return real(cameraSimulatorLineRate(w, selectMode(w))); }

Answer simulatorFrameRate(Board& w) { return real(cameraSimulatorFrameRate(w, selectMode(w))); }

// The active and passive parts of the frequency sequence exist only in pixel-frequency mode;
// in the other modes the caller keeps the value it passed.
Answer simulatorActivePart(Board& w) {
    if (selectMode(w) != kSelectPixelFrequency) return std::nullopt;
    return integer(readNx<Nx::Process0_CameraSimulator_PixelFrequency_ActivePixel_Number>(w));
}

Answer simulatorPassivePart(Board& w) {
    if (selectMode(w) != kSelectPixelFrequency) return std::nullopt;
    return integer(simulator::kFrequencySequenceLength -
                   readNx<Nx::Process0_CameraSimulator_PixelFrequency_ActivePixel_Number>(w));
}

// The rate as the generator runs it: the stored rate through its period and back.
Answer triggerFramesPerSecond(Board& w) {
    return real(trigger::recomputedRate(stored<double>(w, SdkParameter::FG_TRIGGER_FRAMESPERSECOND)));
}

// The generator paces itself and cannot exceed its own period limits.
Answer triggerExceededPeriodLimits(Board& w) {
    if (areaTriggerMode(w) == static_cast<uint32_t>(ATM_GENERATOR)) return integer(0);
    return integer(read::exceededPeriodLimits(readNx<Nx::Process1_Trigger_Monitoring_ReadQueueStatus_Status>(w)));
}

// Busy unless the generator has reached its period with nothing left in the queue.
Answer softwareTriggerIsBusy(Board& w) {
    if (areaTriggerMode(w) != static_cast<uint32_t>(ATM_SOFTWARE)) return integer(0);
    const uint32_t reached = readNx<Nx::Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status>(w);
    const uint32_t queued = readNx<Nx::Process1_Trigger_TriggerCam0_Generators_QueueValue_Status>(w);
    return integer(reached != 0 && queued == 0 ? 0 : 1);
}

// Pulses waiting in the trigger queue; an empty queue whose generator is still within its
// period counts the pulse being output. The generator queues nothing, and neither does a
// trigger system stopped at once.
uint32_t triggerQueueDepth(Board& w) {
    const uint32_t mode = areaTriggerMode(w);
    // Mode 3 is none the setter accepts; it reads an empty queue, like the generator.
    if (mode == static_cast<uint32_t>(ATM_GENERATOR) || mode == 3 ||
        storedU32(w, SdkParameter::FG_TRIGGERSTATE) == static_cast<uint32_t>(TS_ASYNC_STOP)) {
        return 0;
    }
    if ((readNx<Nx::Process1_Trigger_Monitoring_ReadQueueStatus_Status>(w) & read::kTriggerQueueFullBit) != 0) {
        return read::kFullTriggerQueue;
    }
    const uint32_t queued = readNx<Nx::Process1_Trigger_TriggerCam0_Generators_QueueValue_Status>(w);
    if (queued != 0) return queued;
    return readNx<Nx::Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status>(w) != 0 ? 0 : 1;
}

Answer triggerQueueFillLevel(Board& w) { return integer(triggerQueueDepth(w)); }

// Every software trigger pulse is multiplied before it is queued.
Answer softwareTriggerQueueFillLevel(Board& w) {
    if (areaTriggerMode(w) != static_cast<uint32_t>(ATM_SOFTWARE)) return integer(0);
    return integer(triggerQueueDepth(w) * storedU32(w, SdkParameter::FG_TRIGGER_MULTIPLY_PULSES));
}

using ReadRuleTable = std::array<ReadRule, kSdkParameterCount>;

constexpr ReadRuleTable buildReadRules() {
    ReadRuleTable table{};
#define READ_RULE(name, rule) table[indexOf(SdkParameter::name)] = rule;
#include "applet/core/read_rules.def"
#undef READ_RULE
    return table;
}

constexpr ReadRuleTable kReadRules = buildReadRules();

// A row fits its parameter when the value it produces has the parameter's kind: texts for
// strings, NX reads in the type the parameter is written in, the caller's forwarding only for
// the parameters the runtime describes, stored values only where a setter stores them, NX reads
// only of registers the design lets the applet read.
constexpr bool ruleFits(const ReadRule& rule, const SdkParameterInfo& info) {
    const bool text = info.kind == ParameterKind::String;
    switch (rule.kind) {
    case ReadKind::Constant: return text == (rule.text != nullptr);
    case ReadKind::Stored: return isWritable(info.access);
    case ReadKind::Forwarded: return !text && (rule.callersArguments == (info.kind == ParameterKind::Forwarded));
    case ReadKind::Composite: return !text;
    case ReadKind::TextComposite: return text;
    case ReadKind::NxRead: break;
    }
    if (!nx::allows(nx::rowOf(rule.nx).access, nx::NxAccess::Read)) return false;
    const TypeCode typeCode = nx::rowOf(rule.nx).typeCode;
    if (rule.converted) return !text && typeCode == kTypeU32;
    switch (info.kind) {
    case ParameterKind::Integer:
    case ParameterKind::Enumeration: return typeCode == kTypeU32;
    case ParameterKind::Integer64: return typeCode == kTypeU64;
    case ParameterKind::Double: return typeCode == kTypeDouble;
    case ParameterKind::String: return typeCode == kTypeText;
    case ParameterKind::Forwarded: return false;
    }
    return false;
}

constexpr bool readRulesFit() {
    for (size_t i = 0; i < kSdkParameterCount; ++i) {
        if (!ruleFits(kReadRules[i], kSdkParameters[i])) return false;
    }
    return true;
}
static_assert(readRulesFit(), "every read rule produces a value of its parameter's kind");

// The read path has no answer for a parameter without a row, so a missing row must not build.
constexpr bool everyParameterHasOneRow() {
    std::array<int, kSdkParameterCount> rows{};
#define READ_RULE(name, rule) ++rows[indexOf(SdkParameter::name)];
#include "applet/core/read_rules.def"
#undef READ_RULE
    for (const int count : rows) {
        if (count != 1) return false;
    }
    return true;
}
static_assert(everyParameterHasOneRow(), "every SDK parameter has exactly one read rule");

// Bytes written for a number: the parameter's own width, not the caller's type code.
size_t widthOf(ParameterKind kind) {
    return kind == ParameterKind::Integer64 || kind == ParameterKind::Double ? sizeof(uint64_t) : sizeof(uint32_t);
}

// NX reads land in a cleared temporary, so that a failed read leaves the caller's value alone.
StoredValue readNxNumber(Board& w, const ReadRule& rule) {
    StoredValue raw;
    raw.u64 = 0;
    nx::readNxInRowType(w, rule.nx, &raw);
    return rule.converted ? rule.convert(raw.u32) : raw;
}

Answer numberOf(Board& w, SdkParameter p, const ReadRule& rule) {
    switch (rule.kind) {
    case ReadKind::Constant: return integer(rule.number);
    case ReadKind::Stored: return w.values()[p];
    case ReadKind::NxRead: return readNxNumber(w, rule);
    case ReadKind::Composite: return rule.compose(w);
    case ReadKind::Forwarded:
    case ReadKind::TextComposite: break;
    }
    throw errors::kInvalidParameter;
}

void readText(Board& w, SdkParameter p, const ReadRule& rule, const ReadRequest& request) {
    switch (rule.kind) {
    case ReadKind::Constant: copyReadText(rule.text, request.text, request.textCapacity); return;
    case ReadKind::Stored: copyReadText(w.values().text(p).c_str(), request.text, request.textCapacity); return;
    case ReadKind::NxRead: nx::readNxInRowType(w, rule.nx, request.text); return;
    case ReadKind::TextComposite: rule.composeText(w, request.text, request.textCapacity); return;
    case ReadKind::Forwarded:
    case ReadKind::Composite: break;
    }
    throw errors::kInvalidParameter;
}

}  // namespace

void runReadRule(Board& w, SdkParameter p, const ReadRequest& request) {
    const ReadRule& rule = kReadRules[indexOf(p)];
    const SdkParameterInfo& info = infoOf(p);
    // Most reads are of stored numbers: straight from the store, without the answer's detour.
    if (rule.kind == ReadKind::Stored && info.kind != ParameterKind::String) {
        std::memcpy(request.value, &w.values()[p], widthOf(info.kind));
    } else if (info.kind == ParameterKind::String) {
        readText(w, p, rule, request);
    } else if (rule.kind == ReadKind::Forwarded) {
        askRuntime(w, info.id, request.value, rule.callersArguments ? request.dma : rule.dma,
                   rule.callersArguments ? request.type : rule.type);
    } else if (const Answer answer = numberOf(w, p, rule)) {
        std::memcpy(request.value, &*answer, widthOf(info.kind));
    }
}

void describeParameterByName(const Board& w, const char* name, const ReadRequest& request) {
    // The name is done with once looked up: with a caller's buffer the answer overwrites it.
    const char* description = w.registry().descriptionOf(name);
    copyReadText(description != nullptr ? description : "-", request.text, request.textCapacity);
}

void copyReadText(const char* text, char* destination, size_t capacity) {
    size_t length = std::strlen(text);
    if (length > capacity) length = capacity;
    std::memmove(destination, text, length);
    if (length < capacity) destination[length] = '\0';
}

}  // namespace vexo::applet
