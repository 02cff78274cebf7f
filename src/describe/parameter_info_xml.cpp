// Writes the description tree of one port as GenApi XML: the register description's opening tag,
// one register and one feature per described parameter, the flat category tree, the port.
#include "describe/parameter_info_xml.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

namespace vexo::describe {

namespace {

constexpr const char* kRootName = "Root";
constexpr const char* kPortName = "DevicePort";
// Its records describe raw registers of the HAP, which a GenApi client must not see as features.
constexpr const char* kHiddenCategory = "Direct Register Access";
// The SDK's transfer length is 64 bits wide; every other integer register has 4 bytes.
constexpr const char* kWideInteger = "FG_TRANSFER_LEN";
// Doubles are written with this many significant digits, in the stream's default notation.
constexpr int kDoublePrecision = 12;

// The published GenApi 1.0 names: a client picks the schema it validates against by namespace.
constexpr const char* kGenApiNamespace = "http://www.genicam.org/GenApi/Version_1_0";
constexpr const char* kSchemaInstanceNamespace = "http://www.w3.org/2001/XMLSchema-instance";
constexpr const char* kSchemaFile = "GenApiSchema_Version_1_0.xsd";

// The attributes of the opening tag after the model name, one a line.
constexpr const char* kFixedAttributes[] = {
    "VendorName=\"Brightmoor\"",   "StandardNameSpace=\"None\"", "SchemaMajorVersion=\"1\"",
    "SchemaMinorVersion=\"0\"",    "SchemaSubMinorVersion=\"1\"", "MajorVersion=\"1\"",
    "MinorVersion=\"0\"",          "SubMinorVersion=\"0\"",       "ProductGuid=\"0\"",
    "VersionGuid=\"0\"",
};

using Node = ParameterInfoNode;

// The output is appended to one string: a text of this size takes no second allocation.
constexpr size_t kExpectedTextSize = 128 * 1024;

}  // namespace

// The text under construction: appends are copies into room made ahead, the string's length
// is set once at the end.
class XmlText {
public:
    XmlText() { text.resize(kExpectedTextSize); }

    void append(const char* data, size_t size) {
        if (size > text.size() - used) text.resize(2 * (used + size));
        std::memcpy(&text[used], data, size);
        used += size;
    }
    void push_back(char c) { append(&c, 1); }
    bool empty() const { return used == 0; }

    std::string take() {
        text.resize(used);
        return std::move(text);
    }

private:
    std::string text;
    size_t used = 0;
};

namespace {

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

constexpr const char* kReservedCharacters = "\"&'<>";

const char* entityOf(char c) {
    switch (c) {
    case '"': return "&quot;";
    case '&': return "&amp;";
    case '\'': return "&apos;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return nullptr;
    }
}

// The forms a value takes in the text. Numbers are written as the classic locale writes them
// (to_chars knows no locale): integers in decimal, doubles as printf's "%.12g".
struct Escaped {
    const char* text;
};
struct Reduced {
    const char* text;
};

void put(XmlText& out, const char* text) { out.append(text, std::strlen(text)); }
template <size_t N>
void put(XmlText& out, const char (&text)[N]) {
    out.append(text, N - 1);
}
void put(XmlText& out, const std::string& text) { out.append(text.data(), text.size()); }
void put(XmlText& out, char c) { out.push_back(c); }

template <typename Text>
void put(Text& out, Escaped value) {
    if (value.text == nullptr) return;
    const char* run = value.text;
    for (;;) {
        const size_t plain = std::strcspn(run, kReservedCharacters);
        out.append(run, plain);
        const char* entity = entityOf(run[plain]);
        if (entity == nullptr) return;  // the terminator
        out.append(entity, std::strlen(entity));
        run += plain + 1;
    }
}

// A name that starts with a digit or '_' after the dropped characters is no valid node name
// either, so the first character is the first one kept, not the first one read.
template <typename Text>
void put(Text& out, Reduced value) {
    if (value.text == nullptr) return;
    bool first = true;
    for (const char* c = value.text; *c != '\0'; ++c) {
        if (isAsciiLetter(*c) || (!first && (isAsciiDigit(*c) || *c == '_'))) {
            out.push_back(*c);
            first = false;
        }
    }
}

template <typename Integer, typename = std::enable_if_t<std::is_integral_v<Integer>>>
void put(XmlText& out, Integer number) {
    char digits[24];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, number);
    out.append(digits, static_cast<size_t>(end.ptr - digits));
}

void put(XmlText& out, double number) {
    char digits[32];
    const std::to_chars_result end =
        std::to_chars(digits, digits + sizeof digits, number, std::chars_format::general, kDoublePrecision);
    out.append(digits, static_cast<size_t>(end.ptr - digits));
}

template <typename... Parts>
void write(XmlText& out, const Parts&... parts) {
    (put(out, parts), ...);
}

const char* accessMode(uint32_t access) {
    const bool readable = (access & 1U) != 0;
    const bool writable = (access & 2U) != 0;
    if (readable && writable) return "RW";
    if (readable) return "RO";
    return writable ? "WO" : "";
}

int32_t integerLength(const Node& node) {
    return node.parameterName != nullptr && std::strcmp(node.parameterName, kWideInteger) == 0 ? 8 : 4;
}

void writeRegisterLines(XmlText& out, const Node& node, int32_t length) {
    if (node.id != 0) write(out, "<Address>", node.id, "</Address>\n");
    write(out, "<Length>", length, "</Length>\n");
    write(out, "<AccessMode>", accessMode(node.access), "</AccessMode>\n");
    write(out, "<pPort>", kPortName, "</pPort>\n");
}

void writeDescription(XmlText& out, const Node& node) {
    if (node.name != nullptr && node.name[0] != '\0') {
        write(out, "<Description>", Escaped{node.name}, "</Description>\n");
    }
}

// `limits` is the u32 or i32 view of the value block: the field's own signedness decides how
// the numbers read, so a signed parameter's -5 is written as -5 and fits the register's Sign.
template <typename Limits>
void writeIntegerForm(XmlText& out, const Node& node, Escaped name, const Limits& limits) {
    write(out, "<IntReg Name=\"", name, "_Reg\">\n");
    writeRegisterLines(out, node, integerLength(node));
    write(out, "<Sign>Signed</Sign>\n<Endianess>LittleEndian</Endianess>\n</IntReg>\n");
    write(out, "<Integer Name='", name, "'>\n");
    writeDescription(out, node);
    write(out, "<pValue>", name, "_Reg</pValue>\n");
    write(out, "<Min>", limits.min, "</Min>\n<Max>", limits.max, "</Max>\n");
    if (limits.inc != 0) write(out, "<Inc>", limits.inc, "</Inc>\n");
    write(out, "</Integer>");
}

using EntryScratch = std::vector<std::pair<int32_t, int32_t>>;

void writeUnsignedInteger(XmlText& out, const Node& node, Escaped name, EntryScratch&) {
    writeIntegerForm(out, node, name, node.value.u32);
}

void writeSignedInteger(XmlText& out, const Node& node, Escaped name, EntryScratch&) {
    writeIntegerForm(out, node, name, node.value.i32);
}

// One symbol per value, ascending; of entries sharing a value the later one is kept.
void writeEnumeration(XmlText& out, const Node& node, Escaped name, EntryScratch& entries) {
    write(out, "<Enumeration Name='", name, "'>\n");
    writeDescription(out, node);
    const auto& enumeration = node.value.enumeration;
    entries.clear();
    if (enumeration.entrySymbols != nullptr && enumeration.entryValues != nullptr) {
        for (int32_t i = 0; i < enumeration.entryCount; ++i) {
            if (enumeration.entrySymbols[i] != nullptr) entries.emplace_back(enumeration.entryValues[i], i);
        }
    }
    std::sort(entries.begin(), entries.end());
    for (size_t i = 0; i < entries.size(); ++i) {
        if (i + 1 < entries.size() && entries[i + 1].first == entries[i].first) continue;
        write(out, "<EnumEntry Name=\"", Escaped{enumeration.entrySymbols[entries[i].second]}, "\">\n<Value>",
              entries[i].first, "</Value>\n</EnumEntry>\n");
    }
    write(out, "<pValue>", name, "_Reg</pValue>\n</Enumeration>\n\n");
    write(out, "<IntReg Name=\"", name, "_Reg\">\n");
    writeRegisterLines(out, node, integerLength(node));
    write(out, "<Sign>Unsigned</Sign>\n<Endianess>LittleEndian</Endianess>\n</IntReg>");
}

void writeFloat(XmlText& out, const Node& node, Escaped name, EntryScratch&) {
    write(out, "<FloatReg Name=\"", name, "_Reg\">\n");
    writeRegisterLines(out, node, 8);
    write(out, "<Endianess>LittleEndian</Endianess>\n</FloatReg>\n");
    write(out, "<Float Name=\"", name, "\">\n");
    writeDescription(out, node);
    write(out, "<pValue>", name, "_Reg</pValue>\n");
    write(out, "<Min>", node.value.dbl.min, "</Min>\n<Max>", node.value.dbl.max, "</Max>\n</Float>");
}

// The string register is the feature itself: a client reads the text straight from it.
void writeString(XmlText& out, const Node& node, Escaped name, EntryScratch&) {
    write(out, "<StringReg Name=\"", name, "\">\n");
    writeDescription(out, node);
    writeRegisterLines(out, node, 4096);
    write(out, "</StringReg>");
}

using FormWriter = void (*)(XmlText&, const Node&, Escaped, EntryScratch&);

struct Form {
    int32_t type;
    FormWriter write;
};

// The record types GenApi gets a feature for; the 64-bit integers have no 32-bit register form
// and are left out.
constexpr Form kForms[] = {
    {PARAM_INFO_UINT32, writeUnsignedInteger}, {PARAM_INFO_INT32, writeSignedInteger},
    {PARAM_INFO_ENUM, writeEnumeration},       {PARAM_INFO_DOUBLE, writeFloat},
    {PARAM_INFO_STRING, writeString},
};

FormWriter formOf(int32_t type) {
    for (const Form& form : kForms) {
        if (form.type == type) return form.write;
    }
    return nullptr;
}

}  // namespace

std::string escapeXml(const char* text) {
    std::string escaped;
    put(escaped, Escaped{text});
    return escaped;
}

std::string reduceName(const char* text) {
    std::string reduced;
    put(reduced, Reduced{text});
    return reduced;
}

ParameterInfoBuilderXML::ParameterInfoBuilderXML(const ParameterInfoTable& table, const char* modelName,
                                                 int32_t port)
    : table(table), modelName(modelName != nullptr ? modelName : ""), port(port) {}

ParameterInfoBuilderXML::~ParameterInfoBuilderXML() = default;

std::string ParameterInfoBuilderXML::build() {
    categories.clear();
    features.clear();
    XmlText out;
    writeHeader(out);
    for (const Node* top = table.getTree(port); top != nullptr; top = top->older) {
        if (top->type == PARAM_INFO_CATEGORY) writeCategoryTree(out, top);
    }
    writeCategory(out, 0);
    for (size_t category = 1; category <= categories.size(); ++category) writeCategory(out, category);
    write(out, "<Port Name=\"", kPortName, "\"></Port>\n</RegisterDescription>\n");
    return out.take();
}

void ParameterInfoBuilderXML::writeHeader(XmlText& out) const {
    write(out, "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n<RegisterDescription\n");
    write(out, "ModelName=\"", Escaped{modelName.c_str()}, "\"\n");
    for (const char* attribute : kFixedAttributes) write(out, attribute, '\n');
    write(out, "xmlns=\"", kGenApiNamespace, "\"\n");
    write(out, "xmlns:xsi=\"", kSchemaInstanceNamespace, "\"\n");
    write(out, "xsi:schemaLocation=\"", kGenApiNamespace, ' ', kSchemaFile, "\">\n");
}

// Depth first, children in index order: a parameter's category is always its direct parent.
void ParameterInfoBuilderXML::writeCategoryTree(XmlText& out, const Node* category) {
    const auto& block = category->value.category;
    for (int32_t i = 0; i < block.childCount; ++i) {
        const Node* child = block.children[i];
        if (child == nullptr) continue;
        if (child->type == PARAM_INFO_CATEGORY) {
            writeCategoryTree(out, child);
        } else {
            writeParameter(out, child, category);
        }
    }
}

void ParameterInfoBuilderXML::writeParameter(XmlText& out, const Node* node, const Node* parent) {
    if (node->published == 0 || node->parameterName == nullptr) return;
    if (parent->name != nullptr && std::strcmp(parent->name, kHiddenCategory) == 0) return;
    const FormWriter writeForm = formOf(node->type);
    if (writeForm == nullptr) return;
    writeForm(out, *node, Escaped{node->parameterName}, enumEntries);
    addFeature(parent->name, node->parameterName);
    write(out, "\n\r");
}

void ParameterInfoBuilderXML::addFeature(const char* categoryName, const char* parameterName) {
    reducedName.clear();
    put(reducedName, Reduced{categoryName});
    size_t category = 0;  // "Root"
    if (!reducedName.empty()) {
        const auto found = std::find_if(categories.begin(), categories.end(),
                                        [&](const XmlCategory& child) { return child.name == reducedName; });
        category = static_cast<size_t>(found - categories.begin()) + 1;
        if (found == categories.end()) categories.push_back(XmlCategory{reducedName});
    }
    features.push_back(XmlFeature{category, parameterName});
}

void ParameterInfoBuilderXML::writeCategory(XmlText& out, size_t category) const {
    const bool isRoot = category == 0;
    write(out, "<Category Name='", isRoot ? kRootName : categories[category - 1].name.c_str(), "' ",
          isRoot ? "NameSpace='Standard'" : "", " >\n");
    if (isRoot) {
        for (const XmlCategory& child : categories) write(out, "<pFeature>", child.name, "</pFeature>\n");
    }
    for (const XmlFeature& feature : features) {
        if (feature.category == category) write(out, "<pFeature>", Reduced{feature.parameterName}, "</pFeature>\n");
    }
    write(out, "</Category>\n");
}

}  // namespace vexo::describe
