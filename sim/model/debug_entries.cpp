// The debug entries of the simulated design. The camera's entry collects injected images until
// source frames take them (image_path.h); the buffer's entry reports the last pixel delivered.
#include "debug_entries.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string>
#include <utility>

#include "orvanta_sim/runtime.h"

namespace sim {
namespace {

constexpr const char* kCameraOperationMode = "Device1_Process0_DebugIn_Camera_OperationMode";
constexpr const char* kCameraDebugFile = "Device1_Process0_DebugIn_Camera_DebugFile";
constexpr const char* kMonitorX = "Device1_Process0_DebugIn_Buffer_XPosition";
constexpr const char* kMonitorY = "Device1_Process0_DebugIn_Buffer_YPosition";
constexpr const char* kMonitorPixel = "Device1_Process0_DebugIn_Buffer_PixelValue";

constexpr uint32_t kEndOfLine = 0;  // FG_ENDOFLINE; FG_ENDOFFRAME is 1
// The design's frames are at most 65536 pixels wide and high.
constexpr uint64_t kLargestSide = 65536;
constexpr uint64_t kLargestSample = 65535;

bool inputOn(const DesignValues& board) {
    const NxValue* mode = board.nx(kCameraOperationMode);
    return mode != nullptr && (mode->integer & 1u) != 0;
}

// Lines of different lengths make an image as wide as the longest; the rest of a line reads 0.
std::shared_ptr<const InjectedImage> imageOf(const std::vector<std::vector<uint8_t>>& lines) {
    size_t width = 0;
    for (const std::vector<uint8_t>& line : lines) width = std::max(width, line.size());
    auto image = std::make_shared<InjectedImage>();
    image->width = static_cast<uint32_t>(width);
    image->height = static_cast<uint32_t>(lines.size());
    image->pixels.assign(width * lines.size(), 0);
    for (size_t y = 0; y < lines.size(); ++y) {
        std::copy(lines[y].begin(), lines[y].end(), image->pixels.begin() + static_cast<std::ptrdiff_t>(y * width));
    }
    return image;
}

// The low 8 bits of a word are one pixel.
void feedWord(CameraInjection& in, uint64_t word) {
    if (!in.lineOpen) {
        in.lines.emplace_back();
        in.lineOpen = true;
    }
    in.lines.back().push_back(static_cast<uint8_t>(word));
    if (in.endOfFrameNext) {
        in.images.push_back(imageOf(in.lines));
        in.lines.clear();
        in.lineOpen = false;
    } else if (in.endOfLineNext) {
        in.lineOpen = false;
    }
    in.endOfLineNext = false;
    in.endOfFrameNext = false;
}

using Traits = std::char_traits<char>;

bool isSpace(Traits::int_type c) { return c != Traits::eof() && std::isspace(c) != 0; }
bool isDigit(Traits::int_type c) { return c != Traits::eof() && std::isdigit(c) != 0; }

// One number of a PGM header after white space and comments ('#' to the end of the line), with
// the one white-space character that ends it.
bool headerNumber(std::istream& in, uint64_t& number) {
    Traits::int_type c = in.get();
    for (;;) {
        if (c == '#') {
            while (c != '\n' && c != '\r' && c != Traits::eof()) c = in.get();
        } else if (isSpace(c)) {
            c = in.get();
        } else {
            break;
        }
    }
    if (!isDigit(c)) return false;
    number = 0;
    for (; isDigit(c); c = in.get()) {
        number = number * 10 + static_cast<uint64_t>(c - '0');
        if (number > kLargestSide) return false;
    }
    return isSpace(c);
}

// A binary PGM: "P5", width, height and the largest sample value, then the raster, one byte a
// sample up to a largest value of 255 and two (the more significant first) above. Of two-byte
// samples the low 8 bits are the pixel, as of a pixel word. Null when the file is not one.
std::shared_ptr<const InjectedImage> readPgm(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file || file.get() != 'P' || file.get() != '5' || !isSpace(file.peek())) return nullptr;
    uint64_t width = 0, height = 0, largest = 0;
    if (!headerNumber(file, width) || !headerNumber(file, height) || !headerNumber(file, largest)) return nullptr;
    if (width == 0 || height == 0 || largest == 0 || largest > kLargestSample) return nullptr;
    const uint64_t sampleBytes = largest > 255 ? 2 : 1;
    const uint64_t pixels = width * height;
    // The raster has to be there before room is made for it.
    const std::streampos rasterStart = file.tellg();
    file.seekg(0, std::ios::end);
    const std::streamoff available = file.tellg() - rasterStart;
    if (!file || available < 0 || static_cast<uint64_t>(available) < pixels * sampleBytes) return nullptr;
    file.seekg(rasterStart);
    std::vector<uint8_t> raster(pixels * sampleBytes);
    if (!file.read(reinterpret_cast<char*>(raster.data()), static_cast<std::streamsize>(raster.size()))) return nullptr;

    auto image = std::make_shared<InjectedImage>();
    image->width = static_cast<uint32_t>(width);
    image->height = static_cast<uint32_t>(height);
    if (sampleBytes == 1) {
        image->pixels = std::move(raster);
    } else {
        image->pixels.resize(pixels);
        for (uint64_t i = 0; i < pixels; ++i) image->pixels[i] = raster[2 * i + 1];
    }
    return image;
}

void setValue(DesignValues& board, const char* name, uint64_t value) {
    if (NxValue* stored = board.nx(name)) stored->integer = value & 0xFFFFFFFFULL;
}

}  // namespace

int32_t feedCameraEntry(const DesignValues& board, CameraInjection& in, const DesignParameter& parameter,
                        const NxValue& written) {
    if (!inputOn(board)) return 0;
    switch (parameter.cameraInput) {
        case CameraInput::PixelWord:
            feedWord(in, written.integer);
            break;
        case CameraInput::Flag:
            (written.integer == kEndOfLine ? in.endOfLineNext : in.endOfFrameNext) = true;
            break;
        case CameraInput::Insert: {
            if (written.integer != 1) break;
            const NxValue* file = board.nx(kCameraDebugFile);
            std::shared_ptr<const InjectedImage> image = file != nullptr ? readPgm(file->text) : nullptr;
            if (image == nullptr) return SIM_ERR_FILE;
            in.images.push_back(std::move(image));
            break;
        }
        case CameraInput::None:
            break;
    }
    return 0;
}

void takeInjectedImage(CameraInjection& in, FrameSettings& settings) {
    if (in.images.empty()) return;
    settings.injected = std::move(in.images.front());
    in.images.pop_front();
}

void monitorPicture(DesignValues& board, const uint8_t* picture, uint64_t lineBytes, uint64_t length) {
    if (lineBytes == 0 || length < lineBytes) return;
    setValue(board, kMonitorX, lineBytes - 1);
    setValue(board, kMonitorY, length / lineBytes - 1);
    setValue(board, kMonitorPixel, picture[length - 1]);
}

}  // namespace sim
