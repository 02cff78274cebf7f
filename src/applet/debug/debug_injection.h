// The debug injection: the entries the design announces (read once at start-up), the access to
// the selected entry's NX parameters by a name formed at each access, and the read answers of
// the debug parameters that address that entry.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "applet/core/value_store.h"

namespace vexo::applet {

class Board;

enum class DebugEntryValue : uint8_t {
#define DEBUG_ENTRY_VALUE(ident, suffix, typeCode) ident,
#include "applet/debug/debug_entry_values.def"
#undef DEBUG_ENTRY_VALUE
};

// Entry kinds as the design's type texts give them: "Inject" feeds images in, "InjectMonitor"
// also reports one monitored pixel.
inline constexpr uint32_t kInjectEntry = 0;
inline constexpr uint32_t kInjectMonitorEntry = 1;
// A slot start-up did not fill; selecting it is refused.
inline constexpr uint32_t kNoEntry = 0xFFFFFFFFu;

// Every failed entry read or write, whatever the runtime answered.
inline constexpr int32_t kDebugEntryAccessFailed = -2031;

struct DebugEntry {
    static constexpr size_t kTextSize = 128;  // 127 characters and the terminator
    uint32_t kind = kNoEntry;
    std::array<char, kTextSize> name{};
    std::array<char, kTextSize> path{};
};

struct DebugEntries {
    static constexpr int32_t kSlotCount = 16;
    std::array<DebugEntry, kSlotCount> slots{};
    int32_t count = 0;  // as announced, at most kSlotCount; below 1 without entries
};

// The count the design announces now: its count text's first character as a digit, at most
// kSlotCount (possibly negative for a text that does not start with a digit).
int32_t readDebugEntryCount(Board& w);

// Fills the slots from the design's texts in order; the first failure (a failed read, or a type
// that is neither "Inject" nor "InjectMonitor") ends the reading with the entries read so far.
void readDebugEntries(Board& w);

// The entry FG_DEBUGSOURCE selects.
const DebugEntry& selectedDebugEntry(const Board& w);

// One value of the selected entry through the runtime, in the value's own type code; any
// runtime answer but 0 throws kDebugEntryAccessFailed. Texts are written from a zero-terminated
// text and read into a buffer the runtime fills.
void readDebugEntryValue(Board& w, DebugEntryValue v, void* value);
void writeDebugEntryValue(Board& w, DebugEntryValue v, const void* value);
uint32_t readDebugEntryU32(Board& w, DebugEntryValue v);

// The maximum the runtime's own description gives the selected entry's value v (found by its
// NX name), or 0 where it describes no such value.
uint32_t describedDebugEntryMaximum(Board& w, DebugEntryValue v);

// Bits of the selected entry's operation mode; an entry without monitor has no output bit.
uint32_t debugInputBit(Board& w);
uint32_t debugOutputBit(Board& w);

// Read answers of the debug parameters that address the selected entry, in the form of the
// read table's composite rules. Without monitor the position and pixel read 0.
std::optional<StoredValue> debugInputEnabled(Board& w);
std::optional<StoredValue> debugOutputEnabled(Board& w);
std::optional<StoredValue> debugOutputXPosition(Board& w);
std::optional<StoredValue> debugOutputYPosition(Board& w);
std::optional<StoredValue> debugOutputPixel(Board& w);
std::optional<StoredValue> debugReadyForInjection(Board& w);

// Text answers, written at `text`, which holds `capacity` characters before its terminator.
void debugSourceNameText(Board& w, char* text, size_t capacity);
void debugFileText(Board& w, char* text, size_t capacity);

}  // namespace vexo::applet
