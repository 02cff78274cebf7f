// The checks that the write and the read of an SDK parameter share: which id range an id falls
// in, the DMA index's process, and the refusal of an id that nothing serves. Refusals throw
// their int32_t code, as every step of the SDK branches does.
#pragma once

#include <cstdint>

#include "applet/core/registry.h"

namespace vexo::applet {

class Board;

enum class IdRange : uint8_t { Sdk, DirectRegister, DirectNx };

// Above kDnxaIdBase NX parameters by NX id; above kDraIdBase registers by address, but only while
// direct register access is on (else such ids are unknown SDK ids).
constexpr IdRange idRangeOf(int32_t id, bool draEnabled) {
    if (id > kDnxaIdBase) return IdRange::DirectNx;
    if (draEnabled && id > kDraIdBase) return IdRange::DirectRegister;
    return IdRange::Sdk;
}

// Throws -2070 for a DMA index that belongs to no process, or (logged) to another than process 0.
// `verb` is "set" or "get".
void checkDma(Board& board, const char* verb, int32_t id, uint32_t dma);

// Throws -2070 after the record naming the id that nothing serves.
[[noreturn]] void refuseUnknown(Board& board, const char* verb, int32_t id);

}  // namespace vexo::applet
