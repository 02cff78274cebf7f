// Every writable SDK parameter, with every enumeration entry or one valid number, written while
// the nth NX write, NX read or other runtime call (and, where the applet shares the test's
// allocator, the nth allocation) fails. A setter that meets a failure answers the runtime's code
// (-2031 for the debug entries, whose setters turn every failure into it), keeps or restores its
// stored value and leaves the last error set; the NX writes it made before the failure stay made,
// by the design's rule, so other answers may move, but only those that a successful write of the
// same value moves too. Afterwards the same write succeeds: no lock was left held.
#include <new>
#include <string>
#include <vector>

#include "board_state.h"
#include "fault_sweep.h"
#include "orvanta_sim/runtime.h"

namespace {

using namespace faults;

constexpr int32_t kEntryFailure = -2031;

bool isDebugParameter(const Row& row) { return row.name.rfind("FG_DEBUG", 0) == 0; }

// The debug entries' configuration save stores its file name and calls the runtime's save, whose
// answer the design does not look at: the write succeeds whatever the runtime answered.
bool answerIgnored(const Row& row, Kind kind) { return row.name == "FG_DEBUGSAVECONFIG" && kind == Kind::RuntimeCall; }

// A write as the application makes it.
int32_t write(void* fg, const Row& row, const Value& value) {
    return Fg_setParameterWithType(fg, row.id, value.pointer(), 0, value.code);
}

// A write that start-up's state refuses is swept in a state that takes it.
struct Preparation {
    const char* parameter;
    std::vector<std::pair<const char*, uint32_t>> settings;
};
const Preparation kPreparations[] = {
    // A software trigger is sent only in software mode with the trigger active.
    {"FG_SENDSOFTWARETRIGGER", {{"FG_AREATRIGGERMODE", 4}, {"FG_TRIGGERSTATE", 0}}},
};

// A fresh board, in the state the parameter's writes need.
struct PreparedBoard : FreshBoard {
    explicit PreparedBoard(const Row& row) {
        for (const Preparation& p : kPreparations) {
            if (fg == nullptr || row.name != p.parameter) continue;
            for (const auto& [name, value] : p.settings) {
                if (Fg_setParameterWithType(fg, Fg_getParameterIdByName(fg, name), &value, 0, 2) != 0) {
                    ADD_FAILURE() << "preparing " << row.name << ": " << name;
                }
            }
        }
    }
};

// One parameter and value: what a clean write changes, and the sweeps of every kind it has
// places of.
struct WriteSweep {
    const Row& row;
    Value value;
    State before;
    std::set<std::string> changedByWrite;
    uint64_t places[6] = {};

    // False when the value is not taken: such a write has no path for a fault to take.
    bool prepare() {
        PreparedBoard board(row);
        if (board.fg == nullptr) return false;
        before = stateOf(board.fg);
        SimCtl_SetRecording(0);
        for (const Kind kind : kStandInKinds) plan(kind, 0, false);
        if (allocationsPlanned()) plan(Kind::Allocation, 0, false);
        const int32_t result = write(board.fg, row, value);
        for (const Kind kind : kStandInKinds) places[static_cast<int>(kind)] = calls(kind);
        if (allocationsPlanned()) places[static_cast<int>(Kind::Allocation)] = calls(Kind::Allocation);
        SimCtl_SetRecording(1);
        if (result != 0) return false;
        changedByWrite = differences(before, stateOf(board.fg));
        return true;
    }

    Attempted attempt(Kind kind, uint64_t nth, bool persistent) const {
        PreparedBoard board(row);
        Verdict verdict(what(row.name + " = " + value.shown(), kind, nth, persistent));
        if (!verdict.expect(board.fg != nullptr, "the board opens")) return {false, false};
        const auto [reached, result] = withFault(kind, nth, persistent, [&] { return write(board.fg, row, value); });
        if (!reached) return {false, verdict.expectEqual(result, 0, "a write that met no failure")};

        // The design gives no code for a lack of memory: such a write may fail or, where the
        // failure was the runtime's and its answer is not looked at, succeed.
        if (answerIgnored(row, kind)) {
            verdict.expectEqual(result, 0, "the write's answer, which does not look at the runtime's");
        } else if (kind != Kind::Allocation) {
            verdict.expectEqual(result, isDebugParameter(row) ? kEntryFailure : kInjected, "the write's answer");
            verdict.expectEqual(Fg_getLastErrorNumber(board.fg), result, "the last error");
        }
        for (const std::string& key : differences(before, stateOf(board.fg))) {
            const bool ownStoredValue = key == "value " + row.name && row.read == "stored" && result != 0;
            verdict.expect(!ownStoredValue, "the stored value is restored");
            verdict.expect(ownStoredValue || changedByWrite.count(key) != 0,
                           key + " changed, which a successful write does not change");
        }
        verdict.expectEqual(write(board.fg, row, value), 0, "the same write afterwards");
        return {true, verdict.passed()};
    }
};

// Every writable parameter and value; `kinds` are swept where the write has places.
void sweepWrites(Tally& tally, std::initializer_list<Kind> kinds) {
    std::string refused;
    for (const Row& row : sdkParameters()) {
        if (!row.writable()) continue;
        std::vector<Value> values;
        {
            PreparedBoard board(row);
            ASSERT_NE(board.fg, nullptr);
            values = valuesToWrite(board.fg, row);
        }
        EXPECT_FALSE(values.empty()) << row.name;
        bool numberTaken = false;
        for (const Value& value : values) {
            if (value.alternative && numberTaken) continue;
            SCOPED_TRACE(row.name + " = " + value.shown());
            WriteSweep write{row, value, {}, {}, {}};
            if (!write.prepare()) {
                refused += " " + row.name + "=" + value.shown();
                continue;
            }
            numberTaken = true;
            ++tally.runs;
            for (const Kind kind : kinds) {
                if (write.places[static_cast<int>(kind)] == 0) continue;
                sweep(tally, kind, [&](Kind k, uint64_t nth, bool persistent) { return write.attempt(k, nth, persistent); });
            }
        }
    }
    // A number the setter refuses is followed by the value held now; a refused entry is not swept.
    std::printf("fault sweep: %s: writes refused on a fresh board:%s\n", tally.operation.c_str(), refused.c_str());
    EXPECT_GT(tally.runs, 0u);
    EXPECT_EQ(tally.survived, tally.tried);
}

}  // namespace

TEST(FaultSweep, ParameterWritesMeetingRuntimeFailures) {
    Tally tally("parameter writes, runtime failures");
    sweepWrites(tally, {Kind::NxWrite, Kind::NxRead, Kind::RuntimeCall, Kind::RegisterAccess, Kind::HapCall});
    EXPECT_GT(tally.tried, 0u);
}

TEST(FaultSweep, ParameterWritesMeetingAllocationFailures) {
    if (!allocationsPlanned()) GTEST_SKIP() << "the applet does not share this executable's allocator";
    Tally tally("parameter writes, allocation failures");
    sweepWrites(tally, {Kind::Allocation});
}

// The hot paths allocate nothing, in the applet or below it: reads of stored values of each width
// (FG_WIDTH, FG_TIMEOUT, FG_TRIGGERIN_SRC, FG_PIXELFORMAT signed, FG_DEBUGWRITEPIXEL 64-bit,
// FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR) and a successful FG_WIDTH write.
TEST(HeapUse, ReadingStoredValuesAndASuccessfulWidthWriteAllocateNothing) {
    if (!allocationsPlanned()) GTEST_SKIP() << "the applet does not share this executable's allocator";
    FreshBoard board;
    ASSERT_NE(board.fg, nullptr);
    uint64_t value = 0;
    uint32_t width = 512;
    int32_t failures = 0;
    const auto readAll = [&] {
        for (const int32_t id : {100, 600, 8110, 200368, 900010, 300203}) {
            for (const int32_t type : {2, 4, 5}) failures += Fg_getParameterWithType(board.fg, id, &value, 0, type) != 0;
        }
    };
    const auto writeWidth = [&] { failures += Fg_setParameterWithType(board.fg, 100, &width, 0, 2) != 0; };
    const auto allocationsDuring = [](auto&& body) {
        SimCtl_SetRecording(0);
        plan(Kind::Allocation, 0, false);
        body();
        const uint64_t counted = calls(Kind::Allocation);
        SimCtl_SetRecording(1);
        return counted;
    };
    // Whatever is set up on first use is not the cost of a read or write.
    readAll();
    writeWidth();
    width = 2048;
    EXPECT_EQ(allocationsDuring(readAll), 0u);
    EXPECT_EQ(allocationsDuring(writeWidth), 0u);
    EXPECT_EQ(failures, 0);

    // The count does see the applet's own allocations: a string handed out (FG_HAP_FILE) is one.
    char* text = nullptr;
    EXPECT_GT(allocationsDuring([&] { Fg_getParameterWithType(board.fg, 24108, &text, 0, 22); }), 0u);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Fg_freeParameterStringWithType(board.fg, 24108, text, 0, 22), 0);
}
