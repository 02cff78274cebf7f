// The start-up step that builds the applet's description tree on its one port: the SDK
// parameters, then, when switched on, direct register access and direct NX access. The last
// category created is the head that Fg_getParameterInfo hands out.
#include "describe/parameter_tree_builder.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

namespace {
constexpr int32_t kDescribedPort = 0;
}  // namespace

void FgNxWrapperImpl::buildParameterInfo() {
    describe::ParameterInfoTable& table = parameterInfo();
    describe::buildSdkParameterTree(table, kDescribedPort);
    if (isDraEnabled()) describe::buildDirectRegisterAccess(table, hapHandle(), kDescribedPort);
    const std::map<std::string, int32_t>& dnxaIds = dnxaIdByName();
    if (dnxaIds.empty()) return;
    // The copies come from the runtime's own description of the inner handle's port 0.
    const auto getParameterInfo = runtimeFunctions().get<RuntimeSlot::Fg_getParameterInfo>();
    const ParameterInfoNode* runtimeHead =
        getParameterInfo != nullptr && innerHandle() != nullptr ? getParameterInfo(innerHandle(), 0) : nullptr;
    describe::buildDirectNxAccess(table, runtimeHead, dnxaIds, kDescribedPort);
}

}  // namespace vexo::wrapper
