// The GenApi description fetched through the runtime: the size protocol of Fg_getParameterInfoXML,
// the document frame, sample features line by line, the categories in order, what is left out.
#include <cstring>
#include <string>
#include <vector>

#include <gmock/gmock.h>

#include "trigger_board.h"

using ::testing::HasSubstr;
using trigger_test::fetchXml;
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
    EXPECT_THAT(xml, HasSubstr("\nxmlns=\"http://www.genicam.org/GenApi/Version_1_0\"\n"
                               "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\n"
                               "xsi:schemaLocation=\"http://www.genicam.org/GenApi/Version_1_0 "
                               "GenApiSchema_Version_1_0.xsd\">\n"));
    // The tree holds On first; the description orders entries by value.
    EXPECT_THAT(xml, HasSubstr("<Description>Queue Mode</Description>\n<EnumEntry Name=\"FG_OFF\">\n"
                               "<Value>0</Value>\n</EnumEntry>\n<EnumEntry Name=\"FG_ON\">\n<Value>1</Value>\n"
                               "</EnumEntry>\n<pValue>FG_TRIGGERQUEUE_MODE_Reg</pValue>\n</Enumeration>\n\n"
                               "<IntReg Name=\"FG_TRIGGERQUEUE_MODE_Reg\">\n<Address>300214</Address>\n"));
    EXPECT_THAT(xml, HasSubstr("<Float Name=\"FG_TRIGGER_FRAMESPERSECOND\">\n<Description>Frames/Sec</Description>\n"
                               "<pValue>FG_TRIGGER_FRAMESPERSECOND_Reg</pValue>\n<Min>0.0291038304567</Min>\n"
                               "<Max>12500000</Max>\n</Float>\n\r"));
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
