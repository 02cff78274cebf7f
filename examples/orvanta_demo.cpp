// Opens the Orvanta applet on board 0 of the simulated board the way an application opens it
// through the runtime, lists its SDK parameters with their current values, and closes it again.
// The value types come from the applet's own parameter description.
#include <cinttypes>
#include <cstdio>
#include <map>

#include "orvanta/parameter_info_node.h"
#include "orvanta/runtime.h"

namespace {

// Every described parameter's node type, by SDK id.
void collectTypes(const ParameterInfoNode* node, std::map<int32_t, int32_t>& types) {
    if (node->type != PARAM_INFO_CATEGORY) {
        types[node->id] = node->type;
        return;
    }
    for (int32_t i = 0; i < node->value.category.childCount; ++i) collectTypes(node->value.category.children[i], types);
}

void printValue(void* fg, int32_t id, int32_t type) {
    int32_t result = 0;
    switch (type) {
        case PARAM_INFO_DOUBLE: {
            double value = 0;
            result = Fg_getParameterWithType(fg, id, &value, 0, 5);
            if (result == 0) std::printf("%.6g", value);
            break;
        }
        case PARAM_INFO_UINT64:
        case PARAM_INFO_INT64: {
            uint64_t value = 0;
            result = Fg_getParameterWithType(fg, id, &value, 0, 4);
            if (result == 0) std::printf("%" PRIu64, value);
            break;
        }
        case PARAM_INFO_STRING: {
            char* text = nullptr;
            result = Fg_getParameterWithType(fg, id, &text, 0, 22);
            if (result == 0) {
                std::printf("\"%s\"", text);
                Fg_freeParameterStringWithType(fg, id, text, 0, 22);
            }
            break;
        }
        default: {
            uint32_t value = 0;
            result = Fg_getParameterWithType(fg, id, &value, 0, 2);
            if (result == 0) std::printf("%" PRIu32, value);
            break;
        }
    }
    if (result != 0) std::printf("(error %" PRIi32 ")", result);
}

}  // namespace

int main() {
    void* fg = Fg_Init("Orvanta", 0);
    if (fg == nullptr) {
        std::fprintf(stderr, "cannot open the applet Orvanta on board 0: error %" PRIi32 "\n",
                     Fg_getLastErrorNumber(nullptr));
        return 1;
    }
    std::map<int32_t, int32_t> types;
    // Top-level categories are linked from the newest to the oldest.
    for (const ParameterInfoNode* top = Fg_getParameterInfo(fg, 0); top != nullptr; top = top->older) {
        collectTypes(top, types);
    }
    const int32_t count = Fg_getNrOfParameter(fg);
    std::printf("Orvanta opened on board 0: %" PRIi32 " SDK parameters\n", count);
    for (int32_t index = 0; index < count; ++index) {
        const char* name = Fg_getParameterName(fg, index);
        const int32_t id = Fg_getParameterId(fg, index);
        std::printf("  %3" PRIi32 "  %-8" PRIi32 " %-48s ", index, id, name != nullptr ? name : "(none)");
        const auto type = types.find(id);
        printValue(fg, id, type != types.end() ? type->second : PARAM_INFO_UINT32);
        std::printf("\n");
    }
    const int32_t closed = Fg_FreeGrabber(fg);
    std::printf("closed: %" PRIi32 "\n", closed);
    return closed == 0 ? 0 : 1;
}
