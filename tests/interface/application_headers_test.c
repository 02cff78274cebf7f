/* The application headers as a C program uses them (built as C11, and again as C++ by
 * application_headers_test.cpp), checked against the applet opened through the runtime: every
 * parameter id of orvanta/sdk_parameters.h is the id the applet answers for that name, every
 * enumeration entry the applet describes has its value under its name in
 * orvanta/named_constants.h, every event name of orvanta/sdk_events.h names one event bit of its
 * own, and the runtime control of orvanta_sim/runtime_control.h steers the board. Prints each
 * disagreement; exit status 0 when there is none. */
#include <stdio.h>
#include <string.h>

#include "orvanta/orvanta.h"
#include "orvanta/parameter_info_node.h"
#include "orvanta_sim/runtime_control.h"

struct NamedValue {
    const char* name;
    long long value;
};

#define ROW(name, value) {#name, value},
static const struct NamedValue kParameters[] = {ORVANTA_SDK_PARAMETERS(ROW)};
static const struct NamedValue kConstants[] = {ORVANTA_NAMED_CONSTANTS(ROW)};
#undef ROW
#define EVENT(name) name,
static const char* const kEvents[] = {ORVANTA_SDK_EVENTS(EVENT)};
#undef EVENT

static int failures = 0;

static void fail(const char* what, const char* name, long long expected, long long found) {
    printf("%s %s: expected %lld, the applet says %lld\n", what, name, expected, found);
    ++failures;
}

static const struct NamedValue* constantNamed(const char* name) {
    size_t i;
    for (i = 0; i < sizeof kConstants / sizeof kConstants[0]; ++i) {
        if (strcmp(kConstants[i].name, name) == 0) return &kConstants[i];
    }
    return NULL;
}

static void checkEntries(const ParameterInfoNode* node) {
    int32_t i;
    if (node->type == PARAM_INFO_CATEGORY) {
        for (i = 0; i < node->value.category.childCount; ++i) checkEntries(node->value.category.children[i]);
        return;
    }
    if (node->type != PARAM_INFO_ENUM) return;
    for (i = 0; i < node->value.enumeration.entryCount; ++i) {
        const char* symbol = node->value.enumeration.entrySymbols[i];
        const struct NamedValue* constant = constantNamed(symbol);
        if (constant == NULL) {
            printf("entry %s of %s: no named constant\n", symbol, node->parameterName);
            ++failures;
        } else if (constant->value != node->value.enumeration.entryValues[i]) {
            fail("entry", symbol, constant->value, node->value.enumeration.entryValues[i]);
        }
    }
}

int main(void) {
    void* fg = Fg_Init("Orvanta", 0);
    const ParameterInfoNode* top;
    uint64_t seen = 0;
    size_t i;
    uint32_t mode = ATM_SOFTWARE, read = 0;
    if (fg == NULL) {
        printf("Fg_Init: %d\n", (int)Fg_getLastErrorNumber(NULL));
        return 1;
    }
    if (Fg_getNrOfParameter(fg) != ORVANTA_SDK_PARAMETERS_COUNT) {
        fail("count of", "parameters", ORVANTA_SDK_PARAMETERS_COUNT, Fg_getNrOfParameter(fg));
    }
    for (i = 0; i < sizeof kParameters / sizeof kParameters[0]; ++i) {
        const int32_t id = Fg_getParameterIdByName(fg, kParameters[i].name);
        if (id != kParameters[i].value) fail("id of", kParameters[i].name, kParameters[i].value, id);
        if (Fg_getParameterId(fg, (int32_t)i) != kParameters[i].value) {
            fail("index order of", kParameters[i].name, kParameters[i].value, Fg_getParameterId(fg, (int32_t)i));
        }
    }
    for (top = Fg_getParameterInfo(fg, 0); top != NULL; top = top->older) checkEntries(top);
    for (i = 0; i < sizeof kEvents / sizeof kEvents[0]; ++i) {
        const uint64_t mask = Fg_getEventMask(fg, kEvents[i]);
        const char* name = Fg_getEventName(fg, mask);
        if (mask == 0 || (mask & (mask - 1)) != 0 || (mask & seen) != 0 || name == NULL ||
            strcmp(name, kEvents[i]) != 0) {
            printf("event %s: mask 0x%llx, named %s\n", kEvents[i], (unsigned long long)mask, name ? name : "-");
            ++failures;
        }
        seen |= mask;
    }
    /* Names in calls: a write and a read back, and a refusal by its name. */
    if (Fg_setParameterWithType(fg, FG_AREATRIGGERMODE, &mode, 0, FG_TYPE_UINT32) != FG_ERR_NONE ||
        Fg_getParameterWithType(fg, FG_AREATRIGGERMODE, &read, 0, FG_TYPE_UINT32) != FG_ERR_NONE || read != mode) {
        fail("write and read of", "FG_AREATRIGGERMODE", mode, read);
    }
    mode = 70000;
    if (Fg_setParameterWithType(fg, FG_WIDTH, &mode, 0, FG_TYPE_UINT32) != FG_ERR_VALUE_OUT_OF_RANGE) {
        fail("refusal of", "FG_WIDTH=70000", FG_ERR_VALUE_OUT_OF_RANGE, Fg_getLastErrorNumber(fg));
    }
    /* The test control: a level on trigger input 0 reads back through the applet once the input's
     * debounce time (1 us from the start) has passed on the board's clock. */
    SimCtl_SetVirtualClock(1);
    if (SimCtl_SetTriggerInputLevel(0, 0, 1) != 0) fail("level on", "trigger input 0", 0, -1);
    SimCtl_AdvanceClock(2000);
    if (Fg_getParameterWithType(fg, FG_GPI, &read, 0, FG_TYPE_UINT32) != 0 || (read & 1u) == 0) {
        fail("trigger input 0 through", "FG_GPI", 1, read & 1u);
    }
    SimCtl_SetVirtualClock(0);
    Fg_FreeGrabber(fg);
    if (failures == 0) printf("the application headers agree with the applet\n");
    return failures == 0 ? 0 : 1;
}
