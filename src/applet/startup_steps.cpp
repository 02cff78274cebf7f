// The start-up steps that follow the opening of the inner handle. Most of them fill tables
// that later parts of the applet bring (registry, NX ids, description tree, debug entries,
// setters); until those exist the steps do what is already possible and nothing else.
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::wrapper {

void FgNxWrapperImpl::buildRegistry() {
    // The applet has one DMA channel, and it belongs to process 0.
    dmaToProcess()[0] = 0;
}

void FgNxWrapperImpl::resolveNxIds() {}

void FgNxWrapperImpl::buildParameterInfo() {}

void FgNxWrapperImpl::createDebugEntries() {}

// Walks applet::kAppliedInitialValues through the setters with throwOnError false once the
// setters exist; the value store already holds the same values from construction.
void FgNxWrapperImpl::applyInitialValues() {}

}  // namespace vexo::wrapper
