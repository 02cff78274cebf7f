// The runtime's application side: opening an applet on a board through its Std_entry, and
// routing the calls on an application's handle to the applet's exports of the same names. A call
// routed into the applet is counted in (Entered), so that closing the handle waits for it.
#pragma once

#include <cstdint>

#include "handle_table.h"
#include "orvanta_sim/runtime.h"
#include "sim_platform.h"

namespace sim::app {

// An application handle entered for one call; empty when fg is none. The handle does not close
// before the call leaves.
class Entered {
public:
    explicit Entered(const void* fg) : app_(handles().enterApplication(fg)) {}
    ~Entered() {
        if (app_ != nullptr) handles().leaveApplication(app_);
    }
    Entered(const Entered&) = delete;
    Entered& operator=(const Entered&) = delete;
    explicit operator bool() const { return app_ != nullptr; }
    AppHandle* get() const { return app_; }

private:
    AppHandle* app_;
};

void* open(const char* appletName, uint32_t boardIndex, uint32_t flags);
// Closes an application handle: no call enters it any more, its acquisition stops and its event
// waits return, then, once the calls inside it have left, the applet's Fg_FreeGrabber closes it.
// False when fg is no application handle.
bool freeGrabber(void* fg, int32_t& result);

// The inner handle just opened on this thread; the application being opened here takes it.
void innerHandleOpenedForApplication(const void* inner);

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
