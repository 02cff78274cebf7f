// Building and querying the SDK parameter registry.
#include "applet/core/registry.h"

#include <deque>
#include <set>
#include <utility>
#include <vector>

#include "applet/board.h"
#include "applet/core/startup_settings.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/parameter_info_node.h"

namespace vexo::applet {

namespace {

constexpr const char* kDraPrefix = "DRA_";
constexpr const char* kDnxaPrefix = "DNXA_";

// The record kinds that carry a value (the others are categories).
constexpr int32_t kValueKinds[] = {PARAM_INFO_UINT32, PARAM_INFO_ENUM,  PARAM_INFO_STRING, PARAM_INFO_DOUBLE,
                                   PARAM_INFO_UINT64, PARAM_INFO_INT32, PARAM_INFO_INT64};

bool isValueKind(int32_t type) {
    for (const int32_t kind : kValueKinds) {
        if (kind == type) return true;
    }
    return false;
}

// Adds id + base in unsigned arithmetic: ids wrap instead of overflowing, as the runtime's do.
int32_t offsetId(int64_t id, int32_t base) {
    return static_cast<int32_t>(static_cast<uint32_t>(id) + static_cast<uint32_t>(base));
}

}  // namespace

void Registry::build(Board& w) {
    if (readSwitch("VEXO_ENABLE_DNXA")) walkRuntimeDescription(w);
    dmaToProcess = {0};  // one DMA channel, owned by process 0
    std::vector<std::string> registerNames = w.isDraEnabled() ? addRegisters(w) : std::vector<std::string>{};
    std::vector<std::string> nxNames = addInspectedNxParameters(w);
    addedNames = std::move(registerNames);
    for (std::string& name : nxNames) addedNames.push_back(std::move(name));
    w.eventMaps().build(w);
}

// Offers every value the runtime describes for direct NX access, by marking it "On" in the
// inspect settings under the library's section, as an inspect.conf line would.
void Registry::walkRuntimeDescription(Board& w) {
    const auto getInfo = w.runtimeFunctions().get<nx::RuntimeSlot::Fg_getParameterInfo>();
    if (getInfo == nullptr) return;
    const std::string section = w.getModuleBaseName() + "::";
    std::deque<const ParameterInfoNode*> queue;
    // The runtime's records are not ours to trust: a category reached twice is not walked again,
    // so that one listing its own ancestor cannot keep the walk going.
    std::set<const ParameterInfoNode*> queued;
    const auto enqueue = [&](const ParameterInfoNode* category) {
        if (queued.insert(category).second) queue.push_back(category);
    };
    if (const ParameterInfoNode* root = getInfo(w.innerHandle(), 0)) enqueue(root);
    while (!queue.empty()) {
        const ParameterInfoNode* node = queue.front();
        queue.pop_front();
        if (node->type != PARAM_INFO_CATEGORY) continue;
        for (int32_t i = 0; i < node->value.category.childCount; ++i) {
            const ParameterInfoNode* child = node->value.category.children[i];
            if (child == nullptr) continue;
            if (isValueKind(child->type) && child->name != nullptr) {
                w.getInspectSettings().set(section + child->name, "On");
            } else if (child->type == PARAM_INFO_CATEGORY) {
                enqueue(child);
            }
        }
        // Top-level categories are chained, not children of a common root.
        if (node->older != nullptr && node->older->type == PARAM_INFO_CATEGORY) enqueue(node->older);
    }
}

std::vector<std::string> Registry::addRegisters(Board& w) {
    std::vector<std::string> names;
    void* hap = w.hapHandle();
    const int32_t count = Hap_GetRegisterCount(hap);
    for (int32_t position = 1; position <= count; ++position) {
        const char* registerName = Hap_GetRegisterName(hap, position);
        if (registerName == nullptr) continue;
        const std::string name = kDraPrefix + std::string(registerName);
        registerIds[name] = offsetId(Hap_GetRegisterId(hap, registerName), kDraIdBase);
        names.push_back(name);
    }
    return names;
}

std::vector<std::string> Registry::addInspectedNxParameters(Board& w) {
    std::vector<std::string> names;
    const std::string& section = w.getModuleBaseName();
    for (const std::string& key : w.getInspectSettings().keysOfSection(section)) {
        std::string value;
        if (!w.getInspectSettings().get(section + "::" + key, value) || !isSwitchOnValue(value)) continue;
        const int32_t id = w.nxParameterIdByName(key.c_str());
        if (id == 0) continue;  // not a name the design knows
        const std::string name = kDnxaPrefix + key;
        dnxaIds[name] = offsetId(id, kDnxaIdBase);
        names.push_back(name);
    }
    return names;
}

const char* Registry::nameAt(int32_t index) const {
    if (index < 0) return nullptr;
    const size_t position = static_cast<size_t>(index);
    if (position < kSdkParameterCount) return kSdkParameters[position].name;
    return position - kSdkParameterCount < addedNames.size() ? addedNames[position - kSdkParameterCount].c_str()
                                                            : nullptr;
}

std::optional<int32_t> Registry::idOfName(const char* name) const {
    if (name == nullptr) return std::nullopt;
    if (const std::optional<SdkParameter> parameter = sdkParameterOfName(name)) return infoOf(*parameter).id;
    const auto found = registerIds.find(name);
    if (found == registerIds.end()) return std::nullopt;
    return found->second;
}

const char* Registry::descriptionOf(const char* name) const {
    const std::optional<SdkParameter> parameter = name != nullptr ? sdkParameterOfName(name) : std::nullopt;
    return parameter ? infoOf(*parameter).description : nullptr;
}

}  // namespace vexo::applet
