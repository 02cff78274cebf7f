// A board's answers to parameter calls: which parameter an id names and whether the call fits it,
// a write stored and followed through (the timeline, the debug entries), a read answered. The
// runtime checks its injected failures between finding a parameter and reaching it. Every
// function here expects the board's lock held.
#pragma once

#include <cstdint>

#include "inner_handle.h"
#include "model/design_model.h"

namespace sim {

struct Board;

// The parameter a call reaches, after the checks every access makes.
struct ParameterAccess {
    int32_t index = -1;
    const DesignParameter* parameter = nullptr;  // null: refused with `refusal`
    int32_t type = 0;                            // the caller's type code, or the parameter's own
    int32_t refusal = 0;
};

// The parameter of `id` on the board for a call with this value, DMA index and type code (a
// negative type: the parameter's own); `index` and `parameter` are set whenever the id is known.
ParameterAccess findParameter(const Board& board, int32_t id, const void* value, uint32_t dma, int32_t type,
                              bool reading);
// Stores a write of a writable parameter and follows it through; answers 0 or the error of a debug
// entry that could not take it.
int32_t writeParameter(Board& board, const ParameterAccess& access, const void* value);
// Answers a read into the caller's memory; an allocated text is handed out on the handle.
void readParameter(Board& board, InnerHandle& handle, const ParameterAccess& access, void* value);

}  // namespace sim
