// POSIX text mode keeps every byte: the carriage return of a CRLF pair is dropped here, as the
// C library of Windows drops it. A carriage return not followed by a line feed stays.
#include "platform/text_lines.h"

namespace vexo::templates::platform {

char* readTextLine(char* line, size_t size, std::FILE* file) {
    if (size == 0) return nullptr;
    size_t length = 0;
    while (length + 1 < size) {
        int c = std::getc(file);
        if (c == EOF) break;
        if (c == '\r') {
            const int next = std::getc(file);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file);
            }
        }
        line[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    if (length == 0) return nullptr;
    line[length] = '\0';
    return line;
}

}  // namespace vexo::templates::platform
