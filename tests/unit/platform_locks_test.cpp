// Lock classes and guards: misuse messages, re-entry, and what other threads see while a lock
// is held. Threads meet through flags; waits are bounded polls, so a fault fails a check
// instead of hanging the run.
#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/locks.h"
#include "platform/thread.h"

using ::testing::ThrowsMessage;
using vexo::templates::patterns::GenericLock;
using namespace vexo::templates::platform;

namespace {

constexpr const char* nestedEntry = "GenericLock object got lock but is already marked as locked";
constexpr const char* leaveWithoutHold = "GenericLock::leave() called with lock not held";
constexpr const char* destroyedWhileHeld = "GenericLock object destroyed with lock still held";

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

}  // namespace

// A nested guard gives back only its own acquisition. The sanitizer build reports a leak if a
// lock destroyed while held was not freed.
TEST(GenericLock, MisuseThrowsItsMessageAndANestedGuardLeavesTheOuterHoldInPlace) {
    auto* section = new CriticalSection;
    EXPECT_THAT([&] { section->leave(); }, ThrowsMessage<std::logic_error>(leaveWithoutHold));
    {
        CriticalSectionGuard outer(*section);
        EXPECT_THAT([&] { CriticalSectionGuard inner(*section); }, ThrowsMessage<std::logic_error>(nestedEntry));
        EXPECT_FALSE(freeForOtherThreads(*section));
    }  // a wrong lock mark throws here or at the enter below
    EXPECT_TRUE(freeForOtherThreads(*section));
    section->enter();
    EXPECT_THAT([&] { delete section; }, ThrowsMessage<std::logic_error>(destroyedWhileHeld));
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
    other.join();
    EXPECT_EQ(mutex.depth(), 0u);
}

// Readers share; a reader arriving while a writer waits gets in only after that writer, which
// keeps it out while holding the lock.
TEST(ReadWriteLock, ReadersShareButWaitForAWaitingWriter) {
    ReadWriteLock lock;
    lock.lockRead();
    std::thread([&] { ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared); }).join();

    std::atomic<bool> writerDone{false};
    std::atomic<bool> readerIn{false};
    std::atomic<bool> readerCameAfterWriter{false};
    std::thread writer([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Exclusive);
        staysFalse([&] { return readerIn.load(); });  // a reader's chance to get in wrongly
        writerDone = true;
    });
    EXPECT_TRUE(eventually([&] { return lock.waitingWriterCount() == 1; }));
    std::thread reader([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared);
        readerCameAfterWriter = writerDone.load();
        readerIn = true;
    });
    EXPECT_TRUE(staysFalse([&] { return readerIn.load(); }));
    lock.unlock();
    writer.join();
    reader.join();
    EXPECT_TRUE(readerCameAfterWriter.load());
}

TEST(SpinLockVariableGuard, ReEntryByTheHolderLeavesTheOuterHoldInPlace) {
    volatile uint32_t lockWord = 0;
    volatile uint32_t ownerWord = 0;
    const uint32_t self = currentThreadId();
    {
        SpinLockVariableGuard outer(&lockWord, &ownerWord);
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
    EXPECT_EQ(countUnder<CriticalSectionGuard>(std::ref(section)), 8000u);
    EXPECT_EQ(countUnder<RecursiveMutexGuard>(std::ref(mutex)), 8000u);
    EXPECT_EQ(countUnder<ReadWriteLockGuard>(std::ref(readWrite), int32_t{ReadWriteLockGuard::Exclusive}), 8000u);
    EXPECT_EQ(countUnder<SpinLockVariableGuard>(&lockWord, &ownerWord), 8000u);
    EXPECT_EQ(countUnder<SpinLockVariableGuard>(&lockWord, static_cast<volatile uint32_t*>(nullptr)), 8000u);
}
