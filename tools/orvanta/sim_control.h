// The simulated board's control (SimCtl_ of orvanta_sim/runtime_control.h), reached through the
// runtime library the tool runs on. The tool links only the application interface, so that it
// runs on any runtime; the control is looked up by name when it is first used, and a runtime
// without it is told apart with a message. The simulated runtime lives in the tool's process:
// what is set here lasts as long as the process (a shell session), and the tool remembers what
// it set, since the control has no calls to read it back.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta_tool {

class SimControl {
public:
    explicit SimControl(uint32_t board) : board_(board) {}

    // Whether the runtime is the simulated one.
    bool available() const;

    void setVirtualClock(bool on);
    bool virtualClock() const { return virtualClock_; }
    // Moves the virtual clock on; everything due meanwhile happens before this returns.
    void advance(uint64_t nanoseconds);
    // The virtual clock's time since the tool switched it on.
    uint64_t virtualNanoseconds() const { return virtualNanoseconds_; }

    struct Camera {
        bool connected = true;
        uint32_t width = 1024;
        uint32_t height = 1024;
        double framesPerSecond = 200;
    };
    const Camera& camera() const { return camera_; }
    void setCamera(const Camera& camera);

    void pulse(uint32_t input, uint64_t count, uint64_t periodNanoseconds);
    void setLevel(uint32_t input, bool high);

    // How many rising edges output `output` (GPO 0-7, front GPO 0 and 1 as 8 and 9) has had.
    int64_t outputPulses(uint32_t output);
    // The outputs' levels now, bit n for output n.
    uint32_t outputLevels();

private:
    // The control's function of that name; throws Failure when the runtime has none.
    void* function(const char* name) const;

    uint32_t board_;
    bool virtualClock_ = false;
    uint64_t virtualNanoseconds_ = 0;
    Camera camera_;
};

}  // namespace orvanta_tool
