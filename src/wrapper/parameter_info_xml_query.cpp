// The wrapper's XML query: builds the description of a port and hands it out through the
// caller's buffer, which a caller first sizes with a query without buffer.
#include <cstring>
#include <string>

#include "describe/parameter_info_xml.h"
#include "orvanta/error_codes.h"
#include "wrapper/fg_nx_wrapper.h"

namespace vexo::wrapper {

namespace {

int32_t copyParameterInfoXML(FgNxWrapper& wrapper, int32_t port, char* buffer, size_t* bufferSize) {
    // Without a size there is nothing to check a buffer against, nor a place for the answer.
    if (bufferSize == nullptr) return errors::kBufferTooSmall;
    if (buffer != nullptr && *bufferSize == 0) return errors::kBufferTooSmall;
    const describe::ParameterInfoTable& table = wrapper.parameterInfo();
    if (table.getTree(port) == nullptr) return errors::kNoDescriptionForPort;

    describe::ParameterInfoBuilderXML builder(table, wrapper.getTypeName(), port);
    const std::string text = builder.build();
    if (buffer != nullptr) {
        if (text.size() >= *bufferSize) return errors::kBufferTooSmall;
        // strncpy also zero-fills the rest: no stale bytes of an earlier answer follow the text.
        std::strncpy(buffer, text.c_str(), *bufferSize);
    }
    *bufferSize = text.size() + 1;
    return errors::kSuccess;
}

}  // namespace

int32_t FgNxWrapper::getParameterInfoXML(void* /*handleRecord*/, int32_t port, char* buffer, size_t* bufferSize) {
    const int32_t result = copyParameterInfoXML(*this, port, buffer, bufferSize);
    setLastError(result);
    return result;
}

}  // namespace vexo::wrapper
