// The applet descriptor Info: fixed answers, index rules, texts and blocks, named constants,
// and the most recent handles before and after a board is opened.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <regex>
#include <string>
#include <utility>

#include "applet_exports.h"
#include "board_session.h"

namespace {

constexpr uint64_t kUntouched = 0xDEADBEEFCAFEF00Du;

int32_t info(int32_t selector, uint32_t first, uint32_t second, uint64_t* out1, uint64_t* out2) {
    return APPLET_EXPORT(SimCtl_AppletSymbol, Info)(selector, first, second, out1, out2);
}

int32_t constant(const char* name) {
    return info(0x1100, 0, 0, reinterpret_cast<uint64_t*>(const_cast<char*>(name)), nullptr);
}

std::string textOf(int32_t selector) {
    uint64_t first = kUntouched;
    uint64_t second = 0;
    if (info(selector, 0, 0, &first, &second) != 0 || first != kUntouched || second == 0) return "<no answer>";
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(second));
}

}  // namespace

TEST(Info, NamedConstantsAreFoundExactly) {
    const std::pair<const char*, int32_t> rows[] = {
        {"Mono10", 258}, {"mono10", -2070}, {"FG_ENDOFFRAME", 1}, {"Raw", 0}, {"FG_RAW", 50}, {"FG_RGBX64", 416},
        {"", -2070}, {"FG_YES ", -2070},
        // Rows that stand for a range of names take consecutive values.
        {"TRGINSRC_GPI_7", 7}, {"TRGINSRC_FRONT_GPI_3", 19}, {"CAM_A_NOT_PULSEGEN3", 63}, {"NOT_BYPASS_GPI_5", 25},
        {"NOT_BYPASS_FRONT_GPI_2", 42}, {"NOT_PULSEGEN0", 6}};
    for (const auto& [name, value] : rows) EXPECT_EQ(constant(name), value) << '"' << name << '"';
    EXPECT_EQ(info(0x1100, 0, 0, nullptr, nullptr), -2070);
}

TEST(Info, FixedAndIndexedAnswersWriteNothingAndTheHandlesAre0BeforeAnyOpen) {
    // {selector, first index, second index, answer}
    const int32_t rows[][4] = {{0x1260, 0, 7, 2}, {0x1260, 1, 0, -2070}, {0x1230, 0, 1, -2070}, {0x1230, 0, 0, 0},
                               {0x1240, 1, 0, -2070}, {0x1210, 0, 9, 1}, {0x1220, 2, 0, -2070}, {0x1250, 0, 0, 1},
                               {0x800, 0, 0, 196609}, {0x880, 0, 0, 1874}, {0x415, 0, 0, 1}, {0x1200, 0, 0, 1},
                               {0x350, 5, 5, 0}, {4095, 0, 0, -2130}, {-1, 0, 0, -2130}};
    uint64_t first = kUntouched;
    uint64_t second = kUntouched;
    for (const auto& row : rows) {
        SCOPED_TRACE("selector " + std::to_string(row[0]));
        EXPECT_EQ(info(row[0], static_cast<uint32_t>(row[1]), static_cast<uint32_t>(row[2]), &first, &second), row[3]);
    }
    EXPECT_EQ(first, kUntouched);
    EXPECT_EQ(second, kUntouched);

    // Only the low 4 bytes of the cell receive the 32-bit 0.
    first = ~uint64_t{0};
    EXPECT_EQ(info(0x900, 0, 0, &first, &second), 0);
    EXPECT_EQ(first, 0xFFFFFFFF00000000u);
    EXPECT_EQ(second, kUntouched);
    // Null cells are skipped.
    EXPECT_EQ(info(0x411, 0, 0, nullptr, nullptr), 0);
    EXPECT_EQ(info(0x1050, 0, 0, nullptr, nullptr), 0);

    // Each case runs in a process of its own: here no board has been opened yet.
    for (const int32_t selector : {0x1030, 0x1040}) {
        EXPECT_EQ(info(selector, 0, 0, &first, nullptr), 0);
        EXPECT_EQ(first, 0u) << selector;
    }
}

TEST(Info, DescriptorTexts) {
    EXPECT_EQ(textOf(0x1050), "Orvanta");
    EXPECT_EQ(textOf(0x1060), "3.1.1.2");
    EXPECT_EQ(textOf(0x1070), "3.1.1.2.20181130.100532");
    EXPECT_EQ(textOf(0x1000),
              "Acquisition Applet with support of StreamDMA technology, RAW image data transfer to PC for one CLHS "
              "Area scan camera with 2 ports. An area scan trigger module is included.");
    EXPECT_EQ(textOf(0x1010), "Capturekits:Area");
    EXPECT_EQ(textOf(0x1020),
              "class=standard,family=acquisition,type=single,sensortype=area,color=raw,interface=lchs,lag=2");
    const std::regex uuid("[0-9a-fA-F]{8}(-[0-9a-fA-F]{4}){3}-[0-9a-fA-F]{12}");
    const std::string firstId = textOf(0x413);
    const std::string secondId = textOf(0x414);
    EXPECT_TRUE(std::regex_match(firstId, uuid)) << firstId;
    EXPECT_TRUE(std::regex_match(secondId, uuid)) << secondId;
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(textOf(0x413), firstId);
}

TEST(Info, TheIconIsA32By32RgbaPngOf3140Bytes) {
    uint64_t size = 0;
    uint64_t address = 0;
    ASSERT_EQ(info(0x411, 0, 0, &size, &address), 0);
    ASSERT_EQ(size, 3140u);
    const uint8_t* png = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address));
    ASSERT_NE(png, nullptr);
    EXPECT_EQ(std::memcmp(png, "\x89PNG\r\n\x1a\n", 8), 0);
    // The header: width and height 32 (big-endian), bit depth 8, colour type 6 (RGBA).
    EXPECT_EQ(std::memcmp(png + 12, "IHDR\0\0\0\x20\0\0\0\x20\x08\x06", 14), 0);
    EXPECT_EQ(std::memcmp(png + size - 8, "IEND", 4), 0);
}

TEST(Info, HapImageAndRecentHandlesAfterAnOpen) {
    board::OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    SimHapOpen open{};
    ASSERT_EQ(SimHap_GetOpen(SimHap_OpenCount() - 1, &open), 0);

    uint64_t size = 0;
    uint64_t address = 0;
    EXPECT_EQ(info(0x412, 0, 0, &size, &address), 0);
    // The build's copy of the image, beside the tests.
    std::ifstream built("Orvanta.hap", std::ios::binary | std::ios::ate);
    ASSERT_TRUE(built.is_open());
    EXPECT_EQ(size, static_cast<uint64_t>(built.tellg()));
    EXPECT_EQ(address, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(open.image)));
    EXPECT_EQ(open.size, size);

    uint64_t hardware = 0;
    uint64_t hap = 0;
    EXPECT_EQ(info(0x1030, 0, 0, &hardware, nullptr), 0);
    EXPECT_EQ(info(0x1040, 0, 0, &hap, nullptr), 0);
    EXPECT_EQ(hardware, SimCtl_HardwareHandle(0));
    EXPECT_EQ(hap, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(open.handle)));
}
