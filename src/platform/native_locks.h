// The operating system's lock primitives behind the lock classes, one set per platform
// (posix/locks.cpp, win32/locks.cpp). Internal to the platform layer.
#pragma once

namespace vexo::templates::platform::native {

// A re-entrant critical section built in place in nativeLockSize bytes of storage.
void initSection(void* storage);
void deleteSection(void* section);
void enterSection(void* section);
bool tryEnterSection(void* section);
void leaveSection(void* section);

// A re-entrant mutex reached through a handle: created unowned, waited for without time limit.
void* createMutex();
void closeMutex(void* mutex);
void waitMutex(void* mutex);
void releaseMutex(void* mutex);

// A manual-reset event: stays signalled until reset, releasing every waiter meanwhile.
void* createManualResetEvent(bool signalled);
void closeEvent(void* event);
void waitEvent(void* event);
void setEvent(void* event);
void resetEvent(void* event);

}  // namespace vexo::templates::platform::native
