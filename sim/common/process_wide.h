// A process-wide object of a stand-in library. At process exit Windows ends the other threads
// before it unloads the libraries, maybe inside a wait on such an object's condition or inside
// its lock: destroying it then would wait for ever, so there it is left behind. Elsewhere it is
// destroyed when the library unloads, in the reverse order of first use.
#pragma once

namespace sim::platform {

template <typename T>
T& processWide() {
#if defined(_WIN32)
    static T* const instance = new T;
    return *instance;
#else
    static T instance;
    return instance;
#endif
}

}  // namespace sim::platform
