// orvanta._sim: the simulated board's test control (orvanta_sim/runtime_control.h), for
// orvanta.sim. It links the stand-in runtime's control functions, so that it imports only
// where the runtime is the simulated one. Every call runs without the GIL: advancing the clock
// calls the event handlers, which take it.
#include <cmath>
#include <cstdint>
#include <string>

#include <nanobind/nanobind.h>
#include <nanobind/stl/string.h>

#include "orvanta_sim/runtime_control.h"

namespace nb = nanobind;
using namespace nb::literals;

namespace {

using Released = nb::call_guard<nb::gil_scoped_release>;

void checked(int32_t result, const std::string& what) {
    if (result != 0) throw nb::value_error((what + ": the simulated runtime refused it").c_str());
}

}  // namespace

NB_MODULE(_sim, m) {
    m.doc() = "The simulated board's test control; use orvanta.sim.";

    m.def("reset", &SimCtl_Reset, Released(),
          "Forgets injected failures and recorded calls; the boards start again from the design's values.");
    m.def("set_call_log", [](bool on) { SimCtl_SetRecording(on ? 1 : 0); }, "on"_a, Released(),
          "Stops (False) or resumes the record of every call the applet makes on its inner handle.");
    m.def("set_virtual_clock", [](bool on) { SimCtl_SetVirtualClock(on ? 1 : 0); }, "on"_a, Released(),
          "Stops the boards' clock (True) so that only advance() moves it, or lets it run again.");
    m.def("advance", [](double seconds, uint64_t nanoseconds) {
        if (!(seconds >= 0)) throw nb::value_error("advance: a time below 0");
        SimCtl_AdvanceClock(static_cast<uint64_t>(std::llround(seconds * 1e9)) + nanoseconds);
    }, "seconds"_a = 0.0, nb::kw_only(), "nanoseconds"_a = 0, Released(),
          "Moves the virtual clock on by `seconds` plus `nanoseconds` (exact, where a period must not\n"
          "drift by rounding). Trigger pulses, camera frames, events (their handlers are called in\n"
          "this thread) and the frames of acquisitions on the virtual clock that fall due meanwhile\n"
          "all happen before it returns.");
    m.def("set_camera", [](uint32_t board, bool connected, uint32_t width, uint32_t height, double maxFps) {
        checked(SimCtl_SetCamera(board, connected ? 1 : 0, width, height, maxFps), "set_camera");
    }, "board"_a, "connected"_a, "width"_a, "height"_a, "max_fps"_a, Released());
    m.def("pulse", [](uint32_t board, uint32_t input, uint64_t count, uint64_t periodNs) {
        checked(SimCtl_PulseTriggerInput(board, input, count, periodNs), "pulse");
    }, "board"_a, "input"_a, "count"_a, "period_ns"_a, Released());
    m.def("set_input", [](uint32_t board, uint32_t input, bool level) {
        checked(SimCtl_SetTriggerInputLevel(board, input, level ? 1 : 0), "set_input");
    }, "board"_a, "input"_a, "level"_a, Released());
    m.def("output_pulses", &SimCtl_TriggerOutputPulses, "board"_a, "output"_a, Released());
    m.def("output_levels", &SimCtl_TriggerOutputLevels, "board"_a, Released());
    m.def("fail_nx_write", [](const std::string& name, int32_t code) { SimCtl_FailNxWrite(name.c_str(), code); },
          "name"_a, "code"_a, Released());
    m.def("fail_nx_read", [](const std::string& name, int32_t code) { SimCtl_FailNxRead(name.c_str(), code); },
          "name"_a, "code"_a, Released());
    m.def("fail_call", [](const std::string& function, int64_t result, int32_t lastError) {
        SimCtl_FailCall(function.c_str(), result, lastError);
    }, "function"_a, "result"_a, "last_error"_a, Released());
    m.def("fail_open", &SimCtl_FailInit, "last_error"_a, Released());
}
