// The viewer's server side of one 1024 x 1024 8-bit frame, beside a memcpy of it: the frame kept
// as the acquisition thread keeps a picture (copied out of the frame buffer), and the answer to
// one browser's request for it written into a sink that takes the bytes as a socket would (the
// kernel's copy not included). Also the JPEG one MJPEG viewer costs, and the PNG of a frame.
#include <cstdint>
#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "orvanta_sim/runtime_control.h"
#include "view/frame_encoding.h"
#include "view/request_handler.h"

namespace {

using namespace orvanta_tool;

constexpr uint32_t kSide = 1024;

struct Viewer {
    Console console;
    Session session{"Orvanta", 0, console};
    view::BoardAccess board{session};
    view::EventLog events{session.handle()};
    view::FrameSource frames{session.handle(), board};
    view::CameraControl camera{0};
    view::RequestHandler handler{{board, frames, events, camera, view::accessPolicy("127.0.0.1", 8080, "", ""), 8}};
    view::FrameGeometry geometry{kSide, kSide, 8, kSide, "FG_GRAY"};
    std::vector<uint8_t> picture = std::vector<uint8_t>(size_t{kSide} * kSide);

    Viewer() {
        SimCtl_SetRecording(0);
        // The simulator's diagonal ramp, so that the JPEG has a picture's work to do.
        for (uint32_t y = 0; y < kSide; ++y) {
            for (uint32_t x = 0; x < kSide; ++x) picture[size_t{y} * kSide + x] = static_cast<uint8_t>(x + y);
        }
    }
};

Viewer& viewer() {
    // Made after the runtime's own state, so closed before that goes at exit.
    static Viewer opened;
    return opened;
}

void perFrame(benchmark::State& state) {
    const int64_t bytes = static_cast<int64_t>(state.iterations()) * kSide * kSide;
    state.SetBytesProcessed(bytes);
    state.SetItemsProcessed(state.iterations());
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint8_t> from(size_t{kSide} * kSide, 1), to(from.size());
    bench::measure(state, "", [&] {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        return true;
    });
    perFrame(state);
}

// The server's CPU time per frame for one browser: the copy out of the frame buffer, and
// GET /api/frame answered and its body written.
void BM_ServeFrame(benchmark::State& state) {
    Viewer& v = viewer();
    httplib::DataSink sink;
    size_t written = 0;
    sink.write = [&written](const char* data, size_t length) {
        benchmark::DoNotOptimize(data);
        written += length;
        return true;
    };
    sink.is_writable = [] { return true; };
    sink.done = [] {};
    int64_t picture = 0;
    bench::measure(state, "the frame was not served whole", [&] {
        v.frames.keep(++picture, v.geometry, v.picture.data(), v.picture.size());
        httplib::Request request;
        request.method = "GET";
        request.path = "/api/frame";
        request.params.emplace("timeout_ms", "0");
        request.headers.emplace("Host", "127.0.0.1:8080");
        httplib::Response response;
        v.handler.handle(request, response);
        written = 0;
        return response.status == 200 && response.content_provider_(0, response.content_length_, sink) &&
               written == v.picture.size();
    });
    perFrame(state);
}

// A picture of the frame, as /api/frame.jpg (and each MJPEG viewer's frame) or /api/frame.png
// makes it.
template <typename Encode>
void BM_EncodeFrame(benchmark::State& state, Encode encode) {
    Viewer& v = viewer();
    v.frames.keep(1, v.geometry, v.picture.data(), v.picture.size());
    const auto frame = v.frames.latest();
    bench::measure(state, "", [&] {
        benchmark::DoNotOptimize(encode(*frame).size());
        return true;
    });
    perFrame(state);
}

BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ServeFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EncodeFrame, jpeg, [](const view::Frame& f) { return view::encodeJpeg(f, 85); })
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_EncodeFrame, png, [](const view::Frame& f) { return view::encodePng(f); })
    ->Unit(benchmark::kMicrosecond);

}  // namespace
