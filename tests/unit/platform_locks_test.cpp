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

#include "check.h"
#include "platform/locks.h"
#include "platform/thread.h"

using vexo::templates::patterns::GenericLock;
using vexo::templates::patterns::GenericLockGuard;
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

bool inOtherThread(const std::function<bool()>& body) {
    bool result = false;
    std::thread thread([&] { result = body(); });
    thread.join();
    return result;
}

bool freeForOtherThreads(GenericLock& lock) {
    return inOtherThread([&] {
        if (!lock.tryAcquire()) return false;
        lock.release();
        return true;
    });
}

// Several threads add to one plain counter under the lock; without mutual exclusion the
// read-pause-write below loses increments.
constexpr int countingThreads = 4;
constexpr int incrementsPerThread = 2000;

uint64_t countConcurrently(const std::function<void(volatile uint64_t&)>& addOneLocked) {
    volatile uint64_t counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < countingThreads; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < incrementsPerThread; ++i) addOneLocked(counter);
        });
    }
    for (std::thread& thread : threads) thread.join();
    return counter;
}

void addOneSlowly(volatile uint64_t& counter) {
    const uint64_t seen = counter;
    cpuPause();
    counter = seen + 1;
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

TEST_CASE("a second CriticalSectionGuard in the holding thread throws; the first still releases") {
    CriticalSection section;
    {
        CriticalSectionGuard outer(section);
        CHECK_THROWS_MESSAGE(CriticalSectionGuard inner(section), std::logic_error, nestedEntry);
        CHECK(section.isLocked());
        CHECK(!freeForOtherThreads(section));
    }
    CHECK(!section.isLocked());
    CHECK(freeForOtherThreads(section));
}

TEST_CASE("GenericLock misuse throws its message and undoes only the nested acquisition") {
    int destroyed = 0;
    CountingLock lock(destroyed);
    CHECK_THROWS_MESSAGE(lock.leave(), std::logic_error, leaveWithoutHold);
    CHECK_EQ(lock.releases, 0);

    lock.enter();
    CHECK_THROWS_MESSAGE(lock.enter(), std::logic_error, nestedEntry);
    CHECK_EQ(lock.acquires, 2);
    CHECK_EQ(lock.releases, 1);
    CHECK(lock.isLocked());
    lock.leave();
    CHECK_EQ(lock.releases, 2);
    CHECK(!lock.isLocked());
}

TEST_CASE("a lock destroyed while held throws and is freed all the same") {
    auto* section = new CriticalSection;
    section->enter();
    CHECK_THROWS_MESSAGE(delete section, std::logic_error, destroyedWhileHeld);

    int destroyed = 0;
    auto* counting = new CountingLock(destroyed);
    counting->enter();
    CHECK_THROWS_MESSAGE(delete counting, std::logic_error, destroyedWhileHeld);
    CHECK_EQ(destroyed, 1);
    // The sanitizer build reports a leak if either object was not freed.
}

TEST_CASE("a GenericLockGuard that owns its lock destroys it, also when leaving fails") {
    int destroyed = 0;
    { GenericLockGuard guard(new CountingLock(destroyed), true); }
    CHECK_EQ(destroyed, 1);

    auto* lock = new CountingLock(destroyed);
    auto leaveBehindTheGuardsBack = [&] {
        GenericLockGuard guard(lock, true);
        lock->leave();
    };
    CHECK_THROWS_MESSAGE(leaveBehindTheGuardsBack(), std::logic_error, leaveWithoutHold);
    CHECK_EQ(destroyed, 2);

    CountingLock borrowed(destroyed);
    { GenericLockGuard guard(&borrowed, false); }
    CHECK_EQ(destroyed, 2);
    CHECK_EQ(borrowed.releases, 1);
}

TEST_CASE("nested RecursiveMutexGuards do not block and hold the mutex until the outer one ends") {
    RecursiveMutex mutex;
    std::atomic<bool> otherIn{false};
    std::thread other;
    {
        RecursiveMutexGuard outer(mutex);
        {
            RecursiveMutexGuard inner(mutex);
            CHECK_EQ(mutex.depth(), 2u);
        }
        CHECK_EQ(mutex.depth(), 1u);
        other = std::thread([&] {
            RecursiveMutexGuard guard(mutex);
            otherIn = true;
        });
        CHECK(staysFalse([&] { return otherIn.load(); }));
    }
    CHECK(eventually([&] { return otherIn.load(); }));
    other.join();
    CHECK_EQ(mutex.depth(), 0u);
}

TEST_CASE("ReadWriteLock: readers share, a writer keeps readers out") {
    ReadWriteLock lock;
    lock.lockRead();
    CHECK(inOtherThread([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared);
        return true;
    }));
    lock.unlock();

    lock.lockWrite();
    std::atomic<bool> readerIn{false};
    std::thread reader([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared);
        readerIn = true;
    });
    CHECK(staysFalse([&] { return readerIn.load(); }));
    lock.unlock();
    reader.join();
    CHECK(readerIn.load());
}

TEST_CASE("ReadWriteLock: a reader arriving while a writer waits gets in only after that writer") {
    ReadWriteLock lock;
    std::mutex orderMutex;
    std::string order;
    auto note = [&](const char* step) {
        std::lock_guard<std::mutex> hold(orderMutex);
        order += order.empty() ? step : std::string(", ") + step;
    };
    std::atomic<bool> secondReaderIn{false};

    lock.lockRead();
    std::thread writer([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Exclusive);
        note("writer in");
        note("writer out");
    });
    CHECK(eventually([&] { return lock.waitingWriterCount() == 1; }));
    std::thread secondReader([&] {
        ReadWriteLockGuard guard(lock, ReadWriteLockGuard::Shared);
        secondReaderIn = true;
        note("second reader in");
    });
    CHECK(staysFalse([&] { return secondReaderIn.load(); }));
    lock.unlock();
    writer.join();
    secondReader.join();
    CHECK_EQ(order, std::string("writer in, writer out, second reader in"));
    CHECK_EQ(lock.waitingWriterCount(), 0u);
}

TEST_CASE("a ReadWriteLockGuard with an unknown mode neither takes nor gives back the lock") {
    ReadWriteLock lock;
    { ReadWriteLockGuard guard(lock, 0); }
    // An unlock for the unknown mode would have miscounted the readers and shut writers out.
    ReadWriteLockGuard writer(lock, ReadWriteLockGuard::Exclusive);
    CHECK_EQ(lock.waitingWriterCount(), 0u);
}

TEST_CASE("SpinLockVariableGuard re-entered by the holding thread leaves the outer hold in place") {
    volatile uint32_t lockWord = 0;
    volatile uint32_t ownerWord = 0;
    const uint32_t self = currentThreadId();
    {
        SpinLockVariableGuard outer(&lockWord, &ownerWord);
        CHECK(outer.acquired);
        CHECK_EQ(ownerWord, self);
        {
            SpinLockVariableGuard inner(&lockWord, &ownerWord);
            CHECK(!inner.acquired);
        }
        CHECK_EQ(lockWord, 1u);
        CHECK_EQ(ownerWord, self);
    }
    CHECK_EQ(lockWord, 0u);
    CHECK_EQ(ownerWord, 0u);
}

TEST_CASE("every lock keeps a shared counter exact across threads") {
    const uint64_t expected = uint64_t{countingThreads} * incrementsPerThread;

    CriticalSection section;
    CHECK_EQ(countConcurrently([&](volatile uint64_t& counter) {
                 CriticalSectionGuard guard(section);
                 addOneSlowly(counter);
             }),
             expected);

    RecursiveMutex mutex;
    CHECK_EQ(countConcurrently([&](volatile uint64_t& counter) {
                 RecursiveMutexGuard guard(mutex);
                 addOneSlowly(counter);
             }),
             expected);

    ReadWriteLock readWrite;
    CHECK_EQ(countConcurrently([&](volatile uint64_t& counter) {
                 ReadWriteLockGuard guard(readWrite, ReadWriteLockGuard::Exclusive);
                 addOneSlowly(counter);
             }),
             expected);

    volatile uint32_t lockWord = 0;
    volatile uint32_t ownerWord = 0;
    CHECK_EQ(countConcurrently([&](volatile uint64_t& counter) {
                 SpinLockVariableGuard guard(&lockWord, &ownerWord);
                 addOneSlowly(counter);
             }),
             expected);
    CHECK_EQ(countConcurrently([&](volatile uint64_t& counter) {
                 SpinLockVariableGuard guard(&lockWord, nullptr);
                 addOneSlowly(counter);
             }),
             expected);
}

CHECK_MAIN
