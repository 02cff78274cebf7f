// The viewer's request handler (`orvanta view`) on board 0 of the simulated runtime. An input is
// one request as text: "METHOD PATH[?QUERY]", header lines "Name: value", an empty line and the
// body; it reaches the handler as the server hands a parsed request over, and a fixed-length
// answer is written out as the server would write it. Every answer must be a status the API
// documents, with a JSON error for every failure.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/hardware_control.h"
#include "orvanta_sim/runtime_control.h"
#include "view/request_handler.h"

namespace {

using namespace orvanta_tool;

struct Viewer {
    Console console;
    Session session;
    view::BoardAccess board;
    view::EventLog events;
    view::FrameSource frames;
    view::CameraControl camera;
    view::RequestHandler handler;

    Viewer()
        : session((reset(), "Orvanta"), 0, console),
          board(session),
          events(session.handle()),
          frames(session.handle(), board),
          camera(0),
          handler({board, frames, events, camera, view::accessPolicy("127.0.0.1", 8080, "", ""), 4}) {
        SimCtl_SetRecording(0);
        // Small frames of the camera simulator coming fast, so that the frame paths have frames.
        for (const char* setting : {"FG_CAMERASIMULATOR_ENABLE=FG_CAMERASIMULATOR", "FG_WIDTH=64", "FG_HEIGHT=16",
                                    "FG_CAMERASIMULATOR_FRAMERATE=1000"}) {
            const std::string text = setting;
            const size_t equals = text.find('=');
            board.write(text.substr(0, equals), text.substr(equals + 1));
        }
        frames.start();
    }
    static void reset() {
        SimCtl_Reset();
        SimHap_Reset();
        SimHw_Reset();
    }
};

Viewer& viewer() {
    // Opening the board checks the whole HAP image: once per process. Made after the runtime's
    // own state, it is closed before that goes at exit, its threads stopped first.
    static Viewer opened;
    return opened;
}

std::string lineAt(const std::string& text, size_t& position) {
    const size_t end = text.find('\n', position);
    std::string line = text.substr(position, end == std::string::npos ? std::string::npos : end - position);
    position = end == std::string::npos ? text.size() : end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

httplib::Request requestOf(const std::string& text) {
    httplib::Request request;
    size_t position = 0;
    const std::string first = lineAt(text, position);
    const size_t space = first.find(' ');
    request.method = first.substr(0, space);
    std::string target = space == std::string::npos ? "/" : first.substr(space + 1);
    const size_t question = target.find('?');
    request.path = target.substr(0, question);
    if (question != std::string::npos) {
        std::string query = target.substr(question + 1);
        for (size_t start = 0; start <= query.size();) {
            const size_t amp = std::min(query.find('&', start), query.size());
            const std::string pair = query.substr(start, amp - start);
            const size_t equals = pair.find('=');
            request.params.emplace(pair.substr(0, equals), equals == std::string::npos ? "" : pair.substr(equals + 1));
            start = amp + 1;
        }
    }
    bool host = false;
    for (std::string line = lineAt(text, position); !line.empty() && position <= text.size();
         line = lineAt(text, position)) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string value = line.substr(colon + 1);
        if (!value.empty() && value[0] == ' ') value.erase(0, 1);
        host = host || line.compare(0, colon, "Host") == 0;
        request.headers.emplace(line.substr(0, colon), value);
        if (position >= text.size()) break;
    }
    if (!host) request.headers.emplace("Host", "127.0.0.1:8080");
    // A fuzzer has no time to wait for frames: a wait is cut to none (a malformed one stays).
    const auto wait = request.params.find("timeout_ms");
    if (wait != request.params.end() && !wait->second.empty() &&
        wait->second.find_first_not_of("0123456789") == std::string::npos) {
        wait->second = "0";
    } else if (wait == request.params.end()) {
        request.params.emplace("timeout_ms", "0");
    }
    request.body = text.substr(std::min(position, text.size()));
    return request;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Viewer& v = viewer();
    const httplib::Request request = requestOf(std::string(reinterpret_cast<const char*>(data), size));
    httplib::Response response;
    v.handler.handle(request, response);
    const auto fault = [&response](const char* what) {
        std::fprintf(stderr, "%s: %d %s\n", what, response.status, response.body.substr(0, 300).c_str());
        std::abort();
    };
    switch (response.status) {
    case 200: case 204: case 400: case 401: case 403: case 404: case 405: case 409: case 413: case 422: case 503:
        break;
    default:
        fault("an answer the API does not give");  // 500 among them: something not foreseen
    }
    if (response.status >= 400) {
        const auto body = nlohmann::json::parse(response.body, nullptr, false);
        if (!body.is_object() || !body.contains("error") || !body["error"].contains("message")) {
            fault("a failure without a JSON error");
        }
    }
    // A fixed-length answer (a frame) is written out; streams end with the response.
    if (response.content_provider_ && !response.is_chunked_content_provider_ && response.content_length_ > 0) {
        httplib::DataSink sink;
        size_t written = 0;
        sink.write = [&written](const char*, size_t length) {
            written += length;
            return true;
        };
        sink.is_writable = [] { return true; };
        sink.done = [] {};
        if (!response.content_provider_(0, response.content_length_, sink) || written != response.content_length_) {
            fault("a frame not written whole");
        }
    }
    return 0;
}
