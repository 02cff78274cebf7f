// The setters of the delivered image: the region of interest and output format become byte
// positions of the frame buffer's lines, the image selector picks one image of a sequence, and
// the acquisition time-out belongs to the runtime itself.
#include "applet/core/setters.h"

#include <cstddef>

#include "applet/description/description_refresh.h"
#include "applet/description/published_limits.h"
#include "applet/geometry/geometry.h"
#include "nx/nx_access.h"
#include "orvanta/type_codes.h"

namespace vexo::applet {

namespace {

using nx::NxParameter;
using nx::writeNx;
using nx::RuntimeSlot;

// The runtime's own FG_TIMEOUT, set on the inner handle with an unsigned 32-bit value.
constexpr int32_t kRuntimeTimeoutId = 600;

uint32_t storedU32(const Board& w, SdkParameter p) { return stored<uint32_t>(w, p); }

bool fitsBeside(uint32_t value, const Board& w, SdkParameter other) {
    return uint64_t{value} + storedU32(w, other) <= kMaximumExtent;
}

void writeRoiRange(Board& w, const LineLayout& layout) {
    writeNx<NxParameter::Process0_Buffer_0_XROI_ROIRange_from>(w, layout.offsetBytes);
    writeNx<NxParameter::Process0_Buffer_0_XROI_ROIRange_to>(w, layout.offsetBytes + layout.widthBytes - 1);
}

void writeLineLength(Board& w, const LineLayout& layout) {
    writeNx<NxParameter::Process0_Buffer_0_DRAM_A_0_XLength>(w, layout.lineEnd);
}

// The region is cut out of the line by the ROI stage; the line starts at the buffer's first byte.
void writeBufferStart(Board& w) { writeNx<NxParameter::Process0_Buffer_0_DRAM_A_0_XOffset>(w, 0); }

}  // namespace

void setWidth(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted =
        inPublishedRange(SdkParameter::FG_WIDTH, value) && fitsBeside(value, w, SdkParameter::FG_XOFFSET);
    runSetter(w, SdkParameter::FG_WIDTH, value, accepted, throwOnError, [&] {
        const LineLayout layout =
            lineLayout(storedU32(w, SdkParameter::FG_XOFFSET), value, storedU32(w, SdkParameter::FG_FORMAT));
        writeRoiRange(w, layout);
        writeLineLength(w, layout);
        refreshDescription(w, SdkParameter::FG_XOFFSET);
    });
}

void setXOffset(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_XOFFSET, value, fitsBeside(value, w, SdkParameter::FG_WIDTH), throwOnError, [&] {
        const LineLayout layout =
            lineLayout(value, storedU32(w, SdkParameter::FG_WIDTH), storedU32(w, SdkParameter::FG_FORMAT));
        writeLineLength(w, layout);
        writeRoiRange(w, layout);
        writeBufferStart(w);
        refreshDescription(w, SdkParameter::FG_WIDTH);
    });
}

// A format whose pixels do not fit the stored region on whole bytes is refused by the layout,
// and the old format stays.
void setFormat(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_FORMAT, value, bitsPerPixel(value) != 0, throwOnError, [&] {
        const LineLayout layout =
            lineLayout(storedU32(w, SdkParameter::FG_XOFFSET), storedU32(w, SdkParameter::FG_WIDTH), value);
        writeBufferStart(w);
        writeLineLength(w, layout);
        writeRoiRange(w, layout);
    });
}

void setHeight(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted =
        inPublishedRange(SdkParameter::FG_HEIGHT, value) && fitsBeside(value, w, SdkParameter::FG_YOFFSET);
    runSetter(w, SdkParameter::FG_HEIGHT, value, accepted, throwOnError, [&] {
        writeNx<NxParameter::Process0_Buffer_0_DRAM_A_0_YLength>(w, value);
        refreshDescription(w, SdkParameter::FG_YOFFSET);
    });
}

void setYOffset(Board& w, uint32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_YOFFSET, value, fitsBeside(value, w, SdkParameter::FG_HEIGHT), throwOnError, [&] {
        writeNx<NxParameter::Process0_Buffer_0_DRAM_A_0_YOffset>(w, value);
        refreshDescription(w, SdkParameter::FG_HEIGHT);
    });
}

// Only a tag for the application: the design delivers the same bytes whatever it says.
void setPixelFormat(Board& w, int32_t value, bool throwOnError) {
    runSetter(w, SdkParameter::FG_PIXELFORMAT, value, isPublishedEntry(SdkParameter::FG_PIXELFORMAT, value), throwOnError,
              [] {});
}

// The selected image must lie inside the period; each side checks against the other's stored
// value after storing its own, so that a refusal puts its own value back.
void setImageSelectPeriod(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted = inPublishedRange(SdkParameter::FG_IMG_SELECT_PERIOD, value);
    runSetter(w, SdkParameter::FG_IMG_SELECT_PERIOD, value, accepted, throwOnError, [&] {
        if (value <= storedU32(w, SdkParameter::FG_IMG_SELECT)) throw errors::kValueOutOfRange;
        writeNx<NxParameter::Process0_ImageSelector_FG_IMG_SELECT_PERIOD_Divisor>(w, value);
    });
}

void setImageSelect(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted = inPublishedRange(SdkParameter::FG_IMG_SELECT, value);
    runSetter(w, SdkParameter::FG_IMG_SELECT, value, accepted, throwOnError, [&] {
        if (value >= storedU32(w, SdkParameter::FG_IMG_SELECT_PERIOD)) throw errors::kValueOutOfRange;
        writeNx<NxParameter::Process0_ImageSelector_FG_IMG_SELECT_PHASE_Number>(w, value);
    });
}

void setTimeout(Board& w, uint32_t value, bool throwOnError) {
    const bool accepted = inPublishedRange(SdkParameter::FG_TIMEOUT, value);
    runSetter(w, SdkParameter::FG_TIMEOUT, value, accepted, throwOnError, [&] {
        const int32_t result =
            w.callRuntime<RuntimeSlot::Fg_setParameterWithType>(kRuntimeTimeoutId, &value, 0, kTypeU32);
        if (result != errors::kSuccess) throw result;
    });
}

}  // namespace vexo::applet
