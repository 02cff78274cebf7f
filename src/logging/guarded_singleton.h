// A process-wide object created on first use under a re-entrant spin lock. The instance pointer
// is stored before the object's initialisation hook runs, so code that the hook calls and that
// asks for the instance again on the same thread gets it at once instead of spinning forever.
#pragma once

#include <cstdint>

#include "platform/locks.h"

namespace vexo::templates::patterns {

struct GuardedSingletonBase {
    GuardedSingletonBase() = default;
    GuardedSingletonBase(const GuardedSingletonBase&) = delete;
    GuardedSingletonBase& operator=(const GuardedSingletonBase&) = delete;

    // For a process-wide list of singletons that tears its members down; this system keeps no
    // such list, so nothing calls it.
    virtual void beforeRelease() {}
    // The address of the process-wide instance pointer of the concrete singleton.
    virtual void* instancePointerAddress() = 0;
    virtual ~GuardedSingletonBase() = default;
};

template <typename T>
class GuardedSingleton : public GuardedSingletonBase {
public:
    // Creates the instance on the first call. Without a list of singletons nothing destroys it:
    // it lives as long as the module that holds it.
    static T& instance() {
        platform::SpinLockVariableGuard guard(&lockWord, &ownerWord);
        if (instancePointer == nullptr) {
            T* created = new T();
            instancePointer = created;
            static_cast<GuardedSingleton*>(created)->initialise();
        }
        return *instancePointer;
    }

    void beforeRelease() override {}
    void* instancePointerAddress() override { return &instancePointer; }
    ~GuardedSingleton() override = default;
    // Runs once, right after creation, with the creating thread inside the lock.
    virtual void initialise() {}

protected:
    GuardedSingleton() = default;

private:
    inline static T* instancePointer = nullptr;
    inline static volatile uint32_t lockWord = 0;
    inline static volatile uint32_t ownerWord = 0;
};

}  // namespace vexo::templates::patterns
