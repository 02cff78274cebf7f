// Resolution of the NX ids, the design's logger, and what the accessors do when the runtime
// refuses an access: the failure logged and thrown (or ignored) by the caller's wish.
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

void reportFailedNx(Design& w, const char* verb, NxParameter p, int32_t id, int32_t result, bool throwOnError) {
    logRecord(w.getLogger(), kLevelFailedAccess, verb, " NX parameter '", rowOf(p).name, "' (ID: ", id,
              ") failed: result = ", result);
    if (throwOnError) throw result;
}

}  // namespace detail

}  // namespace vexo::nx
