// The result codes of configuration files: the parser's own, and those that Fg_saveConfig and
// Fg_loadConfig answer (named for applications in orvanta/error_codes.h). The configuration code
// returns them; it never throws.
#pragma once

#include <cstdint>

#include "orvanta/error_codes.h"

namespace vexo::config {

inline constexpr int32_t kReaderFailed = -1;                           // a typed key reader found no value
inline constexpr int32_t kFileNotFound = errors::kConfigFileNotFound;  // load: no such file, or no ".mcf"
inline constexpr int32_t kContentInvalid = errors::kConfigContentInvalid;  // load: keys missing or refused
inline constexpr int32_t kFileNotCreated = errors::kConfigFileNotCreated;  // save: invalid name, not creatable
inline constexpr int32_t kKeyNotFound = -8000;                         // parser: no such section or key

}  // namespace vexo::config
