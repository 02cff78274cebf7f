// The design's image path as the simulated board runs it: what one source frame of the camera
// simulator looks like, when it is due, which part of it reaches the frame buffer and which
// source frames the image selector lets through, all read from the NX values the applet wrote.
// The acquisition reads the settings at the start of every source frame (so a register written
// during an acquisition takes effect from the next one) and renders outside the board's lock.
// An image injected at the camera's debug entry replaces the simulator's frame that starts next.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <vector>

#include "design_model.h"

namespace sim {

// The registers the image path reads, by their names behind "Device1_Process0_"; `source`: the
// register decides where frames come from, so a board follows writes of it as they come.
#define SIM_IMAGE_PATH_REGISTERS(X)                                                  \
    X(SelectSource, "CameraSimulator_Enable_SelectSource", true)                     \
    X(FreeRun, "CameraSimulator_TriggerValve_FreeRun_Select", true)                  \
    X(ValveMode, "CameraSimulator_TriggerValve_TriggerValve_Mode", true)             \
    /* the active part of a line, in clocks */                                       \
    X(ActiveClocks, "CameraSimulator_LineGap_Number", false)                         \
    /* the whole line, in clocks */                                                  \
    X(LineClocks, "CameraSimulator_Size_ImageWidth", false)                          \
    /* the active part of a frame, in lines */                                       \
    X(ActiveLines, "CameraSimulator_FrameGap_Number", false)                         \
    /* the whole frame, in lines */                                                  \
    X(FrameLines, "CameraSimulator_Size_ImageHeight", false)                         \
    X(PixelClockMode, "CameraSimulator_ControlPixelClock_Mode", false)               \
    X(SequenceLength, "CameraSimulator_PixelFrequency_SequenceLength_ImageWidth", false) \
    X(ActivePixels, "CameraSimulator_PixelFrequency_ActivePixel_Number", false)      \
    X(EnableX, "CameraSimulator_EnableX_Enable_Value", false)                        \
    X(YDivisor, "CameraSimulator_Y_Divisor", false)                                  \
    X(FrameDivisor, "CameraSimulator_Frame_Divisor", false)                          \
    X(Offset, "CameraSimulator_Offset_Value", false)                                 \
    X(RoiFrom, "Buffer_0_XROI_ROIRange_from", false)                                 \
    X(RoiTo, "Buffer_0_XROI_ROIRange_to", false)                                     \
    X(FirstLine, "Buffer_0_DRAM_A_0_YOffset", false)                                 \
    X(LineCount, "Buffer_0_DRAM_A_0_YLength", false)                                 \
    X(SelectPeriod, "ImageSelector_FG_IMG_SELECT_PERIOD_Divisor", false)             \
    X(SelectPhase, "ImageSelector_FG_IMG_SELECT_PHASE_Number", false)

enum class ImageRegister : uint8_t {
#define SIM_IMAGE_ENUM(name, nx, source) name,
    SIM_IMAGE_PATH_REGISTERS(SIM_IMAGE_ENUM)
#undef SIM_IMAGE_ENUM
    Count
};

struct ImageRegisterRow {
    const char* name;  // the full NX name
    bool source;
};

inline constexpr ImageRegisterRow kImageRegisters[] = {
#define SIM_IMAGE_ROW(name, nx, source) {"Device1_Process0_" nx, source},
    SIM_IMAGE_PATH_REGISTERS(SIM_IMAGE_ROW)
#undef SIM_IMAGE_ROW
};
static_assert(std::size(kImageRegisters) == static_cast<size_t>(ImageRegister::Count), "one row per register");

// An image fed in at the camera's debug entry: `height` lines of `width` 8-bit pixels.
struct InjectedImage {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
};

// Where the design's frames come from: the camera simulator (Enable_SelectSource 1) running
// free, or triggered line by line or frame by frame by the trigger module's camera-control
// output (TriggerValve_FreeRun_Select 0, TriggerValve_TriggerValve_Mode 1 or 2); or the camera
// on the camera port (Enable_SelectSource 0).
enum class FrameSource : uint8_t { CameraPort, FreeRun, LineTrigger, FrameTrigger, None };

struct FrameSettings {
    FrameSource source = FrameSource::None;
    // Only the simulator running free brings frames by itself, one every period.
    bool delivers = false;
    // The simulator's time for one frame (free run: from one source frame to the next); 0 when
    // no frame is ever due.
    uint64_t periodNanoseconds = 0;
    uint32_t frameLines = 0;  // Size_ImageHeight: the simulator's whole frame, gap included

    // The camera's frames instead of the simulator's pattern: pixel (x, y) of frame k is
    // ((x XOR y) + k) mod 256.
    bool cameraPattern = false;

    // The simulator's frame, in 8-bit pixels: the active part of each line and frame.
    uint32_t activeWidth = 0;   // LineGap_Number x 32
    uint32_t activeHeight = 0;  // FrameGap_Number
    // Pattern of frame k at active (x, y):
    //   (enableX * x + yStep * y + frameStep * k + offset) mod 256
    uint32_t enableX = 0;    // EnableX_Enable_Value
    uint32_t yStep = 0;      // 256 / Y_Divisor
    uint32_t frameStep = 0;  // 256 / Frame_Divisor
    uint32_t offset = 0;     // Offset_Value
    // An injected image in place of the pattern: its lines are the frame's active part.
    std::shared_ptr<const InjectedImage> injected;

    // The part delivered into the buffer: source line bytes firstByte..lastByte and source lines
    // firstLine..firstLine + lineCount - 1; what lies outside the active frame reads 0.
    uint32_t firstByte = 0;  // Buffer_0_XROI_ROIRange_from
    uint32_t lastByte = 0;   // Buffer_0_XROI_ROIRange_to
    uint32_t firstLine = 0;  // Buffer_0_DRAM_A_0_YOffset
    uint32_t lineCount = 0;  // Buffer_0_DRAM_A_0_YLength

    // Of each run of selectPeriod source frames only the one at selectPhase is delivered.
    uint32_t selectPeriod = 1;  // ImageSelector_FG_IMG_SELECT_PERIOD_Divisor (0 counts as 1)
    uint32_t selectPhase = 0;   // ImageSelector_FG_IMG_SELECT_PHASE_Number

    // Bytes of one delivered line (the pitch in the buffer: lines are packed) and of a picture.
    uint64_t lineBytes() const;
    uint64_t transferBytes() const;
    // Whether the image selector delivers source frame k (counted from the acquisition's start).
    bool selects(uint64_t k) const;
};

// Reads the settings from a board's NX values. Names the loaded design lacks read as 0.
FrameSettings readFrameSettings(const DesignValues& board);

// The settings of a frame of the camera on the camera port, `width` x `height` pixels: the
// region and image selector as for the simulator's frames.
FrameSettings cameraFrameSettings(const DesignValues& board, uint32_t width, uint32_t height);

// Writes the delivered picture of source frame k, transferBytes() bytes, at `destination`.
void renderFrame(const FrameSettings& settings, uint64_t k, uint8_t* destination);

}  // namespace sim
