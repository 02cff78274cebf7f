// The applet descriptor: the query behind the exported Info, which the read path asks too.
// Callers inside the library use this function, never the exported name, which on Linux a
// runtime loaded before the applet may also carry.
#pragma once

#include <cstdint>

namespace vexo::api {

// Answers one descriptor selector. Null out cells are skipped; nothing else is written. For
// selector 4352 the first out pointer is the address of the constant's name.
int32_t info(int32_t selector, uint32_t firstIndex, uint32_t secondIndex, uint64_t* firstOut, uint64_t* secondOut);

}  // namespace vexo::api
