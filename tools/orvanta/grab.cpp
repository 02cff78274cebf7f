// `grab`: frames acquired into the runtime's frame buffers and written to files, with a
// progress display while it runs and the statistics at the end.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

#include "commands.h"
#include "image_files.h"
#include "orvanta/runtime.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint32_t kPort = 0;  // the design's one DMA channel

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// On a terminal a bar redrawn in place; otherwise a line per second, so that logs stay readable.
class Progress {
public:
    Progress(bool enabled, int64_t total) : enabled_(enabled), terminal_(isTerminal(stderr)), total_(total) {}

    void update(int64_t frames, uint64_t bytes, int64_t lost, bool last) {
        if (!enabled_) return;
        const double elapsed = secondsSince(start_);
        const double sinceShown = std::chrono::duration<double>(Clock::now() - shown_).count();
        if (!last && sinceShown < (terminal_ ? 0.1 : 1.0)) return;
        shown_ = Clock::now();
        const double fps = elapsed > 0 ? frames / elapsed : 0;
        const double megabytes = elapsed > 0 ? bytes / 1e6 / elapsed : 0;
        if (!terminal_) {
            std::fprintf(stderr, "grab: %" PRId64 "/%" PRId64 " frames, %.1f fps, %.1f MB/s, %" PRId64 " lost\n",
                         frames, total_, fps, megabytes, lost);
            return;
        }
        constexpr int kWidth = 30;
        const int filled = total_ > 0 ? static_cast<int>(kWidth * frames / total_) : 0;
        std::fprintf(stderr, "\r[%s%s] %" PRId64 "/%" PRId64 " frames  %.1f fps  %.1f MB/s  %" PRId64 " lost ",
                     std::string(static_cast<size_t>(filled), '#').c_str(),
                     std::string(static_cast<size_t>(kWidth - filled), ' ').c_str(), frames, total_, fps, megabytes,
                     lost);
        if (last) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    bool enabled_;
    bool terminal_;
    int64_t total_;
    Clock::time_point start_ = Clock::now();
    Clock::time_point shown_ = Clock::now();
};

// The frame memory, stopped and freed however the grab ends.
class FrameMemory {
public:
    FrameMemory(void* fg, size_t bufferBytes, int64_t count) : fg_(fg) {
        memory_ = Fg_AllocMemEx(fg, bufferBytes * static_cast<size_t>(count), count);
        if (memory_ == nullptr) {
            const int32_t code = Fg_getLastErrorNumber(nullptr);
            throw Failure(callFailure("grab: Fg_AllocMemEx of " + std::to_string(count) + " buffers of " +
                                          std::to_string(bufferBytes) + " bytes",
                                      code, Call::Acquisition),
                          code);
        }
    }
    ~FrameMemory() {
        Fg_stopAcquireEx(fg_, kPort, memory_, 0);
        Fg_FreeMemEx(fg_, memory_);
    }
    FrameMemory(const FrameMemory&) = delete;
    FrameMemory& operator=(const FrameMemory&) = delete;
    void* get() const { return memory_; }

private:
    void* fg_;
    void* memory_ = nullptr;
};

uint32_t readNumber(const Session& session, const char* name) {
    const Value value = session.read(session.find(name, "grab"));
    return static_cast<uint32_t>(value.unsignedValue);
}

struct Statistics {
    int64_t delivered = 0;
    int64_t lost = 0;
    int64_t written = 0;
    int64_t overwritten = 0;
    uint64_t bytes = 0;
    double seconds = 0;
    std::vector<std::string> files;
};

void printStatistics(const Statistics& s, bool asJson) {
    const double fps = s.seconds > 0 ? s.delivered / s.seconds : 0;
    const double megabytes = s.seconds > 0 ? s.bytes / 1e6 / s.seconds : 0;
    if (asJson) {
        const json out = {{"delivered", s.delivered},     {"lost", s.lost},   {"written", s.written},
                          {"overwritten", s.overwritten}, {"bytes", s.bytes}, {"seconds", s.seconds},
                          {"frames_per_second", fps},     {"files", s.files}};
        std::cout << out.dump(2) << std::endl;
        return;
    }
    std::cout << "delivered    " << s.delivered << "\n";
    std::cout << "lost         " << s.lost << "\n";
    std::cout << "written      " << s.written;
    if (!s.files.empty()) {
        std::cout << " (" << s.files.front() << (s.files.size() > 1 ? " .. " + s.files.back() : "") << ")";
    }
    std::cout << "\n";
    if (s.overwritten > 0) std::cout << "overwritten  " << s.overwritten << " (ring buffers reused before written)\n";
    char line[96];
    std::snprintf(line, sizeof line, "rate         %.1f frames/s\nbytes        %" PRIu64 " (%.1f MB/s)\n", fps, s.bytes,
                  megabytes);
    std::cout << line;
}

}  // namespace

int grabFrames(Session& session, const Request& request) {
    const GrabOptions& options = request.grab;
    const FramePattern pattern = FramePattern::parse(options.pattern);
    void* fg = session.handle();

    // The picture's shape from the applet: bytes per line from the line payload in bits.
    const uint32_t width = readNumber(session, "FG_WIDTH");
    const uint32_t height = readNumber(session, "FG_HEIGHT");
    const uint32_t payloadBits = readNumber(session, "FG_LINE_PAYLOAD_SIZE");
    const uint32_t bitsPerPixel = width != 0 && payloadBits % width == 0 ? payloadBits / width : 0;
    const size_t lineBytes = (payloadBits + 7u) / 8u;
    const size_t frameBytes = lineBytes * height;
    if (pattern.kind() != FileKind::Raw && bitsPerPixel != 8 && bitsPerPixel != 16) {
        const Parameter format = session.find("FG_FORMAT", "grab");
        throw Failure("grab: FG_FORMAT=" + valueText(session.read(format), format.node) + " gives " +
                      std::to_string(payloadBits) + " bits per line of " + std::to_string(width) +
                      " pixels: PGM and PNG files take 8 or 16 bits per pixel (write raw files, -o frame-%04d.raw)");
    }
    if (frameBytes == 0) throw Failure("grab: the frame is empty (FG_WIDTH, FG_HEIGHT)");

    if (!options.trigger.empty()) {
        const std::string mode = options.trigger == "software" ? "ATM_SOFTWARE"
                                 : options.trigger == "generator" ? "ATM_GENERATOR"
                                                                  : "ATM_EXTERNAL";
        session.write(session.find("FG_AREATRIGGERMODE", "grab"), mode);
    }
    const bool softwareTrigger = options.trigger == "software";
    const Parameter trigger = softwareTrigger ? session.find("FG_SENDSOFTWARETRIGGER", "grab") : Parameter{};

    FrameMemory memory(fg, frameBytes, options.buffers);
    const int32_t mode = options.ring ? FG_ACQ_RING : FG_ACQ_BLOCKING;
    const Clock::time_point start = Clock::now();
    const int32_t started = Fg_AcquireEx(fg, kPort, options.count, mode, memory.get());
    if (started != 0) {
        throw Failure(callFailure("grab: Fg_AcquireEx", Fg_getLastErrorNumber(fg), Call::Acquisition), started);
    }
    session.console().note("acquiring " + std::to_string(options.count) + " frames of " + std::to_string(frameBytes) +
                           " bytes into " + std::to_string(options.buffers) + " buffers");

    Statistics stats;
    Progress progress(!request.quiet, options.count);
    std::vector<uint8_t> copy;
    std::string failure;
    int32_t failureCode = 0;
    for (int64_t picture = 1; picture <= options.count && failure.empty(); ++picture) {
        if (softwareTrigger) session.write(trigger, "1");
        const int64_t last = Fg_getLastPicNumberBlockingEx(fg, picture, kPort, options.timeoutSeconds, memory.get());
        if (last < 0) {
            failureCode = static_cast<int32_t>(last);
            failure = callFailure("grab: picture " + std::to_string(picture) + " of " + std::to_string(options.count),
                                  failureCode, Call::Acquisition,
                                  picture == 1 ? "no frame came: is an image source on, e.g. "
                                                 "FG_CAMERASIMULATOR_ENABLE=FG_CAMERASIMULATOR?"
                                               : "");
            break;
        }
        stats.seconds = secondsSince(start);
        const uint8_t* bytes = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg, picture, kPort, memory.get()));
        int64_t length = Fg_getStatusEx(fg, FG_STATUS_TRANSFER_LENGTH, static_cast<uint64_t>(picture), kPort, memory.get());
        if (length <= 0 || static_cast<size_t>(length) > frameBytes) length = static_cast<int64_t>(frameBytes);
        if (bytes != nullptr && options.ring) {
            // A ring buffer may be refilled while it is copied: the copy counts only if the
            // picture is still there afterwards.
            copy.assign(bytes, bytes + length);
            const int64_t index =
                Fg_getStatusEx(fg, FG_STATUS_BUFFER_INDEX, static_cast<uint64_t>(picture), kPort, memory.get());
            bytes = index >= 0 ? copy.data() : nullptr;
        }
        if (bytes == nullptr) {
            ++stats.overwritten;
            continue;
        }
        const std::string path = pattern.name(picture);
        const uint32_t lines = static_cast<uint32_t>(static_cast<size_t>(length) / lineBytes);
        const Picture image{bytes, static_cast<size_t>(length), width, lines, bitsPerPixel, lineBytes};
        try {
            writePicture(path, pattern.kind(), image);
        } catch (const std::exception& error) {
            failure = std::string("grab: ") + error.what();
        }
        if (!options.ring) Fg_setStatusEx(fg, FG_STATUS_RELEASE_PICTURE, picture, kPort, memory.get());
        if (!failure.empty()) break;
        ++stats.written;
        stats.bytes += static_cast<uint64_t>(length);
        stats.files.push_back(path);
        const int64_t lost = Fg_getStatusEx(fg, FG_STATUS_LOST, 0, kPort, memory.get());
        progress.update(stats.written, stats.bytes, lost, false);
    }
    stats.delivered = Fg_getStatusEx(fg, FG_STATUS_DELIVERED, 0, kPort, memory.get());
    stats.lost = Fg_getStatusEx(fg, FG_STATUS_LOST, 0, kPort, memory.get());
    progress.update(stats.written, stats.bytes, stats.lost, true);
    printStatistics(stats, request.json);
    if (!failure.empty()) throw Failure(failure, failureCode);
    return kExitSuccess;
}

}  // namespace orvanta_tool
