// `orvanta view` where the viewer is not built: says why.
#include "view.h"

namespace orvanta_tool {

int serveViewer(Session&, const Request&) {
    throw Failure("view: not part of this build: its HTTP server (cpp-httplib) and JPEG encoder (libjpeg-turbo) "
                  "come from Debian for Linux only; run orvanta view on Linux");
}

}  // namespace orvanta_tool
