// POSIX primitives of the lock classes: a recursive pthread mutex stands for both a critical
// section and a mutex handle, a flag with a mutex and a condition variable for an event.
#include <pthread.h>

#include <new>

#include "platform/locks.h"
#include "platform/native_locks.h"

namespace vexo::templates::platform::native {

static_assert(sizeof(pthread_mutex_t) <= nativeLockSize, "a pthread mutex must fit the lock storage");
static_assert(alignof(pthread_mutex_t) <= nativeLockAlignment, "the lock storage is not aligned for a pthread mutex");

namespace {

// Re-entrant like a critical section, so that a nested GenericLock entry fails its check
// instead of deadlocking.
void initRecursiveMutex(pthread_mutex_t* mutex) {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

pthread_mutex_t* asMutex(void* mutex) { return static_cast<pthread_mutex_t*>(mutex); }

struct ManualResetEvent {
    pthread_mutex_t mutex;
    pthread_cond_t changed;
    bool signalled;
};

ManualResetEvent* asEvent(void* event) { return static_cast<ManualResetEvent*>(event); }

}  // namespace

void initSection(void* storage) { initRecursiveMutex(new (storage) pthread_mutex_t); }

void deleteSection(void* section) { pthread_mutex_destroy(asMutex(section)); }

void enterSection(void* section) { pthread_mutex_lock(asMutex(section)); }

bool tryEnterSection(void* section) { return pthread_mutex_trylock(asMutex(section)) == 0; }

void leaveSection(void* section) { pthread_mutex_unlock(asMutex(section)); }

void* createMutex() {
    auto* mutex = new pthread_mutex_t;
    initRecursiveMutex(mutex);
    return mutex;
}

void closeMutex(void* mutex) {
    pthread_mutex_destroy(asMutex(mutex));
    delete asMutex(mutex);
}

void waitMutex(void* mutex) { pthread_mutex_lock(asMutex(mutex)); }

void releaseMutex(void* mutex) { pthread_mutex_unlock(asMutex(mutex)); }

void* createManualResetEvent(bool signalled) {
    auto* event = new ManualResetEvent;
    pthread_mutex_init(&event->mutex, nullptr);
    pthread_cond_init(&event->changed, nullptr);
    event->signalled = signalled;
    return event;
}

void closeEvent(void* event) {
    pthread_cond_destroy(&asEvent(event)->changed);
    pthread_mutex_destroy(&asEvent(event)->mutex);
    delete asEvent(event);
}

void waitEvent(void* event) {
    ManualResetEvent& e = *asEvent(event);
    pthread_mutex_lock(&e.mutex);
    while (!e.signalled) pthread_cond_wait(&e.changed, &e.mutex);
    pthread_mutex_unlock(&e.mutex);
}

void setEvent(void* event) {
    ManualResetEvent& e = *asEvent(event);
    pthread_mutex_lock(&e.mutex);
    e.signalled = true;
    pthread_cond_broadcast(&e.changed);
    pthread_mutex_unlock(&e.mutex);
}

void resetEvent(void* event) {
    ManualResetEvent& e = *asEvent(event);
    pthread_mutex_lock(&e.mutex);
    e.signalled = false;
    pthread_mutex_unlock(&e.mutex);
}

}  // namespace vexo::templates::platform::native
