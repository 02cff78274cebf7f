// Naming frame files and writing them: PGM (binary, maxval 255 or 65535), PNG through
// stb_image_write, raw bytes.
#include "image_files.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "command_line.h"

namespace orvanta_tool {

namespace {

bool endsWith(const std::string& text, const std::string& ending) {
    if (text.size() < ending.size()) return false;
    for (size_t i = 0; i < ending.size(); ++i) {
        const char c = text[text.size() - ending.size() + i];
        if (std::tolower(static_cast<unsigned char>(c)) != ending[i]) return false;
    }
    return true;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void writeFile(const std::string& path, const void* bytes, size_t size) {
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) throw std::runtime_error("cannot create " + path);
    if (size != 0 && std::fwrite(bytes, 1, size, file.get()) != size) throw std::runtime_error("cannot write " + path);
    if (std::fclose(file.release()) != 0) throw std::runtime_error("cannot write " + path);
}

// The picture's pixels as grey samples, 16-bit ones big-endian (the order PGM and PNG store).
std::vector<uint8_t> greySamples(const Picture& picture) {
    const size_t sampleBytes = picture.bitsPerPixel / 8;
    std::vector<uint8_t> samples(static_cast<size_t>(picture.width) * picture.lines * sampleBytes);
    for (uint32_t y = 0; y < picture.lines; ++y) {
        const uint8_t* line = picture.bytes + y * picture.lineBytes;
        uint8_t* out = samples.data() + static_cast<size_t>(y) * picture.width * sampleBytes;
        for (uint32_t x = 0; x < picture.width; ++x) {
            if (sampleBytes == 1) {
                out[x] = line[x];
            } else {
                out[2 * x] = line[2 * x + 1];
                out[2 * x + 1] = line[2 * x];
            }
        }
    }
    return samples;
}

}  // namespace

FramePattern FramePattern::parse(const std::string& pattern) {
    FramePattern result;
    std::string* part = &result.prefix_;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') {
            *part += pattern[i];
            continue;
        }
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            *part += '%';
            ++i;
            continue;
        }
        size_t j = i + 1;
        const bool zero = j < pattern.size() && pattern[j] == '0';
        while (j < pattern.size() && std::isdigit(static_cast<unsigned char>(pattern[j]))) ++j;
        if (j >= pattern.size() || pattern[j] != 'd' || result.numbered_ || j - i > 4) {
            throw UsageError("the file pattern '" + pattern + "' may hold one %d (as in frame-%04d.png) and %% only");
        }
        result.numbered_ = true;
        result.zeroPadded_ = zero;
        result.width_ = j > i + 1 ? std::stoi(pattern.substr(i + 1, j - i - 1)) : 0;
        part = &result.suffix_;
        i = j;
    }
    if (pattern.empty()) throw UsageError("the file pattern is empty");
    result.kind_ = endsWith(pattern, ".pgm")   ? FileKind::Pgm
                   : endsWith(pattern, ".png") ? FileKind::Png
                                               : FileKind::Raw;
    return result;
}

std::string FramePattern::name(int64_t number) const {
    if (!numbered_) return prefix_;
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width_) {
        digits.insert(0, static_cast<size_t>(width_) - digits.size(), zeroPadded_ ? '0' : ' ');
    }
    return prefix_ + digits + suffix_;
}

void writePicture(const std::string& path, FileKind kind, const Picture& picture) {
    if (kind == FileKind::Raw) {
        writeFile(path, picture.bytes, picture.size);
        return;
    }
    if (picture.bitsPerPixel != 8 && picture.bitsPerPixel != 16) {
        throw std::runtime_error(std::to_string(picture.bitsPerPixel) +
                                 " bits per pixel: PGM and PNG files take 8 or 16 (write raw files instead)");
    }
    const std::vector<uint8_t> samples = greySamples(picture);
    if (kind == FileKind::Pgm) {
        std::string file = "P5\n" + std::to_string(picture.width) + " " + std::to_string(picture.lines) + "\n" +
                           (picture.bitsPerPixel == 8 ? "255" : "65535") + "\n";
        file.append(reinterpret_cast<const char*>(samples.data()), samples.size());
        writeFile(path, file.data(), file.size());
        return;
    }
    std::string png;
    if (!encodePng(samples.data(), static_cast<int>(picture.width), static_cast<int>(picture.lines),
                   static_cast<int>(picture.bitsPerPixel), png)) {
        throw std::runtime_error("cannot encode " + path);
    }
    writeFile(path, png.data(), png.size());
}

}  // namespace orvanta_tool
