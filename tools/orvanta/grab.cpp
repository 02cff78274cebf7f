// `grab`: frames acquired into the runtime's frame buffers and written to files, with a
// progress display while it runs and the statistics at the end, however it ends: after N
// frames, at Ctrl-C, or at a failure. With --trigger the board is first set up to take the
// triggers, and software triggers are sent one per frame.
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <vector>

#include "commands.h"
#include "image_files.h"
#include "orvanta/error_codes.h"
#include "orvanta/runtime.h"
#include "waiting.h"

namespace orvanta_tool {

using json = nlohmann::ordered_json;
using Clock = std::chrono::steady_clock;

namespace {

constexpr uint32_t kPort = 0;            // the design's one DMA channel
constexpr int32_t kTimeout = -2120;      // the runtime's answer when a picture did not come in time

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The grab's time: the board's on the virtual clock, where the tool moves time on itself.
class Stopwatch {
public:
    explicit Stopwatch(const SimControl& sim) : sim_(sim), virtual_(sim.virtualClock()), from_(sim.virtualNanoseconds()) {}
    double seconds() const {
        return virtual_ ? static_cast<double>(sim_.virtualNanoseconds() - from_) / 1e9 : secondsSince(start_);
    }

private:
    const SimControl& sim_;
    bool virtual_;
    uint64_t from_;
    Clock::time_point start_ = Clock::now();
};

// On a terminal a bar redrawn in place; otherwise a line per second, so that logs stay readable.
// Without a number of frames (until Ctrl-C) there is no bar, only the counts.
class Progress {
public:
    Progress(bool enabled, std::optional<int64_t> total)
        : enabled_(enabled), terminal_(isTerminal(stderr)), total_(total) {}

    void update(int64_t frames, uint64_t bytes, int64_t lost, double elapsed, bool last) {
        if (!enabled_) return;
        const double sinceShown = std::chrono::duration<double>(Clock::now() - shown_).count();
        if (!last && sinceShown < (terminal_ ? 0.1 : 1.0)) return;
        shown_ = Clock::now();
        const double fps = elapsed > 0 ? frames / elapsed : 0;
        const double megabytes = elapsed > 0 ? bytes / 1e6 / elapsed : 0;
        const std::string of = total_ ? "/" + std::to_string(*total_) : std::string();
        if (!terminal_) {
            std::fprintf(stderr, "grab: %" PRId64 "%s frames, %.1f fps, %.1f MB/s, %" PRId64 " lost\n", frames,
                         of.c_str(), fps, megabytes, lost);
            return;
        }
        std::string bar;
        if (total_) {
            constexpr int kWidth = 30;
            const int filled = *total_ > 0 ? static_cast<int>(kWidth * frames / *total_) : 0;
            bar = "[" + std::string(static_cast<size_t>(filled), '#') +
                  std::string(static_cast<size_t>(kWidth - filled), ' ') + "] ";
        }
        std::fprintf(stderr, "\r%s%" PRId64 "%s frames  %.1f fps  %.1f MB/s  %" PRId64 " lost ", bar.c_str(), frames,
                     of.c_str(), fps, megabytes, lost);
        if (last) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    bool enabled_;
    bool terminal_;
    std::optional<int64_t> total_;
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

Value readValue(const Session& session, const char* name) { return session.read(session.find(name, "grab")); }

uint32_t readNumber(const Session& session, const char* name) {
    return static_cast<uint32_t>(readValue(session, name).unsignedValue);
}

struct Change {
    std::string name;
    std::string before;
    std::string after;
};

// Sets a parameter to `wanted` unless it holds that already, and notes the change.
void ensure(Session& session, const char* name, const std::string& wanted, std::vector<Change>& changes) {
    const Parameter parameter = session.find(name, "grab");
    const std::string before = valueText(session.read(parameter), parameter.node);
    if (sameName(before, wanted)) return;
    session.write(parameter, wanted);
    changes.push_back({parameter.name, before, valueText(session.read(parameter), parameter.node)});
}

// What the trigger mode needs: the generator's rate when asked for, the area trigger mode, an
// active trigger, and a simulator (when it is the source) that takes a frame per trigger instead
// of running free. Everything else stays as it is, and nothing is set back afterwards.
std::vector<Change> prepareTrigger(Session& session, const GrabOptions& options) {
    std::vector<Change> changes;
    if (options.triggerRate) ensure(session, "FG_TRIGGER_FRAMESPERSECOND", exactDouble(*options.triggerRate), changes);
    const std::string mode = options.trigger == "software"    ? "ATM_SOFTWARE"
                             : options.trigger == "generator" ? "ATM_GENERATOR"
                                                              : "ATM_EXTERNAL";
    ensure(session, "FG_AREATRIGGERMODE", mode, changes);
    ensure(session, "FG_TRIGGERSTATE", "TS_ACTIVE", changes);
    const Parameter source = session.find("FG_CAMERASIMULATOR_ENABLE", "grab");
    if (sameName(valueText(session.read(source), source.node), "FG_CAMERASIMULATOR")) {
        const Parameter simulatorMode = session.find("FG_CAMERASIMULATOR_TRIGGER_MODE", "grab");
        if (sameName(valueText(session.read(simulatorMode), simulatorMode.node), "SIMULATION_FREE_RUN")) {
            ensure(session, "FG_CAMERASIMULATOR_TRIGGER_MODE", "RISING_EDGE_TRIGGERS_FRAME", changes);
        }
    }
    for (const Change& c : changes) {
        session.console().news("grab --trigger " + options.trigger + ": set " + c.name + "=" + c.after + " (was " +
                               c.before + ")");
    }
    return changes;
}

// Why no frame came, in the terms of what the user asked for.
std::string noFrameHint(Session& session, const GrabOptions& options) {
    const std::string source = valueText(readValue(session, "FG_CAMERASIMULATOR_ENABLE"),
                                         session.find("FG_CAMERASIMULATOR_ENABLE", "grab").node);
    if (options.trigger == "external") {
        const Parameter input = session.find("FG_TRIGGERIN_SRC", "grab");
        return "no frame came: the trigger waits for pulses on FG_TRIGGERIN_SRC=" +
               valueText(session.read(input), input.node) + " (on the simulated board: sim pulse)";
    }
    if (options.trigger.empty() && sameName(source, "FG_CAMPORT")) {
        return "no frame came: the camera on the camera port (FG_CAMERASIMULATOR_ENABLE=FG_CAMPORT) sends a frame "
               "per trigger; use --trigger, or the camera simulator (FG_CAMERASIMULATOR_ENABLE=FG_CAMERASIMULATOR)";
    }
    return "no frame came from " + source + (options.trigger.empty() ? "" : " on --trigger " + options.trigger) +
           " within the time-out";
}

struct Statistics {
    int64_t delivered = 0;
    int64_t lost = 0;
    int64_t written = 0;
    int64_t overwritten = 0;
    uint64_t bytes = 0;
    double seconds = 0;
    bool interrupted = false;
    std::vector<std::string> files;
};

void printStatistics(const Statistics& s, const std::vector<Change>& changes, const std::string& failure,
                     int32_t code, bool asJson) {
    const double fps = s.seconds > 0 ? s.delivered / s.seconds : 0;
    const double megabytes = s.seconds > 0 ? s.bytes / 1e6 / s.seconds : 0;
    if (asJson) {
        json out = {{"delivered", s.delivered},     {"lost", s.lost},   {"written", s.written},
                    {"overwritten", s.overwritten}, {"bytes", s.bytes}, {"seconds", s.seconds},
                    {"frames_per_second", fps},     {"files", s.files}, {"interrupted", s.interrupted}};
        json changed = json::array();
        for (const Change& c : changes) changed.push_back(json{{"name", c.name}, {"before", c.before}, {"after", c.after}});
        out["changed"] = changed;
        if (!failure.empty()) {
            out["error"] = {{"message", failure}};
            if (code != 0) out["error"]["code"] = code;
        }
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
    if (s.interrupted) std::cout << "stopped      at Ctrl-C\n";
}

// The acquisition of one grab: waiting for pictures and sending software triggers on the real
// clock or the virtual one, ending early at Ctrl-C.
class Acquisition {
public:
    Acquisition(Session& session, const GrabOptions& options, void* memory)
        : session_(session), options_(options), memory_(memory), fg_(session.handle()) {}

    // Sends one software trigger, again while the previous one's period still runs. False when
    // the time-out or Ctrl-C came first; a refusal is thrown.
    bool trigger(const Parameter& sendTrigger) {
        Waiting waiting(session_, options_.timeoutSeconds);
        const uint32_t one = 1;
        for (;;) {
            const int32_t result = Fg_setParameterWithType(fg_, sendTrigger.id, &one, 0, FG_TYPE_UINT32);
            if (result == 0) return true;
            if (result != FG_ERR_SOFTWARE_TRIGGER_BUSY) throw Failure(callFailure("grab: FG_SENDSOFTWARETRIGGER", result, Call::Write), result);
            if (waiting.expired() || InterruptCatcher::interrupted()) return false;
            waiting.pause();
        }
    }

    // Waits for picture `picture`: the last picture number, or 0 at Ctrl-C, or a negative code
    // (kTimeout when the time-out passed).
    int64_t await(int64_t picture) {
        Waiting waiting(session_, options_.timeoutSeconds);
        for (;;) {
            if (InterruptCatcher::interrupted()) return 0;
            if (waiting.virtualClock()) {
                const int64_t last = Fg_getLastPicNumberEx(fg_, kPort, memory_);
                if (last >= picture || last < 0) return last;
                if (waiting.expired()) return kTimeout;
                waiting.pause();
                continue;
            }
            // Waits of a second at most, so that Ctrl-C is heard; the fraction of a second left
            // at the end is waited for in small steps.
            const int32_t wait = std::min(waiting.wholeSecondsLeft(), 1);
            const Clock::time_point asked = Clock::now();
            const int64_t last = Fg_getLastPicNumberBlockingEx(fg_, picture, kPort, wait, memory_);
            if (last >= picture || (last < 0 && last != kTimeout)) return last;
            if (waiting.expired()) return kTimeout;
            // A runtime answers at once when nothing runs that could bring the picture.
            if (wait == 0 || secondsSince(asked) < 0.5) waiting.pause();
        }
    }

private:
    Session& session_;
    const GrabOptions& options_;
    void* memory_;
    void* fg_;
};

}  // namespace

void grabOptions(CLI::App& command, Request& r) {
    command.add_option("-n,--frames", r.grab.count, "Number of frames; without it the grab runs until Ctrl-C");
    command.add_option("-o,--output", r.grab.pattern,
                       "File name pattern with the picture number as %d (default frame-%04d.pgm); .pgm and .png "
                       "write 8- or 16-bit grey images, any other ending the raw bytes");
    CLI::Option* ring = command.add_flag("--ring", r.grab.ring, "Ring mode: buffers are overwritten in turn");
    CLI::Option* blocking =
        command.add_flag("--blocking", r.grab.blocking, "Blocking mode (the default): a buffer stays the tool's until "
                                                        "it is written; frames without a free buffer are lost");
    ring->excludes(blocking);
    command.add_option("--buffers", r.grab.buffers, "Number of frame buffers (default 4)");
    command.add_option("--timeout", r.grab.timeout,
                       "Seconds to wait for each frame (default 10, fractions allowed); on the simulated board's "
                       "virtual clock the tool moves the clock on while it waits, and the seconds are the board's");
    command.add_option("--trigger", r.grab.trigger,
                       "Trigger each frame: software (one trigger sent per frame), generator (the trigger generator "
                       "at FG_TRIGGER_FRAMESPERSECOND) or external (pulses on FG_TRIGGERIN_SRC). Sets the area "
                       "trigger mode and an active trigger state first, and leaves them so")
        ->check(CLI::IsMember({"software", "generator", "external"}));
    command.add_option("--rate", r.grab.rate, "With --trigger: set FG_TRIGGER_FRAMESPERSECOND to this many per second");
}

int grabFrames(Session& session, const Request& request) {
    const GrabOptions& options = request.grab;
    const FramePattern pattern = FramePattern::parse(options.pattern);
    void* fg = session.handle();

    const std::vector<Change> changes =
        options.trigger.empty() ? std::vector<Change>() : prepareTrigger(session, options);

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
    const Parameter sendTrigger =
        options.trigger == "software" ? session.find("FG_SENDSOFTWARETRIGGER", "grab") : Parameter{};

    FrameMemory memory(fg, frameBytes, options.bufferCount);
    const InterruptCatcher catcher;
    Acquisition acquisition(session, options, memory.get());
    const int32_t mode = options.ring ? FG_ACQ_RING : FG_ACQ_BLOCKING;
    const Stopwatch stopwatch(session.sim());
    // A count of 0 acquires until stopped.
    const int32_t started = Fg_AcquireEx(fg, kPort, options.frames.value_or(0), mode, memory.get());
    if (started != 0) {
        throw Failure(callFailure("grab: Fg_AcquireEx", Fg_getLastErrorNumber(fg), Call::Acquisition), started);
    }
    session.console().note("acquiring " + (options.frames ? std::to_string(*options.frames) : "until Ctrl-C") +
                           " frames of " + std::to_string(frameBytes) + " bytes into " +
                           std::to_string(options.bufferCount) + " buffers");
    if (!options.frames) session.console().news("grab: until Ctrl-C");

    Statistics stats;
    Progress progress(!request.quiet, options.frames);
    std::vector<uint8_t> copy;
    std::string failure;
    int32_t failureCode = 0;
    const std::string of = options.frames ? " of " + std::to_string(*options.frames) : std::string();
    for (int64_t picture = 1; !options.frames || picture <= *options.frames; ++picture) {
        if (!sendTrigger.name.empty() && !acquisition.trigger(sendTrigger)) {
            if (!InterruptCatcher::interrupted()) {
                failureCode = FG_ERR_SOFTWARE_TRIGGER_BUSY;
                failure = "grab: picture " + std::to_string(picture) + of +
                          ": the software trigger stayed busy for the whole time-out";
            }
            break;
        }
        const int64_t last = acquisition.await(picture);
        if (last == 0) break;  // Ctrl-C
        if (last < 0) {
            failureCode = static_cast<int32_t>(last);
            failure = callFailure("grab: picture " + std::to_string(picture) + of, failureCode, Call::Acquisition,
                                  picture == 1 && last == kTimeout ? noFrameHint(session, options) : "");
            break;
        }
        stats.seconds = stopwatch.seconds();
        const uint8_t* bytes = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg, picture, kPort, memory.get()));
        int64_t length =
            Fg_getStatusEx(fg, FG_STATUS_TRANSFER_LENGTH, static_cast<uint64_t>(picture), kPort, memory.get());
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
        progress.update(stats.written, stats.bytes, lost, stopwatch.seconds(), false);
    }
    stats.interrupted = InterruptCatcher::interrupted();
    if (stats.interrupted && options.frames && stats.written < *options.frames && failure.empty()) {
        failure = "grab: stopped at Ctrl-C after " + std::to_string(stats.written) + of + " frames";
    }
    stats.delivered = Fg_getStatusEx(fg, FG_STATUS_DELIVERED, 0, kPort, memory.get());
    stats.lost = Fg_getStatusEx(fg, FG_STATUS_LOST, 0, kPort, memory.get());
    if (stats.seconds == 0) stats.seconds = stopwatch.seconds();
    progress.update(stats.written, stats.bytes, stats.lost, stopwatch.seconds(), true);
    printStatistics(stats, changes, failure, failureCode, request.json);
    if (!failure.empty()) throw Failure(failure, failureCode, true);
    return kExitSuccess;
}

}  // namespace orvanta_tool
