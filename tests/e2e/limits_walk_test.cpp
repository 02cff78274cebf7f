// Every writable parameter against the limits its own description record publishes: the ends of
// its range are taken and read back, one step beyond either end is refused and changes nothing,
// every enumeration entry is taken and a value that is no entry is refused.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "trigger_board.h"

namespace {

constexpr int32_t kOutOfRange = -6000;
constexpr int32_t kTimingInconsistent = -2079;
constexpr int32_t kNotSoftwareTriggerMode = -2140;
constexpr double kAsWritten = std::numeric_limits<double>::quiet_NaN();
// 2^32 - 1 ticks of 8 ns hold 34359738.36 us; 68000000 us wrap to 4205032704 ticks.
constexpr double kWrappedWidth = 4205032704 * 8 / 1000.0;

// A write that the record's limits cannot predict, in one board state (nullptr: in every state
// walked); a '?' in the parameter stands for any one character. "state" rows answer so for a
// reason no single limit can show; "fault" rows are records that publish a limit or access their
// setter does not keep.
struct Exception {
    const char* state;
    const char* parameter;
    const char* probe;
    int32_t result;
    double readBack;  // read back instead of the value written
    const char* kind;
};

// clang-format off
constexpr Exception kExceptions[] = {
    // The count can only be sent in Software mode; start-up leaves Generator mode.
    {"start-up", "FG_SENDSOFTWARETRIGGER", "min", kNotSoftwareTriggerMode, kAsWritten, "state"},
    {"start-up", "FG_SENDSOFTWARETRIGGER", "max", kNotSoftwareTriggerMode, kAsWritten, "state"},
    // A generator's delay and width, divided by its downscale, must stay inside the trigger
    // period, which at the start-up rate is far below the records' maxima.
    {"start-up", "FG_TRIGGER_PULSEFORMGEN?_DELAY", "max", kTimingInconsistent, kAsWritten, "state"},
    {"start-up", "FG_TRIGGER_PULSEFORMGEN?_WIDTH", "max", kTimingInconsistent, kAsWritten, "state"},
    // The same check the other way round: the shortest width a generator takes (1 us / 7)
    // outlasts the 80 ns period of the fastest rate in every state the setters can reach.
    {nullptr, "FG_TRIGGER_FRAMESPERSECOND", "max", kTimingInconsistent, kAsWritten, "state"},
    // Sizes round up to the simulator's processing width of 32 pixels.
    {nullptr, "FG_CAMERASIMULATOR_WIDTH", "min", 0, 32, "state"},

    // The record's maximum stays 10; the setter takes only the entries the design announces (2).
    {nullptr, "FG_DEBUGSOURCE", "max", kOutOfRange, kAsWritten, "fault"},
    // The record's maximum stays 255; the setter takes only values below the stored period (1).
    {nullptr, "FG_IMG_SELECT", "max", kOutOfRange, kAsWritten, "fault"},
    // The rate maxima are refreshed after size changes only, not after start-up or a mode change.
    {"start-up", "FG_CAMERASIMULATOR_FRAMERATE", "max", kOutOfRange, kAsWritten, "fault"},
    {"line rate", "FG_CAMERASIMULATOR_LINERATE", "max", kOutOfRange, kAsWritten, "fault"},
    // The record ranges from 0 to 2000 MHz; the setter refuses below about 1 MHz and takes 4000.
    {"pixel frequency", "FG_CAMERASIMULATOR_PIXEL_FREQUENCY", "min", kOutOfRange, kAsWritten, "fault"},
    {"pixel frequency", "FG_CAMERASIMULATOR_PIXEL_FREQUENCY", "max+inc", 0, 2000, "fault"},
    // The record's maximum does not fit the 32-bit tick register: the width is taken and wraps.
    {"slowest rate", "FG_TRIGGER_PULSEFORMGEN?_WIDTH", "max", 0, kWrappedWidth, "fault"},
    // Writable in the record although entry 0 has no monitor: "On" is taken and reads back 0.
    {"start-up", "FG_DEBUGOUTENABLE", "entry 1", 0, 0, "fault"},
};
// clang-format on

bool namedBy(const char* pattern, const std::string& name) {
    return std::equal(name.begin(), name.end(), pattern, pattern + std::strlen(pattern),
                      [](char n, char p) { return p == '?' || p == n; });
}

const Exception* exceptionFor(const std::string& state, const std::string& parameter, const std::string& probe) {
    for (const Exception& e : kExceptions) {
        if ((e.state == nullptr || state == e.state) && namedBy(e.parameter, parameter) && probe == e.probe) return &e;
    }
    return nullptr;
}

// One write of the walk; an integer probe uses `integer`, a double probe `real`.
struct Probe {
    std::string what;
    uint64_t integer;
    double real;
    bool accepted;  // what the record says
};

// The probes of a record as it stands now: min, max, one step beyond each where the type has a
// step and the step does not wrap, or every entry and the smallest non-negative value that is none.
// A double step too fine to move the limit moves it to the next double.
std::vector<Probe> probesOf(const ParameterInfoNode& r) {
    std::vector<Probe> probes;
    const auto& v = r.value;
    if (r.type == PARAM_INFO_UINT32 || r.type == PARAM_INFO_UINT64) {
        const bool wide = r.type == PARAM_INFO_UINT64;
        const uint64_t min = wide ? v.u64.min : v.u32.min, max = wide ? v.u64.max : v.u32.max;
        const uint64_t inc = wide ? v.u64.inc : v.u32.inc, top = wide ? UINT64_MAX : UINT32_MAX;
        probes.push_back({"min", min, 0, true});
        probes.push_back({"max", max, 0, true});
        if (inc != 0 && max <= top - inc) probes.push_back({"max+inc", max + inc, 0, false});
        if (inc != 0 && min >= inc) probes.push_back({"min-inc", min - inc, 0, false});
    } else if (r.type == PARAM_INFO_DOUBLE) {
        probes.push_back({"min", 0, v.dbl.min, true});
        probes.push_back({"max", 0, v.dbl.max, true});
        if (v.dbl.inc != 0) {
            const double above = std::max(v.dbl.max + v.dbl.inc, std::nextafter(v.dbl.max, INFINITY));
            const double below = std::min(v.dbl.min - v.dbl.inc, std::nextafter(v.dbl.min, -INFINITY));
            probes.push_back({"max+inc", 0, above, false});
            probes.push_back({"min-inc", 0, below, false});
        }
    } else if (r.type == PARAM_INFO_ENUM) {
        const std::set<int32_t> entries(v.enumeration.entryValues,
                                        v.enumeration.entryValues + v.enumeration.entryCount);
        for (const int32_t e : entries) probes.push_back({"entry " + std::to_string(e), uint32_t(e), 0, true});
        int32_t none = 0;
        while (entries.count(none) != 0) ++none;
        probes.push_back({"no entry", static_cast<uint32_t>(none), 0, false});
    }
    return probes;
}

// The parameter's own type code: 32-bit integers and enumerations 2, 64-bit integers 4, doubles 5.
int32_t typeCodeOf(const ParameterInfoNode& r) {
    return r.type == PARAM_INFO_DOUBLE ? 5 : r.type == PARAM_INFO_UINT64 ? 4 : 2;
}

// A value in the caller's bytes: the first four of `bytes` for code 2, all eight otherwise.
struct Value {
    int32_t code = 2;
    uint64_t bytes = 0;

    static Value of(int32_t code, uint64_t integer, double real) {
        Value v{code, code == 2 ? static_cast<uint32_t>(integer) : integer};
        if (code == 5) std::memcpy(&v.bytes, &real, sizeof real);
        return v;
    }
    double real() const {
        double d = 0;
        std::memcpy(&d, &bytes, sizeof d);
        return d;
    }
    std::string text() const { return code == 5 ? testing::PrintToString(real()) : std::to_string(bytes); }
};

Value read(void* fg, int32_t id, int32_t code) {
    Value v{code, 0};
    EXPECT_EQ(Fg_getParameterWithType(fg, id, &v.bytes, 0, code), 0);
    return v;
}

// A double reads back as the registers hold it: within the record's step, or one part in a
// million where the register counts clocks of a rate.
bool readsBackAs(const Value& got, const Value& written, const ParameterInfoNode& r) {
    if (got.code != 5) return got.bytes == written.bytes;
    const double w = written.real();
    return std::fabs(got.real() - w) <= std::max(r.value.dbl.inc, std::fabs(w) * 1e-6);
}

struct Setting {
    const char* parameter;
    double value;
};

// A board opened and brought into a state through the same writes an application makes.
struct StateBoard : board::OpenBoard {
    explicit StateBoard(const std::vector<Setting>& settings) {
        EXPECT_NE(fg, nullptr);
        for (const Setting& s : settings) {
            if (fg == nullptr) break;
            const ParameterInfoNode r = trigger_test::record(fg, s.parameter);
            const Value v = Value::of(typeCodeOf(r), static_cast<uint64_t>(s.value), s.value);
            EXPECT_EQ(Fg_setParameterWithType(fg, r.id, &v.bytes, 0, v.code), 0) << s.parameter;
        }
    }
};

// The exception rows some walk of this process matched.
std::set<const Exception*> matched;

// Writes one probe of a record and checks the answer and the value read before and after.
void writeProbe(void* fg, const std::string& state, const ParameterInfoNode& record, const Probe& probe) {
    const Value value = Value::of(typeCodeOf(record), probe.integer, probe.real);
    SCOPED_TRACE(probe.what + " = " + value.text());
    const Exception* exception = exceptionFor(state, record.parameterName, probe.what);
    if (exception != nullptr) matched.insert(exception);
    const int32_t expected = exception != nullptr ? exception->result : probe.accepted ? 0 : kOutOfRange;

    const Value before = read(fg, record.id, value.code);
    EXPECT_EQ(Fg_setParameterWithType(fg, record.id, &value.bytes, 0, value.code), expected);
    const Value after = read(fg, record.id, value.code);
    if (expected != 0) {
        EXPECT_EQ(after.text(), before.text()) << "a refused write changed the value";
        return;
    }
    Value back = value;
    if (exception != nullptr && !std::isnan(exception->readBack)) {
        back = Value::of(value.code, static_cast<uint64_t>(exception->readBack), exception->readBack);
    }
    EXPECT_TRUE(readsBackAs(after, back, record)) << "read back " << after.text();
}

// Walks every writable parameter whose name starts with `prefix`, each on a board of its own in
// the state the settings make, so that no other parameter's writes reach it; the limits are
// taken from the record right before each write. Answers the number of writes.
size_t walk(const char* state, const std::vector<Setting>& settings, const std::string& prefix = "FG_") {
    SCOPED_TRACE(state);
    std::vector<std::string> names;
    {
        StateBoard board(settings);
        if (board.fg == nullptr) return 0;
        trigger_test::forEachRecord(board.fg, [&](const ParameterInfoNode& r) {
            const bool walked = (r.access & 2U) != 0 && std::string(r.parameterName).rfind(prefix, 0) == 0;
            if (walked && !probesOf(r).empty()) names.push_back(r.parameterName);
        });
    }
    EXPECT_FALSE(names.empty());
    size_t writes = 0;
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        StateBoard board(settings);
        if (board.fg == nullptr) return writes;
        // Each write may move this record's own limits only through the value it leaves.
        for (size_t i = 0; i < probesOf(trigger_test::record(board.fg, name)).size(); ++i, ++writes) {
            const ParameterInfoNode current = trigger_test::record(board.fg, name);
            writeProbe(board.fg, state, current, probesOf(current)[i]);
        }
    }
    return writes;
}

// Every exception row of these states was met: a row that no longer matches hides nothing.
void expectEveryExceptionMet(std::initializer_list<const char*> states) {
    for (const Exception& e : kExceptions) {
        for (const std::string state : states) {
            if (state != (e.state != nullptr ? e.state : "start-up")) continue;
            EXPECT_EQ(matched.count(&e), 1U) << e.kind << " row not met: " << e.parameter << " " << e.probe;
        }
    }
}

}  // namespace

// 74 parameters, 729 writes.
TEST(LimitsWalk, AllWritableParametersAfterStartUp) {
    EXPECT_GT(walk("start-up", {}), size_t{700});
    expectEveryExceptionMet({"start-up"});
}

// The simulator's other two timing modes make other rates and gaps writable.
TEST(LimitsWalk, CameraSimulatorInPixelFrequencyAndLineRateModes) {
    walk("pixel frequency", {{"FG_CAMERASIMULATOR_SELECT_MODE", 0}}, "FG_CAMERASIMULATOR_");
    walk("line rate", {{"FG_CAMERASIMULATOR_SELECT_MODE", 1}}, "FG_CAMERASIMULATOR_");
    expectEveryExceptionMet({"pixel frequency", "line rate"});
}

// At the slowest rate with every generator counting every second pulse, the generators' whole
// ranges fit into the period.
TEST(LimitsWalk, PulseFormGeneratorsAtTheSlowestRate) {
    walk("slowest rate",
         {{"FG_TRIGGER_FRAMESPERSECOND", 0.0291038304567337},
          {"FG_TRIGGER_PULSEFORMGEN0_DOWNSCALE", 2},
          {"FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 2},
          {"FG_TRIGGER_PULSEFORMGEN2_DOWNSCALE", 2},
          {"FG_TRIGGER_PULSEFORMGEN3_DOWNSCALE", 2}},
         "FG_TRIGGER_PULSEFORMGEN");
    expectEveryExceptionMet({"slowest rate"});
}

// Software mode, triggering, with the queue on: the count's range is that of the queue.
TEST(LimitsWalk, SoftwareTriggerWithTheQueueOn) {
    EXPECT_EQ(walk("software", {{"FG_AREATRIGGERMODE", 4}, {"FG_TRIGGERQUEUE_MODE", 1}, {"FG_TRIGGERSTATE", 0}},
                   "FG_SENDSOFTWARETRIGGER"),
              size_t{4});
}

// The second debug entry has a monitor: its output switch is writable and reads back.
TEST(LimitsWalk, DebugParametersWithTheMonitorEntrySelected) {
    walk("monitor entry", {{"FG_DEBUGSOURCE", 1}}, "FG_DEBUG");
}
