// Acquires images with the Orvanta applet on board 0, as an application acquires from a board:
// set a region of interest, acquire frames into a ring of 4 frame buffers, save the last one as a
// PGM file and print the frames per second the acquisition delivered. By default 10 frames of the
// camera simulator running free at 100 frames per second; with --software-trigger N, N frames of
// the camera on the camera port, each one exposed on a software trigger of its own.
//
//     orvanta_acquire [--software-trigger N] [output.pgm]
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "orvanta/type_codes.h"
#include "orvanta/runtime.h"

namespace {

constexpr uint32_t kWidth = 640;
constexpr uint32_t kHeight = 480;
constexpr int64_t kFrames = 10;
constexpr int64_t kBuffers = 4;
constexpr double kFramesPerSecond = 100;
constexpr int32_t kTimeoutSeconds = 5;

// Named constants of the applet's parameters.
constexpr uint32_t kCameraSimulator = 1;  // FG_CAMERASIMULATOR
constexpr uint32_t kFrameRateMode = 2;    // FG_FRAMERATE
constexpr uint32_t kDiagonal = 3;         // FG_DIAGONAL
constexpr uint32_t kCameraPort = 0;       // FG_CAMPORT
constexpr uint32_t kSoftwareTrigger = 4;  // ATM_SOFTWARE
constexpr uint32_t kActive = 0;           // TS_ACTIVE
constexpr int32_t kTriggerBusy = -60;     // the previous trigger's period is not over yet

bool set(void* fg, const char* name, const void* value, int32_t type) {
    const int32_t result = Fg_setParameterWithType(fg, Fg_getParameterIdByName(fg, name), value, 0, type);
    if (result != 0) std::fprintf(stderr, "%s: error %" PRIi32 "\n", name, result);
    return result == 0;
}

bool setU32(void* fg, const char* name, uint32_t value) { return set(fg, name, &value, vexo::kTypeU32); }
bool setDouble(void* fg, const char* name, double value) { return set(fg, name, &value, vexo::kTypeDouble); }

bool configureRegion(void* fg) {
    return setU32(fg, "FG_WIDTH", kWidth) && setU32(fg, "FG_HEIGHT", kHeight) && setU32(fg, "FG_XOFFSET", 64) &&
           setU32(fg, "FG_YOFFSET", 32);
}

bool configureSimulator(void* fg) {
    return setU32(fg, "FG_CAMERASIMULATOR_ENABLE", kCameraSimulator) &&
           setU32(fg, "FG_CAMERASIMULATOR_PATTERN", kDiagonal) &&
           setU32(fg, "FG_CAMERASIMULATOR_SELECT_MODE", kFrameRateMode) &&
           setDouble(fg, "FG_CAMERASIMULATOR_FRAMERATE", kFramesPerSecond) && configureRegion(fg);
}

// The camera port as the source, its camera triggered by the application's software triggers, at
// most 100 per second (the trigger period: a trigger before it is over is refused as busy).
bool configureSoftwareTrigger(void* fg) {
    return setU32(fg, "FG_CAMERASIMULATOR_ENABLE", kCameraPort) && configureRegion(fg) &&
           setDouble(fg, "FG_TRIGGER_FRAMESPERSECOND", kFramesPerSecond) &&
           setU32(fg, "FG_AREATRIGGERMODE", kSoftwareTrigger) && setU32(fg, "FG_TRIGGERSTATE", kActive);
}

// Sends one software trigger, waiting while the previous one's trigger period still runs.
bool sendSoftwareTrigger(void* fg) {
    const int32_t id = Fg_getParameterIdByName(fg, "FG_SENDSOFTWARETRIGGER");
    const uint32_t one = 1;
    for (;;) {
        const int32_t result = Fg_setParameterWithType(fg, id, &one, 0, vexo::kTypeU32);
        if (result == 0) return true;
        if (result != kTriggerBusy) {
            std::fprintf(stderr, "FG_SENDSOFTWARETRIGGER: error %" PRIi32 "\n", result);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

// Waits for `frames` pictures; with software triggers one trigger is sent before each.
int64_t awaitFrames(void* fg, void* memory, int64_t frames, bool softwareTrigger) {
    if (!softwareTrigger) return Fg_getLastPicNumberBlockingEx(fg, frames, 0, kTimeoutSeconds, memory);
    int64_t last = 0;
    for (int64_t picture = 1; picture <= frames; ++picture) {
        if (!sendSoftwareTrigger(fg)) return last;
        last = Fg_getLastPicNumberBlockingEx(fg, picture, 0, kTimeoutSeconds, memory);
        if (last < picture) return last;
    }
    return last;
}

bool writePgm(const char* fileName, const uint8_t* pixels) {
    std::FILE* file = std::fopen(fileName, "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P5\n%" PRIu32 " %" PRIu32 "\n255\n", kWidth, kHeight);
    const size_t bytes = size_t{kWidth} * kHeight;
    const bool written = std::fwrite(pixels, 1, bytes, file) == bytes;
    return std::fclose(file) == 0 && written;
}

int acquire(void* fg, const char* fileName, int64_t frames, bool softwareTrigger) {
    if (!(softwareTrigger ? configureSoftwareTrigger(fg) : configureSimulator(fg))) return 1;
    const size_t frameBytes = size_t{kWidth} * kHeight;  // 8-bit pixels: FG_GRAY
    void* memory = Fg_AllocMemEx(fg, frameBytes * kBuffers, kBuffers);
    if (memory == nullptr) {
        std::fprintf(stderr, "Fg_AllocMemEx: error %" PRIi32 "\n", Fg_getLastErrorNumber(fg));
        return 1;
    }
    int status = 1;
    const auto start = std::chrono::steady_clock::now();
    if (Fg_AcquireEx(fg, 0, frames, FG_ACQ_RING, memory) != 0) {
        std::fprintf(stderr, "Fg_AcquireEx: error %" PRIi32 "\n", Fg_getLastErrorNumber(fg));
    } else {
        const int64_t last = awaitFrames(fg, memory, frames, softwareTrigger);
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
        Fg_stopAcquireEx(fg, 0, memory, 0);
        if (last < frames) {
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
    const char* fileName = "orvanta_acquire.pgm";
    int64_t frames = kFrames;
    bool softwareTrigger = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--software-trigger") == 0 && i + 1 < argc) {
            frames = std::strtoll(argv[++i], nullptr, 10);
            softwareTrigger = true;
            if (frames < 1) {
                std::fprintf(stderr, "--software-trigger takes a number of frames of at least 1\n");
                return 2;
            }
        } else {
            fileName = argv[i];
        }
    }
    void* fg = Fg_Init("Orvanta", 0);
    if (fg == nullptr) {
        std::fprintf(stderr, "cannot open the applet Orvanta on board 0: error %" PRIi32 "\n",
                     Fg_getLastErrorNumber(nullptr));
        return 1;
    }
    const int status = acquire(fg, fileName, frames, softwareTrigger);
    return Fg_FreeGrabber(fg) == 0 ? status : 1;
}
