// The inspect settings: text pairs from the optional inspect.conf beside the library, keyed by
// "<section>::<key>". They name the NX parameters offered by direct NX access, under the
// section that carries the library's base name.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/locks.h"

namespace vexo::applet {

class InspectSettings {
public:
    // Adds the file's entries to the current content; a later line with the same key replaces
    // the earlier value. False when the file cannot be opened (the content is then unchanged).
    //  - from the first '#' to the end of a line is a comment; lines are trimmed, empty skipped;
    //  - "[name]" (3 characters or more) starts section "name" (trimmed);
    //  - "key = value" splits at the first '='; key and value are trimmed, case is kept;
    //  - key lines before the first section, and lines of neither form, are ignored.
    bool load(const std::string& path);

    void set(const std::string& key, const std::string& value);
    // False when the key is not there.
    bool get(const std::string& key, std::string& value) const;
    // The keys of one section without the "<section>::" prefix, in the store's (sorted) order.
    std::vector<std::string> keysOfSection(const std::string& section) const;
    size_t size() const;

private:
    void parseLine(std::string line, std::string& section, bool& inSection);

    mutable templates::platform::RecursiveMutex mutex;
    std::map<std::string, std::string> entries;
};

}  // namespace vexo::applet
