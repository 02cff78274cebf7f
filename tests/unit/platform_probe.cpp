// A library that the platform tests load at run time, with one exported function and one
// exported data symbol.
#include <cstdint>

#if defined(_WIN32)
#define PROBE_EXPORT __declspec(dllexport)
#else
#define PROBE_EXPORT __attribute__((visibility("default")))
#endif

extern "C" PROBE_EXPORT int32_t platform_probe_answer() { return 42; }

extern "C" PROBE_EXPORT const uint32_t platform_probe_marker = 0x0dd5eedu;
