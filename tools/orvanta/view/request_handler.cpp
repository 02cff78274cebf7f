// Routing, the checks every request passes, and the answers of the JSON API.
#include "request_handler.h"

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <optional>

#include "embedded_files.h"
#include "frame_encoding.h"

namespace orvanta_tool::view {

namespace {

constexpr size_t kJsonBodyLimit = 64 * 1024;
constexpr int kDefaultQuality = 85;
constexpr const char* kBoundary = "orvanta-frame";

// JSON text of an answer. Paths and values from a request may be no UTF-8: such bytes are
// replaced rather than failing the answer.
std::string jsonText(const json& body) { return body.dump(-1, ' ', false, json::error_handler_t::replace); }

// An error as every failing request answers it: {"error": {"message", "code"?}}.
void fail(httplib::Response& response, int status, const std::string& message, int32_t code = 0,
          json extra = json::object()) {
    json error = {{"message", message}};
    if (code != 0) error["code"] = code;
    json body = {{"error", std::move(error)}};
    for (auto& [key, value] : extra.items()) body[key] = std::move(value);
    response.status = status;
    response.set_content(jsonText(body), "application/json");
}

void answer(httplib::Response& response, const json& body, int status = 200) {
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(jsonText(body), "application/json");
}

// A whole decimal number within [low, high] from a query parameter, or its default when absent.
std::optional<int64_t> queryNumber(const httplib::Request& request, const char* name, int64_t fallback, int64_t low,
                                   int64_t high) {
    if (!request.has_param(name)) return fallback;
    const std::string text = request.get_param_value(name);
    if (text.empty() || text.size() > 19 || text.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int64_t value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < low || value > high) return std::nullopt;
    return value;
}

// The body as a JSON object; nullopt with the answer set when it is none.
std::optional<json> jsonBody(const httplib::Request& request, httplib::Response& response) {
    if (request.body.size() > kJsonBodyLimit) {
        fail(response, 413, "the body is larger than " + std::to_string(kJsonBodyLimit) + " bytes");
        return std::nullopt;
    }
    json body = json::parse(request.body, nullptr, false);
    if (body.is_discarded() || !body.is_object()) {
        fail(response, 400, "the body must be a JSON object");
        return std::nullopt;
    }
    return body;
}

// A JSON value as `orvanta set` takes it.
std::optional<std::string> valueText(const json& value) {
    if (value.is_string()) return value.get<std::string>();
    if (value.is_number_unsigned()) return std::to_string(value.get<uint64_t>());
    if (value.is_number_integer()) return std::to_string(value.get<int64_t>());
    if (value.is_number_float()) return exactDouble(value.get<double>());
    return std::nullopt;
}

std::string presentedToken(const httplib::Request& request) {
    const std::string bearer = "Bearer ";
    const std::string authorization = request.get_header_value("Authorization");
    if (authorization.compare(0, bearer.size(), bearer) == 0) return authorization.substr(bearer.size());
    return request.get_param_value("token");
}

void setFrameHeaders(httplib::Response& response, const Frame& frame, const AcquisitionStatus& status) {
    const FrameGeometry& g = frame.geometry;
    response.set_header("Cache-Control", "no-store");
    response.set_header("X-Frame-Serial", std::to_string(frame.serial));
    response.set_header("X-Frame-Picture", std::to_string(frame.picture));
    response.set_header("X-Frame-Width", std::to_string(g.width));
    response.set_header("X-Frame-Height", std::to_string(frame.lines));
    response.set_header("X-Frame-Bits-Per-Pixel", std::to_string(g.bitsPerPixel));
    response.set_header("X-Frame-Line-Bytes", std::to_string(g.lineBytes));
    response.set_header("X-Frame-Format", g.format);
    response.set_header("X-Acquisition-Delivered", std::to_string(status.delivered));
    response.set_header("X-Acquisition-Lost", std::to_string(status.lost));
    response.set_header("X-Acquisition-Fps", formatDouble(status.framesPerSecond));
}

json geometryJson(const FrameGeometry& g) {
    return json{{"width", g.width}, {"height", g.height}, {"bits_per_pixel", g.bitsPerPixel},
                {"line_bytes", g.lineBytes}, {"format", g.format}};
}

}  // namespace

RequestHandler::RequestHandler(Viewer viewer) : viewer_(std::move(viewer)) {}

void RequestHandler::shutdown() { stopping_ = true; }

void RequestHandler::handle(const httplib::Request& request, httplib::Response& response) {
    const std::optional<std::string> origin =
        request.has_header("Origin") ? std::optional<std::string>(request.get_header_value("Origin")) : std::nullopt;
    const bool api = request.path.compare(0, 5, "/api/") == 0;
    if (const auto refusal =
            refusalOf(viewer_.policy, request.get_header_value("Host"), origin, presentedToken(request), api)) {
        return fail(response, refusal->status, refusal->message);
    }
    try {
        if (api) return serveApi(request, response);
        const EmbeddedFile* file = embeddedFile(request.path);
        if (file == nullptr) return fail(response, 404, "no such page: " + request.path);
        if (request.method != "GET" && request.method != "HEAD") return fail(response, 405, "pages are only read");
        response.status = 200;
        response.set_header("Cache-Control", "no-cache");
        response.set_content(reinterpret_cast<const char*>(file->bytes), file->size, file->contentType);
    } catch (const std::exception& error) {
        fail(response, 500, error.what());
    }
}

void RequestHandler::serveApi(const httplib::Request& request, httplib::Response& response) {
    const std::string& path = request.path;
    const std::string& method = request.method;
    const bool get = method == "GET" || method == "HEAD";
    const auto only = [&](bool allowed, const char* allow) {
        if (allowed) return true;
        response.set_header("Allow", allow);
        fail(response, 405, method + " is not answered at " + path + " (" + allow + ")");
        return false;
    };
    const std::string parameters = "/api/parameters";
    if (path == "/api/board") {
        if (only(get, "GET")) answer(response, boardJson());
    } else if (path == parameters) {
        if (only(get, "GET")) answer(response, viewer_.board.tree());
    } else if (path.compare(0, parameters.size() + 1, parameters + "/") == 0) {
        const std::string name = path.substr(parameters.size() + 1);
        if (!only(get || method == "PUT", "GET, PUT")) return;
        if (method == "PUT") return putParameter(name, request, response);
        json entry = viewer_.board.parameter(name);
        if (entry.is_null()) return fail(response, 404, name + " is no parameter of " + viewer_.board.session().applet());
        answer(response, entry);
    } else if (path == "/api/acquisition") {
        if (!only(get || method == "POST", "GET, POST")) return;
        if (method == "POST") return setAcquisition(request, response);
        answer(response, acquisitionJson());
    } else if (path == "/api/trigger") {
        if (!only(method == "POST", "POST")) return;
        const Outcome outcome = viewer_.board.write("FG_SENDSOFTWARETRIGGER", "1");
        if (outcome.kind != Outcome::Kind::Done) return fail(response, 422, outcome.message, outcome.code);
        answer(response, json{{"sent", true}});
    } else if (path == "/api/frame") {
        if (only(get, "GET")) getFrame(request, response);
    } else if (path == "/api/frame.png" || path == "/api/frame.jpg") {
        if (only(get, "GET")) getPicture(request, response, path == "/api/frame.png");
    } else if (path == "/api/stream.mjpg") {
        if (only(get, "GET")) streamJpeg(request, response);
    } else if (path == "/api/events") {
        if (only(get, "GET")) streamEvents(request, response);
    } else if (path == "/api/camera") {
        if (!only(get || method == "PUT", "GET, PUT")) return;
        if (method == "PUT") return setCamera(request, response);
        answer(response, cameraJson());
    } else if (path == "/api/configuration") {
        if (!only(get || method == "PUT", "GET, PUT")) return;
        if (method == "PUT") return loadConfiguration(request, response);
        const std::string text = viewer_.board.saveConfiguration();
        response.set_header("Content-Disposition", "attachment; filename=\"" + viewer_.board.session().applet() +
                                                       "-board" + std::to_string(viewer_.board.session().board()) +
                                                       ".mcf\"");
        response.status = 200;
        response.set_header("Cache-Control", "no-store");
        response.set_content(text, "text/plain; charset=iso-8859-1");
    } else {
        fail(response, 404, "no such API: " + path);
    }
}

json RequestHandler::boardJson() const {
    const Session& session = viewer_.board.session();
    json events = json::array();
    for (const EventName& name : viewer_.events.names()) events.push_back(json{{"bit", name.bit}, {"name", name.name}});
    return json{{"applet", session.applet()},
                {"board", session.board()},
                {"parameters", session.parameters().size()},
                {"events", std::move(events)},
                {"camera_control", viewer_.camera.available()},
                {"clients", viewer_.clients},
                {"viewers", streams_.load()},
                {"token_required", !viewer_.policy.token.empty()}};
}

json RequestHandler::acquisitionJson() const {
    const AcquisitionStatus s = viewer_.frames.status();
    return json{{"requested", s.requested},   {"running", s.running}, {"serial", s.serial},
                {"picture", s.picture},       {"delivered", s.delivered}, {"lost", s.lost},
                {"frames_per_second", s.framesPerSecond}, {"geometry", geometryJson(s.geometry)},
                {"message", s.message}};
}

json RequestHandler::cameraJson() const {
    const CameraSettings c = viewer_.camera.settings();
    return json{{"available", viewer_.camera.available()}, {"connected", c.connected}, {"width", c.width},
                {"height", c.height}, {"max_fps", c.maxFramesPerSecond}};
}

void RequestHandler::putParameter(const std::string& name, const httplib::Request& request,
                                  httplib::Response& response) {
    const std::optional<json> body = jsonBody(request, response);
    if (!body) return;
    const auto value = body->find("value");
    if (value == body->end()) return fail(response, 400, "the body must be {\"value\": ...}");
    const std::optional<std::string> text = valueText(*value);
    if (!text) return fail(response, 400, "the value must be a number or a text");
    const Outcome outcome = viewer_.board.write(name, *text);
    switch (outcome.kind) {
    case Outcome::Kind::Unknown: return fail(response, 404, outcome.message);
    case Outcome::Kind::BadValue:
    case Outcome::Kind::Refused: {
        json extra = {{"parameter", outcome.parameter}};
        if (!outcome.range.empty()) extra["range"] = outcome.range;
        return fail(response, outcome.kind == Outcome::Kind::Refused ? 422 : 400, outcome.message, outcome.code,
                    std::move(extra));
    }
    case Outcome::Kind::Done: break;
    }
    viewer_.frames.settingsChanged();
    viewer_.events.noteChanges(jsonText(outcome.changed));
    answer(response, json{{"parameter", outcome.parameter}, {"changed", outcome.changed}});
}

void RequestHandler::setAcquisition(const httplib::Request& request, httplib::Response& response) {
    const std::optional<json> body = jsonBody(request, response);
    if (!body) return;
    const auto running = body->find("running");
    if (running == body->end() || !running->is_boolean()) {
        return fail(response, 400, "the body must be {\"running\": true} or {\"running\": false}");
    }
    if (running->get<bool>()) {
        viewer_.frames.start();
    } else {
        viewer_.frames.stop();
    }
    answer(response, acquisitionJson());
}

void RequestHandler::setCamera(const httplib::Request& request, httplib::Response& response) {
    if (!viewer_.camera.available()) {
        return fail(response, 404, "this runtime has no simulated camera to set (SimCtl_SetCamera)");
    }
    const std::optional<json> body = jsonBody(request, response);
    if (!body) return;
    CameraSettings settings = viewer_.camera.settings();
    for (const auto& [key, value] : body->items()) {
        if (key == "connected" && value.is_boolean()) {
            settings.connected = value.get<bool>();
        } else if ((key == "width" || key == "height") && value.is_number_unsigned() && value.get<uint64_t>() >= 1 &&
                   value.get<uint64_t>() <= 65536) {
            (key == "width" ? settings.width : settings.height) = value.get<uint32_t>();
        } else if (key == "max_fps" && value.is_number() && value.get<double>() > 0 && value.get<double>() <= 1e6) {
            settings.maxFramesPerSecond = value.get<double>();
        } else {
            return fail(response, 400, "camera: '" + key + "' takes connected (true/false), width and height (1 .. "
                                       "65536) or max_fps (above 0, at most 1000000)");
        }
    }
    if (!viewer_.camera.apply(settings)) return fail(response, 422, "the runtime refused the camera's settings");
    answer(response, cameraJson());
}

void RequestHandler::loadConfiguration(const httplib::Request& request, httplib::Response& response) {
    if (request.body.empty()) return fail(response, 400, "the body must be a configuration file (.mcf)");
    const Outcome outcome = viewer_.board.loadConfiguration(request.body);
    viewer_.frames.settingsChanged();
    if (!outcome.changed.empty()) viewer_.events.noteChanges(jsonText(outcome.changed));
    if (outcome.kind == Outcome::Kind::BadValue) return fail(response, 500, outcome.message);
    json body = {{"loaded", outcome.kind == Outcome::Kind::Done}, {"message", outcome.message},
                 {"changed", outcome.changed}};
    if (outcome.kind == Outcome::Kind::Refused) {
        return fail(response, 422, outcome.message, outcome.code, std::move(body));
    }
    answer(response, body);
}

void RequestHandler::getFrame(const httplib::Request& request, httplib::Response& response) {
    const auto after = queryNumber(request, "after", 0, 0, INT64_MAX);
    const auto timeout = queryNumber(request, "timeout_ms", 1000, 0, 10000);
    if (!after || !timeout) return fail(response, 400, "after takes a frame serial, timeout_ms 0 .. 10000");
    const std::shared_ptr<const Frame> frame = stopping_ ? nullptr
        : viewer_.frames.waitNewer(static_cast<uint64_t>(*after), std::chrono::milliseconds(*timeout));
    if (frame == nullptr) {
        response.status = 204;
        response.set_header("Cache-Control", "no-store");
        return;
    }
    response.status = 200;
    setFrameHeaders(response, *frame, viewer_.frames.status());
    // The frame is written straight from the kept copy, which the response holds meanwhile.
    response.set_content_provider(
        frame->pixels.size(), "application/octet-stream",
        [frame](size_t offset, size_t length, httplib::DataSink& sink) {
            return sink.write(reinterpret_cast<const char*>(frame->pixels.data()) + offset, length);
        });
}

void RequestHandler::getPicture(const httplib::Request& request, httplib::Response& response, bool png) {
    const auto quality = queryNumber(request, "quality", kDefaultQuality, 1, 100);
    if (!quality) return fail(response, 400, "quality takes 1 .. 100");
    const std::shared_ptr<const Frame> frame = viewer_.frames.latest();
    if (frame == nullptr) return fail(response, 404, "no frame has come yet");
    if (!encodable(*frame)) return fail(response, 409, notEncodableReason(*frame));
    response.status = 200;
    setFrameHeaders(response, *frame, viewer_.frames.status());
    if (png) return response.set_content(encodePng(*frame), "image/png");
    response.set_content(*jpegOf(frame, static_cast<int>(*quality)), "image/jpeg");
}

std::shared_ptr<const std::string> RequestHandler::jpegOf(const std::shared_ptr<const Frame>& frame, int quality) {
    std::lock_guard<std::mutex> lock(jpegMutex_);
    if (jpeg_ == nullptr || jpegSerial_ != frame->serial || jpegQuality_ != quality) {
        jpeg_ = std::make_shared<const std::string>(encodeJpeg(*frame, quality));
        jpegSerial_ = frame->serial;
        jpegQuality_ = quality;
    }
    return jpeg_;
}

bool RequestHandler::admitStream(httplib::Response& response) {
    if (stopping_) {
        fail(response, 503, "the server is stopping");
        return false;
    }
    if (++streams_ > viewer_.clients) {
        --streams_;
        fail(response, 503, "too many viewers: this server serves " + std::to_string(viewer_.clients) +
                                " at once (orvanta view --clients)");
        return false;
    }
    return true;
}

void RequestHandler::streamJpeg(const httplib::Request& request, httplib::Response& response) {
    const auto quality = queryNumber(request, "quality", kDefaultQuality, 1, 100);
    if (!quality) return fail(response, 400, "quality takes 1 .. 100");
    if (!admitStream(response)) return;
    response.status = 200;
    response.set_header("Cache-Control", "no-store");
    auto last = std::make_shared<uint64_t>(0);
    response.set_chunked_content_provider(
        std::string("multipart/x-mixed-replace; boundary=") + kBoundary,
        [this, last, quality = static_cast<int>(*quality)](size_t, httplib::DataSink& sink) {
            if (stopping_) return false;
            const std::shared_ptr<const Frame> frame =
                viewer_.frames.waitNewer(*last, std::chrono::milliseconds(500));
            if (frame == nullptr) return !stopping_ && sink.is_writable();
            *last = frame->serial;
            if (!encodable(*frame)) return true;  // formats without a picture are skipped
            const std::shared_ptr<const std::string> jpeg = jpegOf(frame, quality);
            const std::string head = std::string("--") + kBoundary + "\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                                     std::to_string(jpeg->size()) + "\r\n\r\n";
            return sink.write(head.data(), head.size()) && sink.write(jpeg->data(), jpeg->size()) &&
                   sink.write("\r\n", 2);
        },
        [this](bool) { --streams_; });
}

void RequestHandler::streamEvents(const httplib::Request& request, httplib::Response& response) {
    // A browser that reconnects says where it was; others start with what comes from now on.
    uint64_t start = viewer_.events.lastSerial();
    if (request.has_header("Last-Event-ID")) {
        const std::string id = request.get_header_value("Last-Event-ID");
        if (!id.empty() && id.size() < 20 && id.find_first_not_of("0123456789") == std::string::npos) {
            start = std::strtoull(id.c_str(), nullptr, 10);
        }
    }
    if (!admitStream(response)) return;
    response.status = 200;
    response.set_header("Cache-Control", "no-store");
    auto last = std::make_shared<uint64_t>(start);
    auto greeted = std::make_shared<bool>(false);
    response.set_chunked_content_provider(
        "text/event-stream",
        [this, last, greeted](size_t, httplib::DataSink& sink) {
            if (stopping_) return false;
            if (!*greeted) {
                *greeted = true;
                const std::string hello = "retry: 1000\nevent: hello\ndata: {}\n\n";
                return sink.write(hello.data(), hello.size());
            }
            const std::vector<EventRecord> records = viewer_.events.after(*last, 256, std::chrono::milliseconds(500));
            if (records.empty()) {
                // A comment now and then finds a viewer that has gone.
                return !stopping_ && sink.write(":\n\n", 3);
            }
            std::string chunk;
            for (const EventRecord& r : records) {
                *last = r.serial;
                if (r.changes != nullptr) {
                    chunk += "id: " + std::to_string(r.serial) + "\nevent: parameters\ndata: " + *r.changes + "\n\n";
                    continue;
                }
                const json data = {{"serial", r.serial}, {"bit", r.bit}, {"name", *r.name},
                                   {"timestamp_ns", r.timestampNs}, {"data", r.data}};
                chunk += "id: " + std::to_string(r.serial) + "\nevent: fg\ndata: " + jsonText(data) + "\n\n";
            }
            return sink.write(chunk.data(), chunk.size());
        },
        [this](bool) { --streams_; });
}

}  // namespace orvanta_tool::view
