// The applet's GenApi description as an application fetches it through the runtime: the size
// protocol of Fg_getParameterInfoXML, sample features line by line, what is left out, and the
// categories in their order.
#include <cstring>
#include <string>
#include <vector>

#include "board_session.h"
#include "check.h"
#include "platform/environment.h"
#include "vexo_sim.h"

namespace {

std::string fetchXml(void* fg) {
    size_t size = 0;
    REQUIRE_EQ(Fg_getParameterInfoXML(fg, 0, nullptr, &size), 0);
    std::vector<char> buffer(size, 'x');
    REQUIRE_EQ(Fg_getParameterInfoXML(fg, 0, buffer.data(), &size), 0);
    return std::string(buffer.data(), size - 1);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

TEST_CASE("a caller sizes the buffer first; short buffers and ports without tree are refused") {
    board::OpenBoard board;
    size_t size = 0;
    CHECK_EQ(Fg_getParameterInfoXML(board.fg, 1, nullptr, &size), -2075);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), -2075);
    REQUIRE_EQ(Fg_getParameterInfoXML(board.fg, 0, nullptr, &size), 0);
    CHECK_EQ(Fg_getLastErrorNumber(board.fg), 0);
    const size_t needed = size;

    std::vector<char> buffer(needed + 9, 'x');
    for (const size_t tooSmall : {needed - 1, size_t{0}}) {
        size = tooSmall;
        CHECK_EQ(Fg_getParameterInfoXML(board.fg, 0, buffer.data(), &size), -500);
        CHECK_EQ(Fg_getLastErrorNumber(board.fg), -500);
        CHECK_EQ(size, tooSmall);
    }
    // A larger buffer: the text, then zeros up to the size given.
    size = needed + 8;
    CHECK_EQ(Fg_getParameterInfoXML(board.fg, 0, buffer.data(), &size), 0);
    CHECK_EQ(size, needed);
    CHECK_EQ(std::strlen(buffer.data()), needed - 1);
    CHECK(buffer[needed + 7] == '\0' && buffer[needed + 8] == 'x');
}

TEST_CASE("the document's frame and its features in their register forms") {
    board::OpenBoard board;
    const std::string xml = fetchXml(board.fg);
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n<RegisterDescription\nModelName=\"Orvanta\"\n";
    const std::string tail = "</Category>\n<Port Name=\"DevicePort\"></Port>\n</RegisterDescription>\n";
    CHECK_EQ(xml.substr(0, head.size()), head);
    CHECK_EQ(xml.substr(xml.size() - tail.size()), tail);
    CHECK(contains(xml, "\nxmlns=\"http://www.genicam.org/GenApi/Version_1_0\"\n"
                        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
                        "xsi:schemaLocation=\"http://www.genicam.org/GenApi/Version_1_0 "
                        "GenApiSchema_Version_1_0.xsd\">\n"));
    CHECK(contains(xml, "\n\r<IntReg Name=\"FG_WIDTH_Reg\">\n<Address>100</Address>\n<Length>4</Length>\n"
                        "<AccessMode>RW</AccessMode>\n<pPort>DevicePort</pPort>\n<Sign>Signed</Sign>\n"
                        "<Endianess>LittleEndian</Endianess>\n</IntReg>\n<Integer Name='FG_WIDTH'>\n"
                        "<Description>Width</Description>\n<pValue>FG_WIDTH_Reg</pValue>\n<Min>8</Min>\n"
                        "<Max>65536</Max>\n<Inc>1</Inc>\n</Integer>\n\r"));
    // The tree holds On first; the description orders entries by value.
    CHECK(contains(xml, "<Description>Queue Mode</Description>\n<EnumEntry Name=\"FG_OFF\">\n<Value>0</Value>\n"
                        "</EnumEntry>\n<EnumEntry Name=\"FG_ON\">\n<Value>1</Value>\n</EnumEntry>\n"
                        "<pValue>FG_TRIGGERQUEUE_MODE_Reg</pValue>\n</Enumeration>\n\n"
                        "<IntReg Name=\"FG_TRIGGERQUEUE_MODE_Reg\">\n<Address>300214</Address>\n"));
    CHECK(contains(xml, "<Float Name=\"FG_TRIGGER_FRAMESPERSECOND\">\n<Description>Frames/Sec</Description>\n"
                        "<pValue>FG_TRIGGER_FRAMESPERSECOND_Reg</pValue>\n<Min>0.0291038304567</Min>\n"
                        "<Max>12500000</Max>\n</Float>\n\r"));
    CHECK(contains(xml, "\n\r<StringReg Name=\"FG_APPLET_ID\">\n<Description>Applet Id</Description>\n"
                        "<Address>24010</Address>\n<Length>4096</Length>\n<AccessMode>RO</AccessMode>\n"));
    CHECK(contains(xml, "<pValue>FG_DEBUGOUTPIXEL_Reg</pValue>\n<Min>0</Min>\n<Max>4294967295</Max>\n"));
    CHECK(contains(xml, "<pValue>FG_APPLET_VERSION_Reg</pValue>\n<Min>0</Min>\n<Max>0</Max>\n</Integer>\n\r"));
}

TEST_CASE("64-bit and direct register access parameters are left out; categories are flat and merged") {
    std::string plain;
    {
        board::OpenBoard board;
        plain = fetchXml(board.fg);
    }
    CHECK(!contains(plain, "FG_DEBUGWRITEPIXEL") && !contains(plain, "FG_SYSTEMMONITOR_FPGA_DNA"));
    // 123 described parameters, two of them 64-bit: one line feed and carriage return each.
    size_t features = 0;
    for (size_t at = plain.find("\n\r"); at != std::string::npos; at = plain.find("\n\r", at + 1)) ++features;
    CHECK_EQ(features, size_t{121});

    std::string categories;
    const std::string tag = "<Category Name='";
    for (size_t at = plain.find(tag); at != std::string::npos; at = plain.find(tag, at + 1)) {
        categories += plain.substr(at + tag.size(), plain.find('\'', at + tag.size()) - at - tag.size()) + ' ';
    }
    CHECK_EQ(categories, std::string("Root Input Output Debug Miscellaneous CameraSimulator OutputFormat "
                                     "ImageSelector Overflow External SoftwareTrigger Statistics Sequencer Queue "
                                     "PulseFormGenerator0 PulseFormGenerator1 PulseFormGenerator2 PulseFormGenerator3 "
                                     "CameraOutSignalMapping DigitalOutput OutputEvent Trigger ROI CameraLinkHS "));
    CHECK(contains(plain, "<Category Name='Statistics'  >\n<pFeature>FG_TRIGGERIN_STATS_SOURCE</pFeature>\n"));
    CHECK(contains(plain, "<pFeature>FG_TRIGGEROUT_STATS_SOURCE</pFeature>\n"));

    vexo::templates::platform::setEnvironment("VEXO_ENABLE_DRA", "1");
    board::OpenBoard board;
    vexo::templates::platform::unsetEnvironment("VEXO_ENABLE_DRA");
    REQUIRE(Fg_getParameterIdByName(board.fg, "DRA_FrameCounter") > 1000000);
    CHECK_EQ(fetchXml(board.fg), plain);
}

CHECK_MAIN
