// Resolution of the NX ids, the design's logger, and the accessors that every setter and read
// goes through: one runtime call with the stored id, the failure logged and thrown (or ignored)
// by the caller's wish.
#include "nx/nx_access.h"

#include "logging/log_record.h"
#include "logging/logging.h"
#include "nx/design.h"
#include "orvanta/error_codes.h"
#include "orvanta/type_codes.h"

namespace vexo::nx {

using tools::logging::kLevelFailedAccess;
using tools::logging::kLevelUnserved;
using tools::logging::logRecord;

namespace {

// One runtime call with the stored id, its failure logged and thrown or ignored. `Slot` is the
// runtime's set or get function; `verb` names it in the record, "Setting" or "Getting".
template <RuntimeSlot Slot, typename Value>
void accessNx(Design& w, const char* verb, NxParameter p, Value* value, uint32_t dma, TypeCode typeCode,
              bool throwOnError) {
    if (value == nullptr) {
        if (throwOnError) throw errors::kInvalidParameter;
        return;
    }
    const int32_t id = w.nxIds()[p];
    const int32_t result = w.callRuntime<Slot>(id, value, dma, static_cast<int32_t>(typeCode));
    if (result == errors::kSuccess) return;
    logRecord(w.getLogger(), kLevelFailedAccess, verb, " NX parameter '", rowOf(p).name, "' (ID: ", id,
              ") failed: result = ", result);
    if (throwOnError) throw result;
}

}  // namespace

void resolveNxIds(Design& w) {
    for (size_t index = 0; index < kNxParameterCount; ++index) {
        const NxParameter p = static_cast<NxParameter>(index);
        const int32_t id = w.nxParameterIdByName(rowOf(p).name);
        w.nxIds().set(p, id);
        if (id < 1) {
            logRecord(w.getLogger(), kLevelUnserved, "cannot retrieve NX id for NX parameter: '", rowOf(p).name, "'");
        }
    }
}

tools::logging::Logger* Design::getLogger() {
    if (logger == nullptr) logger = tools::logging::Logging::instance().getLogger(loggerName);
    return logger;
}

namespace detail {

void writeNx(Design& w, NxParameter p, const void* value, uint32_t dma, TypeCode typeCode, bool throwOnError) {
    accessNx<RuntimeSlot::Fg_setParameterWithType>(w, "Setting", p, value, dma, typeCode, throwOnError);
}

void readNx(Design& w, NxParameter p, void* value, uint32_t dma, TypeCode typeCode, bool throwOnError) {
    accessNx<RuntimeSlot::Fg_getParameterWithType>(w, "Getting", p, value, dma, typeCode, throwOnError);
}

}  // namespace detail

}  // namespace vexo::nx
