// The port keys of a configuration file as one constexpr table, generated from config_keys.def:
// the writer and both reading passes walk it in order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "applet/core/sdk_parameter_table.h"

namespace vexo::config {

enum class ConfigValueKind : uint8_t { Int, Double, Text };
enum class CheckingPass : uint8_t { Store, Skip };
enum class ApplyingPass : uint8_t { Apply, Skip, Last };

struct ConfigKey {
    applet::SdkParameter parameter;
    ConfigValueKind kind;
    CheckingPass checking;
    ApplyingPass applying;
};

inline constexpr ConfigKey kConfigKeys[] = {
#define CONFIG_KEY(name, kind, checking, applying) \
    {applet::SdkParameter::name, ConfigValueKind::kind, CheckingPass::checking, ApplyingPass::applying},
#include "config/config_keys.def"
#undef CONFIG_KEY
};

inline constexpr size_t kConfigKeyCount = sizeof(kConfigKeys) / sizeof(kConfigKeys[0]);
static_assert(kConfigKeyCount == 72, "a port section holds 72 keys");

// The key text of a row is the SDK parameter's name.
constexpr const char* keyName(const ConfigKey& key) { return applet::infoOf(key.parameter).name; }

namespace detail {

constexpr bool kindFits(ConfigValueKind kind, applet::ParameterKind parameterKind) {
    switch (kind) {
    case ConfigValueKind::Int:
        return parameterKind == applet::ParameterKind::Integer || parameterKind == applet::ParameterKind::Enumeration;
    case ConfigValueKind::Double: return parameterKind == applet::ParameterKind::Double;
    case ConfigValueKind::Text: return parameterKind == applet::ParameterKind::String;
    }
    return false;
}

// Every key is read and stored in its parameter's own kind, and exactly one key (the text) is
// applied last.
constexpr bool keysAreSound() {
    int last = 0;
    for (const ConfigKey& key : kConfigKeys) {
        if (!kindFits(key.kind, applet::infoOf(key.parameter).kind)) return false;
        if (key.applying == ApplyingPass::Last) ++last;
    }
    return last == 1;
}
static_assert(keysAreSound(), "configuration keys fit their parameters' kinds");

}  // namespace detail

}  // namespace vexo::config
