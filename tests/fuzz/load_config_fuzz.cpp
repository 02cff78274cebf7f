// Fuzz target: arbitrary bytes as a configuration file, loaded through the exports onto one
// opened board of the simulated runtime and saved again, so that whatever a load applied is
// also read back.
#include <cstdint>

#include "fuzz_board.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static fuzz::ScratchFile loaded("load-config", ".mcf");
    static fuzz::ScratchFile saved("load-config-saved", ".mcf");
    void* fg = fuzz::openBoardOnce();
    Fg_loadConfig(fg, loaded.write(data, size).c_str());
    Fg_saveConfig(fg, saved.path().c_str());
    return 0;
}
