// The page's files (HTML, CSS, JavaScript), compiled into the binary from tools/orvanta/view/page.
#pragma once

#include <cstddef>
#include <string>

namespace orvanta_tool::view {

struct EmbeddedFile {
    const char* path;  // "/index.html"
    const char* contentType;
    const unsigned char* bytes;
    size_t size;
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

// The file served at a path ("/" is index.html); null when there is none.
inline const EmbeddedFile* embeddedFile(const std::string& path) {
    const std::string wanted = path == "/" ? "/index.html" : path;
    for (size_t i = 0; i < kEmbeddedFileCount; ++i) {
        if (wanted == kEmbeddedFiles[i].path) return &kEmbeddedFiles[i];
    }
    return nullptr;
}

}  // namespace orvanta_tool::view
