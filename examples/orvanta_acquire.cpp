// Acquires images from the camera simulator of the Orvanta applet on board 0, as an application
// acquires from a board: switch the image source to the simulator, set a region of interest and a
// frame rate, acquire 10 frames into a ring of 4 frame buffers, save the last one as a PGM file and
// print the frames per second the acquisition delivered.
//
//     orvanta_acquire [output.pgm]
#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "orvanta/type_codes.h"
#include "orvanta_sim/runtime.h"

namespace {

constexpr uint32_t kWidth = 640;
constexpr uint32_t kHeight = 480;
constexpr int64_t kFrames = 10;
constexpr int64_t kBuffers = 4;
constexpr double kFramesPerSecond = 100;
constexpr int32_t kRingMode = 1;
constexpr int32_t kTimeoutSeconds = 5;

// Named constants of the applet's parameters.
constexpr uint32_t kCameraSimulator = 1;  // FG_CAMERASIMULATOR
constexpr uint32_t kFrameRateMode = 2;    // FG_FRAMERATE
constexpr uint32_t kDiagonal = 3;         // FG_DIAGONAL

bool set(void* fg, const char* name, const void* value, int32_t type) {
    const int32_t result = Fg_setParameterWithType(fg, Fg_getParameterIdByName(fg, name), value, 0, type);
    if (result != 0) std::fprintf(stderr, "%s: error %" PRIi32 "\n", name, result);
    return result == 0;
}

bool setU32(void* fg, const char* name, uint32_t value) { return set(fg, name, &value, vexo::kTypeU32); }
bool setDouble(void* fg, const char* name, double value) { return set(fg, name, &value, vexo::kTypeDouble); }

bool configure(void* fg) {
    return setU32(fg, "FG_CAMERASIMULATOR_ENABLE", kCameraSimulator) &&
           setU32(fg, "FG_CAMERASIMULATOR_PATTERN", kDiagonal) &&
           setU32(fg, "FG_CAMERASIMULATOR_SELECT_MODE", kFrameRateMode) &&
           setDouble(fg, "FG_CAMERASIMULATOR_FRAMERATE", kFramesPerSecond) && setU32(fg, "FG_WIDTH", kWidth) &&
           setU32(fg, "FG_HEIGHT", kHeight) && setU32(fg, "FG_XOFFSET", 64) && setU32(fg, "FG_YOFFSET", 32);
}

bool writePgm(const char* fileName, const uint8_t* pixels) {
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P5\n%" PRIu32 " %" PRIu32 "\n255\n", kWidth, kHeight);
    const size_t bytes = size_t{kWidth} * kHeight;
    const bool written = std::fwrite(pixels, 1, bytes, file) == bytes;
    return std::fclose(file) == 0 && written;
}

int acquire(void* fg, const char* fileName) {
    if (!configure(fg)) return 1;
    const size_t frameBytes = size_t{kWidth} * kHeight;  // 8-bit pixels: FG_GRAY
    void* memory = Fg_AllocMemEx(fg, frameBytes * kBuffers, kBuffers);
    if (memory == nullptr) {
        std::fprintf(stderr, "Fg_AllocMemEx: error %" PRIi32 "\n", Fg_getLastErrorNumber(fg));
        return 1;
    }
    int status = 1;
    const auto start = std::chrono::steady_clock::now();
    if (Fg_AcquireEx(fg, 0, kFrames, kRingMode, memory) != 0) {
        std::fprintf(stderr, "Fg_AcquireEx: error %" PRIi32 "\n", Fg_getLastErrorNumber(fg));
    } else {
        const int64_t last = Fg_getLastPicNumberBlockingEx(fg, kFrames, 0, kTimeoutSeconds, memory);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        Fg_stopAcquireEx(fg, 0, memory, 0);
        if (last < kFrames) {
            std::fprintf(stderr, "Fg_getLastPicNumberBlockingEx: error %" PRIi64 "\n", last);
        } else {
            const auto* pixels = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg, last, 0, memory));
            if (pixels != nullptr && writePgm(fileName, pixels)) {
                std::printf("%" PRIi64 " frames of %" PRIu32 "x%" PRIu32 " in %.3f s: %.1f frames per second; "
                            "picture %" PRIi64 " saved as %s\n",
                            last, kWidth, kHeight, seconds.count(), last / seconds.count(), last, fileName);
                status = 0;
            } else {
                std::fprintf(stderr, "cannot save picture %" PRIi64 " as %s\n", last, fileName);
            }
        }
    }
    Fg_FreeMemEx(fg, memory);
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const char* fileName = argc > 1 ? argv[1] : "orvanta_acquire.pgm";
    void* fg = Fg_Init("Orvanta", 0);
    if (fg == nullptr) {
        std::fprintf(stderr, "cannot open the applet Orvanta on board 0: error %" PRIi32 "\n",
                     Fg_getLastErrorNumber(nullptr));
        return 1;
    }
    const int status = acquire(fg, fileName);
    return Fg_FreeGrabber(fg) == 0 ? status : 1;
}
