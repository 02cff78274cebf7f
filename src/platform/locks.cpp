// The lock classes and guards. Their logic is the same on every platform; only the primitives
// of native_locks.h differ.
#include "platform/locks.h"

#include <stdexcept>

#include "platform/native_locks.h"
#include "platform/thread.h"

namespace vexo::templates::patterns {

namespace {
constexpr const char* nestedEntryMessage = "GenericLock object got lock but is already marked as locked";
constexpr const char* leaveWithoutHoldMessage = "GenericLock::leave() called with lock not held";
constexpr const char* destroyedWhileHeldMessage = "GenericLock object destroyed with lock still held";
}  // namespace

GenericLock::~GenericLock() noexcept(false) { checkNotHeldOnDestruction(); }

void GenericLock::enter() {
    acquire();
    if (locked) {
        // The system lock is re-entrant, so a nested acquire succeeds: give back exactly that
        // level and leave the outer holder's in place.
        release();
        throw std::logic_error(nestedEntryMessage);
    }
    locked = true;
}

void GenericLock::leave() {
    if (!locked) throw std::logic_error(leaveWithoutHoldMessage);
    locked = false;
    release();
}

void GenericLock::checkNotHeldOnDestruction() {
    if (!locked) return;
    // Cleared before throwing: ~GenericLock runs while this exception leaves a derived
    // destructor, and a second throw there would end the process.
    locked = false;
    throw std::logic_error(destroyedWhileHeldMessage);
}

GenericLockGuard::GenericLockGuard(GenericLock* lock, bool ownsLockObject)
    : Guard<GenericLock*>(lock), ownsLock(ownsLockObject) {
    target->enter();
}

GenericLockGuard::~GenericLockGuard() noexcept(false) {
    auto destroyOwnedLock = [this] {
        if (ownsLock && target != nullptr) {
            GenericLock* lock = target;
            target = nullptr;
            delete lock;
        }
    };
    if (held) {
        held = false;
        try {
            target->leave();
        } catch (...) {
            // A misused lock is still this guard's to destroy.
            destroyOwnedLock();
            throw;
        }
    }
    destroyOwnedLock();
}

}  // namespace vexo::templates::patterns

namespace vexo::templates::platform {

CriticalSection::CriticalSection(bool borrowedSection) : borrowed(borrowedSection), section(storage) {
    native::initSection(section);
}

CriticalSection::~CriticalSection() noexcept(false) {
    if (!borrowed) {
        // A section destroyed while held is given back first: a POSIX mutex must not be
        // destroyed locked. The holder can only be the destroying thread; any other would
        // still be using an object that is going away.
        if (isLocked()) release();
        native::deleteSection(section);
    }
    checkNotHeldOnDestruction();
}

void CriticalSection::acquire() { native::enterSection(section); }

bool CriticalSection::tryAcquire() { return native::tryEnterSection(section); }

void CriticalSection::release() { native::leaveSection(section); }

RecursiveMutex::RecursiveMutex() : mutex(native::createMutex()) {}

RecursiveMutex::~RecursiveMutex() { native::closeMutex(mutex); }

void RecursiveMutex::lock() {
    native::waitMutex(mutex);
    ++lockDepth;
}

void RecursiveMutex::unlock() {
    // Counted down while still owned: once released, the next owner counts up at once.
    --lockDepth;
    native::releaseMutex(mutex);
}

RecursiveMutexGuard::RecursiveMutexGuard(RecursiveMutex& mutex) : Guard<RecursiveMutex*>(&mutex) {
    target->lock();
}

RecursiveMutexGuard::~RecursiveMutexGuard() noexcept(false) {
    if (held) target->unlock();
}

ReadWriteLock::ReadWriteLock()
    : noReaders(native::createManualResetEvent(true)), noWriter(native::createManualResetEvent(true)) {
    native::initSection(stateLock);
}

ReadWriteLock::~ReadWriteLock() {
    native::deleteSection(stateLock);
    native::closeEvent(noWriter);
    native::closeEvent(noReaders);
}

void ReadWriteLock::lockRead() {
    // While a writer only waits, noWriter is still signalled: the reader keeps re-testing
    // until that writer has had its turn.
    bool admitted = false;
    while (!admitted) {
        native::waitEvent(noWriter);
        native::enterSection(stateLock);
        if (!writerActive && waitingWriters == 0) {
            ++readers;
            native::resetEvent(noReaders);
            admitted = true;
        }
        native::leaveSection(stateLock);
    }
}

void ReadWriteLock::lockWrite() {
    native::enterSection(stateLock);
    ++waitingWriters;
    native::leaveSection(stateLock);
    bool admitted = false;
    while (!admitted) {
        native::waitEvent(noReaders);
        native::waitEvent(noWriter);
        native::enterSection(stateLock);
        if (readers == 0 && !writerActive) {
            --waitingWriters;
            writerActive = true;
            native::resetEvent(noWriter);
            admitted = true;
        }
        native::leaveSection(stateLock);
    }
}

void ReadWriteLock::unlock() {
    native::enterSection(stateLock);
    if (writerActive) {
        writerActive = false;
        native::setEvent(noWriter);
    } else if (--readers == 0) {
        native::setEvent(noReaders);
    }
    native::leaveSection(stateLock);
}

uint32_t ReadWriteLock::waitingWriterCount() const {
    native::enterSection(stateLock);
    const uint32_t count = waitingWriters;
    native::leaveSection(stateLock);
    return count;
}

ReadWriteLockGuard::ReadWriteLockGuard(ReadWriteLock& lock, int32_t lockMode)
    : Guard<ReadWriteLock*>(&lock), mode(lockMode) {
    if (mode == Shared) {
        target->lockRead();
    } else if (mode == Exclusive) {
        target->lockWrite();
    } else {
        held = false;
    }
}

ReadWriteLockGuard::~ReadWriteLockGuard() noexcept(false) {
    if (held) target->unlock();
}

SpinLockVariableGuard::SpinLockVariableGuard(volatile uint32_t* lock, volatile uint32_t* owner)
    : lockWord(lock), ownerWord(owner), acquired(false) {
    const uint32_t self = ownerWord != nullptr ? currentThreadId() : 0;
    // Only this thread ever stores its own id, so seeing it means this thread is inside.
    if (ownerWord != nullptr && __atomic_load_n(ownerWord, __ATOMIC_RELAXED) == self) return;
    uint32_t expected = 0;
    while (!__atomic_compare_exchange_n(lockWord, &expected, 1u, false, __ATOMIC_SEQ_CST, __ATOMIC_RELAXED)) {
        expected = 0;
        cpuPause();
    }
    if (ownerWord != nullptr) __atomic_store_n(ownerWord, self, __ATOMIC_RELAXED);
    acquired = true;
}

SpinLockVariableGuard::~SpinLockVariableGuard() {
    if (!acquired) return;
    if (ownerWord != nullptr) __atomic_store_n(ownerWord, 0u, __ATOMIC_RELAXED);
    __atomic_exchange_n(lockWord, 0u, __ATOMIC_SEQ_CST);
}

}  // namespace vexo::templates::platform
