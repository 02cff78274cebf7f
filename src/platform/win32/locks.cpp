// Win32 primitives of the lock classes: critical sections, mutex handles and manual-reset
// events. Wait results, abandoned mutexes included, are of no interest to the callers.
#include <new>

#include "platform/locks.h"
#include "platform/native_locks.h"
#include "platform/win32/windows_api.h"

namespace vexo::templates::platform::native {

static_assert(sizeof(CRITICAL_SECTION) <= nativeLockSize, "a critical section must fit the lock storage");
static_assert(alignof(CRITICAL_SECTION) <= nativeLockAlignment, "the lock storage is not aligned for a critical section");

namespace {
CRITICAL_SECTION* asSection(void* section) { return static_cast<CRITICAL_SECTION*>(section); }
}  // namespace

void initSection(void* storage) { InitializeCriticalSection(new (storage) CRITICAL_SECTION); }

void deleteSection(void* section) { DeleteCriticalSection(asSection(section)); }

void enterSection(void* section) { EnterCriticalSection(asSection(section)); }

bool tryEnterSection(void* section) { return TryEnterCriticalSection(asSection(section)) != FALSE; }

void leaveSection(void* section) { LeaveCriticalSection(asSection(section)); }

void* createMutex() { return CreateMutexA(nullptr, FALSE, nullptr); }

void closeMutex(void* mutex) {
    if (mutex != nullptr) CloseHandle(mutex);
}

void waitMutex(void* mutex) { WaitForSingleObject(mutex, INFINITE); }

void releaseMutex(void* mutex) { ReleaseMutex(mutex); }

void* createManualResetEvent(bool signalled) {
    return CreateEventA(nullptr, TRUE, signalled ? TRUE : FALSE, nullptr);
}

void closeEvent(void* event) {
    if (event != nullptr) CloseHandle(event);
}

void waitEvent(void* event) { WaitForSingleObject(event, INFINITE); }

void setEvent(void* event) { SetEvent(event); }

void resetEvent(void* event) { ResetEvent(event); }

}  // namespace vexo::templates::platform::native
