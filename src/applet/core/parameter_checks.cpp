// The checks shared by the write and the read path.
#include "applet/core/parameter_checks.h"

#include <optional>

#include "applet/board.h"
#include "logging/log_record.h"
#include "orvanta/error_codes.h"

namespace vexo::applet {

using tools::logging::kLevelUnserved;
using tools::logging::logRecord;

void checkDma(Board& board, const char* verb, int32_t id, uint32_t dma) {
    const std::optional<int32_t> process = board.registry().processOfDma(dma);
    if (!process) throw errors::kInvalidParameter;
    if (*process != 0) {
        logRecord(board.getLogger(), kLevelUnserved, "trying to ", verb, " SDK parameter '", id,
                  "' on unknown process ", *process, "!");
        throw errors::kInvalidParameter;
    }
}

void refuseUnknown(Board& board, const char* verb, int32_t id) {
    logRecord(board.getLogger(), kLevelUnserved, "trying to ", verb, " unknown SDK parameter '", id,
              "' on process 0!");
    throw errors::kInvalidParameter;
}

}  // namespace vexo::applet
