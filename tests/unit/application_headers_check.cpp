// The application headers written from the applet's lists at configure time hold every row of
// those lists, with the same names and values in the same order. Checked by the compiler: this
// file builds only while they agree.
#include <cstddef>
#include <cstdint>

#include "orvanta/named_constants.h"
#include "orvanta/sdk_events.h"
#include "orvanta/sdk_parameters.h"

namespace {

struct Row {
    const char* name;
    int64_t value;
};

constexpr Row kListedParameters[] = {
#define SDK_PARAMETER(name, id, kind, access, description) {#name, id},
#include "applet/core/sdk_parameters.def"
#undef SDK_PARAMETER
};
constexpr Row kHeaderParameters[] = {
#define X(name, id) {#name, name},
    ORVANTA_SDK_PARAMETERS(X)
#undef X
};

constexpr Row kListedConstants[] = {
#define NAMED_CONSTANT(name, value) {#name, value},
#include "applet/core/named_constants.def"
#undef NAMED_CONSTANT
};
constexpr Row kHeaderConstants[] = {
#define X(name, value) {#name, name},
    ORVANTA_NAMED_CONSTANTS(X)
#undef X
};

constexpr Row kListedEvents[] = {
#define SDK_EVENT(name, designName) {#name, 0},
#include "applet/core/events.def"
#undef SDK_EVENT
};
// Each event name is a macro for its own text.
constexpr Row kHeaderEvents[] = {
#define X(name) {name, 0},
    ORVANTA_SDK_EVENTS(X)
#undef X
};

constexpr bool sameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

template <size_t N, size_t M>
constexpr bool sameRows(const Row (&listed)[N], const Row (&header)[M]) {
    if (N != M) return false;
    for (size_t i = 0; i < N; ++i) {
        if (!sameText(listed[i].name, header[i].name) || listed[i].value != header[i].value) return false;
    }
    return true;
}

static_assert(sameRows(kListedParameters, kHeaderParameters), "orvanta/sdk_parameters.h differs from the list");
static_assert(sameRows(kListedConstants, kHeaderConstants), "orvanta/named_constants.h differs from the list");
static_assert(sameRows(kListedEvents, kHeaderEvents), "orvanta/sdk_events.h differs from the list");
static_assert(ORVANTA_SDK_PARAMETERS_COUNT == 130 && ORVANTA_NAMED_CONSTANTS_COUNT == 106 &&
                  ORVANTA_SDK_EVENTS_COUNT == 32,
              "the headers' counts");

}  // namespace
