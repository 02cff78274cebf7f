// The applet's reading of configuration files, step for step: its line buffer, its two searches
// and its cutting of values.
#include "config_reading.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace orvanta_tool {

namespace {

constexpr size_t kLineBuffer = 256;
constexpr const char* kHeaderSection = "[Kamerasektion]\n";
constexpr const char* kPortSection = "[Port A]";

// One read of the applet's line buffer: at most 255 characters, ending at a line feed.
struct Chunk {
    int line;
    std::string text;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The chunks of a file as the applet's reads give them, CRLF as a line feed.
std::optional<std::vector<Chunk>> chunksOf(const std::string& path) {
    if (path.find(".mcf") == std::string::npos) return std::nullopt;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::nullopt;
    std::vector<Chunk> chunks;
    std::string text;
    int line = 1;
    for (int c = std::getc(file.get());; c = std::getc(file.get())) {
        if (c == '\r') {
            const int next = std::getc(file.get());
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, file.get());
            }
        }
        if (c != EOF) text += static_cast<char>(c);
        if (c == EOF || c == '\n' || text.size() == kLineBuffer - 1) {
            if (!text.empty()) chunks.push_back({line, text});
            if (c == EOF) break;
            if (text.back() == '\n') ++line;
            text.clear();
        }
    }
    return chunks;
}

// The pieces of a text as strtok cuts it at any of `delimiters`.
std::vector<std::string> pieces(const std::string& text, const char* delimiters) {
    std::vector<std::string> result;
    size_t at = text.find_first_not_of(delimiters);
    while (at != std::string::npos) {
        const size_t end = text.find_first_of(delimiters, at);
        result.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? end : text.find_first_not_of(delimiters, end);
    }
    return result;
}

// A header key: the first chunk holding `search` anywhere; its second piece between '=' and
// apostrophes.
std::optional<Found> fromLine(const std::vector<Chunk>& chunks, const char* search) {
    for (const Chunk& chunk : chunks) {
        if (chunk.text.find(search) == std::string::npos) continue;
        const std::vector<std::string> cut = pieces(chunk.text, "='");
        return Found{chunk.line, cut.size() > 1 ? cut[1] : std::string()};
    }
    return std::nullopt;
}

// A key of a section: after the first chunk holding `section`, the first chunk that begins with
// the key and '=', to the end of the file; the first piece after the key, empty when it begins
// with the line end.
std::optional<Found> fromSection(const std::vector<Chunk>& chunks, const char* section, const std::string& key) {
    size_t i = 0;
    while (i < chunks.size() && chunks[i].text.find(section) == std::string::npos) ++i;
    for (++i; i < chunks.size(); ++i) {
        const std::string& text = chunks[i].text;
        if (text.compare(0, key.size(), key) != 0 || text.size() <= key.size() || text[key.size()] != '=') continue;
        const std::vector<std::string> cut = pieces(text.substr(key.size()), "=;'");
        const bool value = !cut.empty() && cut[0][0] != '\r' && cut[0][0] != '\n';
        return Found{chunks[i].line, value ? cut[0] : std::string()};
    }
    return std::nullopt;
}

bool isKnownKey(const std::string& key) {
    for (const ConfigKey& row : kConfigKeys) {
        if (key == row.name) return true;
    }
    return false;
}

// What the applet passes over without a word: keys it does not know, lines of no key, repeats.
void noteOddities(const std::vector<Chunk>& chunks, AppletReading& reading) {
    std::vector<std::string> seen;
    bool inPort = false;
    for (const Chunk& chunk : chunks) {
        std::string text = chunk.text;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        if (text.empty()) continue;
        if (text[0] == '[') {
            inPort = text.find(kPortSection) != std::string::npos;
            continue;
        }
        if (!inPort) continue;
        const size_t equals = text.find('=');
        if (equals == std::string::npos || equals == 0) {
            reading.oddLines.push_back({chunk.line, text});
            continue;
        }
        const std::string key = text.substr(0, equals);
        if (!isKnownKey(key)) {
            reading.unknownKeys.push_back({chunk.line, key});
        } else if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            reading.repeatedKeys.push_back({chunk.line, key});
        } else {
            seen.push_back(key);
        }
    }
}

std::string trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

AppletReading readAsTheApplet(const std::string& path) {
    AppletReading reading;
    const std::optional<std::vector<Chunk>> chunks = chunksOf(path);
    reading.keys.resize(kConfigKeyCount);
    if (!chunks) return reading;
    reading.readable = true;
    reading.manufacturer = fromLine(*chunks, "Hersteller");
    reading.type = fromLine(*chunks, "Typ");
    reading.activePort = fromSection(*chunks, kHeaderSection, "AktivePort");
    // The typed readers fail on a text holding "Error", the parser's word for "not found".
    if (reading.activePort && reading.activePort->text.find("Error") != std::string::npos) reading.activePort.reset();
    for (const Chunk& chunk : *chunks) {
        if (chunk.text.find(kPortSection) != std::string::npos) {
            reading.portSectionLine = chunk.line;
            break;
        }
    }
    for (size_t i = 0; i < kConfigKeyCount; ++i) {
        reading.keys[i] = fromSection(*chunks, kPortSection, kConfigKeys[i].name);
        if (kConfigKeys[i].kind != KeyKind::Text && reading.keys[i] &&
            reading.keys[i]->text.find("Error") != std::string::npos) {
            reading.keys[i].reset();
        }
    }
    noteOddities(*chunks, reading);
    return reading;
}

std::optional<int32_t> integerValue(const std::string& text) {
    const std::string number = trimmed(text);
    size_t digits = number.size() > 0 && (number[0] == '-' || number[0] == '+') ? 1 : 0;
    if (digits == number.size() || number.find_first_not_of("0123456789", digits) != std::string::npos) {
        return std::nullopt;
    }
    errno = 0;
    const long long value = std::strtoll(number.c_str(), nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<int32_t>(value);
}

std::optional<double> doubleValue(const std::string& text) {
    const std::string number = trimmed(text);
    if (number.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace orvanta_tool
