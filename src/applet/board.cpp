// One board's applet state: construction, the start-up steps, and the registry and event
// queries.
#include "applet/board.h"

#include "applet/core/setter_table.h"
#include "applet/core/startup_settings.h"
#include "applet/description/parameter_tree_builder.h"
#include "nx/nx_access.h"
#include "orvanta/error_codes.h"
#include "platform/module_path.h"

namespace vexo::applet {

namespace platform = templates::platform;

namespace {

// Room for a full Windows path (MAX_PATH + 1), the size the module name has always been read into.
constexpr size_t kModuleNameBufferSize = 261;
// The applet describes itself on its one port.
constexpr int32_t kDescribedPort = 0;

// An address inside this library's code, to ask which module (file) the library is.
void moduleAnchor() {}

constexpr bool appliedRowsHaveSetters() {
    for (const InitialValue& row : kAppliedInitialValues) {
        if (!setterOf(row.parameter).present) return false;
    }
    return true;
}
static_assert(appliedRowsHaveSetters(), "an initial value is applied through a setter that does not exist");

}  // namespace

Board::Board(const nx::Binding& binding, describe::ParameterInfoTable& description, nx::LastError& lastError)
    : nx::Design(binding, "vexo.wrapper.Orvanta"), description(description), errorWord(lastError) {
    readTextBuffer[0] = '\0';
    readTextBuffer[kReadTextBufferSize] = '\0';
    draEnabled = readSwitch("VEXO_ENABLE_DRA");
    findModuleFiles();
}

void Board::findModuleFiles() {
    char fullName[kModuleNameBufferSize] = {};
    const size_t length =
        platform::moduleFileNameOf(reinterpret_cast<const void*>(&moduleAnchor), fullName, sizeof fullName);
    // A name that filled the whole buffer was cut and would name the wrong folder.
    if (length == 0 || length >= sizeof fullName) return;
    std::string directory;
    std::string baseName;
    if (!splitModulePath(fullName, directory, baseName)) return;
    moduleBaseName = baseName;
    inspectSettings.load(directory + platform::pathSeparator() + "inspect.conf");
}

void Board::buildRegistry() { parameterRegistry.build(*this); }

void Board::resolveNxIds() { nx::resolveNxIds(*this); }

// The SDK parameters, then, when switched on, direct register access and direct NX access. The
// last category created is the head that Fg_getParameterInfo hands out.
void Board::buildDescription() {
    buildSdkParameterTree(description, kDescribedPort);
    if (draEnabled) buildDirectRegisterAccess(description, hapHandle(), kDescribedPort);
    const std::map<std::string, int32_t>& dnxaIds = parameterRegistry.dnxaIdByName();
    if (dnxaIds.empty()) return;
    // The copies come from the runtime's own description of the inner handle's port 0.
    const auto getParameterInfo = runtimeFunctions().get<nx::RuntimeSlot::Fg_getParameterInfo>();
    const ParameterInfoNode* runtimeHead =
        getParameterInfo != nullptr && innerHandle() != nullptr ? getParameterInfo(innerHandle(), 0) : nullptr;
    buildDirectNxAccess(description, runtimeHead, dnxaIds, kDescribedPort);
}

// In table order, since a setter may check against values written before it.
void Board::applyInitialValues() {
    for (const InitialValue& row : kAppliedInitialValues) setterOf(row.parameter).fromInitial(*this, row);
}

int32_t Board::parameterCount() const { return parameterRegistry.parameterCount(); }

const char* Board::parameterName(int32_t index) {
    const char* name = parameterRegistry.nameAt(index);
    errorWord.set(name != nullptr ? errors::kSuccess : errors::kInvalidParameter);
    return name;
}

// DNXA_ names have an index but no entry in the id map, so their index answers -2070 here.
int32_t Board::parameterId(int32_t index) {
    const char* name = parameterRegistry.nameAt(index);
    const std::optional<int32_t> id = name != nullptr ? parameterRegistry.idOfName(name) : std::nullopt;
    errorWord.set(id ? errors::kSuccess : errors::kInvalidParameter);
    return id.value_or(errors::kInvalidParameter);
}

int32_t Board::parameterIdByName(const char* name) {
    const std::optional<int32_t> id = parameterRegistry.idOfName(name);
    errorWord.set(id ? errors::kSuccess : errors::kInvalidParameter);
    return id.value_or(errors::kInvalidParameter);
}

uint64_t Board::eventMask(const char* name) {
    const std::optional<uint64_t> mask = events.maskOf(name);
    errorWord.set(mask ? errors::kSuccess : errors::kInvalidParameter);
    return mask.value_or(0);
}

const char* Board::eventName(uint64_t mask) {
    const char* name = events.nameOf(mask);
    errorWord.set(name != nullptr ? errors::kSuccess : errors::kInvalidParameter);
    return name;
}

}  // namespace vexo::applet
