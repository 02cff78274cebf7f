// The applet's GenApi description as an application fetches it through the runtime: the size
// protocol of Fg_getParameterInfoXML, sample features line by line, what is left out, and the
// categories in their order.
#include <cstring>
#include <string>
#include <vector>

#include "board_session.h"
#include "vexo_sim.h"

namespace {

std::string fetchXml(void* fg) {
    size_t size = 0;
    EXPECT_EQ(Fg_getParameterInfoXML(fg, 0, nullptr, &size), 0);
    std::vector<char> buffer(size, 'x');
    EXPECT_EQ(Fg_getParameterInfoXML(fg, 0, buffer.data(), &size), 0);
    return std::string(buffer.data(), size > 0 ? size - 1 : 0);
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace

using DescribeXml = board::BoardTest;

// A caller sizes the buffer first; short buffers and ports without tree are refused.
TEST_F(DescribeXml, SizeProtocol) {
    size_t size = 0;
    EXPECT_EQ(Fg_getParameterInfoXML(fg(), 1, nullptr, &size), -2075);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), -2075);
    ASSERT_EQ(Fg_getParameterInfoXML(fg(), 0, nullptr, &size), 0);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), 0);
    const size_t needed = size;

    std::vector<char> buffer(needed + 9, 'x');
    for (const size_t tooSmall : {needed - 1, size_t{0}}) {
        size = tooSmall;
        EXPECT_EQ(Fg_getParameterInfoXML(fg(), 0, buffer.data(), &size), -500);
        EXPECT_EQ(Fg_getLastErrorNumber(fg()), -500);
        EXPECT_EQ(size, tooSmall);
    }
    // A larger buffer: the text, then zeros up to the size given.
    size = needed + 8;
    EXPECT_EQ(Fg_getParameterInfoXML(fg(), 0, buffer.data(), &size), 0);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(std::strlen(buffer.data()), needed - 1);
    EXPECT_TRUE(buffer[needed + 7] == '\0' && buffer[needed + 8] == 'x');
}

TEST_F(DescribeXml, DocumentFrameAndFeaturesInTheirRegisterForms) {
    const std::string xml = fetchXml(fg());
    const std::string head =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n<RegisterDescription\nModelName=\"Orvanta\"\n";
    const std::string tail = "</Category>\n<Port Name=\"DevicePort\"></Port>\n</RegisterDescription>\n";
    EXPECT_EQ(xml.substr(0, head.size()), head);
    EXPECT_EQ(xml.substr(xml.size() - tail.size()), tail);
    EXPECT_TRUE(contains(xml, "\nxmlns=\"http://www.genicam.org/GenApi/Version_1_0\"\n"
                        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
                        "xsi:schemaLocation=\"http://www.genicam.org/GenApi/Version_1_0 "
                        "GenApiSchema_Version_1_0.xsd\">\n"));
    EXPECT_TRUE(contains(xml, "\n\r<IntReg Name=\"FG_WIDTH_Reg\">\n<Address>100</Address>\n<Length>4</Length>\n"
                        "<AccessMode>RW</AccessMode>\n<pPort>DevicePort</pPort>\n<Sign>Signed</Sign>\n"
                        "<Endianess>LittleEndian</Endianess>\n</IntReg>\n<Integer Name='FG_WIDTH'>\n"
                        "<Description>Width</Description>\n<pValue>FG_WIDTH_Reg</pValue>\n<Min>8</Min>\n"
                        "<Max>65536</Max>\n<Inc>1</Inc>\n</Integer>\n\r"));
    // The tree holds On first; the description orders entries by value.
    EXPECT_TRUE(contains(xml, "<Description>Queue Mode</Description>\n<EnumEntry Name=\"FG_OFF\">\n<Value>0</Value>\n"
                        "</EnumEntry>\n<EnumEntry Name=\"FG_ON\">\n<Value>1</Value>\n</EnumEntry>\n"
                        "<pValue>FG_TRIGGERQUEUE_MODE_Reg</pValue>\n</Enumeration>\n\n"
                        "<IntReg Name=\"FG_TRIGGERQUEUE_MODE_Reg\">\n<Address>300214</Address>\n"));
    EXPECT_TRUE(contains(xml, "<Float Name=\"FG_TRIGGER_FRAMESPERSECOND\">\n<Description>Frames/Sec</Description>\n"
                        "<pValue>FG_TRIGGER_FRAMESPERSECOND_Reg</pValue>\n<Min>0.0291038304567</Min>\n"
                        "<Max>12500000</Max>\n</Float>\n\r"));
    EXPECT_TRUE(contains(xml, "\n\r<StringReg Name=\"FG_APPLET_ID\">\n<Description>Applet Id</Description>\n"
                        "<Address>24010</Address>\n<Length>4096</Length>\n<AccessMode>RO</AccessMode>\n"));
    EXPECT_TRUE(contains(xml, "<pValue>FG_DEBUGOUTPIXEL_Reg</pValue>\n<Min>0</Min>\n<Max>4294967295</Max>\n"));
    EXPECT_TRUE(contains(xml, "<pValue>FG_APPLET_VERSION_Reg</pValue>\n<Min>0</Min>\n<Max>0</Max>\n</Integer>\n\r"));
}

// The categories of the real tree, flat, in their order; the hidden register records leave the
// document as it was.
TEST(DescribeXmlSwitches, CategoriesInTreeOrderAndNoRegisterRecords) {
    std::string plain;
    {
        board::OpenBoard board;
        ASSERT_NE(board.fg, nullptr);
        plain = fetchXml(board.fg);
    }
    std::string categories;
    const std::string tag = "<Category Name='";
    for (size_t at = plain.find(tag); at != std::string::npos; at = plain.find(tag, at + 1)) {
        categories += plain.substr(at + tag.size(), plain.find('\'', at + tag.size()) - at - tag.size()) + ' ';
    }
    EXPECT_EQ(categories, "Root Input Output Debug Miscellaneous CameraSimulator OutputFormat ImageSelector Overflow "
                          "External SoftwareTrigger Statistics Sequencer Queue PulseFormGenerator0 PulseFormGenerator1 "
                          "PulseFormGenerator2 PulseFormGenerator3 CameraOutSignalMapping DigitalOutput OutputEvent "
                          "Trigger ROI CameraLinkHS ");

    const board::Switch dra("VEXO_ENABLE_DRA");
    board::OpenBoard board;
    ASSERT_NE(board.fg, nullptr);
    ASSERT_GT(Fg_getParameterIdByName(board.fg, "DRA_FrameCounter"), 1000000);
    EXPECT_EQ(fetchXml(board.fg), plain);
}
