// The board as Python sees it: parameters by name with Python values (their types from the
// description), the description itself, configuration files, streams of frames and events.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <nanobind/nanobind.h>

#include "catalogue.h"
#include "events.h"
#include "handle.h"
#include "stream.h"

namespace orvanta_python {

namespace nb = nanobind;

class Board {
public:
    Board(uint32_t board, const std::string& applet);
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    nb::object get(const std::string& name);
    void set(const std::string& name, nb::handle value);
    bool has(const std::string& name);
    nb::list parameters();

    std::string xml();
    void save(const std::string& path);
    void load(const std::string& path);

    std::shared_ptr<Stream> stream(int64_t buffers, int64_t count, bool blocking, double timeout, bool autoRelease,
                                   uint64_t bufferSize);
    nb::list grab(int64_t count, double timeout);

    void on(const std::string& name, nb::object handler);
    nb::object waitEvent(const std::string& name, double timeout, bool sinceLast);

    // Stops the stream, unregisters the handlers and frees the board once nothing views its
    // frame buffers any more. Idempotent.
    void close();
    bool closed() const { return !handle_ || handle_->closed(); }
    uint32_t index() const { return index_; }
    const std::string& applet() const { return applet_; }

    // The Python type of parameters() rows.
    static void setParameterType(nb::handle type);
    // Closes every board still open: at the interpreter's exit, before the runtime's threads
    // could call a handler into it.
    static void closeAll();

    // A handler may refer to its board: the collector sees them through these.
    int traverse(visitproc visit, void* arg) const { return events_.visitHandlers(visit, arg); }
    void clear() { events_.dropHandlers(); }

private:
    // Every operation holds the handle while it runs: closing the board from another thread
    // meanwhile refuses its next call, never frees what it uses.
    std::shared_ptr<Handle> handle(const char* operation);
    Parameter find(const std::shared_ptr<Handle>& h, const std::string& name, const char* operation);
    void configuration(const char* operation, const std::string& path, int32_t (*call)(void*, const char*));

    uint32_t index_;
    std::string applet_;
    std::shared_ptr<Handle> handle_;        // reset on closing
    std::unique_ptr<Catalogue> catalogue_;  // kept until the board goes: a closed board refuses before using it
    Events events_;
    std::weak_ptr<Stream> stream_;  // the stream running on the board, if any
};

}  // namespace orvanta_python
