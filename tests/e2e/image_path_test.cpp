// The image path as an application drives it through the applet, on the virtual clock: the camera
// simulator's patterns, the region of interest and the format's byte range, the image selector,
// the frame rate of each timing mode, settings changed while acquiring, and images injected at the
// camera's debug entry, with the buffer entry's monitor. The renderer's geometry in all its
// variety is the simulator's own tests' concern; here the settings must reach it.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <type_traits>
#include <vector>

#include "orvanta/type_codes.h"
#include "trigger_board.h"

namespace {

using vexo::kTypeDouble;
using vexo::kTypeText;
using vexo::kTypeU32;
using vexo::kTypeU64;

constexpr int32_t kRing = 1;
constexpr int32_t kDelivered = 1, kLost = 3, kLength = 4;
constexpr uint32_t kHorizontal = 1, kVertical = 2, kDiagonal = 3;
constexpr uint32_t kGray = 3, kGray16 = 1;
constexpr uint32_t kEndOfLine = 0, kEndOfFrame = 1;
constexpr int32_t kEntryFailed = -2031;

// The simulator's rule for byte x of line y of source frame k, pattern by pattern.
uint8_t patternByte(uint32_t pattern, uint32_t offset, bool roll, uint64_t k, uint64_t x, uint64_t y) {
    uint64_t value = offset + (roll ? k : 0);
    if (pattern != kVertical) value += x;
    if (pattern != kHorizontal) value += y;
    return static_cast<uint8_t>(value);
}

// Empty when byte (x, y) of a picture of lines `lineBytes` long is expected(x, y) throughout;
// otherwise names the first that is not.
template <typename Expected>
std::string mismatch(const std::vector<uint8_t>& picture, uint64_t lineBytes, Expected expected) {
    for (size_t i = 0; i < picture.size(); ++i) {
        const uint64_t x = i % lineBytes, y = i / lineBytes;
        const int want = expected(x, y);
        if (picture[i] != want) {
            return "byte (" + std::to_string(x) + ", " + std::to_string(y) + ") is " + std::to_string(picture[i]) +
                   ", not " + std::to_string(want);
        }
    }
    return "";
}

// The simulator in pixel-frequency mode with a diagonal pattern, no offset and no roll; its frame
// and the region are 64 x 16. A ring of six buffers, each twice the frame.
class ImagePath : public trigger_test::TriggerBoard {
protected:
    static constexpr uint32_t kWidth = 64, kHeight = 16;

    void SetUp() override {
        TriggerBoard::SetUp();
        SimCtl_SetVirtualClock(1);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_ENABLE", 1), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_PATTERN", kDiagonal), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_ROLL", 0), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_WIDTH", kWidth), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_HEIGHT", kHeight), 0);
        region(kWidth, kHeight, 0, 0);
        memory_ = Fg_AllocMemEx(fg(), 6 * 2 * kWidth * kHeight, 6);
        ASSERT_NE(memory_, nullptr);
    }

    template <typename T>
    T get(const char* name) {
        T value{};
        const int32_t type = std::is_same_v<T, double> ? kTypeDouble : kTypeU32;
        EXPECT_EQ(Fg_getParameterWithType(fg(), Fg_getParameterIdByName(fg(), name), &value, 0, type), 0) << name;
        return value;
    }
    void region(uint32_t width, uint32_t height, uint32_t x, uint32_t y) {
        ASSERT_EQ(set("FG_XOFFSET", x), 0);
        ASSERT_EQ(set("FG_WIDTH", width), 0);
        ASSERT_EQ(set("FG_YOFFSET", y), 0);
        ASSERT_EQ(set("FG_HEIGHT", height), 0);
    }

    // Starts a ring acquisition half a period before the first frame falls due, so that each
    // period of the clock from then on brings exactly one source frame.
    void start() {
        ASSERT_EQ(Fg_AcquireEx(fg(), 0, 0, kRing, memory_), 0);
        period_ = static_cast<uint64_t>(1e9 / get<double>("FG_CAMERASIMULATOR_FRAMERATE") + 0.5);
        SimCtl_AdvanceClock(period_ / 2);
    }
    void frames(uint64_t count) { SimCtl_AdvanceClock(count * period_); }
    void stop() { EXPECT_EQ(Fg_stopAcquireEx(fg(), 0, memory_, 0), 0); }
    int64_t status(int32_t statusId) { return Fg_getStatusEx(fg(), statusId, 0, 0, memory_); }

    // The bytes of a delivered picture.
    std::vector<uint8_t> picture(int64_t number) {
        const auto* bytes = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg(), number, 0, memory_));
        const int64_t length = Fg_getStatusEx(fg(), kLength, static_cast<uint64_t>(number), 0, memory_);
        EXPECT_NE(bytes, nullptr) << "picture " << number;
        if (bytes == nullptr || length <= 0) return {};
        return std::vector<uint8_t>(bytes, bytes + length);
    }

    void* memory_ = nullptr;
    uint64_t period_ = 0;
};

}  // namespace

// Each row's pattern settings, format and region reach the board: two pictures (the second
// shows the roll) follow the pattern rule over the region's cut of the frame, 0 past the frame.
// FG_GRAY16 takes twice the bytes of the 8-bit source line, copied as they are.
TEST_F(ImagePath, PatternRegionAndFormatSettingsShapeThePictures) {
    const struct {
        uint32_t pattern, offset;
        bool roll;
        uint32_t format, width, height, x, y;
    } rows[] = {{kHorizontal, 0, false, kGray, kWidth, kHeight, 0, 0}, {kHorizontal, 17, true, kGray, 16, 4, 8, 3},
                {kVertical, 250, false, kGray, 24, 8, 50, 12},         {kVertical, 3, true, kGray16, 40, 4, 4, 0},
                {kDiagonal, 128, false, kGray, 72, 20, 0, 0},          {kDiagonal, 255, true, kGray16, 24, 8, 20, 12}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "pattern " << row.pattern << " offset " << row.offset << " roll " << row.roll
                                        << " format " << row.format << ": " << row.width << " x " << row.height
                                        << " at " << row.x << ", " << row.y);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_PATTERN", row.pattern), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_PATTERN_OFFSET", row.offset), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_ROLL", row.roll ? 1 : 0), 0);
        ASSERT_EQ(set("FG_FORMAT", row.format), 0);
        region(row.width, row.height, row.x, row.y);
        start();
        frames(2);
        stop();
        ASSERT_EQ(status(kDelivered), 2);
        const uint64_t pixelBytes = row.format == kGray16 ? 2 : 1, lineBytes = row.width * pixelBytes;
        for (uint64_t k = 0; k < 2; ++k) {
            const std::vector<uint8_t> bytes = picture(static_cast<int64_t>(k + 1));
            EXPECT_EQ(bytes.size(), lineBytes * row.height);
            EXPECT_EQ(mismatch(bytes, lineBytes, [&](uint64_t x, uint64_t y) {
                          const uint64_t sx = row.x * pixelBytes + x, sy = row.y + y;
                          if (sx >= kWidth || sy >= kHeight) return 0;
                          return static_cast<int>(patternByte(row.pattern, row.offset, row.roll, k, sx, sy));
                      }),
                      "")
                << "frame " << k;
        }
    }
}

TEST_F(ImagePath, TheImageSelectorDeliversOneFrameOfEachPeriod) {
    ASSERT_EQ(set("FG_CAMERASIMULATOR_ROLL", 1), 0);  // the first byte of frame k is k
    const struct {
        uint32_t period, phase;
    } rows[] = {{3, 0}, {3, 2}, {5, 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "period " << row.period << " phase " << row.phase);
        ASSERT_EQ(set("FG_IMG_SELECT", 0), 0);
        ASSERT_EQ(set("FG_IMG_SELECT_PERIOD", row.period), 0);
        ASSERT_EQ(set("FG_IMG_SELECT", row.phase), 0);
        start();
        frames(15);
        stop();
        ASSERT_EQ(status(kDelivered), 15 / row.period);
        EXPECT_EQ(status(kLost), 0);  // frames passed over take no picture number
        for (int64_t n = 1; n <= status(kDelivered); ++n) {
            EXPECT_EQ(picture(n).at(0), row.phase + (n - 1) * row.period) << "picture " << n;
        }
    }
}

// One virtual second brings as many frames as the applet's frame rate says, in each timing mode.
TEST_F(ImagePath, FramesInOneSecondMatchTheAppletsFrameRateInEachSelectMode) {
    const struct {
        uint32_t mode;
        const char* rate;
        double value;
    } rows[] = {{0, "FG_CAMERASIMULATOR_PIXEL_FREQUENCY", 10.0},
                {1, "FG_CAMERASIMULATOR_LINERATE", 20000.0},
                {2, "FG_CAMERASIMULATOR_FRAMERATE", 123.4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.rate);
        // Gaps as the pixel-frequency mode sets them; the other modes drop the ones they lack.
        ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_LINE_GAP", 32), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_FRAME_GAP", 4), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", row.mode), 0);
        ASSERT_EQ(set(row.rate, row.value), 0);
        const double rate = get<double>("FG_CAMERASIMULATOR_FRAMERATE");
        ASSERT_EQ(Fg_AcquireEx(fg(), 0, 0, kRing, memory_), 0);
        SimCtl_AdvanceClock(1000000000);
        stop();
        EXPECT_NEAR(static_cast<double>(status(kDelivered)), rate, 1.0);
    }
}

TEST_F(ImagePath, SettingsWrittenWhileAcquiringApplyFromTheNextSourceFrame) {
    start();
    frames(1);  // frame 0 delivered; frame 1 has started
    ASSERT_EQ(set("FG_CAMERASIMULATOR_PATTERN_OFFSET", 100), 0);
    ASSERT_EQ(set("FG_HEIGHT", 8), 0);
    frames(2);
    ASSERT_EQ(status(kDelivered), 3);
    EXPECT_EQ(picture(2).size(), size_t{kWidth} * kHeight);
    EXPECT_EQ(picture(2).at(0), 0);
    EXPECT_EQ(picture(3).size(), size_t{kWidth} * 8);
    EXPECT_EQ(picture(3).at(0), 100);
}

// Words with the low 8 bits one pixel; a flag marks the last word of a line or of the image.
// Input off, the entry takes nothing. The monitor reports the last pixel of the last picture.
TEST_F(ImagePath, PixelWordsInjectedAtTheCameraReplaceTheNextSourceFrame) {
    constexpr uint64_t width = 5, height = 3;  // pixel (x, y) is 1 + 5y + x
    const int32_t pixel = Fg_getParameterIdByName(fg(), "FG_DEBUGWRITEPIXEL");
    const auto inject = [&] {
        for (uint64_t i = 0; i < width * height; ++i) {
            if (i % width == width - 1) {
                ASSERT_EQ(set("FG_DEBUGWRITEFLAG", i + 1 == width * height ? kEndOfFrame : kEndOfLine), 0);
            }
            const uint64_t word = 0x300 | (i + 1);
            ASSERT_EQ(Fg_setParameterWithType(fg(), pixel, &word, 0, kTypeU64), 0);
        }
    };
    ASSERT_EQ(set("FG_DEBUGSOURCE", 0), 0);
    inject();
    ASSERT_EQ(set("FG_DEBUGINENABLE", 1), 0);
    inject();
    region(8, 4, 1, 1);
    start();
    frames(2);
    EXPECT_EQ(mismatch(picture(1), 8, [&](uint64_t x, uint64_t y) {
                  return y + 1 < height && x + 1 < width ? static_cast<int>(1 + width * (y + 1) + x + 1) : 0;
              }),
              "");
    EXPECT_EQ(mismatch(picture(2), 8,
                       [](uint64_t x, uint64_t y) { return patternByte(kDiagonal, 0, false, 1, x + 1, y + 1); }),
              "");

    ASSERT_EQ(set("FG_DEBUGSOURCE", 1), 0);
    EXPECT_EQ(get<uint32_t>("FG_DEBUGOUTXPOS"), 7u);
    EXPECT_EQ(get<uint32_t>("FG_DEBUGOUTYPOS"), 3u);
    EXPECT_EQ(get<uint32_t>("FG_DEBUGOUTPIXEL"), patternByte(kDiagonal, 0, false, 1, 8, 4));
}

// A binary PGM named by the debug file is read when the insert is applied and replaces the next
// source frame to start; a file that is not one fails the insert.
TEST_F(ImagePath, APgmFileInsertedAtTheCameraReplacesTheNextSourceFrame) {
    const std::string file = "image_path_test_inserted.pgm";
    const std::string pixels = {'\x01', '\x02', '\x03', '\x04', '\x05', '\x06'};
    // Two bytes a sample, the more significant first.
    const std::string wide = {'\x12', '\x01', '\x12', '\x02', '\x12', '\x03',
                              '\x00', '\x04', '\x00', '\x05', '\x00', '\x06'};
    const struct {
        const char* name;
        std::string contents;  // empty: no file
        bool read;
    } rows[] = {{"8-bit with a comment", "P5\n# injected\n3 2\n255\n" + pixels, true},
                {"16-bit samples", "P5 3 2 65535\n" + wide, true},
                {"truncated raster", "P5\n3 2\n255\n" + pixels.substr(1), false},
                {"text raster", "P2\n3 2\n255\n1 2 3 4 5 6\n", false},
                {"no file", "", false}};
    ASSERT_EQ(set("FG_DEBUGINENABLE", 1), 0);
    const int32_t debugFile = Fg_getParameterIdByName(fg(), "FG_DEBUGFILE");
    ASSERT_EQ(Fg_setParameterWithType(fg(), debugFile, file.c_str(), 0, kTypeText), 0);
    region(8, 3, 0, 0);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        std::remove(file.c_str());
        if (!row.contents.empty()) std::ofstream(file, std::ios::binary) << row.contents;
        start();
        frames(1);  // frame 1 has started
        EXPECT_EQ(set("FG_DEBUGINSERT", 1), row.read ? 0 : kEntryFailed);
        frames(2);
        stop();
        EXPECT_EQ(picture(2).at(0), patternByte(kDiagonal, 0, false, 1, 0, 0));
        EXPECT_EQ(mismatch(picture(3), 8, [&](uint64_t x, uint64_t y) {
                      if (!row.read) return static_cast<int>(patternByte(kDiagonal, 0, false, 2, x, y));
                      return x < 3 && y < 2 ? static_cast<int>(1 + 3 * y + x) : 0;
                  }),
                  "");
    }
    std::remove(file.c_str());
}
