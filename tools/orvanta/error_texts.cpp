// The meanings of the error codes, per kind of call, with a table of codes every call shares.
#include "error_texts.h"

#include <cstddef>

namespace orvanta_tool {

namespace {

struct Meaning {
    int32_t code;
    const char* text;
};

constexpr Meaning kOpen[] = {
    {-100, "the applet could not open its hardware applet (HAP)"},
    {-2003, "no such board"},
    {-2011, "the hardware applet is not open"},
    {-2031, "the applet library cannot be loaded (or its runtime cannot)"},
    {-2070, "no applet name"},
};

constexpr Meaning kRead[] = {
    {-12, "the runtime lacks the function"},
    {-2031, "the design answered a value the applet cannot use"},
    {-2075, "unknown camera simulator select mode"},
    {-2078, "the type does not fit the parameter"},
};

constexpr Meaning kWrite[] = {
    {-12, "the parameter is read-only"},
    {-60, "the software trigger is busy"},
    {-2031, "the design answered a value the applet cannot use"},
    {-2075, "unknown camera simulator select mode"},
    {-2078, "the downscale does not fit the trigger rate"},
    {-2079, "the trigger rate does not fit the pulse delay or width"},
    {-2140, "the area trigger mode is not software (ATM_SOFTWARE)"},
    {-2141, "the trigger is not active (FG_TRIGGERSTATE)"},
    {-6000, "value out of range"},
    {-7080, "the region does not begin and end on whole bytes in this format"},
};

constexpr Meaning kConfiguration[] = {
    {-2076, "the file does not exist or its name lacks \".mcf\""},
    {-5000, "the applet refused the file's content"},
    {-5001, "the file cannot be created (its name must contain \".mcf\")"},
};

constexpr Meaning kDescription[] = {
    {-500, "the buffer is too small"},
    {-2075, "no description for this port"},
};

constexpr Meaning kAcquisition[] = {
    {-12, "the runtime lacks the function"},
    {-2060, "no such port"},
    {-2070, "invalid argument"},
    {-2090, "invalid buffer count or size"},
    {-2091, "the frame buffers cannot be allocated"},
    {-2092, "not a frame memory of this board"},
    {-2093, "the frame memory is still in use"},
    {-2094, "no buffer holds that picture"},
    {-2120, "time-out"},
};

constexpr Meaning kAnyCall[] = {
    {-2001, "invalid handle"},
    {-2002, "the handle was closed"},
    {-2060, "no such port"},
    {-2070, "no such parameter"},
    {-2071, "no value given"},
    {-2073, "the value is read-only"},
    {-2130, "not offered"},
};

template <size_t N>
const char* find(const Meaning (&table)[N], int32_t code) {
    for (const Meaning& meaning : table) {
        if (meaning.code == code) return meaning.text;
    }
    return nullptr;
}

const char* findForCall(int32_t code, Call call) {
    switch (call) {
    case Call::Open: return find(kOpen, code);
    case Call::Read: return find(kRead, code);
    case Call::Write: return find(kWrite, code);
    case Call::Configuration: return find(kConfiguration, code);
    case Call::Description: return find(kDescription, code);
    case Call::Acquisition: return find(kAcquisition, code);
    }
    return nullptr;
}

}  // namespace

std::string meaningOf(int32_t code, Call call) {
    if (const char* text = findForCall(code, call)) return text;
    if (const char* text = find(kAnyCall, code)) return text;
    return "unknown error";
}

}  // namespace orvanta_tool
