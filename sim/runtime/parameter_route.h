// Where the runtime's lock-free path finds a parameter: the applet's hot calls write and read
// plain numbers of the design, and taking the runtime's and the board's locks for each would
// cost several times what the applet itself spends on a parameter. A route belongs to one
// design on one board and never changes; a board publishes the route of its current design.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "board/design_model.h"
#include "orvanta/type_codes.h"

namespace sim {

struct RouteEntry {
    int32_t index = -1;  // into the design's parameters and the board's values; -1: not on the route
    ValueKind kind = ValueKind::U32;
    int32_t nativeType = 0;  // the type code of a call that gives none
    bool writable = false;
};

struct ParameterRoute {
    const DesignModel* design = nullptr;
    NxValue* values = nullptr;  // the board's values of that design (board.h keeps them allocated)
    int32_t firstId = 0;
    std::vector<RouteEntry> byId;  // by id - firstId

    // The parameter `id` names, or null when the call takes the locked path.
    const RouteEntry* find(int32_t id) const {
        const auto offset = static_cast<uint32_t>(id) - static_cast<uint32_t>(firstId);
        if (offset >= byId.size() || byId[offset].index < 0) return nullptr;
        return &byId[offset];
    }
};

// The route of the design whose values these are. On it: the NX parameters holding a number that
// nothing but the value itself depends on, i.e. no text, no debug entry, and nothing the board's
// timeline plays a role for (`roleOfIndex` >= 0).
std::unique_ptr<ParameterRoute> buildRoute(const DesignModel& design, std::vector<NxValue>& values,
                                           const std::vector<int16_t>& roleOfIndex);

// Whether a number of this kind is read or written in the form of the caller's type code.
// `anyInteger`: one of the runtime's own parameters, which answer 2, 3 and 4 alike.
inline bool numberTakesType(ValueKind kind, int32_t type, bool anyInteger = false) {
    switch (kind) {
        case ValueKind::U32: return type == vexo::kTypeU32 || (anyInteger && (type == vexo::kTypeI64 || type == vexo::kTypeU64));
        case ValueKind::U64: return type == vexo::kTypeI64 || type == vexo::kTypeU64 || (anyInteger && type == vexo::kTypeU32);
        case ValueKind::Double: return type == vexo::kTypeDouble;
        case ValueKind::Text: return false;
    }
    return false;
}

// A number from the caller's memory, in the form of an accepted type code.
inline void storeNumber(NxValue& stored, ValueKind kind, int32_t type, const void* value) {
    if (kind == ValueKind::Double) {
        double v;
        std::memcpy(&v, value, sizeof v);
        stored.real = v;
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

// A number into the caller's memory, in the form of an accepted type code.
inline void loadNumber(const NxValue& stored, ValueKind kind, int32_t type, void* value) {
    if (kind == ValueKind::Double) {
        const double v = stored.real;
        std::memcpy(value, &v, sizeof v);
    } else if (type == vexo::kTypeU32) {
        const auto v = static_cast<uint32_t>(stored.integer.load());
        std::memcpy(value, &v, sizeof v);
    } else {
        const uint64_t v = stored.integer;
        std::memcpy(value, &v, sizeof v);
    }
}

}  // namespace sim
