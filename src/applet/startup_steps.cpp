// The start-up steps that follow the opening of the inner handle, in the order startApplet
// calls them: the registry, the NX ids, the debug entries and the initial values.
#include "applet/setter_table.h"
#include "nx/nx_access.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

void FgNxWrapperImpl::buildRegistry() { parameterRegistry.build(*this); }

void FgNxWrapperImpl::resolveNxIds() { nx::resolveNxIds(*this); }

namespace {
constexpr bool appliedRowsHaveSetters() {
    for (const applet::InitialValue& row : applet::kAppliedInitialValues) {
        if (!applet::setterOf(row.parameter).present) return false;
    }
    return true;
}
static_assert(appliedRowsHaveSetters(), "an initial value is applied through a setter that does not exist");
}  // namespace

// In table order, since a setter may check against values written before it.
void FgNxWrapperImpl::applyInitialValues() {
    for (const applet::InitialValue& row : applet::kAppliedInitialValues) {
        applet::setterOf(row.parameter).fromInitial(*this, row);
    }
}

}  // namespace vexo::wrapper
