// The test process's environment and thread id, as the applet's own platform layer sees them:
// the Win32 environment block and thread ids on Windows, the C library's environment and the
// kernel's thread ids elsewhere.
#pragma once

#include <cstdint>

#if defined(_WIN32)
// Declared here rather than through <windows.h>, whose macros would reach every test that
// includes this.
extern "C" __declspec(dllimport) int __stdcall SetEnvironmentVariableA(const char* name, const char* value);
extern "C" __declspec(dllimport) unsigned long __stdcall GetCurrentThreadId(void);
#else
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace test_process {

// Defines the variable; an empty value keeps it defined.
inline void setEnvironment(const char* name, const char* value) {
#if defined(_WIN32)
    SetEnvironmentVariableA(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline void unsetEnvironment(const char* name) {
#if defined(_WIN32)
    SetEnvironmentVariableA(name, nullptr);
#else
    unsetenv(name);
#endif
}

// The id the applet writes into its log records.
inline uint32_t currentThreadId() {
#if defined(_WIN32)
    return static_cast<uint32_t>(GetCurrentThreadId());
#else
    return static_cast<uint32_t>(syscall(SYS_gettid));
#endif
}

}  // namespace test_process
