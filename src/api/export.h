// Marks the applet's 32 exported entry points: plain C names, visible outside the library.
// Which names are exports is the list in orvanta/exports.def: on Windows the module definition
// made from it names them; elsewhere everything else is built hidden and these get default
// visibility.
#pragma once

#if defined(_WIN32)
#define ORVANTA_EXPORT extern "C"
#else
#define ORVANTA_EXPORT extern "C" __attribute__((visibility("default")))
#endif
