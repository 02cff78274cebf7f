// The board's operations; each runs its runtime calls without the GIL, inside a Use of the handle.
#include "board.h"

#include <unordered_set>
#include <vector>

#include <nanobind/stl/shared_ptr.h>

#include <nanobind/stl/string.h>

#include "failure.h"
#include "gil.h"
#include "orvanta/runtime.h"
#include "values.h"

namespace orvanta_python {

namespace {

PyObject* parameterType = nullptr;  // kept for the life of the process
std::unordered_set<Board*> openBoards;  // under the GIL

constexpr int32_t kBufferTooSmall = -500;

nb::object limitsOf(const ParameterInfoNode* node) {
    if (node == nullptr) return nb::none();
    const ParameterValueBlock& v = node->value;
    switch (node->type) {
    case PARAM_INFO_UINT32: return nb::make_tuple(v.u32.min, v.u32.max, v.u32.inc);
    case PARAM_INFO_INT32: return nb::make_tuple(v.i32.min, v.i32.max, v.i32.inc);
    case PARAM_INFO_UINT64: return nb::make_tuple(v.u64.min, v.u64.max, v.u64.inc);
    case PARAM_INFO_INT64: return nb::make_tuple(v.i64.min, v.i64.max, v.i64.inc);
    case PARAM_INFO_DOUBLE: return nb::make_tuple(v.dbl.min, v.dbl.max, v.dbl.inc);
    default: return nb::none();
    }
}

nb::dict entriesDict(const ParameterInfoNode* node) {
    nb::dict entries;
    for (const Entry& entry : entriesOf(node)) {
        entries[nb::str((entry.symbol.empty() ? entry.name : entry.symbol).c_str())] = entry.value;
    }
    return entries;
}

}  // namespace

Board::Board(uint32_t board, const std::string& applet) : index_(board), applet_(applet) {
    withoutGil([&] {
        handle_ = Handle::open(applet, board);
        catalogue_ = std::make_unique<Catalogue>(handle_->fg());
    });
    events_.keepWith(*handle_);
    openBoards.insert(this);
}

void Board::closeAll() {
    const std::vector<Board*> boards(openBoards.begin(), openBoards.end());
    for (Board* board : boards) board->close();
}

Board::~Board() { close(); }

void Board::setParameterType(nb::handle type) {
    Py_XINCREF(type.ptr());
    parameterType = type.ptr();
}

std::shared_ptr<Handle> Board::handle(const char* operation) {
    std::shared_ptr<Handle> h = handle_;
    if (!h || h->closed()) {
        refuse(Kind::Closed, std::string(operation) + ": the board " + std::to_string(index_) + " is closed");
    }
    return h;
}

Parameter Board::find(const std::shared_ptr<Handle>& h, const std::string& name, const char* operation) {
    if (const Parameter* parameter = catalogue_->listed(name)) return *parameter;
    const std::optional<Parameter> found = withoutGil([&] {
        Handle::Use use(*h, operation);
        return catalogue_->find(h->fg(), name);
    });
    if (!found) refuse(Kind::NotFound, std::string(operation) + " " + name + ": no such parameter", -2070);
    return *found;
}

nb::object Board::get(const std::string& name) {
    const std::shared_ptr<Handle> h = handle("get");
    const Parameter parameter = find(h, name, "get");
    WireValue value;
    const int32_t result = withoutGil([&] {
        Handle::Use use(*h, "get");
        return readWire(h->fg(), parameter, value);
    });
    if (result != 0) fail("get " + name, result, Call::Read);
    return fromWire(parameter, value);
}

void Board::set(const std::string& name, nb::handle value) {
    const std::shared_ptr<Handle> h = handle("set");
    const Parameter parameter = find(h, name, "set");
    const WireValue wire = toWire(parameter, value, applet_);
    const int32_t result = withoutGil([&] {
        Handle::Use use(*h, "set");
        return writeWire(h->fg(), parameter, wire);
    });
    // The limits are read after the refusal: they may depend on other parameters' values.
    if (result != 0) fail("set " + name, result, Call::Write, result == -6000 ? rangeText(parameter.node) : "");
}

bool Board::has(const std::string& name) {
    const std::shared_ptr<Handle> h = handle("in");
    return withoutGil([&] {
        Handle::Use use(*h, "in");
        return catalogue_->find(h->fg(), name).has_value();
    });
}

void Board::on(const std::string& name, nb::object handler) { events_.on(handle("on"), name, std::move(handler)); }

nb::object Board::waitEvent(const std::string& name, double timeout, bool sinceLast) {
    return events_.wait(handle("wait_event"), name, timeout, sinceLast);
}

nb::list Board::parameters() {
    const std::shared_ptr<Handle> h = handle("parameters");  // the records are the open handle's
    nb::list rows;
    for (const Parameter& p : catalogue_->parameters()) {
        const ParameterInfoNode* node = p.node;
        rows.append(nb::borrow(parameterType)(
            p.name, p.id, typeName(node), accessOf(node), limitsOf(node), entriesDict(node), p.category,
            node != nullptr ? latin1ToUtf8(node->unit) : std::string(),
            node != nullptr ? latin1ToUtf8(node->name) : std::string()));
    }
    return rows;
}

std::string Board::xml() {
    const std::shared_ptr<Handle> h = handle("xml");
    return withoutGil([&] {
        Handle::Use use(*h, "xml");
        // The text may grow between the size query and the fetch (limits move with values).
        for (;;) {
            size_t size = 0;
            int32_t result = Fg_getParameterInfoXML(h->fg(), 0, nullptr, &size);
            if (result != 0) fail("xml", result, Call::Description);
            std::string text(size, '\0');
            result = Fg_getParameterInfoXML(h->fg(), 0, text.data(), &size);
            if (result == kBufferTooSmall) continue;
            if (result != 0) fail("xml", result, Call::Description);
            text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
            return text;
        }
    });
}

void Board::save(const std::string& path) { configuration("save", path, Fg_saveConfig); }

void Board::load(const std::string& path) { configuration("load", path, Fg_loadConfig); }

void Board::configuration(const char* operation, const std::string& path, int32_t (*call)(void*, const char*)) {
    const std::shared_ptr<Handle> h = handle(operation);
    const int32_t result = withoutGil([&] {
        Handle::Use use(*h, operation);
        return call(h->fg(), path.c_str());
    });
    if (result != 0) fail(std::string(operation) + " " + path, result, Call::Configuration);
}

std::shared_ptr<Stream> Board::stream(int64_t buffers, int64_t count, bool blocking, double timeout, bool autoRelease,
                                      uint64_t bufferSize) {
    const std::shared_ptr<Handle> h = handle("stream");
    // The design has one DMA channel: a second acquisition would stop the first.
    if (const std::shared_ptr<Stream> running = stream_.lock(); running && !running->closed()) {
        refuse(Kind::General, "stream: a stream runs on board " + std::to_string(index_) + " already; close it first");
    }
    auto started = std::make_shared<Stream>(h, buffers, count, blocking, timeout, autoRelease, bufferSize);
    stream_ = started;
    return started;
}

nb::list Board::grab(int64_t count, double timeout) {
    if (count < 1) refuse(Kind::OutOfRange, "grab: count must be 1 or more", -6000);
    nb::list frames;
    const std::shared_ptr<Stream> s = stream(std::min<int64_t>(count, 4), count, true, timeout, true, 0);
    try {
        while (static_cast<int64_t>(frames.size()) < count) {
            const std::shared_ptr<Frame> frame = s->next(std::nullopt);
            if (!frame) refuse(Kind::General, "grab: the acquisition ended after " + std::to_string(frames.size()) + " frames");
            frames.append(frame->copy(nb::cast(frame)));
        }
    } catch (...) {
        s->close();
        throw;
    }
    s->close();
    return frames;
}

void Board::close() {
    openBoards.erase(this);
    const std::shared_ptr<Handle> h = handle_;
    if (!h || !h->refuseCalls()) return;
    if (const std::shared_ptr<Stream> running = stream_.lock()) running->close();
    events_.close(h);
    withoutGil([&] { h->waitIdle(); });
    // The runtime handle goes with the last of what still holds it: a frame memory viewed by an
    // array, an operation of another thread on its way out.
    handle_.reset();
}

}  // namespace orvanta_python
