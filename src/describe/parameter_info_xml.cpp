// Writes the description tree of one port as GenApi XML: the register description's opening tag,
// one register and one feature per described parameter, the flat category tree, the port.
#include "describe/parameter_info_xml.h"

#include <algorithm>
#include <cstring>
#include <locale>
#include <map>
#include <sstream>

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

bool isAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

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

void writeRegisterLines(std::ostream& out, const Node& node, int32_t length) {
    if (node.id != 0) out << "<Address>" << node.id << "</Address>\n";
    out << "<Length>" << length << "</Length>\n";
    out << "<AccessMode>" << accessMode(node.access) << "</AccessMode>\n";
    out << "<pPort>" << kPortName << "</pPort>\n";
}

void writeDescription(std::ostream& out, const Node& node) {
    if (node.name != nullptr && node.name[0] != '\0') {
        out << "<Description>" << escapeXml(node.name) << "</Description>\n";
    }
}

// `limits` is the u32 or i32 view of the value block: the field's own signedness decides how
// the numbers read, so a signed parameter's -5 is written as -5 and fits the register's Sign.
template <typename Limits>
void writeIntegerForm(std::ostream& out, const Node& node, const std::string& name, const Limits& limits) {
    out << "<IntReg Name=\"" << name << "_Reg\">\n";
    writeRegisterLines(out, node, integerLength(node));
    out << "<Sign>Signed</Sign>\n<Endianess>LittleEndian</Endianess>\n</IntReg>\n";
    out << "<Integer Name='" << name << "'>\n";
    writeDescription(out, node);
    out << "<pValue>" << name << "_Reg</pValue>\n";
    out << "<Min>" << limits.min << "</Min>\n<Max>" << limits.max << "</Max>\n";
    if (limits.inc != 0) out << "<Inc>" << limits.inc << "</Inc>\n";
    out << "</Integer>";
}

void writeUnsignedInteger(std::ostream& out, const Node& node, const std::string& name) {
    writeIntegerForm(out, node, name, node.value.u32);
}

void writeSignedInteger(std::ostream& out, const Node& node, const std::string& name) {
    writeIntegerForm(out, node, name, node.value.i32);
}

// One symbol per value, ascending; of entries sharing a value the later one is kept.
std::map<int32_t, const char*> entriesByValue(const Node& node) {
    std::map<int32_t, const char*> entries;
    const auto& enumeration = node.value.enumeration;
    if (enumeration.entrySymbols == nullptr || enumeration.entryValues == nullptr) return entries;
    for (int32_t i = 0; i < enumeration.entryCount; ++i) {
        if (enumeration.entrySymbols[i] != nullptr) entries[enumeration.entryValues[i]] = enumeration.entrySymbols[i];
    }
    return entries;
}

void writeEnumeration(std::ostream& out, const Node& node, const std::string& name) {
    out << "<Enumeration Name='" << name << "'>\n";
    writeDescription(out, node);
    for (const auto& [value, symbol] : entriesByValue(node)) {
        out << "<EnumEntry Name=\"" << escapeXml(symbol) << "\">\n<Value>" << value << "</Value>\n</EnumEntry>\n";
    }
    out << "<pValue>" << name << "_Reg</pValue>\n</Enumeration>\n\n";
    out << "<IntReg Name=\"" << name << "_Reg\">\n";
    writeRegisterLines(out, node, integerLength(node));
    out << "<Sign>Unsigned</Sign>\n<Endianess>LittleEndian</Endianess>\n</IntReg>";
}

void writeFloat(std::ostream& out, const Node& node, const std::string& name) {
    out << "<FloatReg Name=\"" << name << "_Reg\">\n";
    writeRegisterLines(out, node, 8);
    out << "<Endianess>LittleEndian</Endianess>\n</FloatReg>\n";
    out << "<Float Name=\"" << name << "\">\n";
    writeDescription(out, node);
    out << "<pValue>" << name << "_Reg</pValue>\n";
    out << "<Min>" << node.value.dbl.min << "</Min>\n<Max>" << node.value.dbl.max << "</Max>\n</Float>";
}

// The string register is the feature itself: a client reads the text straight from it.
void writeString(std::ostream& out, const Node& node, const std::string& name) {
    out << "<StringReg Name=\"" << name << "\">\n";
    writeDescription(out, node);
    writeRegisterLines(out, node, 4096);
    out << "</StringReg>";
}

using FormWriter = void (*)(std::ostream&, const Node&, const std::string&);

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
    if (text == nullptr) return escaped;
    for (const char* c = text; *c != '\0'; ++c) {
        switch (*c) {
        case '"': escaped += "&quot;"; break;
        case '&': escaped += "&amp;"; break;
        case '\'': escaped += "&apos;"; break;
        case '<': escaped += "&lt;"; break;
        case '>': escaped += "&gt;"; break;
        default: escaped += *c; break;
        }
    }
    return escaped;
}

std::string reduceName(const char* text) {
    std::string reduced;
    if (text == nullptr) return reduced;
    // A name that starts with a digit or '_' after the dropped characters is no valid node name
    // either, so the first character is the first one kept, not the first one read.
    for (const char* c = text; *c != '\0'; ++c) {
        if (isAsciiLetter(*c) || (!reduced.empty() && (isAsciiDigit(*c) || *c == '_'))) reduced += *c;
    }
    return reduced;
}

ParameterInfoBuilderXML::ParameterInfoBuilderXML(const ParameterInfoTable& table, const char* modelName,
                                                 int32_t port)
    : table(table), modelName(modelName != nullptr ? modelName : ""), port(port) {}

ParameterInfoBuilderXML::~ParameterInfoBuilderXML() = default;

std::string ParameterInfoBuilderXML::build() {
    root = XmlCategory{kRootName, {}, {}};
    std::ostringstream out;
    // The text is read by machines: no grouping or decimal comma of whatever locale is in force.
    out.imbue(std::locale::classic());
    out.precision(kDoublePrecision);
    writeHeader(out);
    for (const Node* top = table.getTree(port); top != nullptr; top = top->older) {
        if (top->type == PARAM_INFO_CATEGORY) writeCategoryTree(out, top);
    }
    writeCategory(out, root);
    out << "<Port Name=\"" << kPortName << "\"></Port>\n</RegisterDescription>\n";
    return out.str();
}

void ParameterInfoBuilderXML::writeHeader(std::ostream& out) const {
    out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n\n<RegisterDescription\n";
    out << "ModelName=\"" << escapeXml(modelName.c_str()) << "\"\n";
    for (const char* attribute : kFixedAttributes) out << attribute << '\n';
    out << "xmlns=\"" << kGenApiNamespace << "\"\n";
    out << "xmlns:xsi=\"" << kSchemaInstanceNamespace << "\"\n";
    out << "xsi:schemaLocation=\"" << kGenApiNamespace << ' ' << kSchemaFile << "\">\n";
}

// Depth first, children in index order: a parameter's category is always its direct parent.
void ParameterInfoBuilderXML::writeCategoryTree(std::ostream& out, const Node* category) {
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

void ParameterInfoBuilderXML::writeParameter(std::ostream& out, const Node* node, const Node* parent) {
    if (node->published == 0 || node->parameterName == nullptr) return;
    if (parent->name != nullptr && std::strcmp(parent->name, kHiddenCategory) == 0) return;
    const FormWriter write = formOf(node->type);
    if (write == nullptr) return;
    write(out, *node, escapeXml(node->parameterName));
    addFeature(parent->name, node->parameterName);
    out << "\n\r";
}

void ParameterInfoBuilderXML::addFeature(const char* categoryName, const char* parameterName) {
    const std::string name = reduceName(categoryName);
    XmlCategory* category = &root;
    if (!name.empty()) {
        const auto found = std::find_if(root.children.begin(), root.children.end(),
                                        [&](const std::unique_ptr<XmlCategory>& child) { return child->name == name; });
        if (found != root.children.end()) {
            category = found->get();
        } else {
            root.children.push_back(std::make_unique<XmlCategory>(XmlCategory{name, {}, {}}));
            category = root.children.back().get();
        }
    }
    category->features.push_back(reduceName(parameterName));
}

void ParameterInfoBuilderXML::writeCategory(std::ostream& out, const XmlCategory& category) const {
    const bool isRoot = &category == &root;
    out << "<Category Name='" << category.name << "' " << (isRoot ? "NameSpace='Standard'" : "") << " >\n";
    for (const auto& child : category.children) out << "<pFeature>" << child->name << "</pFeature>\n";
    for (const std::string& feature : category.features) out << "<pFeature>" << feature << "</pFeature>\n";
    out << "</Category>\n";
    for (const auto& child : category.children) writeCategory(out, *child);
}

}  // namespace vexo::describe
