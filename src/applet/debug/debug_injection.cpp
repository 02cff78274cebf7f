// The debug entries: reading the design's announcement of them, forming an entry's NX names and
// reaching them through the runtime by name, and the read answers that address the selected
// entry. Entry accesses allocate nothing: names are put together in a fixed buffer.
#include "applet/debug/debug_injection.h"

#include <algorithm>
#include <cstring>
#include <set>

#include "applet/board.h"
#include "applet/core/read_rules.h"
#include "applet/core/setter_framework.h"
#include "logging/log_record.h"
#include "orvanta/parameter_info_node.h"
#include "orvanta/type_codes.h"

namespace vexo::applet {

namespace {

using tools::logging::kLevelFailedAccess;
using tools::logging::logRecord;
using nx::RuntimeSlot;

struct EntryValueRow {
    const char* suffix;
    int32_t typeCode;
};

constexpr EntryValueRow kEntryValues[] = {
#define DEBUG_ENTRY_VALUE(ident, suffix, typeCode) {suffix, typeCode},
#include "applet/debug/debug_entry_values.def"
#undef DEBUG_ENTRY_VALUE
};

constexpr const EntryValueRow& rowOf(DebugEntryValue v) { return kEntryValues[static_cast<size_t>(v)]; }

constexpr char kEntryPrefix[] = "Device1_Process0_";
constexpr char kAnnouncementPrefix[] = "Device1_Process0_Debug_";
// The design's texts are at most 255 characters; its announcements and debug file names fit.
constexpr size_t kDesignTextSize = 256;

constexpr size_t longestSuffix() {
    size_t longest = 0;
    for (const EntryValueRow& row : kEntryValues) {
        size_t length = 0;
        while (row.suffix[length] != '\0') ++length;
        longest = std::max(longest, length);
    }
    return longest;
}

// Room for the longest entry NX name; shorter announcement names ("..._Debug_Type" + digit) too.
using NxName = std::array<char, sizeof kEntryPrefix + DebugEntry::kTextSize + longestSuffix()>;

// Joins zero-terminated pieces into `name`, cut at its end.
void append(NxName& name, size_t& length, const char* piece) {
    while (*piece != '\0' && length + 1 < name.size()) name[length++] = *piece++;
    name[length] = '\0';
}

// One runtime call by NX name: the id is asked anew each time, since entries lie outside the
// NX id table resolved at start-up.
void accessByName(Board& w, const char* name, void* value, int32_t typeCode, bool write) {
    const int32_t id = w.nxParameterIdByName(name);
    const int32_t result = write ? w.callRuntime<RuntimeSlot::Fg_setParameterWithType>(id, value, 0, typeCode)
                                 : w.callRuntime<RuntimeSlot::Fg_getParameterWithType>(id, value, 0, typeCode);
    if (result == errors::kSuccess) return;
    logRecord(w.getLogger(), kLevelFailedAccess, write ? "Setting" : "Getting", " NX parameter '", name,
              "' (ID: ", id, ") failed: result = ", result);
    throw kDebugEntryAccessFailed;
}

NxName selectedEntryNxName(const Board& w, DebugEntryValue v) {
    NxName name;
    size_t length = 0;
    append(name, length, kEntryPrefix);
    append(name, length, selectedDebugEntry(w).path.data());
    append(name, length, rowOf(v).suffix);
    return name;
}

void accessEntry(Board& w, DebugEntryValue v, void* value, bool write) {
    accessByName(w, selectedEntryNxName(w, v).data(), value, rowOf(v).typeCode, write);
}

// The runtime's description nests its categories a few levels deep; the bound keeps a
// malformed tree from running away with the stack.
constexpr int32_t kDeepestCategory = 16;

// The runtime's records are not ours to trust: a category already searched (one listing its own
// ancestor, or a chain of top-level categories that comes round again) is not searched twice.
using SearchedCategories = std::set<const ParameterInfoNode*>;

const ParameterInfoNode* findDescribed(const ParameterInfoNode* node, const char* name, int32_t depth,
                                       SearchedCategories& searched) {
    if (node == nullptr || depth > kDeepestCategory) return nullptr;
    if (node->type != PARAM_INFO_CATEGORY) {
        return node->name != nullptr && std::strcmp(node->name, name) == 0 ? node : nullptr;
    }
    if (!searched.insert(node).second) return nullptr;
    for (int32_t i = 0; i < node->value.category.childCount; ++i) {
        const ParameterInfoNode* child = node->value.category.children[i];
        if (const ParameterInfoNode* found = findDescribed(child, name, depth + 1, searched)) return found;
    }
    return nullptr;
}

uint32_t maximumOf(const ParameterInfoNode& node) {
    switch (node.type) {
    case PARAM_INFO_UINT32: return node.value.u32.max;
    case PARAM_INFO_INT32: return static_cast<uint32_t>(std::max(node.value.i32.max, 0));
    case PARAM_INFO_UINT64: return static_cast<uint32_t>(std::min<uint64_t>(node.value.u64.max, UINT32_MAX));
    default: return 0;
    }
}

// "Device1_Process0_Debug_" + what + the entry's digit, read as text.
void readAnnouncement(Board& w, const char* what, int32_t entry, std::array<char, kDesignTextSize>& text) {
    NxName name;
    size_t length = 0;
    const char digit[] = {static_cast<char>('0' + entry), '\0'};
    append(name, length, kAnnouncementPrefix);
    append(name, length, what);
    if (entry >= 0) append(name, length, digit);
    text[0] = '\0';
    accessByName(w, name.data(), text.data(), kTypeText, false);
    text.back() = '\0';
}

void keepText(std::array<char, DebugEntry::kTextSize>& slot, const std::array<char, kDesignTextSize>& text) {
    copyReadText(text.data(), slot.data(), slot.size() - 1);
    slot.back() = '\0';
}

uint32_t kindOfType(const char* type) {
    if (std::strcmp(type, "Inject") == 0) return kInjectEntry;
    if (std::strcmp(type, "InjectMonitor") == 0) return kInjectMonitorEntry;
    return kNoEntry;
}

bool selectedIsMonitor(const Board& w) { return selectedDebugEntry(w).kind == kInjectMonitorEntry; }

StoredValue u32Value(uint32_t number) {
    StoredValue value;
    value.u64 = 0;
    value.u32 = number;
    return value;
}

template <DebugEntryValue V>
std::optional<StoredValue> monitored(Board& w) {
    return u32Value(selectedIsMonitor(w) ? readDebugEntryU32(w, V) : 0);
}

}  // namespace

uint32_t describedDebugEntryMaximum(Board& w, DebugEntryValue v) {
    const auto describe = w.runtimeFunctions().get<RuntimeSlot::Fg_getParameterInfo>();
    if (describe == nullptr) return 0;
    const NxName name = selectedEntryNxName(w, v);
    SearchedCategories searched;
    std::set<const ParameterInfoNode*> chained;
    // Top-level categories are chained from the newest, not children of a common root; a chain
    // that comes round again ends where it started repeating.
    for (const ParameterInfoNode* top = describe(w.innerHandle(), 0); top != nullptr && chained.insert(top).second;
         top = top->older) {
        if (const ParameterInfoNode* found = findDescribed(top, name.data(), 0, searched)) return maximumOf(*found);
    }
    return 0;
}

int32_t readDebugEntryCount(Board& w) {
    std::array<char, kDesignTextSize> text;
    readAnnouncement(w, "Entries", -1, text);
    return std::min<int32_t>(text[0] - '0', DebugEntries::kSlotCount);
}

void readDebugEntries(Board& w) {
    DebugEntries& entries = w.debugEntries();
    entries.count = readDebugEntryCount(w);
    std::array<char, kDesignTextSize> text;
    for (int32_t e = 0; e < entries.count; ++e) {
        DebugEntry& slot = entries.slots[static_cast<size_t>(e)];
        readAnnouncement(w, "Name", e, text);
        keepText(slot.name, text);
        readAnnouncement(w, "Type", e, text);
        const uint32_t kind = kindOfType(text.data());
        if (kind == kNoEntry) throw kDebugEntryAccessFailed;
        readAnnouncement(w, "Path", e, text);
        keepText(slot.path, text);
        // Only a complete entry can be selected.
        slot.kind = kind;
    }
}

const DebugEntry& selectedDebugEntry(const Board& w) {
    static const DebugEntry kNone{};
    const uint32_t selected = stored<uint32_t>(w, SdkParameter::FG_DEBUGSOURCE);
    const DebugEntries& entries = w.debugEntries();
    return selected < static_cast<uint32_t>(DebugEntries::kSlotCount) ? entries.slots[selected] : kNone;
}

void readDebugEntryValue(Board& w, DebugEntryValue v, void* value) { accessEntry(w, v, value, false); }

void writeDebugEntryValue(Board& w, DebugEntryValue v, const void* value) {
    // The runtime takes the value pointer as const; only its prototype says otherwise.
    accessEntry(w, v, const_cast<void*>(value), true);
}

uint32_t readDebugEntryU32(Board& w, DebugEntryValue v) {
    uint32_t value = 0;
    readDebugEntryValue(w, v, &value);
    return value;
}

uint32_t debugInputBit(Board& w) { return readDebugEntryU32(w, DebugEntryValue::OperationMode) & 1u; }

uint32_t debugOutputBit(Board& w) {
    if (!selectedIsMonitor(w)) return 0;
    return (readDebugEntryU32(w, DebugEntryValue::OperationMode) >> 1) & 1u;
}

std::optional<StoredValue> debugInputEnabled(Board& w) { return u32Value(debugInputBit(w)); }
std::optional<StoredValue> debugOutputEnabled(Board& w) { return u32Value(debugOutputBit(w)); }
std::optional<StoredValue> debugOutputXPosition(Board& w) { return monitored<DebugEntryValue::XPosition>(w); }
std::optional<StoredValue> debugOutputYPosition(Board& w) { return monitored<DebugEntryValue::YPosition>(w); }
std::optional<StoredValue> debugOutputPixel(Board& w) { return monitored<DebugEntryValue::PixelValue>(w); }

std::optional<StoredValue> debugReadyForInjection(Board& w) {
    return u32Value(readDebugEntryU32(w, DebugEntryValue::ReadyForInjection));
}

void debugSourceNameText(Board& w, char* text, size_t capacity) {
    copyReadText(selectedDebugEntry(w).name.data(), text, capacity);
}

void debugFileText(Board& w, char* text, size_t capacity) {
    std::array<char, kDesignTextSize> file;
    file[0] = '\0';
    readDebugEntryValue(w, DebugEntryValue::DebugFile, file.data());
    file.back() = '\0';
    copyReadText(file.data(), text, capacity);
}

}  // namespace vexo::applet
