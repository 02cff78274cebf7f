// The viewer's server: binds the address, prints it, answers requests on a pool of threads
// until a signal asks it to stop, and stops its streams, the acquisition and the event thread
// before the board is closed.
#include "view.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>

#include <unistd.h>

#include <httplib.h>

#include "../commands.h"
#include "access_policy.h"
#include "board_access.h"
#include "camera_control.h"
#include "event_log.h"
#include "frame_source.h"
#include "request_handler.h"

namespace orvanta_tool {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) { stopRequested = 1; }

constexpr size_t kBodyLimit = 1024 * 1024;  // a configuration file is a few kilobytes

std::string machineName() {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}

// The address as a browser on this machine (or, for every address, on another) opens it.
std::string addressOf(const ViewOptions& options, int port, const std::string& token) {
    std::string host = options.bind;
    if (host == "0.0.0.0" || host == "::") host = machineName().empty() ? "localhost" : machineName();
    if (host.find(':') != std::string::npos) host = "[" + host + "]";
    std::string address = "http://" + host + ":" + std::to_string(port) + "/";
    if (!token.empty()) address += "?token=" + token;
    return address;
}

}  // namespace

int serveViewer(Session& session, const Request& request) {
    const ViewOptions& options = request.view;
    std::string token = options.token;
    if (token.empty() && !view::isLoopback(options.bind)) token = view::generatedToken();

    view::BoardAccess board(session, &descriptionOf);
    view::EventLog events(session.handle());
    view::FrameSource frames(session.handle(), board);
    view::CameraControl camera(session.board());

    httplib::Server server;
    const int threads = 2 * options.clients + 8;  // streams hold a thread each; the rest serve requests
    server.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<size_t>(threads)); };
    server.set_payload_max_length(kBodyLimit);
    server.set_keep_alive_timeout(2);
    server.set_keep_alive_max_count(1000);  // a page asks for frame after frame on one connection
    const int port = options.port == 0 ? server.bind_to_any_port(options.bind) :
                     server.bind_to_port(options.bind, options.port) ? options.port : -1;
    if (port < 0) {
        throw Failure("view: cannot listen on " + options.bind + ":" + std::to_string(options.port) +
                      " (in use, or not an address of this machine?)");
    }
    view::RequestHandler handler({board, frames, events, camera,
                                  view::accessPolicy(options.bind, static_cast<uint16_t>(port), token, machineName()),
                                  options.clients});
    // Every path and method goes to the handler, which routes itself.
    const auto handle = [&handler](const httplib::Request& in, httplib::Response& out) { handler.handle(in, out); };
    server.Get("/.*", handle).Put("/.*", handle).Post("/.*", handle);
    server.Delete("/.*", handle).Patch("/.*", handle).Options("/.*", handle);
    // Answers the server makes itself (a body beyond the limit, a malformed request) in JSON too.
    server.set_error_handler([](const httplib::Request&, httplib::Response& out) {
        if (!out.body.empty()) return;
        const std::string message = out.status == 413 ? "the body is larger than " + std::to_string(kBodyLimit) + " bytes"
                                                      : "the request was refused (HTTP " + std::to_string(out.status) + ")";
        out.set_content(view::json{{"error", {{"message", message}}}}.dump(), "application/json");
    });

    stopRequested = 0;
    // A viewer that goes away while its answer is written is a failed write, not the end of
    // the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGINT, requestStop);
    std::signal(SIGTERM, requestStop);
    frames.start();
    std::atomic<bool> listening{true};
    std::thread listener([&server, &listening] {
        server.listen_after_bind();
        listening = false;
    });
    std::cout << "orvanta view: " << addressOf(options, port, token) << " (" << session.applet() << " on board "
              << session.board() << "; Ctrl-C stops)" << std::endl;
    while (stopRequested == 0 && listening) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);

    // Streams first, so that the server's threads come free; then the acquisition and the event
    // thread, before the board is closed.
    handler.shutdown();
    frames.shutdown();
    events.shutdown();
    server.stop();
    listener.join();
    frames.stop();
    if (!request.quiet) std::cout << "orvanta view: stopped" << std::endl;
    return kExitSuccess;
}

}  // namespace orvanta_tool
