// Resolution of the NX ids and the accessors that every setter and read goes through: one
// runtime call with the stored id, the failure logged and thrown (or ignored) by the caller's wish.
#include "nx/nx_access.h"

#include "logging/log_record.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"
#include "wrapper/fg_nx_wrapper_impl.h"

namespace vexo::nx {

using tools::logging::kLevelFailedAccess;
using tools::logging::kLevelUnserved;
using tools::logging::logRecord;
using wrapper::RuntimeSlot;

namespace {

// The common tail of both accessors; `verb` is "Setting" or "Getting".
void finishAccess(wrapper::FgNxWrapperImpl& w, const char* verb, NxParameter p, int32_t id, int32_t result,
                  bool throwOnError) {
    if (result == errors::kSuccess) return;
    logRecord(w.getLogger(), kLevelFailedAccess, verb, " NX parameter '", rowOf(p).name, "' (ID: ", id,
              ") failed: result = ", result);
    if (throwOnError) throw result;
}

}  // namespace

void resolveNxIds(wrapper::FgNxWrapperImpl& w) {
    for (size_t index = 0; index < kNxParameterCount; ++index) {
        const NxParameter p = static_cast<NxParameter>(index);
        const int32_t id = w.nxParameterIdByName(rowOf(p).name);
        w.nxIds().set(p, id);
        if (id < 1) {
            logRecord(w.getLogger(), kLevelUnserved, "cannot retrieve NX id for NX parameter: '", rowOf(p).name, "'");
        }
    }
}

namespace detail {

void writeNx(wrapper::FgNxWrapperImpl& w, NxParameter p, const void* value, uint32_t dma, TypeCode typeCode,
             bool throwOnError) {
    if (value == nullptr) {
        if (throwOnError) throw errors::kInvalidParameter;
        return;
    }
    const int32_t id = w.nxIds()[p];
    const int32_t result =
        w.callRuntime<RuntimeSlot::Fg_setParameterWithType>(id, value, dma, static_cast<int32_t>(typeCode));
    finishAccess(w, "Setting", p, id, result, throwOnError);
}

void readNx(wrapper::FgNxWrapperImpl& w, NxParameter p, void* value, uint32_t dma, TypeCode typeCode,
            bool throwOnError) {
    if (value == nullptr) {
        if (throwOnError) throw errors::kInvalidParameter;
        return;
    }
    const int32_t id = w.nxIds()[p];
    const int32_t result =
        w.callRuntime<RuntimeSlot::Fg_getParameterWithType>(id, value, dma, static_cast<int32_t>(typeCode));
    finishAccess(w, "Getting", p, id, result, throwOnError);
}

}  // namespace detail

}  // namespace vexo::nx
