// The start-up steps that follow the opening of the inner handle, in the order startApplet
// calls them: the registry, the NX ids, the debug entries and the initial values.
#include "applet/setter_table.h"
#include "nx/nx_access.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

void FgNxWrapperImpl::buildRegistry() { parameterRegistry.build(*this); }

void FgNxWrapperImpl::resolveNxIds() { nx::resolveNxIds(*this); }

// In table order, since a setter may check against values written before it. Rows whose setter
// does not exist yet keep the value the constructor stored.
void FgNxWrapperImpl::applyInitialValues() {
    for (const applet::InitialValue& row : applet::kAppliedInitialValues) {
        const applet::SetterEntry& setter = applet::setterOf(row.parameter);
        if (setter.fromInitial != nullptr) setter.fromInitial(*this, row);
    }
}

}  // namespace vexo::wrapper
