// The write operation seen by an application: the three id ranges, the DMA check, read-only and
// unknown parameters, the value read in the parameter's own type whatever the caller's type
// code, the last error it leaves, and NX accesses with ids the runtime did not know.
#include <cstdint>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "vexo_sim.h"

namespace {

using board::callsNamed;
using board::nxWrites;
using board::NxWrite;
using board::OpenBoard;

constexpr int32_t kInvalid = -2070;
constexpr int32_t kReadOnly = -12;
constexpr int32_t kOutOfRange = -6000;

constexpr int32_t kTriggerInSource = 8110;   // FG_TRIGGERIN_SRC, u32
constexpr int32_t kTriggerInDebounce = 300204;  // FG_TRIGGERIN_DEBOUNCE, double
constexpr const char* kInputSelect = "Device1_Process1_Trigger_TriggerCam0_InputSelect_Select_Value";
constexpr const char* kDebounce = "Device1_Process1_Trigger_TriggerInput_Debounce8_Prescale_Period";

size_t runtimeWriteCount() { return callsNamed("Fg_setParameterWithType").size(); }

// Opens board 0 after `prepare` has injected its failures into the freshly reset board.
template <typename Prepare>
void* openPrepared(Prepare&& prepare, uint32_t flags = 0) {
    SimCtl_Reset();
    SimHap_Reset();
    SimHw_Reset();
    prepare();
    return Fg_InitEx("Orvanta", 0, flags);
}

}  // namespace

TEST_CASE("ids above 2000000 go to the runtime unchanged but for the offset") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    SimCtl_ClearCalls();
    SimCtl_FailCall("Fg_setParameterWithType", -4242, -4242);
    const double value = 2.5;
    CHECK_EQ(Fg_setParameterWithType(board.fg, 2000005, &value, 3, 5), -4242);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -4242);
    SimCtl_FailCall("Fg_setParameterWithType", 0, 0);
    const std::vector<SimCall> calls = callsNamed("Fg_setParameterWithType");
    REQUIRE_EQ(calls.size(), size_t{1});
    CHECK_EQ(calls[0].id, 5);
    CHECK_EQ(calls[0].typeCode, 5);
    CHECK_EQ(calls[0].dma, 3u);
}

TEST_CASE("refused writes: null value, foreign DMA, read-only and unknown ids") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    SimCtl_ClearCalls();
    for (const int32_t id : {2000005, 1000048, kTriggerInSource}) {
        CHECK_EQ(Fg_setParameterWithType(board.fg, id, nullptr, 0, 2), kInvalid);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), kInvalid);
    }
    const uint32_t source = 1;
    CHECK_EQ(Fg_setParameterWithType(board.fg, kTriggerInSource, &source, 1, 2), kInvalid);
    CHECK_EQ(runtimeWriteCount(), size_t{0});

    // FG_CAMSTATUS, FG_PARAM_DESCR (read path only) and a parameter the runtime answers.
    for (const int32_t id : {2000, 24114, 3050}) {
        CHECK_EQ(Fg_setParameterWithType(board.fg, id, &source, 0, 2), kReadOnly);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), kReadOnly);
    }
    // No such id, and a register id while direct register access is off.
    for (const int32_t id : {1, 1000010, 999999}) {
        CHECK_EQ(Fg_setParameterWithType(board.fg, id, &source, 0, 2), kInvalid);
    }
    CHECK_EQ(runtimeWriteCount(), size_t{0});
}

TEST_CASE("an SDK write reads the value in the parameter's own type and reaches its setter") {
    OpenBoard board;
    REQUIRE(board.fg != nullptr);
    SimCtl_ClearCalls();
    // Type code 2 given, but FG_TRIGGERIN_DEBOUNCE is a double: 1.0 us is 42 prescaler ticks.
    const double debounce = 1.0;
    CHECK_EQ(Fg_setParameterWithType(board.fg, kTriggerInDebounce, &debounce, 0, 2), 0);
    CHECK((nxWrites() == std::vector<NxWrite>{{kDebounce, 42}}));
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);

    SimCtl_ClearCalls();
    const uint32_t frontGpi1 = 17;
    CHECK_EQ(Fg_setParameterWithType(board.fg, kTriggerInSource, &frontGpi1, 0, 6), 0);
    CHECK((nxWrites() == std::vector<NxWrite>{{kInputSelect, 9}}));

    // The setter's refusal and a failing NX write come back as the result and the last error.
    const uint32_t noSuchInput = 8;
    CHECK_EQ(Fg_setParameterWithType(board.fg, kTriggerInSource, &noSuchInput, 0, 2), kOutOfRange);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), kOutOfRange);
    SimCtl_FailNxWrite(kInputSelect, -3333);
    CHECK_EQ(Fg_setParameterWithType(board.fg, kTriggerInSource, &frontGpi1, 0, 2), -3333);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -3333);
}

TEST_CASE("start-up writes the initial values through the setters unless flag bit 0 is set") {
    {
        OpenBoard board;
        REQUIRE(board.fg != nullptr);
        const std::vector<NxWrite> writes = nxWrites();
        size_t debounceAt = writes.size();
        size_t sourceAt = writes.size();
        for (size_t i = 0; i < writes.size(); ++i) {
            if (writes[i].name == kDebounce && debounceAt == writes.size()) debounceAt = i;
            if (writes[i].name == kInputSelect && sourceAt == writes.size()) sourceAt = i;
        }
        // FG_TRIGGERIN_DEBOUNCE = 1.0 is applied before FG_TRIGGERIN_SRC = 0, as listed.
        REQUIRE(debounceAt < writes.size());
        CHECK_EQ(writes[debounceAt].value, uint64_t{42});
        CHECK(debounceAt < sourceAt);
    }
    OpenBoard skipped(1);
    REQUIRE(skipped.fg != nullptr);
    CHECK(board::nxWrites() == board::debugStepClearWrites());
}

TEST_CASE("a failing NX write during start-up is ignored and the next values still go out") {
    void* fg = openPrepared([] { SimCtl_FailNxWrite(kDebounce, -3333); });
    REQUIRE(fg != nullptr);
    bool sourceWritten = false;
    for (const NxWrite& write : nxWrites()) sourceWritten = sourceWritten || write.name == kInputSelect;
    CHECK(sourceWritten);
    Fg_FreeGrabber(fg);
}

TEST_CASE("an NX name the runtime does not know keeps its id, and accesses pass it on") {
    void* fg = openPrepared([] { SimCtl_HideNxName(kDebounce); });
    REQUIRE(fg != nullptr);
    SimCtl_ClearCalls();
    const double debounce = 1.0;
    const int32_t result = Fg_setParameterWithType(fg, kTriggerInDebounce, &debounce, 0, 5);
    const std::vector<SimCall> calls = callsNamed("Fg_setParameterWithType");
    REQUIRE_EQ(calls.size(), size_t{1});
    CHECK_EQ(calls[0].id, 0);
    // Whatever the runtime answers for id 0 is the write's result.
    CHECK_EQ(int64_t{result}, calls[0].result);
    CHECK(result != 0);
    Fg_FreeGrabber(fg);
}

CHECK_MAIN
