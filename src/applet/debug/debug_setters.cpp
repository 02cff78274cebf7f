// The setters of the debug injection. Each checks its value, stores it and writes the selected
// entry's NX parameter; a failed entry access answers -2031 and puts the old value back.
#include "applet/core/setters.h"

#include <cstdint>

#include "applet/debug/debug_injection.h"
#include "applet/description/published_limits.h"
#include "orvanta/parameter_info_node.h"

namespace vexo::applet {

namespace {

using P = SdkParameter;

ParameterInfoNode* recordOf(Board& w, P p) { return w.descriptionRecord(p); }

// The monitor switch is writable only where the entry has a monitor, and the monitored pixel
// ranges as the runtime describes that entry's pixel.
void describeSelectedEntry(Board& w) {
    const uint32_t kind = selectedDebugEntry(w).kind;
    if (kind != kInjectEntry && kind != kInjectMonitorEntry) throw kDebugEntryAccessFailed;
    const bool monitor = kind == kInjectMonitorEntry;
    if (ParameterInfoNode* record = recordOf(w, P::FG_DEBUGOUTENABLE)) {
        record->access = monitor ? PARAM_ACCESS_READ_WRITE_CHANGE : PARAM_ACCESS_READ;
    }
    ParameterInfoNode* record = recordOf(w, P::FG_DEBUGOUTPIXEL);
    if (record != nullptr && record->type == PARAM_INFO_UINT32) {
        record->value.u32.max = monitor ? describedDebugEntryMaximum(w, DebugEntryValue::PixelValue) : 0;
    }
}

void writeU32(Board& w, DebugEntryValue v, uint32_t value) { writeDebugEntryValue(w, v, &value); }

}  // namespace

// The count is asked from the design again, so that a selection always names an entry it
// announces now.
void setDebugSource(Board& w, uint32_t value, bool throwOnError) {
    int32_t count = 0;
    try {
        count = readDebugEntryCount(w);
    } catch (int32_t code) {
        failSetter(code, throwOnError);
        return;
    }
    runSetter(w, P::FG_DEBUGSOURCE, value, static_cast<int64_t>(value) < count, throwOnError,
              [&] { describeSelectedEntry(w); });
}

void setDebugInEnable(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, P::FG_DEBUGINENABLE, value, isPublishedEntry(P::FG_DEBUGINENABLE, value), throwOnError,
              [&] { writeU32(w, DebugEntryValue::OperationMode, debugOutputBit(w) << 1 | value); });
}

// An entry without monitor has no output bit to set; the value is kept all the same.
void setDebugOutEnable(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, P::FG_DEBUGOUTENABLE, value, isPublishedEntry(P::FG_DEBUGOUTENABLE, value), throwOnError, [&] {
        if (selectedDebugEntry(w).kind != kInjectMonitorEntry) return;
        writeU32(w, DebugEntryValue::OperationMode, value << 1 | debugInputBit(w));
    });
}

// The entry has to answer before it is asked to insert: an entry the design lacks fails here
// without a write.
void setDebugInsert(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, P::FG_DEBUGINSERT, value, isPublishedEntry(P::FG_DEBUGINSERT, value), throwOnError, [&] {
        debugInputBit(w);
        writeU32(w, DebugEntryValue::Insert, 1);
    });
}

void setDebugWritePixel(Board& w, uint64_t value, bool throwOnError) {
    runSetter(w, P::FG_DEBUGWRITEPIXEL, value, inPublishedRange(P::FG_DEBUGWRITEPIXEL, value), throwOnError,
              [&] { writeDebugEntryValue(w, DebugEntryValue::WritePixel, &value); });
}

void setDebugWriteFlag(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, P::FG_DEBUGWRITEFLAG, value, isPublishedEntry(P::FG_DEBUGWRITEFLAG, value), throwOnError,
              [&] { writeU32(w, DebugEntryValue::WriteFlag, value); });
}

// Texts go to the runtime as the text pointer itself.
void setDebugFile(Board& w, const char* value, bool throwOnError) {
    runSetter(w, P::FG_DEBUGFILE, value, value != nullptr, throwOnError,
              [&] { writeDebugEntryValue(w, DebugEntryValue::DebugFile, value); });
}

// The runtime saves its own view of the design; whether it managed to is not the setter's
// concern.
void setDebugSaveConfig(Board& w, const void* value, bool throwOnError) {
    const char* fileName = static_cast<const char*>(value);
    runSetter(w, P::FG_DEBUGSAVECONFIG, fileName, fileName != nullptr, throwOnError, [&] {
        w.callRuntime<nx::RuntimeSlot::Fg_saveConfig>(fileName);
    });
}

}  // namespace vexo::applet
