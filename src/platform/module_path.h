// The file name of the loaded module (library or executable) that contains a given address.
#pragma once

#include <cstddef>

namespace vexo::templates::platform {

// Writes the full file name of the module containing `address` into buffer (always
// terminated) without changing the module's reference count. Returns the length of the name,
// 0 on failure, or `size` when the name did not fit (the buffer then holds a cut name).
size_t moduleFileNameOf(const void* address, char* buffer, size_t size);

// The platform's path separator: '\\' on Windows, '/' elsewhere.
char pathSeparator();

}  // namespace vexo::templates::platform
