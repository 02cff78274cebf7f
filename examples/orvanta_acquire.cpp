// Acquires images with the Orvanta applet on board 0, as an application acquires from a board:
// set a region of interest, acquire frames into a ring of 4 frame buffers, save the last one as a
// PGM file and print the frames per second the acquisition delivered. By default 10 frames of the
// camera simulator running free at 100 frames per second; with --software-trigger N, N frames of
// the camera on the camera port, each one exposed on a software trigger of its own.
//
//     orvanta_acquire [--frames N | --software-trigger N] [OUTPUT.pgm]
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include <string>

#include "orvanta/orvanta.h"

namespace {

constexpr uint32_t kWidth = 640;
constexpr uint32_t kHeight = 480;
constexpr int64_t kFrames = 10;
constexpr int64_t kBuffers = 4;
constexpr double kFramesPerSecond = 100;
constexpr int32_t kTimeoutSeconds = 5;

// Parameters are named by the applet's ids and values by its named constants (orvanta/orvanta.h).
bool set(void* fg, int32_t id, const char* name, const void* value, int32_t type) {
    const int32_t result = Fg_setParameterWithType(fg, id, value, 0, type);
    if (result != FG_ERR_NONE) std::fprintf(stderr, "%s: error %" PRIi32 "\n", name, result);
    return result == FG_ERR_NONE;
}

bool setU32(void* fg, int32_t id, const char* name, uint32_t value) {
    return set(fg, id, name, &value, FG_TYPE_UINT32);
}
bool setDouble(void* fg, int32_t id, const char* name, double value) {
    return set(fg, id, name, &value, FG_TYPE_DOUBLE);
}
#define SET_U32(fg, parameter, value) setU32(fg, parameter, #parameter, value)
#define SET_DOUBLE(fg, parameter, value) setDouble(fg, parameter, #parameter, value)

bool configureRegion(void* fg) {
    return SET_U32(fg, FG_WIDTH, kWidth) && SET_U32(fg, FG_HEIGHT, kHeight) && SET_U32(fg, FG_XOFFSET, 64) &&
           SET_U32(fg, FG_YOFFSET, 32);
}

bool configureSimulator(void* fg) {
    return SET_U32(fg, FG_CAMERASIMULATOR_ENABLE, FG_CAMERASIMULATOR) &&
           SET_U32(fg, FG_CAMERASIMULATOR_PATTERN, FG_DIAGONAL) &&
           SET_U32(fg, FG_CAMERASIMULATOR_SELECT_MODE, FG_FRAMERATE) &&
           SET_DOUBLE(fg, FG_CAMERASIMULATOR_FRAMERATE, kFramesPerSecond) && configureRegion(fg);
}

// The camera port as the source, its camera triggered by the application's software triggers, at
// most 100 per second (the trigger period: a trigger before it is over is refused as busy).
bool configureSoftwareTrigger(void* fg) {
    return SET_U32(fg, FG_CAMERASIMULATOR_ENABLE, FG_CAMPORT) && configureRegion(fg) &&
           SET_DOUBLE(fg, FG_TRIGGER_FRAMESPERSECOND, kFramesPerSecond) &&
           SET_U32(fg, FG_AREATRIGGERMODE, ATM_SOFTWARE) && SET_U32(fg, FG_TRIGGERSTATE, TS_ACTIVE);
}

// Sends one software trigger, waiting while the previous one's trigger period still runs.
bool sendSoftwareTrigger(void* fg) {
    const uint32_t one = 1;
    for (;;) {
        const int32_t result = Fg_setParameterWithType(fg, FG_SENDSOFTWARETRIGGER, &one, 0, FG_TYPE_UINT32);
        if (result == FG_ERR_NONE) return true;
        if (result != FG_ERR_SOFTWARE_TRIGGER_BUSY) {
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

constexpr const char* kUsage =
    "usage: orvanta_acquire [--frames N | --software-trigger N] [OUTPUT.pgm]\n"
    "Acquires frames with the Orvanta applet on board 0 and saves the last one as a PGM file\n"
    "(default orvanta_acquire.pgm).\n"
    "  --frames N             N frames of the camera simulator running free (default 10)\n"
    "  --software-trigger N   N frames of the camera on the camera port, one software trigger each\n"
    "  -h, --help             this text\n";

struct Options {
    const char* fileName = "orvanta_acquire.pgm";
    int64_t frames = kFrames;
    bool softwareTrigger = false;
    bool help = false;
};

// A count of at least 1, written in decimal digits only.
bool parseCount(const char* text, int64_t& count) {
    if (text == nullptr || *text == '\0' || std::strlen(text) > 9) return false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') return false;
    }
    count = std::strtoll(text, nullptr, 10);
    return count >= 1;
}

// Fills `options`; false with the reason on standard error for anything it does not know.
bool parseOptions(int argc, char** argv, Options& options) {
    bool counted = false;
    bool named = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            options.help = true;
        } else if (argument == "--frames" || argument == "--software-trigger") {
            const char* number = i + 1 < argc ? argv[++i] : nullptr;
            if (!parseCount(number, options.frames)) {
                std::fprintf(stderr, "orvanta_acquire: %s takes a number of frames of at least 1%s%s\n",
                             argument.c_str(), number != nullptr ? ", not " : "", number != nullptr ? number : "");
                return false;
            }
            if (counted) {
                std::fprintf(stderr, "orvanta_acquire: give --frames or --software-trigger once\n");
                return false;
            }
            counted = true;
            options.softwareTrigger = argument == "--software-trigger";
        } else if (argument.size() > 1 && argument[0] == '-') {
            std::fprintf(stderr, "orvanta_acquire: unknown option %s\n", argument.c_str());
            return false;
        } else if (named) {
            std::fprintf(stderr, "orvanta_acquire: one output file only, not also %s\n", argument.c_str());
            return false;
        } else {
            options.fileName = argv[i];
            named = true;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    void* fg = Fg_Init("Orvanta", 0);
    if (fg == nullptr) {
        std::fprintf(stderr, "cannot open the applet Orvanta on board 0: error %" PRIi32 "\n",
                     Fg_getLastErrorNumber(nullptr));
        return 1;
    }
    const int status = acquire(fg, options.fileName, options.frames, options.softwareTrigger);
    return Fg_FreeGrabber(fg) == 0 ? status : 1;
}
