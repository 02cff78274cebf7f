// Opens the Orvanta applet on board 0 of the simulated board, the way an application opens it
// through the runtime, lists its SDK parameters and closes it again.
#include <cinttypes>
#include <cstdio>

#include "vexo_sim.h"

int main() {
    void* fg = Fg_Init("Orvanta", 0);
    if (fg == nullptr) {
        std::fprintf(stderr, "cannot open the applet Orvanta on board 0: error %" PRIi32 "\n",
                     Fg_getLastErrorNumber(nullptr));
        return 1;
    }
    const int32_t count = Fg_getNrOfParameter(fg);
    std::printf("Orvanta opened on board 0: %" PRIi32 " SDK parameters\n", count);
    for (int32_t index = 0; index < count; ++index) {
        const char* name = Fg_getParameterName(fg, index);
        std::printf("  %3" PRIi32 "  %-8" PRIi32 " %s\n", index, Fg_getParameterId(fg, index),
                    name != nullptr ? name : "(none)");
    }
    const int32_t closed = Fg_FreeGrabber(fg);
    std::printf("closed: %" PRIi32 "\n", closed);
    return closed == 0 ? 0 : 1;
}
