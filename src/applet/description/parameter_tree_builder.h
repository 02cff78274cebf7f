// The three parts of the applet's description tree: the SDK parameters, the direct register
// access parameters of the HAP's registers and the copies of the runtime's own records of the
// NX parameters offered by direct NX access. Each adds top-level categories to one port.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "describe/parameter_info_table.h"

namespace vexo::applet {

// Every record's published flag: the applet hides none of its parameters from the XML.
inline constexpr uint32_t kPublished = 1;

// The categories and records of the 123 SDK parameters the applet describes itself.
void buildSdkParameterTree(describe::ParameterInfoTable& table, int32_t port);

// "Direct Register Access": one record per register the HAP lists.
void buildDirectRegisterAccess(describe::ParameterInfoTable& table, void* hap, int32_t port);

// "Direct NX Access": for each DNXA name (in name order) a copy of the runtime's record of its
// NX parameter, under copies of the runtime's categories above it. `runtimeHead` is the head
// of the runtime's own description; null leaves the category empty.
void buildDirectNxAccess(describe::ParameterInfoTable& table, const ParameterInfoNode* runtimeHead,
                         const std::map<std::string, int32_t>& dnxaIdByName, int32_t port);

}  // namespace vexo::applet
