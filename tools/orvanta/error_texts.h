// What the applet's and the runtime's error codes mean, in the words a user of the tool needs.
// Several codes mean different things depending on the call that answered them.
#pragma once

#include <cstdint>
#include <string>

namespace orvanta_tool {

enum class Call { Open, Read, Write, Configuration, Description, Acquisition };

std::string meaningOf(int32_t code, Call call);

}  // namespace orvanta_tool
