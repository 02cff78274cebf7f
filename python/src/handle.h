// One board opened through the runtime. The Board object, its streams' frame memories and the
// arrays that view those memories share it: the runtime frees a handle's memories with the
// handle, so the handle is given back (Fg_FreeGrabber) only when the last of them is gone,
// however early the board was closed. A closed board refuses every call from then on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace orvanta_python {

class Handle {
public:
    // Opens the applet on a board; throws the runtime's reason. Call without the GIL.
    static std::shared_ptr<Handle> open(const std::string& applet, uint32_t board);
    ~Handle();
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    void* fg() const { return fg_; }
    const std::string& applet() const { return applet_; }
    uint32_t board() const { return board_; }

    // Every call on an open board runs inside a Use, which refuses a closed board and lets a
    // closing thread wait until the calls in flight have returned.
    class Use {
    public:
        Use(Handle& handle, const char* operation);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        Handle& handle_;
    };

    // From now on every Use is refused; true for the first caller only.
    bool refuseCalls();
    // Waits until the calls in flight have returned. Call without the GIL.
    void waitIdle();
    bool closed() const;

    // Keeps an object until the handle is freed: what the runtime may still write into while a
    // closing board's last calls return.
    void keepUntilFreed(std::shared_ptr<void> object);

private:
    Handle(void* fg, std::string applet, uint32_t board);

    void* fg_;
    std::string applet_;
    uint32_t board_;
    mutable std::mutex mutex_;
    std::condition_variable idle_;
    int64_t inFlight_ = 0;
    bool closed_ = false;
    std::vector<std::shared_ptr<void>> kept_;  // destroyed after Fg_FreeGrabber
};

}  // namespace orvanta_python
