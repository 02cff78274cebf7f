// The design's debug entries at work on the simulated board: images fed in at the camera's
// entry, by pixel words or from a PGM file, and the pixel the buffer's entry monitors. Every
// function here runs under the board's lock.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace sim {

// A write just stored to one of the camera entry's inputs (parameter.cameraInput): with the
// entry's input on, a pixel word joins the image being written and may complete it, a flag marks
// the next word, and an insert reads the image from the entry's debug file. Answers 0, or
// SIM_ERR_FILE when the file cannot be read as a binary PGM.
int32_t feedCameraEntry(BoardState& board, const DesignParameter& parameter, const NxValue& written);

// The monitor at the buffer's entry reports the last pixel of a delivered picture: its position
// (byte in the line, line) and its value.
void monitorPicture(BoardState& board, const uint8_t* picture, uint64_t lineBytes, uint64_t length);

}  // namespace sim
