// Frame files: the pattern that names them and the writers of PGM, PNG and raw files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace orvanta_tool {

enum class FileKind { Pgm, Png, Raw };

// A file name with at most one %d (flags 0 and a width allowed, as in frame-%04d.png) for the
// picture number, and %% for a percent sign. The ending chooses the kind of file.
class FramePattern {
public:
    static FramePattern parse(const std::string& pattern);  // throws UsageError
    std::string name(int64_t number) const;
    bool numbered() const { return numbered_; }
    FileKind kind() const { return kind_; }

private:
    std::string prefix_;
    std::string suffix_;
    bool numbered_ = false;
    bool zeroPadded_ = false;
    int width_ = 0;
    FileKind kind_ = FileKind::Raw;
};

// One picture as the frame buffer holds it: lines of lineBytes packed one after the other.
struct Picture {
    const uint8_t* bytes;
    size_t size;
    uint32_t width;  // pixels per line
    uint32_t lines;
    uint32_t bitsPerPixel;
    size_t lineBytes;
};

// Grey images take 8 or 16 bits per pixel (16-bit pixels little-endian in the buffer); raw
// files take the bytes as they are. Throws std::runtime_error with the reason.
void writePicture(const std::string& path, FileKind kind, const Picture& picture);

// stb_image_write's encoder; rows of 16-bit samples are big-endian, as PNG stores them.
bool encodePng(const uint8_t* rows, int width, int height, int bitDepth, std::string& png);

}  // namespace orvanta_tool
