// The applet's parameters as a GenApi register description: every described parameter becomes a
// feature backed by a register on one port, addressed by its SDK id, and the categories of the
// description tree become one flat level of categories below "Root".
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "describe/parameter_info_table.h"

namespace vexo::describe {

// Answers of the XML query: a buffer that cannot take the text, and a port without a tree.

// The five characters XML reserves become their entities; everything else is copied.
std::string escapeXml(const char* text);

// Only what a GenApi node name may hold: ASCII letters anywhere, digits and '_' after the first
// character ("Pulse Form Generator 0" becomes "PulseFormGenerator0").
std::string reduceName(const char* text);

// One category of the output: the tree of the XML is flat, so only "Root" has children.
struct XmlCategory {
    std::string name;  // reduced
};

// A feature of the output: the category it is listed in (0 "Root", i the root's child i - 1)
// and the SDK name, reduced when the category is written.
struct XmlFeature {
    size_t category;
    const char* parameterName;
};

class XmlText;

class ParameterInfoBuilderXML {
public:
    // `modelName` is the applet's type name (getTypeName), written as the document's ModelName.
    ParameterInfoBuilderXML(const ParameterInfoTable& table, const char* modelName, int32_t port);
    ParameterInfoBuilderXML(const ParameterInfoBuilderXML&) = delete;
    ParameterInfoBuilderXML& operator=(const ParameterInfoBuilderXML&) = delete;
    virtual ~ParameterInfoBuilderXML();

    // The whole description of the port, built anew on every call.
    std::string build();

private:
    void writeHeader(XmlText& out) const;
    void writeCategoryTree(XmlText& out, const ParameterInfoNode* category);
    void writeParameter(XmlText& out, const ParameterInfoNode* node, const ParameterInfoNode* parent);
    void addFeature(const char* categoryName, const char* parameterName);
    void writeCategory(XmlText& out, size_t category) const;

    const ParameterInfoTable& table;
    std::string modelName;
    int32_t port;
    // The root's children in order of creation, and every feature in order of addition: flat
    // lists, so that building the output allocates little beyond the text.
    std::vector<XmlCategory> categories;
    std::vector<XmlFeature> features;
    std::string reducedName;  // scratch for the category name being looked up
    std::vector<std::pair<int32_t, int32_t>> enumEntries;  // scratch: value and entry index
};

}  // namespace vexo::describe
