// The runtime's application side: opening an applet on a board through its Std_entry, and
// routing the calls on an application's handle to the applet's exports of the same names.
#pragma once

#include <cstdint>

#include "sim_platform.h"
#include "orvanta_sim/runtime.h"
#include "runtime_state.h"

namespace sim::app {

// The application handle record behind fg, or null when fg is not one.
AppHandle* find(const void* fg);

void* open(const char* appletName, uint32_t boardIndex, uint32_t flags);
// Calls the applet's Fg_FreeGrabber with the record, then releases the record.
int32_t freeGrabber(AppHandle* app);

// An export of the applet (loaded by name and kept loaded until the process ends), or null.
void* appletSymbol(const char* appletName, const char* symbol);

// Calls the applet's export `name` with the handle record first, or answers `missing` when
// the applet does not export it.
template <typename R, typename... A>
R route(AppHandle* app, const char* name, R missing, A... args) {
    void* symbol = sim::platform::findSymbol(app->applet, name);
    if (symbol == nullptr) return missing;
    return reinterpret_cast<R (*)(void*, A...)>(symbol)(app, args...);
}

}  // namespace sim::app
