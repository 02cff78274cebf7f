// The applet descriptor Info: fixed answers, index rules, texts and blocks, named constants,
// and the most recent handles before and after a board is opened.
#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>

#include "applet_exports.h"
#include "check.h"
#include "vexo_sim.h"

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

bool isUuid(const std::string& text) {
    if (text.size() != 36) return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? text[i] != '-' : !std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
    }
    return true;
}

uint32_t bigEndian32(const uint8_t* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace

// Must stay the first case: no board has been opened in this process yet.
TEST_CASE("the handle selectors answer 0 before any open") {
    uint64_t cell = kUntouched;
    CHECK_EQ(info(0x1030, 0, 0, &cell, nullptr), 0);
    CHECK_EQ(cell, uint64_t{0});
    cell = kUntouched;
    CHECK_EQ(info(0x1040, 0, 0, &cell, nullptr), 0);
    CHECK_EQ(cell, uint64_t{0});
}

TEST_CASE("named constants are found exactly") {
    CHECK_EQ(constant("Mono10"), 258);
    CHECK_EQ(constant("mono10"), -2070);
    CHECK_EQ(constant("FG_ENDOFFRAME"), 1);
    CHECK_EQ(constant("Mono10"), 258);
    CHECK_EQ(constant("Raw"), 0);
    CHECK_EQ(constant("FG_RAW"), 50);
    CHECK_EQ(constant("FG_RGBX64"), 416);
    CHECK_EQ(constant(""), -2070);
    CHECK_EQ(constant("FG_YES "), -2070);
    CHECK_EQ(info(0x1100, 0, 0, nullptr, nullptr), -2070);
    // Rows that stand for a range of names take consecutive values.
    CHECK_EQ(constant("TRGINSRC_GPI_7"), 7);
    CHECK_EQ(constant("TRGINSRC_FRONT_GPI_3"), 19);
    CHECK_EQ(constant("CAM_A_NOT_PULSEGEN3"), 63);
    CHECK_EQ(constant("NOT_BYPASS_GPI_5"), 25);
    CHECK_EQ(constant("NOT_BYPASS_FRONT_GPI_2"), 42);
    CHECK_EQ(constant("NOT_PULSEGEN0"), 6);
}

TEST_CASE("indexed selectors check their indices and write nothing") {
    uint64_t first = kUntouched;
    uint64_t second = kUntouched;
    CHECK_EQ(info(0x1260, 0, 7, &first, &second), 2);
    CHECK_EQ(info(0x1260, 1, 0, &first, &second), -2070);
    CHECK_EQ(info(0x1230, 0, 1, &first, &second), -2070);
    CHECK_EQ(info(0x1230, 0, 0, &first, &second), 0);
    CHECK_EQ(info(0x1240, 1, 0, &first, &second), -2070);
    CHECK_EQ(info(0x1210, 0, 9, &first, &second), 1);
    CHECK_EQ(info(0x1220, 2, 0, &first, &second), -2070);
    CHECK_EQ(info(0x1250, 0, 0, &first, &second), 1);
    CHECK_EQ(first, kUntouched);
    CHECK_EQ(second, kUntouched);
}

TEST_CASE("fixed answers and unknown selectors") {
    uint64_t first = kUntouched;
    uint64_t second = kUntouched;
    CHECK_EQ(info(0x800, 0, 0, &first, &second), 196609);
    CHECK_EQ(info(0x880, 0, 0, &first, &second), 1874);
    CHECK_EQ(info(0x415, 0, 0, &first, &second), 1);
    CHECK_EQ(info(0x1200, 0, 0, &first, &second), 1);
    CHECK_EQ(info(0x350, 5, 5, &first, &second), 0);
    CHECK_EQ(info(4095, 0, 0, &first, &second), -2130);
    CHECK_EQ(info(-1, 0, 0, &first, &second), -2130);
    CHECK_EQ(first, kUntouched);
    CHECK_EQ(second, kUntouched);

    // Only the low 4 bytes of the cell receive the 32-bit 0.
    first = ~uint64_t{0};
    CHECK_EQ(info(0x900, 0, 0, &first, &second), 0);
    CHECK_EQ(first, uint64_t{0xFFFFFFFF00000000u});
    CHECK_EQ(second, kUntouched);
    // Null cells are skipped.
    CHECK_EQ(info(0x411, 0, 0, nullptr, nullptr), 0);
    CHECK_EQ(info(0x1050, 0, 0, nullptr, nullptr), 0);
}

TEST_CASE("descriptor texts") {
    CHECK_EQ(textOf(0x1050), std::string("Orvanta"));
    CHECK_EQ(textOf(0x1060), std::string("3.1.1.2"));
    CHECK_EQ(textOf(0x1070), std::string("3.1.1.2.20181130.100532"));
    CHECK_EQ(textOf(0x1000), std::string("Acquisition Applet with support of StreamDMA technology, RAW image data "
                                         "transfer to PC for one CLHS Area scan camera with 2 ports. An area scan "
                                         "trigger module is included."));
    CHECK_EQ(textOf(0x1010), std::string("Capturekits:Area"));
    CHECK_EQ(textOf(0x1020), std::string("class=standard,family=acquisition,type=single,sensortype=area,color=raw,"
                                         "interface=lchs,lag=2"));
    const std::string firstId = textOf(0x413);
    const std::string secondId = textOf(0x414);
    CHECK(isUuid(firstId));
    CHECK(isUuid(secondId));
    CHECK(firstId != secondId);
    CHECK_EQ(textOf(0x413), firstId);
}

TEST_CASE("the icon is a 32 x 32 RGBA PNG of 3140 bytes") {
    uint64_t size = 0;
    uint64_t address = 0;
    REQUIRE_EQ(info(0x411, 0, 0, &size, &address), 0);
    REQUIRE_EQ(size, uint64_t{3140});
    const uint8_t* png = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address));
    REQUIRE(png != nullptr);
    CHECK(std::memcmp(png, "\x89PNG\r\n\x1a\n", 8) == 0);
    CHECK(std::memcmp(png + 12, "IHDR", 4) == 0);
    CHECK_EQ(bigEndian32(png + 16), uint32_t{32});
    CHECK_EQ(bigEndian32(png + 20), uint32_t{32});
    CHECK_EQ(png[24], uint8_t{8});  // bit depth
    CHECK_EQ(png[25], uint8_t{6});  // colour type RGBA
    CHECK(std::memcmp(png + size - 8, "IEND", 4) == 0);
}

TEST_CASE("HAP image and recent handles after an open") {
    SimCtl_Reset();
    SimHap_Reset();
    void* fg = Fg_Init("Orvanta", 0);
    REQUIRE(fg != nullptr);
    REQUIRE(SimHap_OpenCount() >= 1);
    SimHapOpen open{};
    REQUIRE_EQ(SimHap_GetOpen(SimHap_OpenCount() - 1, &open), 0);

    uint64_t size = 0;
    uint64_t address = 0;
    CHECK_EQ(info(0x412, 0, 0, &size, &address), 0);
    CHECK_EQ(size, uint64_t{5613887});
    CHECK_EQ(open.fromFile, 0);
    CHECK_EQ(address, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(open.image)));
    CHECK_EQ(open.size, size);

    uint64_t hardware = 0;
    uint64_t hap = 0;
    CHECK_EQ(info(0x1030, 0, 0, &hardware, nullptr), 0);
    CHECK_EQ(info(0x1040, 0, 0, &hap, nullptr), 0);
    CHECK_EQ(hardware, SimCtl_HardwareHandle(0));
    CHECK_EQ(hap, static_cast<uint64_t>(reinterpret_cast<uintptr_t>(open.handle)));
    Fg_FreeGrabber(fg);
}

CHECK_MAIN
