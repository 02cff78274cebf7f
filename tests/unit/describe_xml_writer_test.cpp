// The XML writer on a hand-made description store: the name forms, and what the applet's own tree
// never produces (signed limits, write-only and access-less registers, unpublished records, id 0,
// reserved characters, colliding category names), under a locale with a decimal comma.
#include <locale>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "describe/parameter_info_xml.h"

namespace {

using namespace vexo::describe;

ParameterTraits traits(uint32_t access, int32_t id, uint32_t published = 1) {
    return {access, 1, published, nullptr, id, 0};
}

struct DecimalComma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Top-level categories are walked newest first: "Direct Register Access", "#1", "1st <Stage>".
std::string describeSmallTree() {
    ParameterInfoTable table(1);
    ParameterInfoNode* stage = table.createCategory(0, nullptr, "1st <Stage>");
    table.createInt32(stage, "Offset & Gain", "FG_OFFSET", -5, 7, 2, traits(2, 0));
    table.createUInt32(stage, "Length", "FG_TRANSFER_LEN", 0, 4294967295u, 0, traits(0, 5));
    table.createUInt32(stage, "Hidden", "FG_HIDDEN", 0, 1, 1, traits(3, 6, 0));
    table.createUInt64(stage, "Wide", "FG_WIDE", 0, 1, 1, traits(3, 7));
    ParameterInfoNode* mode = table.createEnumeration(stage, "Mode", "FG_MODE", 3, traits(1, 8));
    table.setEnumerationEntry(mode, 0, "B", 2, "SYM_B");
    table.setEnumerationEntry(mode, 1, "C", 2, "SYM_C");
    table.setEnumerationEntry(mode, 2, "A", 1, nullptr);
    table.createUInt32(table.createCategory(0, stage, "Statistics"), "A", "FG_A", 0, 1, 1, traits(1, 11));
    ParameterInfoNode* misc = table.createCategory(0, nullptr, "#1");
    table.createDouble(table.createCategory(0, misc, "Statistics!"), "B", "FG_B", 0.048, 1.25e7, 0, traits(3, 12));
    table.createText(misc, "Name \"quoted\"", "FG_<NAME>", "", traits(1, 10));
    table.createUInt32(table.createCategory(0, nullptr, "Direct Register Access"), "R", "DRA_R", 0, 1, 1, traits(7, 9));
    return ParameterInfoBuilderXML(table, "Small & Co", 0).build();
}

}  // namespace

using ::testing::HasSubstr;
using ::testing::Not;

TEST(XmlNames, EscapedForAttributesAndTextAndReducedToNodeNames) {
    EXPECT_EQ(escapeXml("a\"b&c'd<e>f \xB5s"), std::string("a&quot;b&amp;c&apos;d&lt;e&gt;f \xB5s"));
    // Digits and '_' may not open a name, also after dropped characters.
    EXPECT_EQ(reduceName(" _9x_9/\xB5s"), std::string("x_9s"));
}

// GenApi gets no unpublished, 64-bit or direct register access record, nor a category left
// without features. A decimal comma and digit groups in the global locale change nothing.
TEST(XmlWriter, RecordTypesAndCategoriesTakeTheirFormsWhateverTheGlobalLocale) {
    const std::string xml = describeSmallTree();
    EXPECT_THAT(xml, HasSubstr("<RegisterDescription\nModelName=\"Small &amp; Co\"\n"));
    EXPECT_THAT(xml,
                HasSubstr("\n\r<IntReg Name=\"FG_OFFSET_Reg\">\n<Length>4</Length>\n<AccessMode>WO</AccessMode>\n"
                          "<pPort>DevicePort</pPort>\n<Sign>Signed</Sign>\n<Endianess>LittleEndian</Endianess>\n"
                          "</IntReg>\n<Integer Name='FG_OFFSET'>\n<Description>Offset &amp; Gain</Description>\n"
                          "<pValue>FG_OFFSET_Reg</pValue>\n<Min>-5</Min>\n<Max>7</Max>\n<Inc>2</Inc>\n</Integer>\n\r"));
    EXPECT_THAT(xml, HasSubstr("<Address>5</Address>\n<Length>8</Length>\n<AccessMode></AccessMode>\n"));
    // Of two entries with value 2 the later is kept; an entry without symbol is dropped.
    EXPECT_THAT(xml, HasSubstr("<Description>Mode</Description>\n<EnumEntry Name=\"SYM_C\">\n<Value>2</Value>\n"
                               "</EnumEntry>\n<pValue>FG_MODE_Reg</pValue>\n"));
    EXPECT_THAT(
        xml, HasSubstr("\n\r<StringReg Name=\"FG_&lt;NAME&gt;\">\n<Description>Name &quot;quoted&quot;</Description>\n"
                       "<Address>10</Address>\n"));
    for (const char* absent : {"FG_HIDDEN", "FG_WIDE", "DRA_R", "DirectRegisterAccess"}) {
        EXPECT_THAT(xml, Not(HasSubstr(absent)));
    }
    // Categories merge by reduced name; a name reducing to nothing means Root.
    EXPECT_THAT(xml, HasSubstr("<Category Name='Root' NameSpace='Standard' >\n<pFeature>Statistics</pFeature>\n"
                               "<pFeature>stStage</pFeature>\n<pFeature>FG_NAME</pFeature>\n</Category>\n"
                               "<Category Name='Statistics'  >\n<pFeature>FG_B</pFeature>\n<pFeature>FG_A</pFeature>\n"
                               "</Category>\n<Category Name='stStage'  >\n<pFeature>FG_OFFSET</pFeature>\n"));

    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new DecimalComma));
    EXPECT_EQ(describeSmallTree(), xml);
    std::locale::global(previous);
}
