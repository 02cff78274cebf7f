// Test access to the applet's exports found by name, with the prototypes the library itself is
// checked against, and a handle record of the test's own making.
#pragma once

#include <cstdint>

#include "orvanta/export_prototypes.h"

// APPLET_EXPORT(lookup, Fg_getLastErrorNumber): the export as a typed function pointer, found
// by a lookup function taking the name (SimCtl_AppletSymbol, or findSymbol on the module).
#define APPLET_EXPORT(lookup, name) reinterpret_cast<vexo::api::prototypes::name>(lookup(#name))

// The runtime's per-board record as the applet sees it: the wrapper in the first field, then
// fields that belong to the runtime alone (filled with a pattern the applet must not touch).
struct HandleRecord {
    void* wrapper = nullptr;
    uint64_t runtimeFields[3] = {0xA5A5A5A5A5A5A5A5u, 0x5A5A5A5A5A5A5A5Au, 0x0123456789ABCDEFu};

    bool runtimeFieldsIntact() const {
        return runtimeFields[0] == 0xA5A5A5A5A5A5A5A5u && runtimeFields[1] == 0x5A5A5A5A5A5A5A5Au &&
               runtimeFields[2] == 0x0123456789ABCDEFu;
    }
};
