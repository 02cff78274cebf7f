// Opening a board, the guard of calls in flight, and giving the handle back.
#include "handle.h"

#include "failure.h"
#include "gil.h"
#include "orvanta/runtime.h"

namespace orvanta_python {

std::shared_ptr<Handle> Handle::open(const std::string& applet, uint32_t board) {
    void* fg = Fg_Init(applet.c_str(), board);
    if (fg == nullptr) {
        fail("open " + applet + " on board " + std::to_string(board), Fg_getLastErrorNumber(nullptr), Call::Open);
    }
    return std::shared_ptr<Handle>(new Handle(fg, applet, board));
}

Handle::Handle(void* fg, std::string applet, uint32_t board) : fg_(fg), applet_(std::move(applet)), board_(board) {}

Handle::~Handle() {
    // Freeing stops the acquisition and may wait for the runtime's clock thread, which may be
    // waiting for the GIL to call a handler.
    withoutGil([this] { Fg_FreeGrabber(fg_); });
}

Handle::Use::Use(Handle& handle, const char* operation) : handle_(handle) {
    std::lock_guard<std::mutex> lock(handle.mutex_);
    if (handle.closed_) {
        refuse(Kind::Closed, std::string(operation) + ": the board " + std::to_string(handle.board_) + " is closed");
    }
    ++handle.inFlight_;
}

Handle::Use::~Use() {
    std::lock_guard<std::mutex> lock(handle_.mutex_);
    if (--handle_.inFlight_ == 0) handle_.idle_.notify_all();
}

bool Handle::refuseCalls() {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool first = !closed_;
    closed_ = true;
    return first;
}

void Handle::waitIdle() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return inFlight_ == 0; });
}

void Handle::keepUntilFreed(std::shared_ptr<void> object) {
    std::lock_guard<std::mutex> lock(mutex_);
    kept_.push_back(std::move(object));
}

bool Handle::closed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return closed_;
}

}  // namespace orvanta_python
