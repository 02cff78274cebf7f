// Lock classes and guards: misuse messages, re-entry, and what other threads see while a lock
// is held. Threads meet through flags; waits are bounded polls, so a fault fails a check
// instead of hanging the run.
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/locks.h"
#include "platform/thread.h"

using vexo::templates::patterns::GenericLock;
using vexo::templates::patterns::GenericLockGuard;
using namespace vexo::templates::platform;

namespace {

constexpr const char* nestedEntry = "GenericLock object got lock but is already marked as locked";
constexpr const char* leaveWithoutHold = "GenericLock::leave() called with lock not held";
constexpr const char* destroyedWhileHeld = "GenericLock object destroyed with lock still held";

// The message of the std::logic_error that `action` throws; "" when it throws none.
std::string logicErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::logic_error& e) {
        return e.what();
    }
    return "";
}

// Polls until the condition holds; the bound only turns a fault into a failed check.
bool eventually(const std::function<bool()>& condition) {
    for (int i = 0; i < 20000 && !condition(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return condition();
}

// Gives a fault that would make the condition true a short chance to show itself.
bool staysFalse(const std::function<bool()>& condition) {
    for (int i = 0; i < 50; ++i) {
        if (condition()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return !condition();
}

bool freeForOtherThreads(GenericLock& lock) {
    bool free = false;
    std::thread([&] {
        free = lock.tryAcquire();
        if (free) lock.release();
    }).join();
    return free;
}

// Four threads add to one plain counter, each addition under a fresh Guard(lockArguments...);
// without mutual exclusion the read-pause-write loses increments.
template <typename Guard, typename... Arguments>
uint64_t countUnder(Arguments... lockArguments) {
    volatile uint64_t counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 2000; ++i) {
                Guard guard(lockArguments...);
                const uint64_t seen = counter;
                cpuPause();
                counter = seen + 1;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    return counter;
}

// Counts what GenericLock asks of the system lock, and its own destruction.
class CountingLock : public GenericLock {
public:
    explicit CountingLock(int& destructions) : destroyed(destructions) {}
    ~CountingLock() noexcept(false) override { ++destroyed; }
    void acquire() override { ++acquires; }
    bool tryAcquire() override { return ++acquires, true; }
    void release() override { ++releases; }

    int acquires = 0;
    int releases = 0;

private:
    int& destroyed;
};

}  // namespace

TEST(GenericLock, SecondGuardInHoldingThreadThrowsAndFirstStillReleases) {
    CriticalSection section;
    {
        CriticalSectionGuard outer(section);
        EXPECT_EQ(logicErrorOf([&] { CriticalSectionGuard inner(section); }), nestedEntry);
        EXPECT_TRUE(section.isLocked());
        EXPECT_FALSE(freeForOtherThreads(section));
    }
    EXPECT_FALSE(section.isLocked());
    EXPECT_TRUE(freeForOtherThreads(section));
}

// The sanitizer build reports a leak if a lock destroyed while held was not freed.
TEST(GenericLock, MisuseThrowsItsMessageAndUndoesOnlyTheNestedAcquisition) {
    int destroyed = 0;
    auto* lock = new CountingLock(destroyed);
    EXPECT_EQ(logicErrorOf([&] { lock->leave(); }), leaveWithoutHold);
    EXPECT_EQ(lock->releases, 0);

    lock->enter();
    EXPECT_EQ(logicErrorOf([&] { lock->enter(); }), nestedEntry);
    EXPECT_EQ(lock->acquires, 2);
    EXPECT_EQ(lock->releases, 1);
    EXPECT_TRUE(lock->isLocked());
    EXPECT_EQ(logicErrorOf([&] { delete lock; }), destroyedWhileHeld);
    EXPECT_EQ(destroyed, 1);

    auto* section = new CriticalSection;
    section->enter();
    EXPECT_EQ(logicErrorOf([&] { delete section; }), destroyedWhileHeld);
}

TEST(GenericLockGuard, DestroysTheLockOnlyWhenItOwnsIt) {
    int destroyed = 0;
    { GenericLockGuard guard(new CountingLock(destroyed), true); }
    EXPECT_EQ(destroyed, 1);
    CountingLock borrowed(destroyed);
    { GenericLockGuard guard(&borrowed, false); }
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(borrowed.releases, 1);
}

TEST(RecursiveMutexGuard, NestedGuardsDoNotBlockAndHoldUntilTheOuterEnds) {
    RecursiveMutex mutex;
    std::atomic<bool> otherIn{false};
    std::thread other;
    {
        RecursiveMutexGuard outer(mutex);
        {
            RecursiveMutexGuard inner(mutex);
            EXPECT_EQ(mutex.depth(), 2u);
        }
        EXPECT_EQ(mutex.depth(), 1u);
        other = std::thread([&] {
            RecursiveMutexGuard guard(mutex);
            otherIn = true;
        });
        EXPECT_TRUE(staysFalse([&] { return otherIn.load(); }));
    }
    EXPECT_TRUE(eventually([&] { return otherIn.load(); }));
    other.join();
    EXPECT_EQ(mutex.depth(), 0u);
}

// Readers share; a reader arriving while a writer waits gets in only after that writer, which
// keeps it out while holding the lock.
TEST(ReadWriteLock, ReadersShareButWaitForAWaitingWriter) {
    ReadWriteLock lock;
    lock.lockRead();
    std::thread([&] { ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared); }).join();

    std::mutex orderMutex;
    std::string order;
    auto note = [&](const char* step) {
        std::lock_guard<std::mutex> hold(orderMutex);
        order += order.empty() ? step : std::string(", ") + step;
    };
    std::atomic<bool> readerIn{false};
    std::atomic<bool> readerKeptOut{false};
    std::thread writer([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Exclusive);
        note("writer in");
        readerKeptOut = staysFalse([&] { return readerIn.load(); });
        note("writer out");
    });
    EXPECT_TRUE(eventually([&] { return lock.waitingWriterCount() == 1; }));
    std::thread reader([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared);
        readerIn = true;
        note("reader in");
    });
    EXPECT_TRUE(staysFalse([&] { return readerIn.load(); }));
    lock.unlock();
    writer.join();
    reader.join();
    EXPECT_TRUE(readerKeptOut.load());
    EXPECT_EQ(order, "writer in, writer out, reader in");
    EXPECT_EQ(lock.waitingWriterCount(), 0u);
}

TEST(SpinLockVariableGuard, ReEntryByTheHolderLeavesTheOuterHoldInPlace) {
    volatile uint32_t lockWord = 0;
    volatile uint32_t ownerWord = 0;
    const uint32_t self = currentThreadId();
    {
        SpinLockVariableGuard outer(&lockWord, &ownerWord);
        EXPECT_TRUE(outer.acquired);
        EXPECT_EQ(ownerWord, self);
        {
            SpinLockVariableGuard inner(&lockWord, &ownerWord);
            EXPECT_FALSE(inner.acquired);
        }
        EXPECT_EQ(lockWord, 1u);
        EXPECT_EQ(ownerWord, self);
    }
    EXPECT_EQ(lockWord, 0u);
    EXPECT_EQ(ownerWord, 0u);
}

TEST(Locks, EveryLockKeepsASharedCounterExactAcrossThreads) {
    CriticalSection section;
    RecursiveMutex mutex;
    ReadWriteLock readWrite;
    volatile uint32_t lockWord = 0;
    volatile uint32_t ownerWord = 0;
    volatile uint32_t* const noOwner = nullptr;
    EXPECT_EQ(countUnder<CriticalSectionGuard>(std::ref(section)), 8000u);
    EXPECT_EQ(countUnder<RecursiveMutexGuard>(std::ref(mutex)), 8000u);
    EXPECT_EQ(countUnder<ReadWriteLockGuard>(std::ref(readWrite), int32_t{ReadWriteLockGuard::Exclusive}), 8000u);
    EXPECT_EQ(countUnder<SpinLockVariableGuard>(&lockWord, &ownerWord), 8000u);
    EXPECT_EQ(countUnder<SpinLockVariableGuard>(&lockWord, noOwner), 8000u);
}
