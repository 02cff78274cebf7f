// The descriptor query behind the exported Info: one table row per selector, and the named
// constants.
#include "api/info.h"

#include <cstring>
#include <map>
#include <string>

#include "api/descriptor.h"
#include "applet/core/registry.h"
#include "orvanta/error_codes.h"
#include "wrapper/hap_image.h"
#include "wrapper/recent_handles.h"

namespace vexo::api {

namespace {

constexpr int32_t kConstantQuery = 0x1100;

enum class IndexRule : uint8_t { Ignored, FirstIndexZero, BothIndicesZero };

// What goes into the first out cell.
enum class FirstOut : uint8_t {
    Nothing,
    Value,                 // the row's firstValue
    LowHalfZero,           // a 32-bit 0 into the low 4 bytes; the upper 4 stay as they were
    RecentHardwareHandle,
    RecentHapHandle,
};

struct SelectorAnswer {
    int32_t selector;
    int32_t result;
    IndexRule indices = IndexRule::Ignored;
    FirstOut first = FirstOut::Nothing;
    uint64_t firstValue = 0;
    const void* second = nullptr;  // address written into the second out cell, when not null
};

constexpr IndexRule kAny = IndexRule::Ignored;

const SelectorAnswer kSelectorAnswers[] = {
    {0x350, 0},
    {0x410, 0},
    {0x870, 0},
    {0x890, 0},
    {0xA00, 0},
    {0xC00, 0},
    {0xD00, 0},
    {0x411, 0, kAny, FirstOut::Value, kIconPngSize, kIconPng},
    {0x412, 0, kAny, FirstOut::Value, wrapper::kHapImageSize, orvanta_hap_image},
    {0x413, 0, kAny, FirstOut::Nothing, 0, kAppletUuid},
    {0x414, 0, kAny, FirstOut::Nothing, 0, kAppletSecondUuid},
    {0x415, 1},
    {0x700, 1},
    {0x750, 1},
    {0x760, 1},
    {0xB00, 1},
    {0x1200, applet::kProcessCount},
    {0x800, 0x30001},
    {0x880, wrapper::kBoardType},
    {0x900, 0, kAny, FirstOut::LowHalfZero},
    {0x1000, 0, kAny, FirstOut::Nothing, 0, kAppletDescription},
    {0x1010, 0, kAny, FirstOut::Nothing, 0, kAppletCategory},
    {0x1020, 0, kAny, FirstOut::Nothing, 0, kAppletClass},
    {0x1030, 0, kAny, FirstOut::RecentHardwareHandle},
    {0x1040, 0, kAny, FirstOut::RecentHapHandle},
    {0x1050, 0, kAny, FirstOut::Nothing, 0, kAppletName},
    {0x1060, 0, kAny, FirstOut::Nothing, 0, kAppletVersion},
    {0x1070, 0, kAny, FirstOut::Nothing, 0, kAppletVersionWithStamp},
    {0x1210, 1, IndexRule::FirstIndexZero},
    {0x1220, 1, IndexRule::FirstIndexZero},
    {0x1250, 1, IndexRule::FirstIndexZero},
    {0x1230, 0, IndexRule::BothIndicesZero},
    {0x1240, 0, IndexRule::BothIndicesZero},
    {0x1260, 2, IndexRule::FirstIndexZero},
};

struct NamedConstant {
    const char* name;
    int32_t value;
};

constexpr NamedConstant kNamedConstants[] = {
#define NAMED_CONSTANT(name, value) {#name, value},
#include "applet/core/named_constants.def"
#undef NAMED_CONSTANT
};
static_assert(sizeof(kNamedConstants) / sizeof(kNamedConstants[0]) == 106);

uint64_t addressOf(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

bool indicesAccepted(IndexRule rule, uint32_t firstIndex, uint32_t secondIndex) {
    switch (rule) {
    case IndexRule::FirstIndexZero:
        return firstIndex == 0;
    case IndexRule::BothIndicesZero:
        return firstIndex == 0 && secondIndex == 0;
    case IndexRule::Ignored:
        break;
    }
    return true;
}

void writeFirst(const SelectorAnswer& answer, uint64_t* cell) {
    if (cell == nullptr) return;
    switch (answer.first) {
    case FirstOut::Nothing:
        break;
    case FirstOut::Value:
        *cell = answer.firstValue;
        break;
    case FirstOut::LowHalfZero: {
        const uint32_t zero = 0;
        std::memcpy(cell, &zero, sizeof zero);
        break;
    }
    case FirstOut::RecentHardwareHandle:
        *cell = wrapper::lastHardwareHandle();
        break;
    case FirstOut::RecentHapHandle:
        *cell = addressOf(wrapper::lastHapHandle());
        break;
    }
}

// Filled on the first constant query and kept until the process ends. Not guarded: callers
// that may ask their first constants from several threads at once serialise those calls.
const std::map<std::string, int32_t, std::less<>>& namedConstants() {
    static std::map<std::string, int32_t, std::less<>> constants;
    if (constants.empty()) {
        for (const NamedConstant& constant : kNamedConstants) {
            constants.emplace(constant.name, constant.value);
        }
    }
    return constants;
}

int32_t constantValue(const uint64_t* nameCell) {
    if (nameCell == nullptr) return errors::kInvalidParameter;
    const char* name = reinterpret_cast<const char*>(nameCell);
    const auto& constants = namedConstants();
    const auto found = constants.find(name);
    return found != constants.end() ? found->second : errors::kInvalidParameter;
}

}  // namespace

int32_t info(int32_t selector, uint32_t firstIndex, uint32_t secondIndex, uint64_t* firstOut, uint64_t* secondOut) {
    if (selector == kConstantQuery) return constantValue(firstOut);
    for (const SelectorAnswer& answer : kSelectorAnswers) {
        if (answer.selector != selector) continue;
        if (!indicesAccepted(answer.indices, firstIndex, secondIndex)) return errors::kInvalidParameter;
        writeFirst(answer, firstOut);
        if (answer.second != nullptr && secondOut != nullptr) *secondOut = addressOf(answer.second);
        return answer.result;
    }
    return errors::kNotOffered;
}

}  // namespace vexo::api
