// The description tree of the SDK parameters as data: the enumeration tables, the categories in
// the order they are created and one row per described parameter in the order it is attached.
// The builder walks these tables; names, ids and access flags come from the SDK vocabulary.
#pragma once

#include <cstddef>
#include <cstdint>

#include "applet/core/sdk_parameter_table.h"

namespace vexo::applet::tree {

struct EnumerationEntry {
    const char* name;
    int32_t value;
    const char* symbol;
};

struct EnumerationTable {
    const EnumerationEntry* entries;
    int32_t count;
};

template <size_t N>
constexpr EnumerationTable tableOf(const EnumerationEntry (&entries)[N]) {
    return {entries, static_cast<int32_t>(N)};
}

#define NOT_ON_DUSKRAIL " (not available on Duskrail)"

inline constexpr EnumerationEntry kPixelFormats[] = {
    {"Mono8", 257, "Mono8"},
    {"Mono10", 258, "Mono10"},
    {"Raw", 0, "Raw"},
};

inline constexpr EnumerationEntry kTriggerSources[] = {
    {"GPI Trigger Source 0", 0, "TRGINSRC_GPI_0"},
    {"GPI Trigger Source 1", 1, "TRGINSRC_GPI_1"},
    {"GPI Trigger Source 2", 2, "TRGINSRC_GPI_2"},
    {"GPI Trigger Source 3", 3, "TRGINSRC_GPI_3"},
    {"GPI Trigger Source 4" NOT_ON_DUSKRAIL, 4, "TRGINSRC_GPI_4"},
    {"GPI Trigger Source 5" NOT_ON_DUSKRAIL, 5, "TRGINSRC_GPI_5"},
    {"GPI Trigger Source 6" NOT_ON_DUSKRAIL, 6, "TRGINSRC_GPI_6"},
    {"GPI Trigger Source 7" NOT_ON_DUSKRAIL, 7, "TRGINSRC_GPI_7"},
    {"Front GPI Trigger Source 0", 16, "TRGINSRC_FRONT_GPI_0"},
    {"Front GPI Trigger Source 1", 17, "TRGINSRC_FRONT_GPI_1"},
    {"Front GPI Trigger Source 2", 18, "TRGINSRC_FRONT_GPI_2"},
    {"Front GPI Trigger Source 3", 19, "TRGINSRC_FRONT_GPI_3"},
};

inline constexpr EnumerationEntry kPolarity[] = {{"Low Active", 1, "LOW_ACTIVE"}, {"High Active", 0, "HIGH_ACTIVE"}};

inline constexpr EnumerationEntry kBusy[] = {
    {"Busy Flag is set", 1, "IS_BUSY"},
    {"Busy Flag is not set", 0, "IS_NOT_BUSY"},
};

inline constexpr EnumerationEntry kApply[] = {{"Apply", 1, "FG_APPLY"}};

inline constexpr EnumerationEntry kOnOff[] = {{"On", 1, "FG_ON"}, {"Off", 0, "FG_OFF"}};

inline constexpr EnumerationEntry kYesNo[] = {{"Yes", 1, "FG_YES"}, {"No", 0, "FG_NO"}};

inline constexpr EnumerationEntry kOutputSignals[] = {
    {"Vcc", 5, "VCC"},
    {"Gnd", 4, "GND"},
    {"Cam A Pulse Generator 0", 50, "CAM_A_PULSEGEN0"},
    {"Cam A Pulse Generator 1", 51, "CAM_A_PULSEGEN1"},
    {"Cam A Pulse Generator 2", 52, "CAM_A_PULSEGEN2"},
    {"Cam A Pulse Generator 3", 53, "CAM_A_PULSEGEN3"},
    {"Not Cam A Pulse Generator 0", 60, "CAM_A_NOT_PULSEGEN0"},
    {"Not Cam A Pulse Generator 1", 61, "CAM_A_NOT_PULSEGEN1"},
    {"Not Cam A Pulse Generator 2", 62, "CAM_A_NOT_PULSEGEN2"},
    {"Not Cam A Pulse Generator 3", 63, "CAM_A_NOT_PULSEGEN3"},
    {"Bypass GPI 0", 10, "BYPASS_GPI_0"},
    {"Not Bypass GPI 0", 20, "NOT_BYPASS_GPI_0"},
    {"Bypass GPI 1", 11, "BYPASS_GPI_1"},
    {"Not Bypass GPI 1", 21, "NOT_BYPASS_GPI_1"},
    {"Bypass GPI 2", 12, "BYPASS_GPI_2"},
    {"Not Bypass GPI 2", 22, "NOT_BYPASS_GPI_2"},
    {"Bypass GPI 3", 13, "BYPASS_GPI_3"},
    {"Not Bypass GPI 3", 23, "NOT_BYPASS_GPI_3"},
    {"Bypass GPI 4" NOT_ON_DUSKRAIL, 14, "BYPASS_GPI_4"},
    {"Not Bypass GPI 4" NOT_ON_DUSKRAIL, 24, "NOT_BYPASS_GPI_4"},
    {"Bypass GPI 5" NOT_ON_DUSKRAIL, 15, "BYPASS_GPI_5"},
    {"Not Bypass GPI 5" NOT_ON_DUSKRAIL, 25, "NOT_BYPASS_GPI_5"},
    {"Bypass GPI 6" NOT_ON_DUSKRAIL, 16, "BYPASS_GPI_6"},
    {"Not Bypass GPI 6" NOT_ON_DUSKRAIL, 26, "NOT_BYPASS_GPI_6"},
    {"Bypass GPI 7" NOT_ON_DUSKRAIL, 17, "BYPASS_GPI_7"},
    {"Not Bypass GPI 7" NOT_ON_DUSKRAIL, 27, "NOT_BYPASS_GPI_7"},
    {"Bypass Front-GPI 0", 30, "BYPASS_FRONT_GPI_0"},
    {"Not Bypass Front-GPI 0", 40, "NOT_BYPASS_FRONT_GPI_0"},
    {"Bypass Front-GPI 1", 31, "BYPASS_FRONT_GPI_1"},
    {"Not Bypass Front-GPI 1", 41, "NOT_BYPASS_FRONT_GPI_1"},
    {"Bypass Front-GPI 2", 32, "BYPASS_FRONT_GPI_2"},
    {"Not Bypass Front-GPI 2", 42, "NOT_BYPASS_FRONT_GPI_2"},
    {"Bypass Front-GPI 3", 33, "BYPASS_FRONT_GPI_3"},
    {"Not Bypass Front-GPI 3", 43, "NOT_BYPASS_FRONT_GPI_3"},
    {"Pulse Generator 0", 0, "PULSEGEN0"},
    {"Pulse Generator 1", 1, "PULSEGEN1"},
    {"Pulse Generator 2", 2, "PULSEGEN2"},
    {"Pulse Generator 3", 3, "PULSEGEN3"},
    {"Not Pulse Generator 0", 6, "NOT_PULSEGEN0"},
    {"Not Pulse Generator 1", 7, "NOT_PULSEGEN1"},
    {"Not Pulse Generator 2", 8, "NOT_PULSEGEN2"},
    {"Not Pulse Generator 3", 9, "NOT_PULSEGEN3"},
};

inline constexpr EnumerationEntry kPulseMessage[] = {
    {"Pulse Immediate", 1, "FG_PULSE_IMMEDIATE"},
    {"Pulse Width", 23, "FG_PULSE_WIDTH"},
};

inline constexpr EnumerationEntry kPulseGenerators[] = {
    {"Pulse Generator 0", 0, "PULSEGEN0"},
    {"Pulse Generator 1", 1, "PULSEGEN1"},
    {"Pulse Generator 2", 2, "PULSEGEN2"},
    {"Pulse Generator 3", 3, "PULSEGEN3"},
};

inline constexpr EnumerationEntry kAreaTriggerModes[] = {
    {"Generator", 1, "ATM_GENERATOR"},
    {"External", 2, "ATM_EXTERNAL"},
    {"Software", 4, "ATM_SOFTWARE"},
};

inline constexpr EnumerationEntry kTriggerStates[] = {
    {"Active", 0, "TS_ACTIVE"},
    {"Async Stop", 1, "TS_ASYNC_STOP"},
    {"Sync Stop", 2, "TS_SYNC_STOP"},
};

inline constexpr EnumerationEntry kOutputFormats[] = {
    {"Gray 8bit", 3, "FG_GRAY"},
    {"Gray 10bit", 21, "FG_GRAY10"},
    {"Gray 12bit", 22, "FG_GRAY12"},
    {"Gray 14bit", 23, "FG_GRAY14"},
    {"Gray 16bit", 1, "FG_GRAY16"},
    {"Gray 32bit", 20, "FG_GRAY32"},
    {"Color 24bit", 2, "FG_COL24"},
    {"Color 30bit", 5, "FG_COL30"},
    {"Color 32bit", 4, "FG_COL32"},
    {"Color 36bit", 7, "FG_COL36"},
    {"Color 42bit", 9, "FG_COL42"},
    {"Color 48bit", 6, "FG_COL48"},
    {"RGBX 32bit", 408, "FG_RGBX32"},
    {"RGBX 40bit", 410, "FG_RGBX40"},
    {"RGBX 48bit", 412, "FG_RGBX48"},
    {"RGBX 56bit", 414, "FG_RGBX56"},
    {"RGBX 64bit", 416, "FG_RGBX64"},
    {"1 Bit per Pixel", 8, "FG_BINARY"},
    {"RAW", 50, "FG_RAW"},
};

inline constexpr EnumerationEntry kImageSources[] = {
    {"Camera", 0, "FG_CAMPORT"},
    {"Simulator", 1, "FG_CAMERASIMULATOR"},
};

inline constexpr EnumerationEntry kPatterns[] = {
    {"Horizontal", 1, "FG_HORIZONTAL"},
    {"Vertical", 2, "FG_VERTICAL"},
    {"Diagonal", 3, "FG_DIAGONAL"},
};

inline constexpr EnumerationEntry kSpeedModes[] = {
    {"Pixel Frequency", 0, "FG_PIXEL_FREQUENCY"},
    {"Line Rate", 1, "FG_LINERATE"},
    {"Frame Rate", 2, "FG_FRAMERATE"},
};

inline constexpr EnumerationEntry kSimulatorTriggerModes[] = {
    {"Free Run", 0, "SIMULATION_FREE_RUN"},
    {"Rising Edge Triggers Line", 8, "RISING_EDGE_TRIGGERS_LINE"},
    {"Rising Edge Triggers Frame", 9, "RISING_EDGE_TRIGGERS_FRAME"},
};

inline constexpr EnumerationEntry kWriteFlags[] = {
    {"EndOfLine", 0, "FG_ENDOFLINE"},
    {"EndOfFrame", 1, "FG_ENDOFFRAME"},
};

// Categories, in the order they are created; a category's own parameters are attached after
// its child categories, which is what creating all categories first gives.
enum class Category : uint8_t {
    None,
    CameraLinkHs,
    Roi,
    Trigger,
    TriggerInput,
    External,
    SoftwareTrigger,
    InputStatistics,
    Sequencer,
    Queue,
    PulseFormGenerator0,
    PulseFormGenerator1,
    PulseFormGenerator2,
    PulseFormGenerator3,
    CameraOutSignalMapping,
    DigitalOutput,
    OutputStatistics,
    OutputEvent,
    Overflow,
    ImageSelector,
    OutputFormat,
    CameraSimulator,
    Miscellaneous,
    Debug,
    DebugInput,
    DebugOutput,
    Count
};

struct CategoryRow {
    Category key;
    Category parent;  // None: a top-level category
    const char* name;
};

inline constexpr CategoryRow kCategories[] = {
    {Category::CameraLinkHs, Category::None, "Camera Link HS"},
    {Category::Roi, Category::None, "ROI"},
    {Category::Trigger, Category::None, "Trigger"},
    {Category::TriggerInput, Category::Trigger, "Trigger Input"},
    {Category::External, Category::TriggerInput, "External"},
    {Category::SoftwareTrigger, Category::TriggerInput, "Software Trigger"},
    {Category::InputStatistics, Category::TriggerInput, "Statistics"},
    {Category::Sequencer, Category::Trigger, "Sequencer"},
    {Category::Queue, Category::Trigger, "Queue"},
    {Category::PulseFormGenerator0, Category::Trigger, "Pulse Form Generator 0"},
    {Category::PulseFormGenerator1, Category::Trigger, "Pulse Form Generator 1"},
    {Category::PulseFormGenerator2, Category::Trigger, "Pulse Form Generator 2"},
    {Category::PulseFormGenerator3, Category::Trigger, "Pulse Form Generator 3"},
    {Category::CameraOutSignalMapping, Category::Trigger, "Camera Out Signal Mapping"},
    {Category::DigitalOutput, Category::Trigger, "Digital Output"},
    {Category::OutputStatistics, Category::DigitalOutput, "Statistics"},
    {Category::OutputEvent, Category::Trigger, "Output Event"},
    {Category::Overflow, Category::None, "Overflow"},
    {Category::ImageSelector, Category::None, "Image Selector"},
    {Category::OutputFormat, Category::None, "Output Format"},
    {Category::CameraSimulator, Category::None, "Camera Simulator"},
    {Category::Miscellaneous, Category::None, "Miscellaneous"},
    {Category::Debug, Category::Miscellaneous, "Debug"},
    {Category::DebugInput, Category::Debug, "Input"},
    {Category::DebugOutput, Category::Debug, "Output"},
};

enum class RowType : uint8_t { UInt32, UInt64, Double, Enumeration, Text };

// One described parameter. Integer limits sit in the unsigned fields, double limits in the
// double fields; an enumeration names its table, a text its filter.
struct ParameterRow {
    Category category;
    const char* name;
    SdkParameter parameter;
    RowType type;
    uint64_t intMin, intMax, intInc;
    double min, max, inc;
    EnumerationTable entries;
    const char* filter;
    uint32_t grade;
    const char* unit;
};

inline constexpr const char* kNoUnit = "";
// Latin-1, as user interfaces of the runtime have always shown it.
inline constexpr const char* kMicroseconds = "\xB5" "s";
// The smallest increment a double can show next to 1.0, for doubles without a natural step.
inline constexpr double kFinestStep = 0x1p-52;
// The trigger generator's slowest rate, as the double with the bits 0x3F9DCD64FFFFFFFF.
inline constexpr double kSlowestFramesPerSecond = 0x1.DCD64FFFFFFFFp-6;
inline constexpr uint64_t kFiftySevenBits = (uint64_t{1} << 57) - 1;

constexpr ParameterRow u32(Category c, const char* name, SdkParameter p, uint32_t min, uint32_t max,
                           uint32_t inc, uint32_t grade, const char* unit = kNoUnit) {
    return {c, name, p, RowType::UInt32, min, max, inc, 0, 0, 0, {nullptr, 0}, nullptr, grade, unit};
}

constexpr ParameterRow u64(Category c, const char* name, SdkParameter p, uint64_t min, uint64_t max,
                           uint64_t inc, uint32_t grade) {
    return {c, name, p, RowType::UInt64, min, max, inc, 0, 0, 0, {nullptr, 0}, nullptr, grade, kNoUnit};
}

constexpr ParameterRow dbl(Category c, const char* name, SdkParameter p, double min, double max, double inc,
                           uint32_t grade, const char* unit) {
    return {c, name, p, RowType::Double, 0, 0, 0, min, max, inc, {nullptr, 0}, nullptr, grade, unit};
}

constexpr ParameterRow enumeration(Category c, const char* name, SdkParameter p, EnumerationTable entries) {
    return {c, name, p, RowType::Enumeration, 0, 0, 0, 0, 0, 0, entries, nullptr, 1, kNoUnit};
}

constexpr ParameterRow text(Category c, const char* name, SdkParameter p, const char* filter) {
    return {c, name, p, RowType::Text, 0, 0, 0, 0, 0, 0, {nullptr, 0}, filter, 1, kNoUnit};
}

#define PULSE_FORM_GENERATOR_ROWS(n)                                                                          \
    u32(C::PulseFormGenerator##n, "Downscale", P::FG_TRIGGER_PULSEFORMGEN##n##_DOWNSCALE, 1, 7, 1, 2),        \
        u32(C::PulseFormGenerator##n, "Phase", P::FG_TRIGGER_PULSEFORMGEN##n##_DOWNSCALE_PHASE, 0, 6, 1, 2),  \
        dbl(C::PulseFormGenerator##n, "Delay", P::FG_TRIGGER_PULSEFORMGEN##n##_DELAY, 0, 34000000, 0.008, 1,   \
            kMicroseconds),                                                                                   \
        dbl(C::PulseFormGenerator##n, "Signal Width", P::FG_TRIGGER_PULSEFORMGEN##n##_WIDTH, 1, 68000000, 0.008, \
            1, kMicroseconds)

namespace rows {
using C = Category;
using P = SdkParameter;

inline constexpr ParameterRow kParameters[] = {
    enumeration(C::CameraLinkHs, "Pixel Format", P::FG_PIXELFORMAT, tableOf(kPixelFormats)),

    u32(C::Roi, "Width", P::FG_WIDTH, 8, 65536, 1, 2, "pixel"),
    u32(C::Roi, "Height", P::FG_HEIGHT, 1, 65536, 1, 2, "pixel"),
    u32(C::Roi, "XOffset", P::FG_XOFFSET, 0, 65528, 1, 2, "pixel"),
    u32(C::Roi, "YOffset", P::FG_YOFFSET, 0, 65535, 1, 2, "pixel"),

    dbl(C::External, "Input Debounce", P::FG_TRIGGERIN_DEBOUNCE, 0.048, 1.512, 0.024, 1, kMicroseconds),
    u32(C::External, "Digital Input at GPI", P::FG_GPI, 0, 255, 1, 1),
    u32(C::External, "Digital Input at Front GPI", P::FG_FRONT_GPI, 0, 15, 1, 1),
    enumeration(C::External, "Source", P::FG_TRIGGERIN_SRC, tableOf(kTriggerSources)),
    enumeration(C::External, "Polarity", P::FG_TRIGGERIN_POLARITY, tableOf(kPolarity)),
    u32(C::External, "Input Downscale", P::FG_TRIGGERIN_DOWNSCALE, 1, 2147483647, 1, 2),
    u32(C::External, "Downscale Phase", P::FG_TRIGGERIN_DOWNSCALE_PHASE, 0, 4294967294, 1, 2),

    u32(C::SoftwareTrigger, "Send Pulses", P::FG_SENDSOFTWARETRIGGER, 1, 1, 1, 2, "pulses"),
    enumeration(C::SoftwareTrigger, "Software Trigger Busy", P::FG_SOFTWARETRIGGER_IS_BUSY, tableOf(kBusy)),
    u32(C::SoftwareTrigger, "Software Trigger Queue Filllevel", P::FG_SOFTWARETRIGGER_QUEUE_FILLLEVEL, 0, 2040, 1,
        2, "pulses"),

    enumeration(C::InputStatistics, "Statistics Source", P::FG_TRIGGERIN_STATS_SOURCE, tableOf(kTriggerSources)),
    enumeration(C::InputStatistics, "Statistics Polarity", P::FG_TRIGGERIN_STATS_POLARITY, tableOf(kPolarity)),
    u32(C::InputStatistics, "Input Pulses", P::FG_TRIGGERIN_STATS_PULSECOUNT, 0, 65535, 1, 1, "pulses"),
    enumeration(C::InputStatistics, "Clear Pulse Count", P::FG_TRIGGERIN_STATS_PULSECOUNT_CLEAR, tableOf(kApply)),
    dbl(C::InputStatistics, "Current Frequency", P::FG_TRIGGERIN_STATS_FREQUENCY, 0, 125000000, kFinestStep, 1,
        "Hz"),
    dbl(C::InputStatistics, "Minimum Frequency", P::FG_TRIGGERIN_STATS_MINFREQUENCY, 0, 125000000, kFinestStep, 1,
        "Hz"),
    dbl(C::InputStatistics, "Maximum Frequency", P::FG_TRIGGERIN_STATS_MAXFREQUENCY, 0, 125000000, kFinestStep, 1,
        "Hz"),
    enumeration(C::InputStatistics, "Clear MinMax Frequency", P::FG_TRIGGERIN_STATS_MINMAXFREQUENCY_CLEAR,
                tableOf(kApply)),

    u32(C::Sequencer, "Upscale Trigger Pulses", P::FG_TRIGGER_MULTIPLY_PULSES, 1, 65535, 1, 1),

    enumeration(C::Queue, "Queue Mode", P::FG_TRIGGERQUEUE_MODE, tableOf(kOnOff)),
    u32(C::Queue, "Filllevel", P::FG_TRIGGERQUEUE_FILLLEVEL, 0, 2040, 1, 1, "pulses"),
    u32(C::Queue, "Queue Fill Level Event On Threshold", P::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_ON_THRESHOLD, 2, 2047,
        1, 1, "pulses"),
    u32(C::Queue, "Queue Fill Level Event Off Threshold", P::FG_TRIGGER_QUEUE_FILLLEVEL_EVENT_OFF_THRESHOLD, 2, 2047,
        1, 1, "pulses"),

    PULSE_FORM_GENERATOR_ROWS(0),
    PULSE_FORM_GENERATOR_ROWS(1),
    PULSE_FORM_GENERATOR_ROWS(2),
    PULSE_FORM_GENERATOR_ROWS(3),

    enumeration(C::CameraOutSignalMapping, "Camera Trigger Out Mapping", P::FG_TRIGGERCAMERA_OUT_SELECT,
                tableOf(kOutputSignals)),
    enumeration(C::CameraOutSignalMapping, "CLHS Pulse Message", P::FG_CLHS_TRIGGER_PULSE_MESSAGE,
                tableOf(kPulseMessage)),

    enumeration(C::OutputStatistics, "Trigger Exceeded Period Limits", P::FG_TRIGGER_EXCEEDED_PERIOD_LIMITS,
                tableOf(kYesNo)),
    enumeration(C::OutputStatistics, "Clear Exceeded Period Limits Register",
                P::FG_TRIGGER_EXCEEDED_PERIOD_LIMITS_CLEAR, tableOf(kApply)),
    enumeration(C::OutputStatistics, "Source", P::FG_TRIGGEROUT_STATS_SOURCE, tableOf(kPulseGenerators)),
    u32(C::OutputStatistics, "Pulse Count", P::FG_TRIGGEROUT_STATS_PULSECOUNT, 0, 65535, 1, 1, "pulses"),
    enumeration(C::OutputStatistics, "Clear pulse counter", P::FG_TRIGGEROUT_STATS_PULSECOUNT_CLEAR,
                tableOf(kApply)),
    enumeration(C::OutputStatistics, "Missing Camera Frame Response", P::FG_MISSING_CAMERA_FRAME_RESPONSE,
                tableOf(kYesNo)),
    enumeration(C::OutputStatistics, "Clear Frame Response Register", P::FG_MISSING_CAMERA_FRAME_RESPONSE_CLEAR,
                tableOf(kApply)),

    enumeration(C::DigitalOutput, "Output GPO 0", P::FG_TRIGGEROUT_SELECT_GPO_0, tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 1", P::FG_TRIGGEROUT_SELECT_GPO_1, tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 2", P::FG_TRIGGEROUT_SELECT_GPO_2, tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 3", P::FG_TRIGGEROUT_SELECT_GPO_3, tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 4" NOT_ON_DUSKRAIL, P::FG_TRIGGEROUT_SELECT_GPO_4,
                tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 5" NOT_ON_DUSKRAIL, P::FG_TRIGGEROUT_SELECT_GPO_5,
                tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 6" NOT_ON_DUSKRAIL, P::FG_TRIGGEROUT_SELECT_GPO_6,
                tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output GPO 7" NOT_ON_DUSKRAIL, P::FG_TRIGGEROUT_SELECT_GPO_7,
                tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output Front GPO 0", P::FG_TRIGGEROUT_SELECT_FRONT_GPO_0, tableOf(kOutputSignals)),
    enumeration(C::DigitalOutput, "Output Front GPO 1", P::FG_TRIGGEROUT_SELECT_FRONT_GPO_1, tableOf(kOutputSignals)),

    enumeration(C::OutputEvent, "Output Event Select", P::FG_TRIGGER_OUTPUT_EVENT_SELECT, tableOf(kPulseGenerators)),

    enumeration(C::Trigger, "Area Trigger Mode", P::FG_AREATRIGGERMODE, tableOf(kAreaTriggerModes)),
    enumeration(C::Trigger, "Trigger State", P::FG_TRIGGERSTATE, tableOf(kTriggerStates)),
    dbl(C::Trigger, "Frames/Sec", P::FG_TRIGGER_FRAMESPERSECOND, kSlowestFramesPerSecond, 12500000, kFinestStep, 2,
        "Hz"),

    u32(C::Overflow, "Buffer fill level", P::FG_FILLLEVEL, 0, 100, 1, 1, "%"),
    u32(C::Overflow, "Buffer overflow", P::FG_OVERFLOW, 0, 1, 1, 1),

    u32(C::ImageSelector, "Image select period", P::FG_IMG_SELECT_PERIOD, 1, 256, 1, 1, "image"),
    u32(C::ImageSelector, "Image select", P::FG_IMG_SELECT, 0, 255, 1, 1, "image"),

    enumeration(C::OutputFormat, "Output Format", P::FG_FORMAT, tableOf(kOutputFormats)),
    u32(C::OutputFormat, "Pixel Depth", P::FG_PIXELDEPTH, 0, 128, 1, 1, "bit"),
    u32(C::OutputFormat, "Line Payload Size", P::FG_LINE_PAYLOAD_SIZE, 0, 2147483647, 1, 1, "bit"),

    enumeration(C::CameraSimulator, "Image Source", P::FG_CAMERASIMULATOR_ENABLE, tableOf(kImageSources)),
    u32(C::CameraSimulator, "Width", P::FG_CAMERASIMULATOR_WIDTH, 1, 65536, 1, 2, "pixel"),
    u32(C::CameraSimulator, "Line Gap", P::FG_CAMERASIMULATOR_LINE_GAP, 0, 65536, 1, 2, "pixel"),
    u32(C::CameraSimulator, "Height", P::FG_CAMERASIMULATOR_HEIGHT, 1, 65536, 1, 2, "pixel"),
    u32(C::CameraSimulator, "Frame Gap", P::FG_CAMERASIMULATOR_FRAME_GAP, 0, 65536, 1, 2, "pixel"),
    enumeration(C::CameraSimulator, "Pattern", P::FG_CAMERASIMULATOR_PATTERN, tableOf(kPatterns)),
    u32(C::CameraSimulator, "Pattern Offset", P::FG_CAMERASIMULATOR_PATTERN_OFFSET, 0, 255, 1, 2, "pixel value"),
    enumeration(C::CameraSimulator, "Roll", P::FG_CAMERASIMULATOR_ROLL, tableOf(kOnOff)),
    enumeration(C::CameraSimulator, "Speed Mode", P::FG_CAMERASIMULATOR_SELECT_MODE, tableOf(kSpeedModes)),
    dbl(C::CameraSimulator, "Pixel Frequency", P::FG_CAMERASIMULATOR_PIXEL_FREQUENCY, 0, 4000, kFinestStep, 2, "MHz"),
    dbl(C::CameraSimulator, "Line Rate", P::FG_CAMERASIMULATOR_LINERATE, 0.1, 10000000, kFinestStep, 2, "Hz"),
    dbl(C::CameraSimulator, "Framerate", P::FG_CAMERASIMULATOR_FRAMERATE, 0.1, 10000000, kFinestStep, 2, "Hz"),
    enumeration(C::CameraSimulator, "Trigger Mode", P::FG_CAMERASIMULATOR_TRIGGER_MODE,
                tableOf(kSimulatorTriggerModes)),
    u32(C::CameraSimulator, "Active Parts", P::FG_CAMERASIMULATOR_ACTIVE, 1, 2000, 1, 1, "pixel"),
    u32(C::CameraSimulator, "Passive Parts", P::FG_CAMERASIMULATOR_PASSIVE, 1, 2000, 1, 1, "pixel"),

    enumeration(C::DebugInput, "Debug Input Mode", P::FG_DEBUGINENABLE, tableOf(kOnOff)),
    text(C::DebugInput, "Debug File", P::FG_DEBUGFILE, ""),
    enumeration(C::DebugInput, "Debug Insert Image", P::FG_DEBUGINSERT, tableOf(kApply)),
    u64(C::DebugInput, "Debug Write Pixel", P::FG_DEBUGWRITEPIXEL, 0, kFiftySevenBits, 1, 2),
    enumeration(C::DebugInput, "Debug Write Flag", P::FG_DEBUGWRITEFLAG, tableOf(kWriteFlags)),
    enumeration(C::DebugInput, "Debug Write Ready", P::FG_DEBUGREADY, tableOf(kYesNo)),

    enumeration(C::DebugOutput, "Debug Output Mode", P::FG_DEBUGOUTENABLE, tableOf(kOnOff)),
    u32(C::DebugOutput, "Debug Output XPosition", P::FG_DEBUGOUTXPOS, 8, 65536, 1, 1, "pixel"),
    u32(C::DebugOutput, "Debug Output YPosition", P::FG_DEBUGOUTYPOS, 1, 65536, 1, 1, "pixel"),
    u32(C::DebugOutput, "Debug Output Pixel", P::FG_DEBUGOUTPIXEL, 0, 4294967295, 1, 2, "pixel"),

    u32(C::Debug, "Debug Source", P::FG_DEBUGSOURCE, 0, 10, 1, 2),
    text(C::Debug, "Debug Source Name", P::FG_DEBUGSOURCENAME, ""),
    text(C::Debug, "Debug Save Config", P::FG_DEBUGSAVECONFIG, "*.mcf"),

    u32(C::Miscellaneous, "Timeout", P::FG_TIMEOUT, 2, 2147483646, 1, 1, "seconds"),
    u32(C::Miscellaneous, "Applet version", P::FG_APPLET_VERSION, 0, 0, 0, 1),
    u32(C::Miscellaneous, "Applet revision", P::FG_APPLET_REVISION, 0, 0, 0, 1),
    text(C::Miscellaneous, "Applet Id", P::FG_APPLET_ID, ""),
    text(C::Miscellaneous, "Build Time", P::FG_APPLET_BUILD_TIME, ""),
    text(C::Miscellaneous, "HAP file", P::FG_HAP_FILE, "*.hap"),
    u32(C::Miscellaneous, "DMA Status", P::FG_DMASTATUS, 0, 0, 0, 1),
    u32(C::Miscellaneous, "Camera Status", P::FG_CAMSTATUS, 0, 1, 1, 1),
    u32(C::Miscellaneous, "Camera Status Extended", P::FG_CAMSTATUS_EXTENDED, 0, 255, 1, 1),
    dbl(C::Miscellaneous, "FGPA Temperature", P::FG_SYSTEMMONITOR_FPGA_TEMPERATURE, 0, 1000, 0, 1, "Celsius"),
    dbl(C::Miscellaneous, "FGPA Vcc Int", P::FG_SYSTEMMONITOR_FPGA_VCC_INT, -1000, 1000, 0, 1, "V"),
    dbl(C::Miscellaneous, "FGPA Vcc Aux", P::FG_SYSTEMMONITOR_FPGA_VCC_AUX, -1000, 1000, 0, 1, "V"),
    dbl(C::Miscellaneous, "FGPA Vcc BRAM", P::FG_SYSTEMMONITOR_FPGA_VCC_BRAM, -1000, 1000, 0, 1, "V"),
    u32(C::Miscellaneous, "Current Link Width", P::FG_SYSTEMMONITOR_CURRENT_LINK_WIDTH, 0, 15, 0, 1, "lanes"),
    dbl(C::Miscellaneous, "Current Link Speed", P::FG_SYSTEMMONITOR_CURRENT_LINK_SPEED, 0, 1000, 0, 1, "GB/s"),
    enumeration(C::Miscellaneous, "PCIe Link Gen 2 Capable", P::FG_SYSTEMMONITOR_PCIE_LINK_GEN2_CAPABLE,
                tableOf(kYesNo)),
    enumeration(C::Miscellaneous, "PCIe Link Partner Gen 2 Capable",
                P::FG_SYSTEMMONITOR_PCIE_LINK_PARTNER_GEN2_CAPABLE, tableOf(kYesNo)),
    u32(C::Miscellaneous, "PCIe Trained Payload Size", P::FG_SYSTEMMONITOR_PCIE_TRAINED_PAYLOAD_SIZE, 0, 15, 0, 1,
        "byte"),
    enumeration(C::Miscellaneous, "Extension Connector Present", P::FG_SYSTEMMONITOR_EXTENSION_CONNECTOR_PRESENT,
                tableOf(kYesNo)),
    enumeration(C::Miscellaneous, "Alternative Board Detection", P::FG_ALTERNATIVE_BOARD_DETECTION,
                tableOf(kOnOff)),
    u64(C::Miscellaneous, "FPGA DNA", P::FG_SYSTEMMONITOR_FPGA_DNA, 0, kFiftySevenBits, 0, 1),
};

}  // namespace rows

#undef PULSE_FORM_GENERATOR_ROWS
#undef NOT_ON_DUSKRAIL

using rows::kParameters;

}  // namespace vexo::applet::tree
