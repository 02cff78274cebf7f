// The C library of Windows turns CRLF into LF itself for a file opened in text mode.
#include "platform/text_lines.h"

namespace vexo::templates::platform {

char* readTextLine(char* line, size_t size, std::FILE* file) {
    return std::fgets(line, static_cast<int>(size), file);
}

}  // namespace vexo::templates::platform
