// The options of `orvanta view`, as the command line fills them in.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta_tool {

struct ViewOptions {
    uint16_t port = 8080;  // 0: any free port, printed with the address
    std::string bind = "127.0.0.1";
    std::string token;    // empty: none on a local address, generated on any other
    int32_t clients = 8;  // viewers served at once: event streams and MJPEG streams
};

}  // namespace orvanta_tool
