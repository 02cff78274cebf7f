// The logging singleton against a dispatcher of the test's own: loggers by handle, records
// exactly as built, the level and reset callbacks, threads switched off, and the re-entrant
// creation of the singleton. This executable lies in a bin folder without a dispatcher, so the
// singleton starts unattached, as the applet does in an installation without one.
#include <cstdint>
#include <map>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "check.h"
#include "logging/guarded_singleton.h"
#include "logging/log_record.h"
#include "logging/logging.h"
#include "platform/thread.h"

namespace {

using vexo::tools::logging::Logger;
using vexo::tools::logging::Logging;
using vexo::tools::logging::logRecord;

struct Record {
    uint64_t handle;
    uint32_t level;
    std::string text;
    uint32_t value32;
    uint64_t value64;
};

struct FakeDispatcher {
    void* logging = nullptr;
    DispatcherResetFn reset = nullptr;
    DispatcherSetLevelFn setLevel = nullptr;
    std::map<std::string, std::pair<uint64_t, uint32_t>> answers;  // name -> handle, level
    bool outputsZeroed = true;
    std::vector<Record> records;
};

FakeDispatcher fake;

int32_t fakeGetLogger(const char* name, uint64_t* handle, uint32_t* level) {
    fake.outputsZeroed = fake.outputsZeroed && *handle == 0 && *level == 0;
    const auto found = fake.answers.find(name);
    if (found != fake.answers.end()) std::tie(*handle, *level) = found->second;
    return 0;
}

int32_t fakeLog(uint64_t handle, uint32_t level, const char* text, uint32_t value32, uint64_t value64) {
    fake.records.push_back({handle, level, text, value32, value64});
    return 0;
}

int32_t fakeAttach(void* logging, DispatcherResetFn reset, DispatcherSetLevelFn setLevel,
                   DispatcherGetLoggerFn* getLoggerFn, DispatcherLogFn* logFn) {
    fake.logging = logging;
    fake.reset = reset;
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

std::string prefix() { return "thread-id=" + std::to_string(vexo::templates::platform::currentThreadId()) + "|"; }

}  // namespace

// First: nothing has attached a dispatcher yet.
TEST_CASE("without a dispatcher every name gets the default logger, which lets no level pass") {
    Logging& logging = Logging::instance();
    REQUIRE(!logging.dispatcherAttached());
    Logger* wrapper = logging.getLogger("vexo.wrapper.Orvanta");
    REQUIRE(wrapper != nullptr);
    CHECK(logging.getLogger("vexo.wrapper.FgNxWrapper") == wrapper);
    CHECK_EQ(wrapper->handle(), uint64_t{0});
    for (uint32_t level : {4u, 5u, 6u}) CHECK(!wrapper->isEnabledFor(level));
    wrapper->log(6, "dropped", 0, 0);  // no dispatcher to reach: nothing happens
}

TEST_CASE("the dispatcher gets the singleton and its callbacks; one logger per handle") {
    Logging& logging = attached();
    CHECK(fake.logging == static_cast<void*>(&logging));
    REQUIRE(fake.reset != nullptr);
    REQUIRE(fake.setLevel != nullptr);
    fake.answers = {{"vexo.a", {11, 4}}, {"vexo.b", {11, 6}}, {"vexo.c", {12, 5}}};
    fake.outputsZeroed = true;
    Logger* a = logging.getLogger("vexo.a");
    Logger* c = logging.getLogger("vexo.c");
    CHECK(logging.getLogger("vexo.b") == a);  // same handle: same logger, first level kept
    CHECK(a != c);
    CHECK_EQ(a->handle(), uint64_t{11});
    CHECK_EQ(a->threshold(), 4u);
    CHECK_EQ(c->threshold(), 5u);
    CHECK(fake.outputsZeroed);
}

TEST_CASE("records are built from the threshold on and arrive exactly as built") {
    Logging& logging = attached();
    fake.answers = {{"vexo.records", {21, 5}}, {"vexo.other", {22, 6}}};
    Logger* logger = logging.getLogger("vexo.records");
    Logger* other = logging.getLogger("vexo.other");
    logRecord(logger, 4, "trying to set unknown SDK parameter '", 1, "' on process 0!");
    CHECK(fake.records.empty());
    logRecord(logger, 5, "Setting NX parameter '", "Device1_X", "' (ID: ", 50001, ") failed: result = ", -3333);
    REQUIRE_EQ(fake.records.size(), size_t{1});
    const Record& record = fake.records[0];
    CHECK_EQ(record.handle, uint64_t{21});
    CHECK_EQ(record.level, 5u);
    CHECK_EQ(record.text, prefix() + "Setting NX parameter 'Device1_X' (ID: 50001) failed: result = -3333");
    CHECK_EQ(record.value32 + record.value64, uint64_t{0});
    // log itself does not test the level again: the check belongs to the log site.
    logger->log(4, "as given", 0, 0);
    CHECK_EQ(fake.records.size(), size_t{2});

    // The set-level callback moves that handle's threshold only; unknown handles are ignored.
    fake.setLevel(21, 4);
    fake.setLevel(9999, 1);
    CHECK(logger->isEnabledFor(4));
    CHECK(!other->isEnabledFor(5));
}

TEST_CASE("a logger switched off for one thread still logs for the others") {
    Logging& logging = attached();
    fake.answers = {{"vexo.muted", {41, 4}}};
    Logger* logger = logging.getLogger("vexo.muted");
    CHECK(logger->enableForCurrentThread(false));   // was on
    CHECK(!logger->enableForCurrentThread(false));  // already off
    CHECK(!logger->isEnabledFor(6));
    logRecord(logger, 6, "muted");
    CHECK(fake.records.empty());
    bool enabledElsewhere = false;
    std::thread other([&] { enabledElsewhere = logger->isEnabledFor(6); });
    other.join();
    CHECK(enabledElsewhere);
    CHECK(!logger->enableForCurrentThread(true));  // was off
    CHECK(logger->enableForCurrentThread(true));
    CHECK(logger->isEnabledFor(6));
}

// Leaves the singleton unattached; the cases above attach again when run after it.
TEST_CASE("after the dispatcher's reset records are dropped and new names get the default logger") {
    Logging& logging = attached();
    fake.answers = {{"vexo.reset", {51, 4}}};
    Logger* logger = logging.getLogger("vexo.reset");
    fake.reset();
    CHECK(!logging.dispatcherAttached());
    CHECK(logger->isEnabledFor(5));  // its threshold still lets the record be built ...
    logRecord(logger, 5, "after reset");
    CHECK(fake.records.empty());  // ... but it no longer reaches the dispatcher
    Logger* later = logging.getLogger("vexo.reset");
    CHECK(later != logger);
    CHECK_EQ(later->handle(), uint64_t{0});
    CHECK(!later->isEnabledFor(6));
}

namespace {

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

TEST_CASE("the singleton is created once, and its hook may ask for it again without blocking") {
    std::vector<Reentrant*> seen(4, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < seen.size(); ++i) threads.emplace_back([&seen, i] { seen[i] = &Reentrant::instance(); });
    for (std::thread& thread : threads) thread.join();
    Reentrant& instance = Reentrant::instance();
    for (Reentrant* each : seen) CHECK(each == &instance);
    CHECK_EQ(instance.initialisations, 1);
    CHECK(instance.seenInside == &instance);
    CHECK(*static_cast<Reentrant**>(instance.instancePointerAddress()) == &instance);
}

CHECK_MAIN
