// Loading and querying the inspect settings.
#include "applet/core/inspect_settings.h"

#include <fstream>

namespace vexo::applet {

namespace {

using templates::platform::RecursiveMutexGuard;

const char* const kWhiteSpace = " \t\r\n\v\f";
const char* const kKeySeparator = "::";

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(kWhiteSpace);
    return text.substr(first, last - first + 1);
}

}  // namespace

bool InspectSettings::load(const std::string& path) {
    RecursiveMutexGuard guard(mutex);
    std::ifstream file(path);
    if (!file.is_open()) return false;
    std::string line;
    std::string section;
    bool inSection = false;
    while (std::getline(file, line)) {
        parseLine(line, section, inSection);
    }
    return true;
}

void InspectSettings::parseLine(std::string line, std::string& section, bool& inSection) {
    const size_t comment = line.find('#');
    if (comment != std::string::npos) line.erase(comment);
    line = trimmed(line);
    if (line.empty()) return;
    if (line.size() >= 3 && line.front() == '[' && line.back() == ']') {
        section = trimmed(line.substr(1, line.size() - 2));
        inSection = true;
        return;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || !inSection) return;
    entries[section + kKeySeparator + trimmed(line.substr(0, equals))] = trimmed(line.substr(equals + 1));
}

void InspectSettings::set(const std::string& key, const std::string& value) {
    RecursiveMutexGuard guard(mutex);
    entries[key] = value;
}

bool InspectSettings::get(const std::string& key, std::string& value) const {
    RecursiveMutexGuard guard(mutex);
    const auto found = entries.find(key);
    if (found == entries.end()) return false;
    value = found->second;
    return true;
}

std::vector<std::string> InspectSettings::keysOfSection(const std::string& section) const {
    RecursiveMutexGuard guard(mutex);
    const std::string prefix = section + kKeySeparator;
    std::vector<std::string> keys;
    for (auto entry = entries.lower_bound(prefix); entry != entries.end(); ++entry) {
        if (entry->first.compare(0, prefix.size(), prefix) != 0) break;
        keys.push_back(entry->first.substr(prefix.size()));
    }
    return keys;
}

size_t InspectSettings::size() const {
    RecursiveMutexGuard guard(mutex);
    return entries.size();
}

}  // namespace vexo::applet
