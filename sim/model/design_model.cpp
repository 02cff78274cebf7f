// Builds the design table of the simulated runtime from the NX parameters the design's HAP
// lists, the debug entries the design announces and the runtime's own parameters.
#include "design_model.h"

#include <cstddef>
#include <cstring>
#include <utility>

#include "orvanta/type_codes.h"

namespace sim {
namespace {

// Start values of the board: a powered, idle board on a PCIe slot with nothing connected. A
// name the HAP does not list is left out.
struct StartValue {
    const char* identifier;
    uint64_t integer;
    double real;
    const char* text;
};

constexpr uint64_t kFpgaDna = 0x0159E3C1A7B2D48FULL;  // 57 significant bits
static_assert(kFpgaDna < (1ULL << 57) && kFpgaDna >= (1ULL << 56), "a DNA fills 57 bits");

constexpr StartValue kStartValues[] = {
    {"Process0_AppletProperties_AppletUid", 0, 0.0, "4f7a2c1e-93b5-4d08-a6e2-5c1b8d3f0a97"},
    {"Process0_AppletProperties_BuildTime", 0, 0.0, "2023-11-14 09:32:51"},
    {"Process0_BoardStatus_FpgaTemperature", 0, 48.5, nullptr},
    {"Process0_BoardStatus_FpgaVccInt", 0, 1.002, nullptr},
    {"Process0_BoardStatus_FpgaVccAux", 0, 1.797, nullptr},
    {"Process0_BoardStatus_FpgaVccBram", 0, 0.998, nullptr},
    {"Process0_BoardStatus_PcieCurrentLinkWidth", 4, 0.0, nullptr},
    {"Process0_BoardStatus_PcieCurrentLinkSpeed", 0, 5.0, nullptr},
    {"Process0_BoardStatus_PcieLinkGen2Capable", 1, 0.0, nullptr},
    {"Process0_BoardStatus_PcieLinkPartnerGen2Capable", 1, 0.0, nullptr},
    {"Process0_BoardStatus_PcieTrainedPayloadSize", 1, 0.0, nullptr},
    {"Process0_BoardStatus_ExtensionConnectorPresent", 1, 0.0, nullptr},
    {"Process0_BoardStatus_AlternativeBoardDetection", 0, 0.0, nullptr},
    {"Process0_BoardStatus_FpgaDNA", kFpgaDna, 0.0, nullptr},
    // Input statistics of a 1 kHz trigger seen between 500 Hz and 2 kHz (periods in 8 ns ticks).
    {"Process1_Trigger_TriggerCam0_InputStatistics_ReadPeriod_Status", 125000, 0.0, nullptr},
    {"Process1_Trigger_TriggerCam0_InputStatistics_ReadMax_Status", 250000, 0.0, nullptr},
    {"Process1_Trigger_TriggerCam0_InputStatistics_ReadMin_Status", 62500, 0.0, nullptr},
    // An idle generator has reached its period and holds no queued pulse, so a software
    // trigger finds it free; its queue status shows neither overflow nor a full queue.
    {"Process1_Trigger_TriggerCam0_Generators_Generator_MaximumReached_Status", 1, 0.0, nullptr},
    {"Process1_Trigger_TriggerCam0_Generators_QueueValue_Status", 0, 0.0, nullptr},
    {"Process1_Trigger_Monitoring_ReadQueueStatus_Status", 0, 0.0, nullptr},
};

// The debug entries the design announces through its Debug_ texts.
struct DebugEntry {
    const char* name;
    const char* type;
    const char* path;
    bool monitor;
};

constexpr DebugEntry kDebugEntries[] = {
    {"Camera Input", "Inject", "DebugIn_Camera", false},
    {"Buffer Output", "InjectMonitor", "DebugIn_Buffer", true},
};

// `input`: what a write does at the camera's entry, the one without monitor; the buffer entry's
// inputs only keep the value written.
struct EntrySuffix {
    const char* suffix;
    ValueKind kind;
    bool writable;
    bool monitorOnly;
    uint64_t initial;
    uint64_t maximum;
    bool injectsPixel;
    CameraInput input;
};

constexpr uint64_t kU32Max = 0xFFFFFFFFULL;
constexpr uint64_t kPixelWordMax = (1ULL << 57) - 1;

constexpr EntrySuffix kEntrySuffixes[] = {
    {"_OperationMode", ValueKind::U32, true, false, 0, 3, false, CameraInput::None},
    {"_Insert", ValueKind::U32, true, false, 0, 1, false, CameraInput::Insert},
    {"_Inject_WritePixel", ValueKind::U64, true, false, 0, kPixelWordMax, true, CameraInput::PixelWord},
    {"_Inject_WriteFlag", ValueKind::U32, true, false, 0, 1, false, CameraInput::Flag},
    {"_Inject_ReadyForInjection", ValueKind::U32, false, false, 1, 1, false, CameraInput::None},
    {"_DebugFile", ValueKind::Text, true, false, 0, 0, false, CameraInput::None},
    {"_XPosition", ValueKind::U32, false, true, 0, 65535, false, CameraInput::None},
    {"_YPosition", ValueKind::U32, false, true, 0, 65535, false, CameraInput::None},
    {"_PixelValue", ValueKind::U32, false, true, 0, 1023, false, CameraInput::None},
};

// The runtime's own parameters on an inner handle, by the SDK ids the applet forwards.
struct RuntimeParameter {
    const char* name;
    int32_t id;
    ValueKind kind;
    bool writable;
    uint64_t value;
};

constexpr RuntimeParameter kRuntimeParameters[] = {
    {"FG_TIMEOUT", 600, ValueKind::U32, true, 1000000},
    {"FG_APC_STOP_TIMEOUT", 601, ValueKind::U32, false, 1000},
    {"FG_CAMSTATUS_EXTENDED", 2050, ValueKind::U32, false, 0},
    {"FG_NR_OF_DMAS", 3050, ValueKind::U32, false, 1},
    {"FG_NR_OF_CAMS", 3060, ValueKind::U32, false, 1},
    {"FG_NR_OF_PROCESSES", 3070, ValueKind::U32, false, 2},
    {"FG_DMA_PORT", 3080, ValueKind::U32, false, 0},
    {"FG_CAM_PORT", 3090, ValueKind::U32, false, 0},
    {"FG_TRANSFER_LEN", 5210, ValueKind::U64, false, 1048576},
    {"FG_DMASTATUS", 24092, ValueKind::U32, false, 0},
};

// NX ids are scattered over 50000..50630 in steps of 3 (37 permutes the residues of the prime
// 211), so that neither the table order nor the row number can stand in for an id, and no id
// meets one of the runtime's own, which all lie below 50000. A design of more than 211 NX
// parameters goes on in further blocks of the same kind above.
constexpr int32_t kIdModulus = 211;
int32_t nxIdOf(int32_t position) {
    return 50000 + 3 * ((37 * position + 11) % kIdModulus) + 3 * kIdModulus * (position / kIdModulus);
}

ValueKind kindOfTypeCode(int32_t typeCode) {
    switch (typeCode) {
        case vexo::kTypeU64: return ValueKind::U64;
        case vexo::kTypeDouble: return ValueKind::Double;
        case vexo::kTypeText: return ValueKind::Text;
        default: return ValueKind::U32;
    }
}

uint64_t defaultMaximum(ValueKind kind) { return kind == ValueKind::U64 ? ~0ULL : kU32Max; }

DesignParameter nxParameter(std::string name, ValueKind kind, bool writable) {
    DesignParameter parameter;
    parameter.name = std::move(name);
    parameter.kind = kind;
    parameter.writable = writable;
    parameter.maximum = defaultMaximum(kind);
    return parameter;
}

DesignParameter debugText(const std::string& name, const std::string& value) {
    DesignParameter parameter = nxParameter("Device1_Process0_Debug_" + name, ValueKind::Text, false);
    parameter.initial.text = value;
    return parameter;
}

}  // namespace

DesignModel::DesignModel(std::vector<DesignRow> designRows) : designRows_(std::move(designRows)) {
    for (const DesignRow& row : designRows_) add(nxParameter(row.name, kindOfTypeCode(row.typeCode), row.writable));
    for (const StartValue& start : kStartValues) {
        const auto listed = byNxName_.find(std::string("Device1_") + start.identifier);
        if (listed == byNxName_.end()) continue;
        DesignParameter& parameter = parameters_[listed->second];
        parameter.initial.integer = start.integer;
        parameter.initial.real = start.real;
        parameter.initial.text = start.text != nullptr ? start.text : "";
    }

    // The entry count is announced as the first character of a text.
    constexpr std::size_t entryCount = sizeof(kDebugEntries) / sizeof(kDebugEntries[0]);
    add(debugText("Entries", std::to_string(entryCount)));
    for (std::size_t e = 0; e < entryCount; ++e) {
        const std::string digit(1, static_cast<char>('0' + e));
        add(debugText("Name" + digit, kDebugEntries[e].name));
        add(debugText("Type" + digit, kDebugEntries[e].type));
        add(debugText("Path" + digit, kDebugEntries[e].path));
    }
    for (const DebugEntry& entry : kDebugEntries) {
        for (const EntrySuffix& suffix : kEntrySuffixes) {
            if (suffix.monitorOnly && !entry.monitor) continue;
            DesignParameter parameter = nxParameter(std::string("Device1_Process0_") + entry.path + suffix.suffix,
                                             suffix.kind, suffix.writable);
            parameter.initial.integer = suffix.initial;
            if (suffix.kind != ValueKind::Text) parameter.maximum = suffix.maximum;
            parameter.injectsPixel = suffix.injectsPixel;
            if (!entry.monitor) parameter.cameraInput = suffix.input;
            add(parameter);
        }
    }

    for (const RuntimeParameter& own : kRuntimeParameters) {
        DesignParameter parameter;
        parameter.name = own.name;
        parameter.id = own.id;
        parameter.kind = own.kind;
        parameter.writable = own.writable;
        parameter.nx = false;
        parameter.anyIntegerType = true;
        parameter.maximum = defaultMaximum(parameter.kind);
        parameter.initial.integer = own.value;
        add(parameter);
    }
}

void DesignModel::add(DesignParameter parameter) {
    const int32_t index = static_cast<int32_t>(parameters_.size());
    if (parameter.nx) {
        parameter.id = nxIdOf(static_cast<int32_t>(nxIndices_.size()));
        nxIndices_.push_back(index);
        byNxName_[parameter.name] = index;
    }
    byId_[parameter.id] = index;
    byAnyName_[parameter.name] = index;
    parameters_.push_back(std::move(parameter));
}

int32_t DesignModel::indexOfId(int32_t id) const {
    const auto found = byId_.find(id);
    return found == byId_.end() ? -1 : found->second;
}

int32_t DesignModel::indexOfNxName(std::string_view name) const {
    const auto found = byNxName_.find(name);
    return found == byNxName_.end() ? -1 : found->second;
}

int32_t DesignModel::indexOfAnyName(std::string_view name) const {
    const auto found = byAnyName_.find(name);
    return found == byAnyName_.end() ? -1 : found->second;
}

std::vector<NxValue> startValues(const DesignModel& model) {
    std::vector<NxValue> values;
    for (const DesignParameter& parameter : model.parameters()) values.push_back(parameter.initial);
    return values;
}

NxValue* DesignValues::nx(std::string_view name) {
    const int32_t index = design->indexOfNxName(name);
    return index >= 0 ? &values[static_cast<std::size_t>(index)] : nullptr;
}

const NxValue* DesignValues::nx(std::string_view name) const {
    const int32_t index = design->indexOfNxName(name);
    return index >= 0 ? &values[static_cast<std::size_t>(index)] : nullptr;
}

int32_t nativeTypeCode(ValueKind kind) {
    switch (kind) {
        case ValueKind::U32: return vexo::kTypeU32;
        case ValueKind::U64: return vexo::kTypeU64;
        case ValueKind::Double: return vexo::kTypeDouble;
        case ValueKind::Text: return vexo::kTypeText;
    }
    return 2;
}

bool numberTakesType(ValueKind kind, int32_t type, bool anyInteger) {
    switch (kind) {
        case ValueKind::U32: return type == vexo::kTypeU32 || (anyInteger && (type == vexo::kTypeI64 || type == vexo::kTypeU64));
        case ValueKind::U64: return type == vexo::kTypeI64 || type == vexo::kTypeU64 || (anyInteger && type == vexo::kTypeU32);
        case ValueKind::Double: return type == vexo::kTypeDouble;
        case ValueKind::Text: return false;
    }
    return false;
}

void storeNumber(NxValue& stored, ValueKind kind, int32_t type, const void* value) {
    if (kind == ValueKind::Double) {
        std::memcpy(&stored.real, value, sizeof stored.real);
    } else if (type == vexo::kTypeU32) {
        uint32_t v;
        std::memcpy(&v, value, sizeof v);
        stored.integer = v;
    } else {
        uint64_t v;
        std::memcpy(&v, value, sizeof v);
        stored.integer = kind == ValueKind::U32 ? v & 0xFFFFFFFFULL : v;
    }
}

void loadNumber(const NxValue& stored, ValueKind kind, int32_t type, void* value) {
    if (kind == ValueKind::Double) {
        std::memcpy(value, &stored.real, sizeof stored.real);
    } else if (type == vexo::kTypeU32) {
        const auto v = static_cast<uint32_t>(stored.integer);
        std::memcpy(value, &v, sizeof v);
    } else {
        std::memcpy(value, &stored.integer, sizeof stored.integer);
    }
}

}  // namespace sim
