// The result codes of configuration files: the parser's and those that Fg_saveConfig and
// Fg_loadConfig answer. The configuration code returns them; it never throws.
#pragma once

#include <cstdint>

namespace vexo::config {

inline constexpr int32_t kReaderFailed = -1;           // a typed key reader found no value
inline constexpr int32_t kFileNotFound = -2076;        // load: no such file, or no ".mcf" in the name
inline constexpr int32_t kContentInvalid = -5000;      // load: header or port keys missing or refused
inline constexpr int32_t kFileNotCreated = -5001;      // save: invalid name or file not creatable
inline constexpr int32_t kKeyNotFound = -8000;         // parser: no such section or key

}  // namespace vexo::config
