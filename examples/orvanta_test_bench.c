/* A test of an application's triggered acquisition on the simulated board, written in C against
 * the installed headers, with the applet's names instead of numbers. The board's clock is
 * virtual, so the test decides when time passes: five pulses on trigger input 0, 20 ms apart,
 * must give five rising-edge events, five frames of the camera on the camera port and, in the
 * last frame, the camera's pattern for its fifth exposure.
 *
 *     orvanta_test_bench          exit status 0 when every check holds, 1 otherwise */
#include <inttypes.h>
#include <stdio.h>

#include "orvanta/orvanta.h"
#include "orvanta_sim/runtime_control.h"

enum { kBoard = 0, kInput = 0, kPulses = 5, kWidth = 256, kHeight = 64, kBuffers = 4 };
static const uint64_t kPulsePeriodNs = 20000000; /* 20 ms */
/* The trigger module passes at most this many triggers per second. */
static const double kTriggerRate = 100;

static int failures = 0;

static void expect(int condition, const char* what) {
    if (!condition) {
        printf("FAILED: %s\n", what);
        ++failures;
    }
}

/* Writes a parameter by its id; prints the applet's refusal. */
static int setU32(void* fg, int32_t id, uint32_t value, const char* name) {
    const int32_t result = Fg_setParameterWithType(fg, id, &value, 0, FG_TYPE_UINT32);
    if (result != FG_ERR_NONE) printf("%s: refused with %" PRId32 "\n", name, result);
    return result == FG_ERR_NONE;
}

static int setDouble(void* fg, int32_t id, double value, const char* name) {
    const int32_t result = Fg_setParameterWithType(fg, id, &value, 0, FG_TYPE_DOUBLE);
    if (result != FG_ERR_NONE) printf("%s: refused with %" PRId32 "\n", name, result);
    return result == FG_ERR_NONE;
}

/* Called on the virtual clock from inside SimCtl_AdvanceClock, once per rising edge. */
static int32_t countEdge(uint64_t events, void* data, const Fg_EventInfo* info) {
    (void)events;
    (void)info;
    ++*(int*)data;
    return 0;
}

int main(void) {
    void* fg;
    void* memory;
    int edges = 0;
    Fg_EventInfo info = {1, 0, {0}, {0}};
    uint64_t risingEdge;
    const uint8_t* picture;

    /* Time stands still from here on until the test moves it. */
    SimCtl_SetVirtualClock(1);
    fg = Fg_Init("Orvanta", kBoard);
    if (fg == NULL) {
        printf("cannot open Orvanta on board %d: %" PRId32 "\n", kBoard, Fg_getLastErrorNumber(NULL));
        return 1;
    }
    /* The camera on the camera port, exposed once per pulse on trigger input 0. */
    if (!(setU32(fg, FG_CAMERASIMULATOR_ENABLE, FG_CAMPORT, "FG_CAMERASIMULATOR_ENABLE") &&
          setU32(fg, FG_WIDTH, kWidth, "FG_WIDTH") && setU32(fg, FG_HEIGHT, kHeight, "FG_HEIGHT") &&
          setDouble(fg, FG_TRIGGER_FRAMESPERSECOND, kTriggerRate, "FG_TRIGGER_FRAMESPERSECOND") &&
          setU32(fg, FG_AREATRIGGERMODE, ATM_EXTERNAL, "FG_AREATRIGGERMODE") &&
          setU32(fg, FG_TRIGGERIN_SRC, TRGINSRC_GPI_0, "FG_TRIGGERIN_SRC") &&
          setU32(fg, FG_TRIGGERSTATE, TS_ACTIVE, "FG_TRIGGERSTATE"))) {
        Fg_FreeGrabber(fg);
        return 1;
    }
    risingEdge = Fg_getEventMask(fg, FG_TRIGGER_INPUT0_RISING);
    Fg_registerEventCallback(fg, risingEdge, countEdge, &edges, 0, &info);

    memory = Fg_AllocMemEx(fg, (size_t)kWidth * kHeight * kBuffers, kBuffers);
    if (memory == NULL || Fg_AcquireEx(fg, 0, kPulses, FG_ACQ_RING, memory) != 0) {
        printf("cannot acquire: %" PRId32 "\n", Fg_getLastErrorNumber(fg));
        Fg_FreeGrabber(fg);
        return 1;
    }

    SimCtl_PulseTriggerInput(kBoard, kInput, kPulses, kPulsePeriodNs);
    SimCtl_AdvanceClock(kPulses * kPulsePeriodNs + 20000000);

    expect(edges == kPulses, "a rising-edge event per pulse");
    expect(Fg_getStatusEx(fg, FG_STATUS_DELIVERED, 0, 0, memory) == kPulses, "a frame per pulse");
    expect(Fg_getStatusEx(fg, FG_STATUS_LOST, 0, 0, memory) == 0, "no frame lost");
    /* The camera's pixel (x, y) of its exposure k (from 0) is ((x XOR y) + k) mod 256. */
    picture = (const uint8_t*)Fg_getImagePtrEx(fg, kPulses, 0, memory);
    expect(picture != NULL && picture[0] == kPulses - 1 && picture[kWidth + 3] == ((1 ^ 3) + kPulses - 1),
           "the last frame shows the camera's fifth exposure");

    Fg_stopAcquireEx(fg, 0, memory, 0);
    Fg_FreeMemEx(fg, memory);
    Fg_FreeGrabber(fg);
    printf("%d pulses: %d edges seen, %s\n", kPulses, edges, failures == 0 ? "every check holds" : "checks failed");
    return failures == 0 ? 0 : 1;
}
