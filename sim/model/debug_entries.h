// The design's debug entries at work on the simulated board: images fed in at the camera's
// entry, by pixel words or from a PGM file, and the pixel the buffer's entry monitors.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "design_model.h"
#include "image_path.h"

namespace sim {

// The camera debug entry's input: the image being written word by word, and the complete images
// waiting for the source frames they replace, oldest first.
struct CameraInjection {
    std::vector<std::vector<uint8_t>> lines;  // written so far; the last one is open
    bool lineOpen = false;
    bool endOfLineNext = false;   // the next word ends its line
    bool endOfFrameNext = false;  // the next word ends the image
    std::deque<std::shared_ptr<const InjectedImage>> images;
};

// A write just stored to one of the camera entry's inputs (parameter.cameraInput): with the
// entry's input on, a pixel word joins the image being written and may complete it, a flag marks
// the next word, and an insert reads the image from the entry's debug file. Answers 0, or
// SIM_ERR_FILE when the file cannot be read as a binary PGM.
int32_t feedCameraEntry(const DesignValues& board, CameraInjection& in, const DesignParameter& parameter,
                        const NxValue& written);

// Hands the oldest image injected at the camera's entry, if any, to the frame of `settings`,
// which is about to start; the image leaves the entry.
void takeInjectedImage(CameraInjection& in, FrameSettings& settings);

// The monitor at the buffer's entry reports the last pixel of a delivered picture: its position
// (byte in the line, line) and its value.
void monitorPicture(DesignValues& board, const uint8_t* picture, uint64_t lineBytes, uint64_t length);

}  // namespace sim
