// Lines of a text file as Windows reads a file opened in text mode ("r"): a carriage return
// followed by a line feed is one line feed. Configuration files are written on either system and
// must read the same on both.
#pragma once

#include <cstddef>
#include <cstdio>

namespace vexo::templates::platform {

// fgets with the line ends of text mode: reads at most size - 1 characters, up to and including
// a line feed, into `line` and ends it with a zero. Null at the end of the file, like fgets.
char* readTextLine(char* line, size_t size, std::FILE* file);

}  // namespace vexo::templates::platform
