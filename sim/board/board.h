// The model of one simulated board, one per hardware handle, shared by the stand-ins that reach
// it through that handle: the hardware library owns the boards and keeps their registers, the
// HAP runtime loads a HAP's design onto a board, and the runtime keeps the design's NX values.
// Between the stand-ins only; tests steer a board through the libraries' control functions.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

#include "design_model.h"
#include "orvanta_sim/export.h"

namespace sim {

// An image fed in at the camera's debug entry: `height` lines of `width` 8-bit pixels.
struct InjectedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

// The camera debug entry's input: the image being written word by word, and the complete images
// waiting for the source frames they replace, oldest first.
struct CameraInjection {
    std::vector<std::vector<uint8_t>> lines;  // written so far; the last one is open
    bool lineOpen = false;
    bool endOfLineNext = false;   // the next word ends its line
    bool endOfFrameNext = false;  // the next word ends the image
    std::deque<std::shared_ptr<const InjectedImage>> images;
};

// What a board holds, reached only under the board's lock (withBoard).
struct BoardState {
    std::shared_ptr<const DesignModel> design;  // the design loaded; never null
    std::vector<NxValue> values;                // indexed like design->parameters()
    uint64_t injectedPixels = 0;                // pixel words fed into the debug entries
    CameraInjection injection;
    std::map<uint32_t, uint64_t> registers;     // by address; the registers written so far
};

// Every member runs in the hardware library, which owns the board and its lock: the libraries
// are linked with their own copies of the C++ runtime on Windows, so one library's inline code
// must never lock a mutex that another library's code locks too.
class Board {
public:
    // Calls visitor(state, context) under the board's lock. The visitor does not call into
    // another stand-in library (whose locks may be held around calls into this one).
    virtual void visit(void (*visitor)(BoardState& state, void* context), void* context) = 0;
    // Puts the design of these NX rows on the board, unless it is there already. The values of
    // names both designs have are kept. Designs loaded before stay allocated: the applet keeps
    // names it was handed.
    virtual void loadDesign(const std::vector<DesignRow>& rows) = 0;

protected:
    ~Board() = default;
};

// Runs use(BoardState&) under the board's lock. A template rather than std::function: the
// tests that count the applet's heap use would count a capture that does not fit in place.
template <typename Use>
void withBoard(Board& board, Use&& use) {
    using Callable = std::remove_reference_t<Use>;
    board.visit([](BoardState& state, void* context) { (*static_cast<Callable*>(context))(state); }, &use);
}

}  // namespace sim

extern "C" {
// The board of a hardware handle, made at its first use with no HAP's design loaded (only the
// debug entries and the runtime's own parameters). Boards live as long as the process.
VEXO_SIM_HW_API sim::Board* SimBoard_Of(uint64_t hardware);
// Calls visitor for every board made so far.
VEXO_SIM_HW_API void SimBoard_ForEach(void (*visitor)(sim::Board& board, void* context), void* context);
}
