// The logging singleton against a dispatcher of the test's own: loggers by handle, what a record
// carries besides its text, the level callback, and the re-entrant creation of the singleton.
// This executable lies in a bin folder without a dispatcher, so the singleton starts unattached,
// as the applet does in an installation without one.
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "logging/guarded_singleton.h"
#include "logging/log_record.h"
#include "logging/logging.h"

namespace {

using vexo::tools::logging::Logger;
using vexo::tools::logging::Logging;
using vexo::tools::logging::logRecord;

struct FakeDispatcher {
    void* logging = nullptr;
    DispatcherSetLevelFn setLevel = nullptr;
    std::map<std::string, std::pair<uint64_t, uint32_t>> answers;  // name -> handle, level
    bool outputsZeroed = true;
    std::vector<std::pair<uint64_t, uint64_t>> records;  // handle, the sum of the two values
};

FakeDispatcher fake;

int32_t fakeGetLogger(const char* name, uint64_t* handle, uint32_t* level) {
    fake.outputsZeroed = fake.outputsZeroed && *handle == 0 && *level == 0;
    const auto found = fake.answers.find(name);
    if (found != fake.answers.end()) std::tie(*handle, *level) = found->second;
    return 0;
}

int32_t fakeLog(uint64_t handle, uint32_t, const char*, uint32_t value32, uint64_t value64) {
    fake.records.emplace_back(handle, value32 + value64);
    return 0;
}

int32_t fakeAttach(void* logging, DispatcherResetFn, DispatcherSetLevelFn setLevel,
                   DispatcherGetLoggerFn* getLoggerFn, DispatcherLogFn* logFn) {
    fake.logging = logging;
    fake.setLevel = setLevel;
    *getLoggerFn = &fakeGetLogger;
    *logFn = &fakeLog;
    return 0;
}

int32_t fakeDetach(void*, const void*) { return 0; }

const DispatcherDescriptor fakeDescriptor = {&fakeAttach, &fakeDetach};

Logging& attached() {
    Logging& logging = Logging::instance();
    if (!logging.dispatcherAttached()) logging.attachDispatcher(&fakeDescriptor);
    fake.records.clear();
    return logging;
}

// A singleton whose initialisation hook asks for the instance again, as a dispatcher calling
// back from inside attach does.
struct Reentrant : vexo::templates::patterns::GuardedSingleton<Reentrant> {
    void initialise() override {
        ++initialisations;
        seenInside = &instance();
    }
    int initialisations = 0;
    Reentrant* seenInside = nullptr;
};

}  // namespace

// First in the file: when all cases run in one process, nothing has attached a dispatcher yet.
TEST(Logging, WithoutDispatcherEveryNameGetsTheDefaultLoggerWhichLetsNoLevelPass) {
    Logging& logging = Logging::instance();
    ASSERT_FALSE(logging.dispatcherAttached());
    Logger* wrapper = logging.getLogger("vexo.wrapper.Orvanta");
    ASSERT_NE(wrapper, nullptr);
    EXPECT_EQ(logging.getLogger("vexo.wrapper.FgNxWrapper"), wrapper);
    EXPECT_EQ(wrapper->handle(), uint64_t{0});
    for (uint32_t level : {4u, 5u, 6u}) EXPECT_FALSE(wrapper->isEnabledFor(level));
    wrapper->log(6, "dropped", 0, 0);  // no dispatcher to reach: nothing happens
}

// Record texts, thresholds and the dispatcher's reset show end to end; handles shared by two
// names, the two values of a record and levels for one handle only do not.
TEST(Logging, DispatcherGetsTheSingletonAndItsCallbacksAndOneLoggerPerHandle) {
    Logging& logging = attached();
    EXPECT_EQ(fake.logging, static_cast<void*>(&logging));
    ASSERT_NE(fake.setLevel, nullptr);
    fake.answers = {{"vexo.a", {11, 4}}, {"vexo.b", {11, 6}}, {"vexo.c", {12, 5}}};
    fake.outputsZeroed = true;
    Logger* a = logging.getLogger("vexo.a");
    Logger* c = logging.getLogger("vexo.c");
    EXPECT_EQ(logging.getLogger("vexo.b"), a);  // same handle: same logger, first level kept
    EXPECT_EQ(a->threshold(), 4u);
    EXPECT_EQ(c->threshold(), 5u);
    EXPECT_TRUE(fake.outputsZeroed);

    logRecord(c, 5, "failed: result = ", -3333);
    ASSERT_EQ(fake.records.size(), size_t{1});
    EXPECT_EQ(fake.records[0], std::make_pair(uint64_t{12}, uint64_t{0}));
    // log itself does not test the level again: the check belongs to the log site.
    c->log(4, "as given", 0, 0);
    EXPECT_EQ(fake.records.size(), size_t{2});

    fake.setLevel(11, 3);
    fake.setLevel(9999, 1);  // unknown: ignored
    EXPECT_TRUE(a->isEnabledFor(3));
    EXPECT_FALSE(c->isEnabledFor(4));
}

TEST(GuardedSingleton, CreatedOnceAndItsHookMayAskForItAgainWithoutBlocking) {
    std::vector<Reentrant*> seen(4, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&seen, i] { seen[i] = &Reentrant::instance(); });
    for (std::thread& thread : threads) thread.join();
    Reentrant& instance = Reentrant::instance();
    for (Reentrant* each : seen) EXPECT_EQ(each, &instance);
    EXPECT_EQ(instance.initialisations, 1);
    EXPECT_EQ(instance.seenInside, &instance);
}
