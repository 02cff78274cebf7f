// The applet's other operations, each run with the nth call of every kind failing: opening and
// closing a board, loading and saving a configuration, the XML description, the description
// tree, the event queries and an acquisition with its frame calls. After every run the board is
// checked against what the design lets the failure change, and then used again.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <new>
#include <sstream>
#include <string>
#include <vector>

#include "board_state.h"
#include "fault_sweep.h"
#include "orvanta_sim/runtime.h"
#include "test_process.h"

namespace {

using namespace faults;

constexpr int32_t kLoadFailed = -5000;

// Every kind the stand-ins count, and allocations where they can be failed.
std::vector<Kind> everyKind() {
    std::vector<Kind> kinds(std::begin(kStandInKinds), std::end(kStandInKinds));
    if (allocationsPlanned()) kinds.push_back(Kind::Allocation);
    return kinds;
}

std::string fileText(const char* name) {
    std::ifstream file(name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Whether every line of `part` is a whole line of `whole`, in the same order.
bool linesWithin(const std::string& part, const std::string& whole) {
    const std::vector<std::string> some = linesOf(part), all = linesOf(whole);
    size_t at = 0;
    for (const std::string& line : some) {
        while (at < all.size() && all[at] != line) ++at;
        if (at++ >= all.size()) return false;
    }
    return part.empty() || part.back() == '\n';
}

// A board whose settings differ from start-up's in every subsystem, as a configuration carries.
struct Setting {
    const char* name;
    double value;
};
constexpr Setting kSettings[] = {
    {"FG_TIMEOUT", 7},
    {"FG_WIDTH", 512},
    {"FG_HEIGHT", 256},
    {"FG_FORMAT", 6},  // FG_GRAY16
    {"FG_CAMERASIMULATOR_ENABLE", 1},
    {"FG_CAMERASIMULATOR_SELECT_MODE", 0},
    {"FG_CAMERASIMULATOR_PATTERN", 1},
    {"FG_TRIGGER_FRAMESPERSECOND", 20},
    {"FG_TRIGGER_PULSEFORMGEN1_DOWNSCALE", 2},
    {"FG_TRIGGEROUT_SELECT_GPO_3", 60},
    {"FG_AREATRIGGERMODE", 4},  // ATM_SOFTWARE
};

void applySettings(void* fg) {
    for (const Setting& s : kSettings) {
        const int32_t id = Fg_getParameterIdByName(fg, s.name);
        const ParameterInfoNode record = recordOf(fg, s.name);
        if (record.type == PARAM_INFO_DOUBLE) {
            EXPECT_EQ(Fg_setParameterWithType(fg, id, &s.value, 0, 5), 0) << s.name;
        } else {
            const uint32_t value = static_cast<uint32_t>(s.value);
            EXPECT_EQ(Fg_setParameterWithType(fg, id, &value, 0, 2), 0) << s.name;
        }
    }
}

const Row* rowOf(const std::string& key) {
    const std::string name = key.substr(key.find(' ') + 1);
    for (const Row& row : sdkParameters()) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

// A value the applet stores and answers as stored.
bool keptByTheApplet(const std::string& key) {
    const Row* row = rowOf(key);
    return key.rfind("value ", 0) == 0 && row != nullptr && row->read == "stored";
}

// A description record, or the value of a parameter an application sets.
bool configured(const std::string& key) {
    const Row* row = rowOf(key);
    return key.rfind("record ", 0) == 0 || (row != nullptr && row->writable());
}

void runSweeps(Tally& tally, const Attempt& attempt) {
    ++tally.runs;
    for (const Kind kind : everyKind()) sweep(tally, kind, attempt);
    EXPECT_GT(tally.tried, 0u);
    EXPECT_EQ(tally.survived, tally.tried);
}

}  // namespace

// Direct register access on for the boards opened while it lives: start-up then asks the HAP
// runtime for every register, and the register ids reach the hardware library.
struct DirectRegisterAccess {
    DirectRegisterAccess() { test_process::setEnvironment("VEXO_ENABLE_DRA", "1"); }
    ~DirectRegisterAccess() { test_process::unsetEnvironment("VEXO_ENABLE_DRA"); }
};

// Opening (Std_entry, through the runtime's open) either gives a board that works or refuses
// cleanly; either way, once the board is closed no HAP handle and no inner handle is left. With
// direct register access on, start-up asks the HAP runtime about every register as well.
TEST(FaultSweep, OpeningABoard) {
    Tally tally("opening and closing a board");
    const Attempt attempt = [](Kind kind, uint64_t nth, bool persistent) -> Attempted {
        Verdict verdict(what("opening", kind, nth, persistent));
        SimCtl_SetVirtualClock(1);
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        void* fg = nullptr;
        const bool reached = withFault(kind, nth, persistent, [&] {
                                 fg = Fg_InitEx("Orvanta", 0, 0);
                                 return 0;
                             }).reached;
        if (fg == nullptr) {
            verdict.expect(Fg_getLastErrorNumber(nullptr) != 0 || kind == Kind::Allocation, "a refused open's error");
        } else {
            uint32_t timeout = 0;
            verdict.expectEqual(Fg_getParameterWithType(fg, 600, &timeout, 0, 2), 0, "a read on the opened board");
            timeout = 5;
            verdict.expectEqual(Fg_setParameterWithType(fg, 600, &timeout, 0, 2), 0, "a write on the opened board");
            verdict.expectEqual(Fg_FreeGrabber(fg), 0, "closing the board");
        }
        verdict.expectEqual(SimHap_LiveHandles(), 0, "HAP handles left open");
        verdict.expectEqual(SimCtl_OpenInnerHandles(), 0, "inner handles left open");
        FreshBoard again;
        verdict.expect(again.fg != nullptr, "the next open");
        return {reached, verdict.passed()};
    };
    runSweeps(tally, attempt);
    DirectRegisterAccess on;
    runSweeps(tally, attempt);
}

// A register written and read back through direct register access: the HAP runtime gives the
// register's width, the hardware library does the access. A failed access answers the library's
// code; a failed width query makes the access a 32-bit one, by the design's rule.
TEST(FaultSweep, DirectRegisterAccess) {
    DirectRegisterAccess on;
    int32_t id = 0;
    {
        FreshBoard board;
        ASSERT_NE(board.fg, nullptr);
        for (const auto& [key, text] : stateOf(board.fg)) {
            if (key.rfind("record DRA_", 0) != 0 || id != 0) continue;
            const ParameterInfoNode r = recordOf(board.fg, key.substr(7));
            if ((r.access & 2U) != 0 && r.id > 1000000) id = r.id;
        }
        ASSERT_NE(id, 0) << "no writable register";
    }
    Tally tally("direct register access");
    runSweeps(tally, [id](Kind kind, uint64_t nth, bool persistent) -> Attempted {
        Verdict verdict(what("a register", kind, nth, persistent));
        FreshBoard board;
        if (!verdict.expect(board.fg != nullptr, "the board opens")) return {false, false};
        const uint32_t value = 5;
        uint64_t read = 0;
        int32_t wrote = kAllocationFailed, got = kAllocationFailed;
        const bool reached = withFault(kind, nth, persistent, [&] {
                                 wrote = Fg_setParameterWithType(board.fg, id, &value, 0, 2);
                                 got = Fg_getParameterWithType(board.fg, id, &read, 0, 4);
                                 return 0;
                             }).reached;
        if (kind != Kind::Allocation) {
            verdict.expect(wrote == 0 || wrote == kInjected, "the write's answer: " + std::to_string(wrote));
            verdict.expect(got == 0 || got == kInjected, "the read's answer: " + std::to_string(got));
        }
        verdict.expect(wrote != 0 || got != 0 || read == value, "a register written and read back");
        read = 0;
        verdict.expectEqual(Fg_setParameterWithType(board.fg, id, &value, 0, 2), 0, "the next write");
        verdict.expectEqual(Fg_getParameterWithType(board.fg, id, &read, 0, 4), 0, "the next read");
        verdict.expectEqual(read, uint64_t{value}, "the register read next");
        return {reached, verdict.passed()};
    });
}

// Closing frees everything whatever the runtime answers on the way.
TEST(FaultSweep, ClosingABoard) {
    Tally tally("closing a board");
    runSweeps(tally, [](Kind kind, uint64_t nth, bool persistent) -> Attempted {
        Verdict verdict(what("closing", kind, nth, persistent));
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
        void* fg = Fg_InitEx("Orvanta", 0, 0);
        if (!verdict.expect(fg != nullptr, "the board opens")) return {false, false};
        const auto [reached, result] = withFault(kind, nth, persistent, [&] { return Fg_FreeGrabber(fg); });
        if (kind != Kind::Allocation && reached) verdict.expectEqual(result, kInjected, "closing's answer");
        verdict.expectEqual(SimHap_LiveHandles(), 0, "HAP handles left open");
        verdict.expectEqual(SimCtl_OpenInnerHandles(), 0, "inner handles left open");
        FreshBoard again;
        verdict.expect(again.fg != nullptr, "the next open");
        return {reached, verdict.passed()};
    });
}

// A failed load answers -5000 and leaves every answer as it was before or as a complete load
// leaves it (settings applied before the failure stay applied, by the design's rule); loading
// the file again then gives exactly the complete load's board.
TEST(FaultSweep, LoadingAConfiguration) {
    static const char* const kFile = "fault_sweep_load.mcf";
    State clean, before;
    {
        FreshBoard board;
        ASSERT_NE(board.fg, nullptr);
        applySettings(board.fg);
        ASSERT_EQ(Fg_saveConfig(board.fg, kFile), 0);
    }
    {
        FreshBoard board;
        before = stateOf(board.fg);
        ASSERT_EQ(Fg_loadConfig(board.fg, kFile), 0);
        clean = stateOf(board.fg);
        ASSERT_NE(clean, before);
    }
    Tally tally("loading a configuration");
    runSweeps(tally, [&](Kind kind, uint64_t nth, bool persistent) -> Attempted {
        Verdict verdict(what("loading", kind, nth, persistent));
        FreshBoard board;
        if (!verdict.expect(board.fg != nullptr, "the board opens")) return {false, false};
        const auto [reached, result] = withFault(kind, nth, persistent, [&] { return Fg_loadConfig(board.fg, kFile); });
        if (kind != Kind::Allocation && result != 0) {
            verdict.expectEqual(result, kLoadFailed, "the load's answer");
            verdict.expectEqual(Fg_getLastErrorNumber(board.fg), kLoadFailed, "the last error");
        }
        const State after = stateOf(board.fg);
        if (result == 0) {
            verdict.expect(after == clean, "a load that answers 0 applied the whole file");
        } else {
            // A parameter whose answer the applet keeps is as before or as loaded; one derived from
            // the registers may be neither, by the design's rule: the checking pass replaces stored
            // values whose setters the failure kept from running.
            for (const auto& [key, text] : after) {
                if (!keptByTheApplet(key)) continue;
                const auto was = before.find(key), loaded = clean.find(key);
                const bool asBefore = was != before.end() && was->second == text;
                const bool asLoaded = loaded != clean.end() && loaded->second == text;
                verdict.expect(asBefore || asLoaded, key + " is neither as before nor as loaded: " + text);
            }
        }
        verdict.expectEqual(Fg_loadConfig(board.fg, kFile), 0, "loading again");
        // The trigger queue's monitors follow the pulses the setters' order left queued: only the
        // configuration itself is compared.
        for (const std::string& key : differences(stateOf(board.fg), clean)) {
            verdict.expect(!configured(key), key + " differs from the complete load's after loading again");
        }
        return {reached, verdict.passed()};
    });
    std::remove(kFile);
}

// A save that meets a failure leaves out what it could not read and goes on, by the design's
// rule: the file holds whole lines of the complete file, in order, and the board is unchanged.
TEST(FaultSweep, SavingAConfiguration) {
    static const char* const kFile = "fault_sweep_save.mcf";
    std::string complete;
    {
        FreshBoard board;
        ASSERT_NE(board.fg, nullptr);
        applySettings(board.fg);
        ASSERT_EQ(Fg_saveConfig(board.fg, kFile), 0);
        complete = fileText(kFile);
    }
    Tally tally("saving a configuration");
    runSweeps(tally, [&](Kind kind, uint64_t nth, bool persistent) -> Attempted {
        Verdict verdict(what("saving", kind, nth, persistent));
        FreshBoard board;
        if (!verdict.expect(board.fg != nullptr, "the board opens")) return {false, false};
        applySettings(board.fg);
        const State before = stateOf(board.fg);
        std::remove(kFile);
        const auto [reached, result] = withFault(kind, nth, persistent, [&] { return Fg_saveConfig(board.fg, kFile); });
        if (kind != Kind::Allocation) verdict.expectEqual(result, 0, "the save's answer");
        verdict.expect(linesWithin(fileText(kFile), complete), "the file holds whole lines of the complete file");
        verdict.expect(stateOf(board.fg) == before, "the board is unchanged");
        verdict.expectEqual(Fg_saveConfig(board.fg, kFile), 0, "saving again");
        verdict.expectEqual(fileText(kFile), complete, "the file saved again");
        return {reached, verdict.passed()};
    });
    std::remove(kFile);
}

// The XML text is built anew on every call, from the applet's own records: it calls nothing, and
// its places are allocations. Under a failure the call fails or gives the usual text, never one
// cut short; the board is unchanged, and the next call gives the usual text. (The description
// walk and the event queries make no call and allocate nothing: they have no place to fail.)
TEST(FaultSweep, ParameterInfoXml) {
    static std::vector<char> buffer(1 << 22);
    const auto fetch = [](void* fg) {
        size_t size = 0;
        int32_t result = Fg_getParameterInfoXML(fg, 0, nullptr, &size);
        if (result == 0) result = size > buffer.size() ? -1 : Fg_getParameterInfoXML(fg, 0, buffer.data(), &size);
        // Made into text after the calls, so that the allocations counted are the applet's.
        return std::make_pair(result, size);
    };
    const auto textOf = [](size_t size) { return std::string(buffer.data(), size > 0 ? size - 1 : 0); };
    std::string clean;
    State before;
    {
        FreshBoard board;
        ASSERT_NE(board.fg, nullptr);
        before = stateOf(board.fg);
        const auto [result, size] = fetch(board.fg);
        ASSERT_EQ(result, 0);
        clean = textOf(size);
    }
    Tally tally("the XML description");
    ++tally.runs;
    for (const Kind kind : everyKind()) {
        sweep(tally, kind, [&](Kind k, uint64_t nth, bool persistent) -> Attempted {
            Verdict verdict(what("the XML description", k, nth, persistent));
            FreshBoard board;
            if (!verdict.expect(board.fg != nullptr, "the board opens")) return {false, false};
            size_t size = 0;
            const auto [reached, result] = withFault(k, nth, persistent, [&] {
                const auto answer = fetch(board.fg);
                size = answer.second;
                return answer.first;
            });
            if (result == 0) verdict.expect(textOf(size) == clean, "a text given under a failure is the usual one");
            verdict.expect(stateOf(board.fg) == before, "the board is unchanged");
            const auto [again, againSize] = fetch(board.fg);
            verdict.expectEqual(again, 0, "the next call");
            verdict.expect(textOf(againSize) == clean, "the next call's text is the usual one");
            return {reached, verdict.passed()};
        });
    }
    EXPECT_EQ(tally.survived, tally.tried);
    // Only allocations can fail under it, and they can be failed only where it shares our allocator.
    EXPECT_EQ(tally.tried > 0, allocationsPlanned());
}

namespace {

constexpr uint32_t kSide = 32;
constexpr uint64_t kPicture = kSide * kSide;

// The camera simulator at 32 x 32 pixels in pixel-frequency mode, on the virtual clock.
uint64_t prepareAcquisition(void* fg) {
    const std::pair<const char*, uint32_t> settings[] = {{"FG_CAMERASIMULATOR_ENABLE", 1},
                                                         {"FG_CAMERASIMULATOR_SELECT_MODE", 0},
                                                         {"FG_CAMERASIMULATOR_WIDTH", kSide},
                                                         {"FG_CAMERASIMULATOR_HEIGHT", kSide},
                                                         {"FG_WIDTH", kSide},
                                                         {"FG_HEIGHT", kSide}};
    for (const auto& [name, value] : settings) {
        EXPECT_EQ(Fg_setParameterWithType(fg, Fg_getParameterIdByName(fg, name), &value, 0, 2), 0) << name;
    }
    double rate = 0;
    EXPECT_EQ(Fg_getParameterWithType(fg, Fg_getParameterIdByName(fg, "FG_CAMERASIMULATOR_FRAMERATE"), &rate, 0, 5), 0);
    return static_cast<uint64_t>(std::llround(1e9 / rate));
}

// An acquisition of three pictures into two blocking buffers, as an application runs one: each
// call's answer is kept, in order; a failed start ends the list.
std::vector<int64_t> acquire(void* fg, void* memory, uint64_t period) {
    std::vector<int64_t> answers;
    answers.push_back(Fg_AcquireEx(fg, 0, 3, FG_ACQ_BLOCKING, memory));
    if (answers.back() != 0) return answers;
    answers.push_back(Fg_getStatusEx(fg, FG_STATUS_ACQUIRING, 0, 0, memory));
    SimCtl_AdvanceClock(period / 2 + period);
    answers.push_back(Fg_getLastPicNumberBlockingEx(fg, 1, 0, 1, memory));
    answers.push_back(Fg_getLastPicNumberEx(fg, 0, memory));
    answers.push_back(Fg_setStatusEx(fg, FG_STATUS_RELEASE_PICTURE, 1, 0, memory));
    SimCtl_AdvanceClock(2 * period);
    answers.push_back(Fg_getStatusEx(fg, FG_STATUS_DELIVERED, 0, 0, memory));
    answers.push_back(Fg_stopAcquireEx(fg, 0, memory, 0));
    return answers;
}

}  // namespace

// An acquisition's calls that meet a failure answer it (the forwarding exports pass the runtime's
// code through and copy its last error); stopping and freeing the memory then work, and the next
// acquisition delivers what a clean one does.
TEST(FaultSweep, Acquisition) {
    std::vector<int64_t> clean;
    {
        FreshBoard board;
        ASSERT_NE(board.fg, nullptr);
        const uint64_t period = prepareAcquisition(board.fg);
        void* memory = Fg_AllocMemEx(board.fg, 2 * kPicture, 2);
        ASSERT_NE(memory, nullptr);
        clean = acquire(board.fg, memory, period);
        ASSERT_EQ(clean.size(), 7u);
        EXPECT_EQ(Fg_FreeMemEx(board.fg, memory), 0);
    }
    Tally tally("an acquisition");
    runSweeps(tally, [&](Kind kind, uint64_t nth, bool persistent) -> Attempted {
        Verdict verdict(what("acquiring", kind, nth, persistent));
        FreshBoard board;
        if (!verdict.expect(board.fg != nullptr, "the board opens")) return {false, false};
        const uint64_t period = prepareAcquisition(board.fg);
        void* memory = Fg_AllocMemEx(board.fg, 2 * kPicture, 2);
        if (!verdict.expect(memory != nullptr, "the memory")) return {false, false};
        std::vector<int64_t> answers;
        const auto [reached, result] = withFault(kind, nth, persistent, [&] {
            answers = acquire(board.fg, memory, period);
            return 0;
        });
        const bool thrown = result == kAllocationFailed;
        if (kind != Kind::Allocation && reached) {
            bool failedOne = false;
            for (const int64_t answer : answers) failedOne = failedOne || answer == kInjected;
            verdict.expect(failedOne || thrown, "a call answers the runtime's failure");
        }
        Fg_stopAcquireEx(board.fg, 0, memory, 0);
        verdict.expectEqual(Fg_FreeMemEx(board.fg, memory), 0, "freeing the memory");
        memory = Fg_AllocMemEx(board.fg, 2 * kPicture, 2);
        verdict.expect(memory != nullptr, "the next memory");
        if (memory != nullptr) {
            verdict.expect(acquire(board.fg, memory, period).size() == clean.size(), "the next acquisition runs");
            verdict.expectEqual(Fg_FreeMemEx(board.fg, memory), 0, "freeing the next memory");
        }
        return {reached, verdict.passed()};
    });
}
