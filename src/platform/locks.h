// Lock classes and scoped guards. GenericLock adds a misuse check to a re-entrant operating
// system lock: a second enter by the holding thread throws instead of nesting, which is what
// protects the wrapper's parameter lock from a setter that calls back into the wrapper.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo::templates::patterns {

class GenericLock {
public:
    GenericLock() = default;
    GenericLock(const GenericLock&) = delete;
    GenericLock& operator=(const GenericLock&) = delete;
    // Throws std::logic_error("GenericLock object destroyed with lock still held").
    virtual ~GenericLock() noexcept(false);

    virtual void acquire() = 0;
    virtual bool tryAcquire() = 0;
    virtual void release() = 0;

    // acquire(); when already marked locked: release() once and throw std::logic_error(
    // "GenericLock object got lock but is already marked as locked").
    void enter();
    // Throws std::logic_error("GenericLock::leave() called with lock not held") when not
    // locked; otherwise clears the mark, then release().
    void leave();

    bool isLocked() const { return locked; }

protected:
    // For destructors of derived classes, which run before ~GenericLock's own check.
    void checkNotHeldOnDestruction();

private:
    bool locked = false;
};

template <typename T>
class Guard;

template <typename T>
class Guard<T*> {
public:
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;
    virtual ~Guard() noexcept(false) = default;

protected:
    explicit Guard(T* lockTarget) : target(lockTarget), held(true) {}
    T* target;
    bool held;
};

class GenericLockGuard : public Guard<GenericLock*> {
public:
    // Does what GenericLock::enter does (same message on nested entry).
    GenericLockGuard(GenericLock* lock, bool ownsLock);
    // Does what GenericLock::leave does when held; then deletes the lock if it owns it.
    ~GenericLockGuard() noexcept(false) override;

private:
    bool ownsLock;
};

}  // namespace vexo::templates::patterns

namespace vexo::templates::platform {

// Room for one operating-system lock (a CRITICAL_SECTION, a pthread_mutex_t) inside the lock
// objects, kept as bytes so that no system header reaches the users of this file; each
// implementation checks at compile time that its lock fits.
inline constexpr std::size_t nativeLockSize = 64;
inline constexpr std::size_t nativeLockAlignment = 8;

// A Win32 CRITICAL_SECTION (a recursive pthread mutex on Linux).
class CriticalSection : public patterns::GenericLock {
public:
    // borrowed false: the critical section is this object's own and is deleted with it.
    explicit CriticalSection(bool borrowed = false);
    // Deletes the critical section (unless borrowed), then the GenericLock check.
    ~CriticalSection() noexcept(false) override;

    void acquire() override;
    bool tryAcquire() override;
    void release() override;

private:
    bool borrowed;
    alignas(nativeLockAlignment) unsigned char storage[nativeLockSize];
    void* section;
};

class CriticalSectionGuard : public patterns::GenericLockGuard {
public:
    explicit CriticalSectionGuard(CriticalSection& section) : GenericLockGuard(&section, false) {}
    ~CriticalSectionGuard() noexcept(false) override = default;
};

// A Win32 mutex handle (a recursive pthread mutex on Linux); may be nested by one thread.
class RecursiveMutex {
public:
    RecursiveMutex();
    RecursiveMutex(const RecursiveMutex&) = delete;
    RecursiveMutex& operator=(const RecursiveMutex&) = delete;
    virtual ~RecursiveMutex();

    void lock();
    void unlock();
    uint32_t depth() const { return lockDepth; }

private:
    void* mutex;  // the mutex handle; on Linux a recursive pthread mutex of its own
    uint32_t lockDepth = 0;
};

class RecursiveMutexGuard : public patterns::Guard<RecursiveMutex*> {
public:
    explicit RecursiveMutexGuard(RecursiveMutex& mutex);
    ~RecursiveMutexGuard() noexcept(false) override;
};

// Shared/exclusive lock in which writers go first: a reader that arrives while a writer waits
// does not get in before that writer has had the lock.
class ReadWriteLock {
public:
    ReadWriteLock();
    ReadWriteLock(const ReadWriteLock&) = delete;
    ReadWriteLock& operator=(const ReadWriteLock&) = delete;
    virtual ~ReadWriteLock();

    void lockRead();
    void lockWrite();
    void unlock();

    // How many writers wait for the lock right now (for diagnostics and tests).
    uint32_t waitingWriterCount() const;

private:
    uint32_t readers = 0;
    uint32_t waitingWriters = 0;
    bool writerActive = false;
    void* noReaders;  // manual-reset event, created signalled
    void* noWriter;   // manual-reset event, created signalled
    alignas(nativeLockAlignment) mutable unsigned char stateLock[nativeLockSize];
};

class ReadWriteLockGuard : public patterns::Guard<ReadWriteLock*> {
public:
    enum Mode : int32_t { Shared = 1, Exclusive = 2 };
    // Any other mode takes nothing and gives nothing back.
    ReadWriteLockGuard(ReadWriteLock& lock, int32_t mode);
    ~ReadWriteLockGuard() noexcept(false) override;

private:
    int32_t mode;
};

// A spin lock over process-wide words: lockWord 0 free / 1 taken; with an ownerWord the lock
// is re-entrant for the thread whose id it holds.
struct SpinLockVariableGuard {
    SpinLockVariableGuard(volatile uint32_t* lockWord, volatile uint32_t* ownerWord);
    SpinLockVariableGuard(const SpinLockVariableGuard&) = delete;
    SpinLockVariableGuard& operator=(const SpinLockVariableGuard&) = delete;
    virtual ~SpinLockVariableGuard();

    volatile uint32_t* lockWord;
    volatile uint32_t* ownerWord;
    bool acquired;
};

}  // namespace vexo::templates::platform
