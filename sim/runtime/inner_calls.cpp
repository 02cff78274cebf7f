// The runtime's answers on inner handles, from the board the handle is opened on: the HAP
// runtime loads the HAP's design onto the board, whose values the runtime reads and writes.
// The acquisition calls and closing a handle are in acquisition_calls.cpp.
#include "inner_calls.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "debug_entries.h"
#include "hapcore/hap_loading.h"
#include "inner_call.h"
#include "orvanta/type_codes.h"
#include "orvanta_sim/runtime.h"
#include "parameter_route.h"
#include "runtime_state.h"

namespace sim::inner {
namespace {

using namespace vexo;  // the value type codes

// The number the runtime gives the Orvanta design's applet.
constexpr int32_t kAppletId = 2686;
// Texts the design stores are cut to this many characters.
constexpr std::size_t kTextLimit = 255;

// Runs body(BoardState&) under the lock of the handle's board and answers its outcome.
template <typename Body>
Outcome onBoard(InnerHandle& handle, Body body) {
    Outcome outcome = ok();
    withBoard(*handle.board, [&](BoardState& board) { outcome = body(board); });
    return outcome;
}

// The design on the handle's board. Designs are never freed, so names taken from it stay valid.
std::shared_ptr<const DesignModel> designOf(InnerHandle& handle) {
    std::shared_ptr<const DesignModel> design;
    withBoard(*handle.board, [&](BoardState& board) { design = board.design; });
    return design;
}

bool acceptsType(const DesignParameter& parameter, int32_t type, bool reading) {
    if (parameter.kind == ValueKind::Text) return type == kTypeText || (reading && type == kTypeAllocatedText);
    return numberTakesType(parameter.kind, type, parameter.anyIntegerType);
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

void storeValue(NxValue& stored, ValueKind kind, int32_t type, const void* value) {
    if (kind == ValueKind::Text) {
        stored.text = std::string(static_cast<const char*>(value)).substr(0, kTextLimit);
    } else {
        storeNumber(stored, kind, type, value);
    }
}

void deliverValue(InnerHandle& handle, const NxValue& stored, ValueKind kind, int32_t type, void* value) {
    if (kind != ValueKind::Text) {
        loadNumber(stored, kind, type, value);
        return;
    }
    if (type == kTypeText) {
        std::memcpy(value, stored.text.c_str(), stored.text.size() + 1);
        return;
    }
    auto copy = std::make_unique<char[]>(stored.text.size() + 1);
    std::memcpy(copy.get(), stored.text.c_str(), stored.text.size() + 1);
    char* text = copy.get();
    std::memcpy(value, &text, sizeof text);
    handle.handedTexts.push_back(std::move(copy));
}

// The parameter an access reaches, after the checks every access makes.
struct Access {
    int32_t index = -1;
    const DesignParameter* parameter = nullptr;  // null: refused
    int32_t type = 0;                            // the caller's type code, or the parameter's own
    Outcome refusal = ok();
};

Access checkAccess(const DesignModel& model, int32_t id, const void* value, uint32_t dma, int32_t type, bool reading,
                   SimCall& call) {
    Access access;
    access.index = model.indexOfId(id);
    if (access.index < 0) {
        access.refusal = failed(SIM_ERR_INVALID_PARAMETER);
        return access;
    }
    const DesignParameter& parameter = model.parameters()[access.index];
    copyText(call.nxName, sizeof call.nxName, parameter.name.c_str());
    access.type = type < 0 ? nativeTypeCode(parameter.kind) : type;
    call.typeCode = access.type;
    if (dma != 0) {
        access.refusal = failed(SIM_ERR_INVALID_PORT);
    } else if (value == nullptr) {
        access.refusal = failed(SIM_ERR_NULL_VALUE);
    } else if (!acceptsType(parameter, access.type, reading)) {
        access.refusal = failed(SIM_ERR_INVALID_TYPE);
    } else {
        access.parameter = &parameter;
    }
    return access;
}

Outcome writeValue(State& s, InnerHandle& handle, int32_t id, const void* value, uint32_t dma, int32_t type,
                   SimCall& call) {
    return onBoard(handle, [&](BoardState& board) {
        const Access access = checkAccess(*board.design, id, value, dma, type, false, call);
        if (access.parameter == nullptr) return access.refusal;
        recordValue(call, access.type, value);
        if (const int32_t injected = s.control.failedWrite(access.parameter->name)) return failed(injected);
        if (!access.parameter->writable) return failed(SIM_ERR_READ_ONLY);
        storeValue(board.values[access.index], access.parameter->kind, access.type, value);
        if (isTimelineRegister(handle.timeline, board, access.index)) registerWritten(s, *handle.timeline, board, access.index);
        if (access.parameter->injectsPixel) ++board.injectedPixels;
        if (access.parameter->cameraInput != CameraInput::None) {
            const int32_t error = feedCameraEntry(board, *access.parameter, board.values[access.index]);
            if (error != 0) return failed(error);
        }
        return ok();
    });
}

Outcome readValue(State& s, InnerHandle& handle, int32_t id, void* value, uint32_t dma, int32_t type,
                  SimCall& call) {
    return onBoard(handle, [&](BoardState& board) {
        const Access access = checkAccess(*board.design, id, value, dma, type, true, call);
        if (access.parameter == nullptr) return access.refusal;
        if (const int32_t injected = s.control.failedRead(access.parameter->name)) return failed(injected);
        if (isTimelineRegister(handle.timeline, board, access.index)) beforeRead(s, *handle.timeline, board, access.index);
        const NxValue& stored = board.values[access.index];
        deliverValue(handle, stored, access.parameter->kind, access.type, value);
        if (access.type == kTypeAllocatedText) {
            copyText(call.text, sizeof call.text, stored.text.c_str());
        } else {
            recordValue(call, access.type, value);
        }
        return ok();
    });
}

void writeConfiguration(std::ostream& out, const DesignModel& model, const std::vector<NxValue>& values) {
    out << "# Orvanta design values\n";
    for (const int32_t index : model.nxIndices()) {
        const DesignParameter& parameter = model.parameters()[index];
        const NxValue& value = values[index];
        out << parameter.name << " = ";
        if (parameter.kind == ValueKind::Text) {
            out << value.text;
        } else if (parameter.kind == ValueKind::Double) {
            char text[40];
            std::snprintf(text, sizeof text, "%.17g", value.real.load());
            out << text;
        } else {
            out << value.integer.load();
        }
        out << '\n';
    }
}

}  // namespace

void* initHandle(const char* function, const char* hapName, uint64_t hardware, void* hap, uint32_t flags) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    SimCall& call = s.control.record(function, nullptr);
    copyText(call.text, sizeof call.text, hapName);
    call.u64 = hardware;
    call.args[0] = reinterpret_cast<uintptr_t>(hap);
    call.args[1] = flags;
    int32_t error = 0;
    if (const InjectedCall* injected = s.control.injected(function)) {
        error = injected->lastError;
    } else if (s.control.failedInit != 0) {
        error = s.control.failedInit;
    } else if (hapName == nullptr || hap == nullptr || SimHap_LoadDesign(hap, hardware) != 0) {
        // The HAP runtime configures the board with the HAP's design, or refuses a HAP not open.
        error = SIM_ERR_INVALID_HAP;
    } else {
        auto handle = std::make_unique<InnerHandle>();
        handle->hardware = hardware;
        handle->board = SimBoard_Of(hardware);
        startClock(s);
        BoardTimeline& timeline = timelineOf(s, handle->board);
        handle->timeline = &timeline;
        findEvents(timeline, hap);
        withBoard(*handle->board, [&](BoardState& board) { bindTimeline(s, timeline, board); });
        handle->serial = ++s.handlesOpened;
        void* address = handle.get();
        quickCalls.list(handle.get());
        s.innerHandles[address] = std::move(handle);
        s.globalLastError = 0;
        call.result = static_cast<int64_t>(reinterpret_cast<uintptr_t>(address));
        return address;
    }
    s.globalLastError = error;
    return nullptr;
}

int32_t lastErrorNumber(void* fg) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    SimCall& call = s.control.record("Fg_getLastErrorNumber", fg);
    const InjectedCall* injected = s.control.injected(call.function);
    const InnerHandle* handle = s.inner(fg);
    if (injected != nullptr) {
        call.result = injected->result;
    } else if (fg == nullptr) {
        call.result = s.globalLastError;
    } else if (handle == nullptr) {
        call.result = SIM_ERR_INVALID_HANDLE;
    } else {
        call.result = handle->open ? handle->lastError.load() : SIM_ERR_HANDLE_CLOSED;
    }
    return static_cast<int32_t>(call.result);
}

int32_t parameterIdByName(void* fg, const char* name) {
    SimCall seed = callOf("Fg_getParameterIdByName", fg);
    copyText(seed.nxName, sizeof seed.nxName, name);
    return static_cast<int32_t>(onInner(seed, [name](State& s, InnerHandle& handle, SimCall&) -> Outcome {
        const std::shared_ptr<const DesignModel> model = designOf(handle);
        const int32_t index = name == nullptr || s.control.hiddenNames.count(name) != 0 ? -1 : model->indexOfNxName(name);
        if (index < 0) return {0, SIM_ERR_INVALID_PARAMETER};
        return ok(model->parameters()[index].id);
    }));
}

const char* parameterName(void* fg, int32_t index) {
    SimCall seed = callOf("Fg_getParameterName", fg);
    seed.id = index;
    const char* name = nullptr;
    onInner(seed, [index, &name](State&, InnerHandle& handle, SimCall& call) -> Outcome {
        const std::shared_ptr<const DesignModel> model = designOf(handle);
        if (index < 0 || index >= static_cast<int32_t>(model->nxIndices().size())) return {0, SIM_ERR_INVALID_PARAMETER};
        name = model->parameters()[model->nxIndices()[index]].name.c_str();
        copyText(call.nxName, sizeof call.nxName, name);
        return ok();
    });
    return name;
}

int32_t parameterId(void* fg, int32_t index) {
    SimCall seed = callOf("Fg_getParameterId", fg);
    seed.id = index;
    return static_cast<int32_t>(onInner(seed, [index](State&, InnerHandle& handle, SimCall&) -> Outcome {
        const std::shared_ptr<const DesignModel> model = designOf(handle);
        if (index < 0 || index >= static_cast<int32_t>(model->nxIndices().size())) return failed(SIM_ERR_INVALID_PARAMETER);
        return ok(model->parameters()[model->nxIndices()[index]].id);
    }));
}

int32_t parameterCount(void* fg) {
    return static_cast<int32_t>(onInner(callOf("Fg_getNrOfParameter", fg), [](State&, InnerHandle& handle, SimCall&) {
        return ok(static_cast<int64_t>(designOf(handle)->nxIndices().size()));
    }));
}

int32_t setParameter(const char* function, void* fg, int32_t id, const void* value, uint32_t dma, int32_t type) {
    SimCall seed = callOf(function, fg);
    seed.id = id;
    seed.dma = dma;
    if (type >= 0) recordValue(seed, type, value);
    return static_cast<int32_t>(onInner(seed, [&](State& s, InnerHandle& handle, SimCall& call) {
        return writeValue(s, handle, id, value, dma, type, call);
    }));
}

int32_t getParameter(const char* function, void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    SimCall seed = callOf(function, fg);
    seed.id = id;
    seed.dma = dma;
    seed.typeCode = type;
    return static_cast<int32_t>(onInner(seed, [&](State& s, InnerHandle& handle, SimCall& call) {
        return readValue(s, handle, id, value, dma, type, call);
    }));
}

int32_t freeParameterString(void* fg, int32_t id, void* value, uint32_t dma, int32_t type) {
    SimCall seed = callOf("Fg_freeParameterStringWithType", fg);
    seed.id = id;
    seed.dma = dma;
    seed.typeCode = type;
    seed.args[0] = reinterpret_cast<uintptr_t>(value);
    return static_cast<int32_t>(onInner(seed, [value](State&, InnerHandle& handle, SimCall&) {
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
    return static_cast<int32_t>(onInner(seed, [fileName](State&, InnerHandle& handle, SimCall&) {
        if (fileName == nullptr) return failed(SIM_ERR_INVALID_PARAMETER);
        std::ofstream out(fileName);
        if (!out) return failed(SIM_ERR_FILE);
        withBoard(*handle.board, [&](BoardState& board) { writeConfiguration(out, *board.design, board.values); });
        return out ? ok() : failed(SIM_ERR_FILE);
    }));
}

int32_t loadConfig(void* fg, const char* fileName) {
    SimCall seed = callOf("Fg_loadConfig", fg);
    copyText(seed.text, sizeof seed.text, fileName);
    // The applet never loads a design configuration through the runtime: only whether the file
    // can be read is answered.
    return static_cast<int32_t>(onInner(seed, [fileName](State&, InnerHandle&, SimCall&) {
        if (fileName == nullptr) return failed(SIM_ERR_INVALID_PARAMETER);
        return std::ifstream(fileName) ? ok() : failed(SIM_ERR_FILE);
    }));
}

const ParameterInfoNode* parameterInfo(void* fg, int32_t port) {
    SimCall seed = callOf("Fg_getParameterInfo", fg);
    seed.id = port;
    seed.dma = static_cast<uint32_t>(port);
    const ParameterInfoNode* head = nullptr;
    onInner(seed, [port, &head](State& s, InnerHandle& handle, SimCall&) -> Outcome {
        if (port != 0) return {0, SIM_ERR_INVALID_PORT};
        if (!handle.description) {
            handle.description = std::make_unique<DescriptionTree>(*designOf(handle), s.control.hiddenNames,
                                                                   s.control.loopingDescription);
        }
        head = handle.description->head();
        return ok(static_cast<int64_t>(reinterpret_cast<uintptr_t>(head)));
    });
    return head;
}

int32_t appletId(void* fg, const void* argument) {
    SimCall seed = callOf("Fg_getAppletId", fg);
    seed.args[0] = reinterpret_cast<uintptr_t>(argument);
    return static_cast<int32_t>(onInner(seed, [](State&, InnerHandle&, SimCall&) { return ok(kAppletId); }));
}

int32_t notOffered(const char* function, void* fg) {
    return static_cast<int32_t>(
        onInner(callOf(function, fg), [](State&, InnerHandle&, SimCall&) { return failed(SIM_ERR_NOT_AVAILABLE); }));
}

}  // namespace sim::inner
