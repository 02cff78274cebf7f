// Fuzz target: arbitrary bytes as a .mcf file, then every query the configuration file parser
// offers: the header keys, every port key, and a key and section taken from the file itself.
#include <algorithm>
#include <cstdint>
#include <string>

#include "config/config_file_parser.h"
#include "config/config_keys.h"
#include "fuzz_support.h"

using vexo::config::kLineBufferSize;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile file("config-parser", ".mcf");
    vexo::config::Fg_ConfigFileParser parser(nullptr, file.write(data, size).c_str(), true);
    if (!parser.isOpen()) return 0;
    char text[kLineBufferSize];
    uint32_t u32 = 0;
    uint64_t u64 = 0;
    int64_t i64 = 0;
    double f64 = 0;
    for (const char* key : {"Hersteller", "Typ", "Version", "LoadAppletId", "AktivePort"}) {
        parser.parseKeyFromLine(key, text);
        parser.parseIntKeyFromHeader(key, u32);
    }
    // Each port key with the reader of its kind, as a configuration load reads it.
    for (const vexo::config::ConfigKey& key : vexo::config::kConfigKeys) {
        if (key.kind == vexo::config::ConfigValueKind::Int) parser.parsePortKey(0, keyName(key), u32);
        if (key.kind == vexo::config::ConfigValueKind::Double) parser.parsePortKey(0, keyName(key), f64);
        if (key.kind == vexo::config::ConfigValueKind::Text) parser.parsePortKey(0, keyName(key), text);
    }
    // A key and a section line the input chooses, with every reader: its first line is the
    // section line, and the text before that line's first '=' the key.
    const char* begin = reinterpret_cast<const char*>(data);
    const std::string line(begin, std::find_if(begin, begin + size, [](char c) { return c == '\n' || c == '\0'; }));
    const std::string key = line.substr(0, line.find('='));
    parser.parseKeyFromLine(key.c_str(), text);
    parser.parseKey(line.c_str(), key.c_str(), text);
    parser.parseIntKey(line.c_str(), key.c_str(), u32);
    parser.parseIntKey(line.c_str(), key.c_str(), u64);
    parser.parseIntKey(line.c_str(), key.c_str(), i64);
    parser.parseDoubleKey(line.c_str(), key.c_str(), f64);
    parser.parsePortKey(1, key.c_str(), u64);
    parser.parsePortKey(1, key.c_str(), i64);
    return 0;
}
