// The compiled part of the Python package: orvanta._orvanta, with Board, Stream and Frame over the
// runtime's application interface (orvanta/runtime.h). The package's __init__ hands it the
// Python classes it answers with (the error classes, Parameter, Event) before anything runs.
#include <array>

#include <nanobind/nanobind.h>
#include <nanobind/stl/optional.h>
#include <nanobind/stl/shared_ptr.h>
#include <nanobind/stl/string.h>

#include "board.h"
#include "failure.h"

namespace nb = nanobind;
using namespace nb::literals;
using namespace orvanta_python;

namespace {

std::array<PyObject*, static_cast<size_t>(Kind::Count)> errorClasses{};  // kept for the life of the process

void setError(const Failure& failure) {
    PyObject* type = errorClasses[static_cast<size_t>(failure.kind())];
    if (type == nullptr) type = PyExc_RuntimeError;
    nb::object error = nb::borrow(type)(failure.what(), failure.code(), failure.meaning());
    PyErr_SetObject(type, error.ptr());
}

void translate(const std::exception_ptr& thrown, void*) {
    try {
        std::rethrow_exception(thrown);
    } catch (const Failure& failure) {
        setError(failure);
    }
}

int frameGetBuffer(PyObject* self, Py_buffer* view, int flags) {
    try {
        nb::inst_ptr<Frame>(self)->getBuffer(view, flags);
    } catch (const Failure& failure) {
        view->obj = nullptr;
        setError(failure);
        return -1;
    }
    view->obj = Py_NewRef(self);
    return 0;
}

void frameReleaseBuffer(PyObject*, Py_buffer* view) { Frame::releaseBuffer(view); }

int boardTraverse(PyObject* self, visitproc visit, void* arg) {
    Py_VISIT(Py_TYPE(self));
    return nb::inst_ready(self) ? nb::inst_ptr<Board>(self)->traverse(visit, arg) : 0;
}

int boardClear(PyObject* self) {
    if (nb::inst_ready(self)) nb::inst_ptr<Board>(self)->clear();
    return 0;
}

PyType_Slot boardSlots[] = {{Py_tp_traverse, reinterpret_cast<void*>(boardTraverse)},
                            {Py_tp_clear, reinterpret_cast<void*>(boardClear)},
                            {0, nullptr}};

PyType_Slot frameSlots[] = {{Py_bf_getbuffer, reinterpret_cast<void*>(frameGetBuffer)},
                            {Py_bf_releasebuffer, reinterpret_cast<void*>(frameReleaseBuffer)},
                            {0, nullptr}};

void registerTypes(nb::tuple errors, nb::handle parameter, nb::handle event) {
    if (errors.size() != errorClasses.size()) throw nb::value_error("one error class per kind");
    for (size_t i = 0; i < errorClasses.size(); ++i) {
        Py_XINCREF(errors[i].ptr());
        errorClasses[i] = errors[i].ptr();
    }
    Board::setParameterType(parameter);
    Events::setEventType(event);
}

// File names as str or os.PathLike.
std::string pathOf(nb::handle path) {
    nb::object text = nb::module_::import_("os").attr("fspath")(path);
    if (!nb::isinstance<nb::str>(text)) throw nb::type_error("a file name as str or os.PathLike");
    return nb::cast<std::string>(text);
}

}  // namespace

NB_MODULE(_orvanta, m) {
    m.doc() = "The compiled core of the orvanta package; use the package itself (import orvanta).";
    nb::register_exception_translator(translate);
    m.def("_register", &registerTypes, "errors"_a, "parameter"_a, "event"_a,
          "Hands the core the package's error classes (by kind), Parameter and Event.");
    // The runtime's threads must not call handlers into an interpreter that is shutting down.
    nb::module_::import_("atexit").attr("register")(nb::cpp_function(&Board::closeAll));

    nb::class_<Frame>(m, "Frame", nb::type_slots(frameSlots), nb::is_weak_referenceable(),
        "One picture of a stream: a view of the board's frame buffer, without a copy.\n\n"
        "``frame.array`` (or ``numpy.asarray(frame)``, or any reader of the buffer protocol)\n"
        "is a read-only NumPy array of shape\n"
        "(height, width), dtype uint8 or uint16 as FG_FORMAT gives (uint32 for 32-bit\n"
        "pixels; other formats as their bytes, one row per line). In blocking mode the board\n"
        "does not write into the buffer until the frame is released: on leaving a ``with frame:``\n"
        "block, by ``frame.release()``, or by default when the stream hands out the next frame.\n"
        "A released frame raises orvanta.ClosedError; ``frame.copy()`` keeps the picture.")
        .def_prop_ro("array", [](nb::handle self) { return nb::inst_ptr<Frame>(self)->array(self); },
                     nb::for_getter(nb::sig("def array(self) -> numpy.ndarray")),
                     "The picture as a read-only NumPy array viewing the buffer.")
        // NumPy takes a frame through the buffer protocol and, where that fails, quietly makes
        // an array of objects of it; it asks __array__ before that, which says why.
        .def("__array__", [](nb::handle self, nb::args, nb::kwargs) { return nb::inst_ptr<Frame>(self)->array(self); },
             nb::sig("def __array__(self, *args, **kwargs) -> numpy.ndarray"))
        .def("copy", [](nb::handle self) { return nb::inst_ptr<Frame>(self)->copy(self); },
             nb::sig("def copy(self) -> numpy.ndarray"), "The picture as a NumPy array of its own.")
        .def("release", &Frame::release, "Gives the buffer back to the board; the frame cannot be used after.")
        .def_prop_ro("released", &Frame::released, "True once released (or its stream closed).")
        .def_prop_ro("picture", [](const Frame& f) { return f.picture().number; },
                     "The picture number, counted from 1 at the stream's start.")
        .def_prop_ro("timestamp", &Frame::timestamp,
                     "The board clock when the picture was delivered, in nanoseconds (0 once the board\n"
                     "overwrote it: ring mode).")
        .def_prop_ro("buffer", &Frame::buffer,
                     "The index of the frame buffer holding the picture (-1 once the board overwrote it: ring mode).")
        .def_prop_ro("shape", &Frame::shape, "The array's shape, (height, width).")
        .def_prop_ro("dtype", [](nb::handle self) { return nb::inst_ptr<Frame>(self)->array(self).attr("dtype"); },
                     nb::for_getter(nb::sig("def dtype(self) -> numpy.dtype")), "The array's NumPy dtype.")
        .def("__enter__", [](nb::handle self) { return nb::borrow(self); }, nb::sig("def __enter__(self) -> Frame"))
        .def("__exit__", [](Frame& f, nb::args) { f.release(); }, "Releases the frame.")
        .def("__repr__", [](const Frame& f) {
            return "<orvanta.Frame " + std::to_string(f.picture().number) + " " +
                   nb::cast<std::string>(nb::repr(f.shape())) + (f.released() ? " released>" : ">");
        });

    nb::class_<Stream>(m, "Stream",
        "An acquisition into frame buffers of the board: iterate it for Frames.\n\n"
        "Made by ``Board.stream()``; closing it (or leaving its ``with`` block) stops the\n"
        "acquisition and ends the frames it handed out.")
        .def("__iter__", [](nb::handle self) { return nb::borrow(self); }, nb::sig("def __iter__(self) -> Stream"))
        .def("__next__", [](Stream& s) {
            std::shared_ptr<Frame> frame = s.next(std::nullopt);
            if (!frame) throw nb::stop_iteration();
            return frame;
        }, "The next frame; raises orvanta.TimeoutError when none comes within the stream's time-out.")
        .def("next_frame", &Stream::next, "timeout"_a = nb::none(),
             nb::sig("def next_frame(self, timeout: float | None = None) -> Frame | None"),
             "The next frame, waiting up to `timeout` seconds (whole seconds; 0: only a frame that\n"
             "is there; None: the stream's time-out); None once the acquisition has ended.")
        .def("close", &Stream::close, "Stops the acquisition; its frames cannot be used after.")
        .def_prop_ro("closed", &Stream::closed)
        .def_prop_ro("delivered", [](const Stream& s) { return s.status(FG_STATUS_DELIVERED); },
                     "Pictures the board delivered so far.")
        .def_prop_ro("lost", [](const Stream& s) { return s.status(FG_STATUS_LOST); },
                     "Frames lost: blocking mode without a free buffer, or a picture too large for one.")
        .def_prop_ro("skipped", &Stream::skipped, "Ring mode: pictures overwritten before they were handed out.")
        .def_prop_ro("buffers", &Stream::buffers, "The number of frame buffers.")
        .def_prop_ro("buffer_size", &Stream::bufferSize, "The bytes of one frame buffer.")
        .def_prop_ro("mode", [](const Stream& s) { return s.blocking() ? "blocking" : "ring"; })
        .def("__enter__", [](nb::handle self) { return nb::borrow(self); }, nb::sig("def __enter__(self) -> Stream"))
        .def("__exit__", [](Stream& s, nb::args) { s.close(); }, "Closes the stream.");

    nb::class_<Board>(m, "Board", nb::type_slots(boardSlots), nb::is_weak_referenceable(),
        "The applet opened on a board of the runtime; ``orvanta.open()`` makes one.\n\n"
        "Parameters by name: ``board['FG_WIDTH'] = 640``, ``board['FG_FORMAT'] = 'FG_GRAY16'``;\n"
        "reading gives int, float, str, or an enumeration's entry symbol. Closing (or leaving\n"
        "the ``with`` block) stops the stream, unregisters the handlers and frees the board.")
        .def(nb::init<uint32_t, const std::string&>(), "board"_a = 0, "applet"_a = "Orvanta",
             "Opens the applet on board `board` (orvanta.open says more).")
        .def("__getitem__", &Board::get, "name"_a, nb::sig("def __getitem__(self, name: str) -> int | float | str"),
             "The parameter's value, typed by its description.")
        .def("__setitem__", &Board::set, "name"_a, "value"_a,
             nb::sig("def __setitem__(self, name: str, value: int | float | str) -> None"),
             "Writes the parameter: a number, an entry's symbol or a named constant, or a text.")
        .def("__contains__", &Board::has, "name"_a, "True for a parameter of this name.")
        .def("get", &Board::get, "name"_a, nb::sig("def get(self, name: str) -> int | float | str"),
             "The parameter's value, as board[name].")
        .def("set", &Board::set, "name"_a, "value"_a,
             nb::sig("def set(self, name: str, value: int | float | str) -> None"),
             "Writes the parameter, as board[name] = value.")
        .def("parameters", &Board::parameters, nb::sig("def parameters(self) -> list[orvanta.Parameter]"),
             "Every parameter with its name, id, type, access, range (min, max, inc), entries\n"
             "(symbol: value), category, unit and display name, from the applet's description.")
        .def("xml", &Board::xml, "The applet's register description (GenApi XML).")
        .def("save", [](Board& b, nb::handle path) { b.save(pathOf(path)); }, "path"_a,
             nb::sig("def save(self, path: str | os.PathLike) -> None"),
             "Saves the configuration as an .mcf file (the name must contain '.mcf').")
        .def("load", [](Board& b, nb::handle path) { b.load(pathOf(path)); }, "path"_a,
             nb::sig("def load(self, path: str | os.PathLike) -> None"),
             "Loads a configuration saved as an .mcf file.")
        .def("stream", [](Board& b, int64_t buffers, int64_t count, const std::string& mode, double timeout,
                          bool autoRelease, uint64_t bufferSize) {
            if (mode != "blocking" && mode != "ring") throw nb::value_error("mode is 'blocking' or 'ring'");
            return b.stream(buffers, count, mode == "blocking", timeout, autoRelease, bufferSize);
        }, "buffers"_a = 4, "count"_a = 0, "mode"_a = "blocking", "timeout"_a = 10.0, "auto_release"_a = true,
           "buffer_size"_a = 0,
             "Starts acquiring into `buffers` frame buffers: `count` pictures (0: until closed),\n"
             "'blocking' (a frame keeps its buffer until released) or 'ring' (buffers are\n"
             "overwritten in turn). `timeout` is the wait for each frame in seconds; with\n"
             "`auto_release` each frame is released when the next is handed out. `buffer_size` 0:\n"
             "the picture size the board's region and format give now.")
        .def("grab", &Board::grab, "count"_a = 1, "timeout"_a = 10.0,
             nb::sig("def grab(self, count: int = 1, timeout: float = 10.0) -> list[numpy.ndarray]"),
             "Acquires `count` frames and answers them as NumPy arrays of their own (copies).")
        .def("on", &Board::on, "event"_a, "handler"_a.none(),
             nb::sig("def on(self, event: str, handler: collections.abc.Callable[[orvanta.Event], object] | None) -> None"),
             "Calls handler(orvanta.Event) at each occurrence of the event (an SDK event name\n"
             "such as 'FG_END_OF_FRAME_CAM_PORT_0'), with the GIL taken, on the runtime's thread;\n"
             "None unregisters it.")
        .def("wait_event", &Board::waitEvent, "event"_a, "timeout"_a = 10.0, "since_last"_a = true,
             nb::sig("def wait_event(self, event: str, timeout: float = 10.0, since_last: bool = True) -> orvanta.Event"),
             "Waits up to `timeout` seconds for the event and answers it as an orvanta.Event; with\n"
             "`since_last` also an occurrence since the last wait on this board returned.")
        .def("close", &Board::close, "Closes the board (again: nothing).")
        .def_prop_ro("closed", &Board::closed)
        .def_prop_ro("index", &Board::index, "The board index.")
        .def_prop_ro("applet", &Board::applet, "The applet's name.")
        .def("__enter__", [](nb::handle self) { return nb::borrow(self); }, nb::sig("def __enter__(self) -> Board"))
        .def("__exit__", [](Board& b, nb::args) { b.close(); }, "Closes the board.")
        .def("__repr__", [](const Board& b) {
            return "<orvanta.Board " + std::to_string(b.index()) + " " + b.applet() + (b.closed() ? " closed>" : ">");
        });
}
