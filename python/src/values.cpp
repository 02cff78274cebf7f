// Converting parameter values between Python objects and the runtime's type codes.
#include "values.h"

#include <cstring>
#include <limits>

#include <nanobind/stl/string.h>

#include "failure.h"
#include "orvanta/runtime.h"

namespace orvanta_python {

namespace {

constexpr int32_t kOutOfRange = -6000;
constexpr int32_t kWrongType = -2078;

int32_t recordType(const Parameter& parameter) { return parameter.node != nullptr ? parameter.node->type : -1; }

[[noreturn]] void wrongType(const Parameter& parameter, nb::handle value, const char* wants) {
    const std::string type = nb::type_name(value.type()).c_str();
    refuse(Kind::WrongType, "set " + parameter.name + ": " + wants + ", not " + type, kWrongType);
}

[[noreturn]] void outOfRange(const Parameter& parameter, const std::string& what) {
    refuse(Kind::OutOfRange, "set " + parameter.name + ": " + what, kOutOfRange);
}

// The integer a text names: an entry of the parameter's enumeration, else a named constant.
int64_t integerNamed(const Parameter& parameter, const std::string& text, const std::string& applet) {
    for (const Entry& entry : entriesOf(parameter.node)) {
        if (!entry.symbol.empty() && entry.symbol == text) return entry.value;
    }
    if (const std::optional<int32_t> constant = namedConstant(applet, text)) return *constant;
    std::string what = "'" + text + "' is no entry of " + parameter.name;
    const std::string entries = recordType(parameter) == PARAM_INFO_ENUM ? rangeText(parameter.node) : std::string();
    if (!entries.empty()) what += " (" + entries + ")";
    outOfRange(parameter, what + " and no named constant of " + applet);
}

// The parameter's integer of a Python integer (anything with __index__), checked against what
// the parameter's width holds.
uint64_t integerOf(const Parameter& parameter, nb::handle value, int64_t min, uint64_t max) {
    nb::object index = nb::steal(PyNumber_Index(value.ptr()));
    if (!index.is_valid()) {
        PyErr_Clear();
        wrongType(parameter, value, "an integer");
    }
    int overflow = 0;
    const long long number = PyLong_AsLongLongAndOverflow(index.ptr(), &overflow);
    if (overflow == 0 && number >= min && (number < 0 || static_cast<uint64_t>(number) <= max)) {
        return static_cast<uint64_t>(number);
    }
    if (overflow > 0) {
        const unsigned long long big = PyLong_AsUnsignedLongLong(index.ptr());
        if (!PyErr_Occurred() && big <= max) return big;
        PyErr_Clear();
    }
    outOfRange(parameter, nb::str(index).c_str() + std::string(" does not fit ") + typeName(parameter.node) +
                              " (" + std::to_string(min) + " .. " + std::to_string(max) + ")");
}

}  // namespace

const void* WireValue::bytes() const {
    if (type == FG_TYPE_TEXT) return text.c_str();
    return type == FG_TYPE_UINT32 ? static_cast<const void*>(&narrow) : static_cast<const void*>(&word);
}

void* WireValue::bytes() { return const_cast<void*>(static_cast<const WireValue*>(this)->bytes()); }

WireValue toWire(const Parameter& parameter, nb::handle value, const std::string& applet) {
    WireValue wire;
    const int32_t type = recordType(parameter);
    if (type == PARAM_INFO_STRING) {
        if (!nb::isinstance<nb::str>(value)) wrongType(parameter, value, "a text");
        nb::object latin1 = nb::steal(PyUnicode_AsLatin1String(value.ptr()));
        if (!latin1.is_valid()) {
            PyErr_Clear();
            outOfRange(parameter, "the text has characters beyond Latin-1");
        }
        wire.type = FG_TYPE_TEXT;
        wire.text.assign(PyBytes_AsString(latin1.ptr()), static_cast<size_t>(PyBytes_Size(latin1.ptr())));
        if (wire.text.find('\0') != std::string::npos) outOfRange(parameter, "the text holds a zero character");
        return wire;
    }
    if (type == PARAM_INFO_DOUBLE) {
        if (nb::isinstance<nb::str>(value) || nb::isinstance<nb::bytes>(value)) wrongType(parameter, value, "a number");
        const double number = PyFloat_AsDouble(value.ptr());
        if (number == -1.0 && PyErr_Occurred()) {
            PyErr_Clear();
            wrongType(parameter, value, "a number");
        }
        wire.type = FG_TYPE_DOUBLE;
        std::memcpy(&wire.word, &number, sizeof number);
        return wire;
    }
    if (PyFloat_Check(value.ptr()) || nb::isinstance<nb::bytes>(value)) wrongType(parameter, value, "an integer");
    if (nb::isinstance<nb::str>(value)) {
        const int64_t named = integerNamed(parameter, nb::cast<std::string>(value), applet);
        wire.word = static_cast<uint64_t>(named);
        wire.narrow = static_cast<uint32_t>(named);
        wire.type = type == PARAM_INFO_INT64 ? FG_TYPE_INT64 : type == PARAM_INFO_UINT64 ? FG_TYPE_UINT64 : FG_TYPE_UINT32;
        return wire;
    }
    constexpr uint64_t kU32 = std::numeric_limits<uint32_t>::max();
    switch (type) {
    case PARAM_INFO_INT64:
        wire.type = FG_TYPE_INT64;
        wire.word = integerOf(parameter, value, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
        break;
    case PARAM_INFO_UINT64:
        wire.type = FG_TYPE_UINT64;
        wire.word = integerOf(parameter, value, 0, std::numeric_limits<uint64_t>::max());
        break;
    case PARAM_INFO_INT32:
        wire.narrow = static_cast<uint32_t>(integerOf(parameter, value, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
        break;
    case PARAM_INFO_ENUM:  // entry values are signed 32-bit, carried in 32 bits
        wire.narrow = static_cast<uint32_t>(integerOf(parameter, value, std::numeric_limits<int32_t>::min(), kU32));
        break;
    default:
        wire.narrow = static_cast<uint32_t>(integerOf(parameter, value, 0, kU32));
        break;
    }
    return wire;
}

int32_t readWire(void* fg, const Parameter& parameter, WireValue& value) {
    switch (recordType(parameter)) {
    case PARAM_INFO_DOUBLE: value.type = FG_TYPE_DOUBLE; break;
    case PARAM_INFO_INT64: value.type = FG_TYPE_INT64; break;
    case PARAM_INFO_INT32:
    case PARAM_INFO_UINT32:
    case PARAM_INFO_ENUM: value.type = FG_TYPE_UINT32; break;
    case PARAM_INFO_STRING: {
        value.type = FG_TYPE_TEXT;
        char* text = nullptr;
        const int32_t result = Fg_getParameterWithType(fg, parameter.id, &text, 0, FG_TYPE_ALLOCATED_TEXT);
        if (result == 0 && text != nullptr) {
            value.text = text;
            Fg_freeParameterStringWithType(fg, parameter.id, text, 0, FG_TYPE_ALLOCATED_TEXT);
        }
        return result;
    }
    default:
        // 64-bit, and the values the runtime answers without a record: a 64-bit cell holds
        // whatever width the answer has.
        value.type = FG_TYPE_UINT64;
        break;
    }
    return Fg_getParameterWithType(fg, parameter.id, value.bytes(), 0, value.type);
}

int32_t writeWire(void* fg, const Parameter& parameter, const WireValue& value) {
    return Fg_setParameterWithType(fg, parameter.id, value.bytes(), 0, value.type);
}

nb::object fromWire(const Parameter& parameter, const WireValue& value) {
    switch (recordType(parameter)) {
    case PARAM_INFO_DOUBLE: {
        double number = 0;
        std::memcpy(&number, &value.word, sizeof number);
        return nb::float_(number);
    }
    case PARAM_INFO_STRING: return nb::str(latin1ToUtf8(value.text.c_str()).c_str());
    case PARAM_INFO_INT64: return nb::int_(static_cast<int64_t>(value.word));
    case PARAM_INFO_INT32: return nb::int_(static_cast<int32_t>(value.narrow));
    case PARAM_INFO_UINT32: return nb::int_(value.narrow);
    case PARAM_INFO_ENUM:
        for (const Entry& entry : entriesOf(parameter.node)) {
            if (entry.value == static_cast<int32_t>(value.narrow) && !entry.symbol.empty()) {
                return nb::str(entry.symbol.c_str());
            }
        }
        return nb::int_(static_cast<int32_t>(value.narrow));
    default: return nb::int_(value.word);
    }
}

}  // namespace orvanta_python
