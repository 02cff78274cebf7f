// Fuzz target: arbitrary bytes as an inspect.conf file, then the reader's queries. Every key the
// library's section lists must be found again.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "applet/core/inspect_settings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile file("inspect", ".conf");
    vexo::applet::InspectSettings settings;
    if (!settings.load(file.write(data, size))) std::abort();
    std::string value;
    size_t listed = 0;
    for (const std::string& key : settings.keysOfSection("Orvanta")) {
        if (!settings.get("Orvanta::" + key, value)) std::abort();
        ++listed;
    }
    if (listed > settings.size()) std::abort();
    return 0;
}
