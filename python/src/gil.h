// Running runtime calls without the GIL: every call may wait (for the runtime's lock, a frame, an
// event, a stopping acquisition), and the runtime's threads call event handlers that need the GIL.
#pragma once

#include <Python.h>

namespace orvanta_python {

// Runs `body` with the GIL released if this thread holds it (destructors run both from Python
// and from threads that never held it).
template <typename Body>
auto withoutGil(Body&& body) -> decltype(body()) {
    if (PyGILState_Check() == 0) return body();
    struct Released {
        PyThreadState* state = PyEval_SaveThread();
        ~Released() { PyEval_RestoreThread(state); }
    } released;
    return body();
}

}  // namespace orvanta_python
