// The runtime's answers on inner handles, from the board the handle is opened on. Opening one
// loads the design of the HAP (as the HAP runtime lists it) onto the board. The acquisition calls
// and closing a handle are in acquisition_calls.cpp.
#include "inner_calls.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "application.h"
#include "board/parameters.h"
#include "clock_thread.h"
#include "inner_call.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/type_codes.h"
#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/runtime.h"

namespace sim::inner {
namespace {

using namespace vexo;  // the value type codes

// The number the runtime gives the Orvanta design's applet.
constexpr int32_t kAppletId = 2686;

// What a HAP gives a board: its NX parameters and its event list, both the HAP runtime's, which
// keeps every list it handed out as long as the process runs. A board that had a list loaded
// before has that design, or those event bits, already.
struct HapDesign {
    const SimHapNxParameter* parameters = nullptr;
    int32_t count = 0;
    const HapEventDescriptor* firstEvent = nullptr;

    std::vector<DesignRow> rows() const {
        std::vector<DesignRow> rows;
        for (int32_t i = 0; i < count; ++i) {
            rows.push_back(DesignRow{parameters[i].name, parameters[i].typeCode, parameters[i].writable != 0});
        }
        return rows;
    }
};

// False for a HAP that is not open.
bool readHap(void* hap, HapDesign& design) {
    design.count = SimHap_NxParameters(hap, &design.parameters);
    design.firstEvent = Hap_GetEvent(hap, 0);
    return design.count >= 0;
}

// The board's events by their names in a HAP's event list.
const std::map<std::string_view, BoardEvent>& boardEventsByName() {
    static const std::map<std::string_view, BoardEvent> byName = [] {
        std::map<std::string_view, BoardEvent> names;
        for (size_t e = 0; e < static_cast<size_t>(BoardEvent::Count); ++e) {
            names.emplace(kBoardEventNames[e], static_cast<BoardEvent>(e));
        }
        return names;
    }();
    return byName;
}

// The bits of the board's events: their positions in the HAP's event list.
void findEventBits(void* hap, EventRecords& events) {
    events.bit.fill(-1);
    const auto& byName = boardEventsByName();
    for (int32_t position = 0; position < 64; ++position) {
        const HapEventDescriptor* event = Hap_GetEvent(hap, position);
        if (event == nullptr) break;
        const auto found = event->name != nullptr ? byName.find(event->name) : byName.end();
        if (found != byName.end()) events.bit[static_cast<size_t>(found->second)] = static_cast<int8_t>(position);
    }
}

// Keeps the value at `value` (in the form of type code `type`) in the call record.
void recordValue(SimCall& call, int32_t type, const void* value) {
    call.typeCode = type;
    if (value == nullptr) return;
    if (type == kTypeU32) {
        uint32_t v;
        std::memcpy(&v, value, sizeof v);
        call.u64 = v;
    } else if (type == kTypeI64 || type == kTypeU64) {
        std::memcpy(&call.u64, value, sizeof call.u64);
    } else if (type == kTypeDouble) {
        std::memcpy(&call.f64, value, sizeof call.f64);
    } else if (type == kTypeText) {
        copyText(call.text, sizeof call.text, static_cast<const char*>(value));
    }
}

// The parameter of a call, its name and type code kept in the call record.
ParameterAccess access(const Board& board, int32_t id, const void* value, uint32_t dma, int32_t type, bool reading,
                       SimCall& call) {
    const ParameterAccess found = findParameter(board, id, value, dma, type, reading);
    if (found.parameter != nullptr) {
        copyText(call.nxName, sizeof call.nxName, found.parameter->name.c_str());
        call.typeCode = found.type;
    }
    return found;
}

Outcome writeValue(Board& board, int32_t id, const void* value, uint32_t dma, int32_t type, SimCall& call) {
    const ParameterAccess found = access(board, id, value, dma, type, false, call);
    if (found.parameter == nullptr || found.refusal != 0) return failed(found.refusal);
    recordValue(call, found.type, value);
    if (const std::optional<Outcome> injected = control().fault(CallKind::NxWrite, call)) return *injected;
    if (!found.parameter->writable) return failed(SIM_ERR_READ_ONLY);
    const int32_t error = writeParameter(board, found, value);
    return error != 0 ? failed(error) : ok();
}

Outcome readValue(Board& board, InnerHandle& handle, int32_t id, void* value, uint32_t dma, int32_t type,
                  SimCall& call) {
    const ParameterAccess found = access(board, id, value, dma, type, true, call);
    if (found.parameter == nullptr || found.refusal != 0) return failed(found.refusal);
    if (const std::optional<Outcome> injected = control().fault(CallKind::NxRead, call)) return *injected;
    readParameter(board, handle, found, value);
    if (found.type == kTypeAllocatedText) {
        copyText(call.text, sizeof call.text, board.design.values[static_cast<size_t>(found.index)].text.c_str());
    } else {
        recordValue(call, found.type, value);
    }
    return ok();
}

void writeConfiguration(std::ostream& out, const DesignValues& board) {
    out << "# Orvanta design values\n";
    const DesignModel& model = *board.design;
    for (const int32_t index : model.nxIndices()) {
        const DesignParameter& parameter = model.parameters()[static_cast<size_t>(index)];
        const NxValue& value = board.values[static_cast<size_t>(index)];
        out << parameter.name << " = ";
        if (parameter.kind == ValueKind::Text) {
            out << value.text;
        } else if (parameter.kind == ValueKind::Double) {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", value.real);
            out << text;
        } else {
            out << value.integer;
        }
        out << '\n';
    }
}

// The NX parameter at `index` in the design's order, or null.
const DesignParameter* nxAt(const Board& board, int32_t index) {
    const DesignModel& model = *board.design.design;
    if (index < 0 || index >= static_cast<int32_t>(model.nxIndices().size())) return nullptr;
    return &model.parameters()[static_cast<size_t>(model.nxIndices()[static_cast<size_t>(index)])];
}

}  // namespace

void* initHandle(const char* function, const char* hapName, uint64_t hardware, void* hap, uint32_t flags) {
    SimCall call = callOf(function, nullptr);
    copyText(call.text, sizeof call.text, hapName);
    call.u64 = hardware;
    call.args[0] = reinterpret_cast<uintptr_t>(hap);
    call.args[1] = flags;
    int32_t error = 0;
    const void* opened = nullptr;
    HapDesign design;
    Board* board = nullptr;
    if (const std::optional<Outcome> injected = control().fault(CallKind::Call, call)) {
        error = injected->error;
    } else if (const int32_t failure = control().failedInit()) {
        error = failure;
    } else if (hapName == nullptr || hap == nullptr || !readHap(hap, design)) {
        // The board is configured with the HAP's design; a HAP not open has none.
        error = SIM_ERR_INVALID_HAP;
    } else if ((board = handles().board(hardware)) == nullptr) {
        error = SIM_ERR_INVALID_BOARD;
    } else {
        std::lock_guard<std::mutex> lock(board->mutex);
        // A lack of memory is answered with a code, and leaves no handle half open.
        try {
            if (board->designSource != design.parameters) {
                board->loadDesign(design.rows());
                board->designSource = design.parameters;
            }
            if (board->eventSource != design.firstEvent) {
                findEventBits(hap, board->events);
                board->eventSource = design.firstEvent;
            }
            ensureBound(*board);
            opened = handles().openInner(*board);
            try {
                board->handles[opened] = std::make_shared<InnerHandle>(opened);
                innerHandleOpened();
            } catch (const std::bad_alloc&) {
                board->handles.erase(opened);
                handles().closeInner(opened);
                throw;
            }
            app::innerHandleOpenedForApplication(opened);
        } catch (const std::bad_alloc&) {
            opened = nullptr;
            error = SIM_ERR_OUT_OF_MEMORY;
        }
    }
    handles().globalLastError = error;
    call.result = static_cast<int64_t>(reinterpret_cast<uintptr_t>(opened));
    control().keep(call);
    return const_cast<void*>(opened);
}

int32_t lastErrorNumber(void* fg) {
    SimCall call = callOf("Fg_getLastErrorNumber", fg);
    if (const std::optional<Outcome> injected = control().fault(CallKind::Call, call)) {
        call.result = injected->result;
    } else if (fg == nullptr) {
        call.result = handles().globalLastError;
    } else {
        int32_t error = 0;
        Board* board = handles().innerBoard(fg, error);
        if (board != nullptr) {
            std::lock_guard<std::mutex> lock(board->mutex);
            const std::shared_ptr<InnerHandle> handle = board->handle(fg);
            error = handle != nullptr && handle->open ? handle->lastError : SIM_ERR_HANDLE_CLOSED;
        }
        call.result = error;
    }
    control().keep(call);
    return static_cast<int32_t>(call.result);
}

int32_t parameterIdByName(void* fg, const char* name) {
    SimCall seed = callOf("Fg_getParameterIdByName", fg);
    copyText(seed.nxName, sizeof seed.nxName, name);
    return static_cast<int32_t>(onInner(seed, [name](Board& board, InnerHandle&, SimCall&) -> Outcome {
        const DesignModel& model = *board.design.design;
        const int32_t index = name == nullptr || control().hidden(name) ? -1 : model.indexOfNxName(name);
        if (index < 0) return {0, SIM_ERR_INVALID_PARAMETER};
        return ok(model.parameters()[static_cast<size_t>(index)].id);
    }));
}

const char* parameterName(void* fg, int32_t index) {
    SimCall seed = callOf("Fg_getParameterName", fg);
    seed.id = index;
    const char* name = nullptr;
    onInner(seed, [index, &name](Board& board, InnerHandle&, SimCall& call) -> Outcome {
        const DesignParameter* parameter = nxAt(board, index);
        if (parameter == nullptr) return {0, SIM_ERR_INVALID_PARAMETER};
        // Designs stay with the board: the name stays valid.
        name = parameter->name.c_str();
        copyText(call.nxName, sizeof call.nxName, name);
        return ok();
    });
    return name;
}

int32_t parameterId(void* fg, int32_t index) {
    SimCall seed = callOf("Fg_getParameterId", fg);
    seed.id = index;
    return static_cast<int32_t>(onInner(seed, [index](Board& board, InnerHandle&, SimCall&) -> Outcome {
        const DesignParameter* parameter = nxAt(board, index);
        return parameter == nullptr ? failed(SIM_ERR_INVALID_PARAMETER) : ok(parameter->id);
    }));
}

int32_t parameterCount(void* fg) {
    return static_cast<int32_t>(onInner(callOf("Fg_getNrOfParameter", fg), [](Board& board, InnerHandle&, SimCall&) {
        return ok(static_cast<int64_t>(board.design.design->nxIndices().size()));
    }));
}

int32_t setParameter(const char* function, void* fg, int32_t id, const void* value, uint32_t dma, int32_t type) {
    SimCall seed = callOf(function, fg);
    seed.id = id;
    seed.dma = dma;
    if (type >= 0) recordValue(seed, type, value);
    return static_cast<int32_t>(onInner(seed, [&](Board& board, InnerHandle&, SimCall& call) {
        return writeValue(board, id, value, dma, type, call);
    }));
}

int32_t getParameter(const char* function, void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    SimCall seed = callOf(function, fg);
    seed.id = id;
    seed.dma = dma;
    seed.typeCode = type;
    return static_cast<int32_t>(onInner(seed, [&](Board& board, InnerHandle& handle, SimCall& call) {
        return readValue(board, handle, id, value, dma, type, call);
    }));
}

int32_t freeParameterString(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    SimCall seed = callOf("Fg_freeParameterStringWithType", fg);
    seed.id = id;
    seed.dma = dma;
    seed.typeCode = type;
    seed.args[0] = reinterpret_cast<uintptr_t>(value);
    return static_cast<int32_t>(onInner(seed, [value](Board&, InnerHandle& handle, SimCall&) {
        auto& texts = handle.handedTexts;
        for (auto text = texts.begin(); text != texts.end(); ++text) {
            if (text->get() == value) {
                texts.erase(text);
                break;
            }
        }
        return ok();
    }));
}

int32_t saveConfig(void* fg, const char* fileName) {
    SimCall seed = callOf("Fg_saveConfig", fg);
    copyText(seed.text, sizeof seed.text, fileName);
    return static_cast<int32_t>(onInner(seed, [fileName](Board& board, InnerHandle&, SimCall&) {
        if (fileName == nullptr) return failed(SIM_ERR_INVALID_PARAMETER);
        std::ofstream out(fileName);
        if (!out) return failed(SIM_ERR_FILE);
        writeConfiguration(out, board.design);
        return out ? ok() : failed(SIM_ERR_FILE);
    }));
}

int32_t loadConfig(void* fg, const char* fileName) {
    SimCall seed = callOf("Fg_loadConfig", fg);
    copyText(seed.text, sizeof seed.text, fileName);
    // The applet never loads a design configuration through the runtime: only whether the file
    // can be read is answered.
    return static_cast<int32_t>(onInner(seed, [fileName](Board&, InnerHandle&, SimCall&) {
        if (fileName == nullptr) return failed(SIM_ERR_INVALID_PARAMETER);
        return std::ifstream(fileName) ? ok() : failed(SIM_ERR_FILE);
    }));
}

const ParameterInfoNode* parameterInfo(void* fg, int32_t port) {
    SimCall seed = callOf("Fg_getParameterInfo", fg);
    seed.id = port;
    seed.dma = static_cast<uint32_t>(port);
    const ParameterInfoNode* head = nullptr;
    onInner(seed, [port, &head](Board& board, InnerHandle& handle, SimCall&) -> Outcome {
        if (port != 0) return {0, SIM_ERR_INVALID_PORT};
        if (!handle.description) handle.description = control().describe(*board.design.design);
        head = handle.description->head();
        return ok(static_cast<int64_t>(reinterpret_cast<uintptr_t>(head)));
    });
    return head;
}

int32_t appletId(void* fg, const void* argument) {
    SimCall seed = callOf("Fg_getAppletId", fg);
    seed.args[0] = reinterpret_cast<uintptr_t>(argument);
    return static_cast<int32_t>(onInner(seed, [](Board&, InnerHandle&, SimCall&) { return ok(kAppletId); }));
}

int32_t notOffered(const char* function, void* fg) {
    return static_cast<int32_t>(
        onInner(callOf(function, fg), [](Board&, InnerHandle&, SimCall&) { return failed(SIM_ERR_NOT_AVAILABLE); }));
}

}  // namespace sim::inner
