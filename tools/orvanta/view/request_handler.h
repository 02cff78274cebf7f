// The viewer's HTTP requests: the page's files and the JSON API (docs/viewer-api.md), each
// request checked against the access policy first. It stands apart from the server's sockets,
// so that a test or a fuzzer hands it requests directly.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include <httplib.h>

#include "access_policy.h"
#include "board_access.h"
#include "camera_control.h"
#include "event_log.h"
#include "frame_source.h"

namespace orvanta_tool::view {

struct Viewer {
    BoardAccess& board;
    FrameSource& frames;
    EventLog& events;
    CameraControl& camera;
    AccessPolicy policy;
    int32_t clients = 8;  // event and MJPEG streams at once
};

class RequestHandler {
public:
    explicit RequestHandler(Viewer viewer);

    void handle(const httplib::Request& request, httplib::Response& response);
    // Streams end at their next step, and no new one starts.
    void shutdown();
    int32_t openStreams() const { return streams_.load(); }

private:
    void serveApi(const httplib::Request& request, httplib::Response& response);
    void getFrame(const httplib::Request& request, httplib::Response& response);
    void getPicture(const httplib::Request& request, httplib::Response& response, bool png);
    void streamJpeg(const httplib::Request& request, httplib::Response& response);
    void streamEvents(const httplib::Request& request, httplib::Response& response);
    void putParameter(const std::string& name, const httplib::Request& request, httplib::Response& response);
    void setAcquisition(const httplib::Request& request, httplib::Response& response);
    void setCamera(const httplib::Request& request, httplib::Response& response);
    void loadConfiguration(const httplib::Request& request, httplib::Response& response);
    json boardJson() const;
    json acquisitionJson() const;
    json cameraJson() const;
    // Counts a stream in; false (with the answer set) when the limit is reached.
    bool admitStream(httplib::Response& response);
    // The JPEG of a frame, encoded once for every viewer that wants it at that quality.
    std::shared_ptr<const std::string> jpegOf(const std::shared_ptr<const Frame>& frame, int quality);

    Viewer viewer_;
    std::atomic<int32_t> streams_{0};
    std::atomic<bool> stopping_{false};
    std::mutex jpegMutex_;
    uint64_t jpegSerial_ = 0;
    int jpegQuality_ = 0;
    std::shared_ptr<const std::string> jpeg_;
};

}  // namespace orvanta_tool::view
