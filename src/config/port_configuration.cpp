// The port section of a configuration file: writePortConfiguration writes the 72 keys as the
// read path reports them, readPortConfiguration reads them back in a checking, an applying and a last
// pass (FG_DEBUGFILE). Both walk the key table of config_keys.def.
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "config/port_configuration.h"

#include "applet/board.h"
#include "applet/core/setter_table.h"
#include "config/config_file_parser.h"
#include "config/config_keys.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"

namespace vexo::config {

namespace {


constexpr uint32_t kPort = 0;
constexpr uint32_t kDma = 0;

// The read path's type codes for the three kinds of value.
constexpr int32_t typeCodeOf(ConfigValueKind kind) {
    switch (kind) {
    case ConfigValueKind::Int: return kTypeU32;
    case ConfigValueKind::Double: return kTypeDouble;
    case ConfigValueKind::Text: return kTypeText;
    }
    return 0;
}

// A load hands its keys to the setters start-up uses, and a setter may depend on values written
// before it: the parameters both apply must come in the same order in both tables.
constexpr bool appliesInStartUpOrder() {
    size_t next = 0;  // the start-up position after the last shared parameter seen
    for (const ConfigKey& key : kConfigKeys) {
        if (key.applying == ApplyingPass::Skip) continue;
        for (size_t i = 0; i < std::size(applet::kAppliedInitialValues); ++i) {
            if (applet::kAppliedInitialValues[i].parameter != key.parameter) continue;
            if (i < next) return false;
            next = i + 1;
        }
    }
    return true;
}
static_assert(appliesInStartUpOrder(), "a configuration load applies in the order start-up does");

// One key's value in the form its kind is read and written. The text buffer is the one the
// FG_DEBUGFILE pass has always used: 1023 characters, zeroed.
struct KeyValue {
    int32_t integer = 0;
    double number = 0;
    std::array<char, 1023> text{};
    static_assert(sizeof(text) >= kLineBufferSize, "a value read from a line fits");

    void* address(ConfigValueKind kind) {
        switch (kind) {
        case ConfigValueKind::Int: return &integer;
        case ConfigValueKind::Double: return &number;
        case ConfigValueKind::Text: return text.data();
        }
        return nullptr;
    }
};

// A key the read path cannot answer (its read throws) is left out of the file.
void writeKey(applet::Board& w, Fg_ConfigFileParser& parser, const ConfigKey& key) {
    KeyValue value;
    const int32_t id = applet::infoOf(key.parameter).id;
    if (w.getParameter(id, value.address(key.kind), kDma, typeCodeOf(key.kind)) != errors::kSuccess) return;
    const char* name = keyName(key);
    switch (key.kind) {
    case ConfigValueKind::Int: parser.writeConfigFileIntKey(name, value.integer); break;
    case ConfigValueKind::Double: parser.writeConfigFileDoubleKey(name, value.number); break;
    case ConfigValueKind::Text: parser.writeConfigFile(name, value.text.data()); break;
    }
}

// Integers are read as 32-bit values whatever their sign.
bool readKey(Fg_ConfigFileParser& parser, const ConfigKey& key, KeyValue& value) {
    const char* name = keyName(key);
    switch (key.kind) {
    case ConfigValueKind::Int: {
        uint32_t integer = 0;
        if (parser.parsePortKey(kPort, name, integer) != 0) return false;
        value.integer = static_cast<int32_t>(integer);
        return true;
    }
    case ConfigValueKind::Double: return parser.parsePortKey(kPort, name, value.number) == 0;
    case ConfigValueKind::Text: return parser.parsePortKey(kPort, name, value.text.data()) == 0;
    }
    return false;
}

void storeKey(applet::Board& w, const ConfigKey& key, const KeyValue& value) {
    switch (key.kind) {
    case ConfigValueKind::Int: w.values()[key.parameter].i32 = value.integer; break;
    case ConfigValueKind::Double: w.values()[key.parameter].f64 = value.number; break;
    case ConfigValueKind::Text: w.values().text(key.parameter) = value.text.data(); break;
    }
}

// The first missing key ends the pass; what was stored before it stays.
bool storeKeys(applet::Board& w, Fg_ConfigFileParser& parser) {
    for (const ConfigKey& key : kConfigKeys) {
        if (key.checking != CheckingPass::Store) continue;
        KeyValue value;
        if (!readKey(parser, key, value)) return false;
        storeKey(w, key, value);
    }
    return true;
}

// Every key that is applied has a setter to apply it with.
constexpr bool appliedKeysHaveSetters() {
    for (const ConfigKey& key : kConfigKeys) {
        if (key.applying != ApplyingPass::Skip && !applet::setterOf(key.parameter).present) return false;
    }
    return true;
}
static_assert(appliedKeysHaveSetters(), "an applied configuration key lacks its setter");

// Each value goes to its setter as a write would hand it over, with throwOnError, so that a
// refused value fails the load. Settings applied before a failure stay in force.
bool applyKeys(applet::Board& w, Fg_ConfigFileParser& parser, ApplyingPass pass) {
    for (const ConfigKey& key : kConfigKeys) {
        if (key.applying != pass) continue;
        KeyValue value;
        if (!readKey(parser, key, value)) return false;
        try {
            applet::setterOf(key.parameter).fromCaller(w, value.address(key.kind), true);
        } catch (int32_t) {
            return false;
        }
    }
    return true;
}

}  // namespace

void writePortConfiguration(applet::Board& w, Fg_ConfigFileParser& parser) {
    parser.writePortSectionHeader(kPort);
    for (const ConfigKey& key : kConfigKeys) writeKey(w, parser, key);
}

// The whole load runs under the parameter lock, as every write does, so that no write of the
// application lands between the passes.
bool readPortConfiguration(applet::Board& w, Fg_ConfigFileParser& parser) {
    templates::platform::CriticalSectionGuard guard(w.parameterLock());
    return storeKeys(w, parser) && applyKeys(w, parser, ApplyingPass::Apply) && applyKeys(w, parser, ApplyingPass::Last);
}

}  // namespace vexo::config
