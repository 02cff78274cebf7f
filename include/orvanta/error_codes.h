// The error codes of the applet's exported boundary and of start-up (signed 32-bit; the
// 64-bit exports answer the same values widened).
#pragma once

#include <cstdint>

namespace vexo::errors {

inline constexpr int32_t kSuccess = 0;
inline constexpr int32_t kNoShadingObject = -1;          // last error after Fg_AllocShading gave null
inline constexpr int32_t kRuntimeFunctionMissing = -12;  // runtime function unresolved or no inner handle
inline constexpr int32_t kHapNotOpened = -100;           // also: init failed without a usable runtime error
inline constexpr int32_t kUnusableHandle = -2001;
inline constexpr int32_t kRuntimeNotBound = -2031;       // runtime not loadable, or no init function
inline constexpr int32_t kInvalidParameter = -2070;
inline constexpr int32_t kNotAllocatedStringType = -2078;
inline constexpr int32_t kNotOffered = -2130;

// Codes of the parameter code (writes and setters).
inline constexpr int32_t kReadOnlyParameter = -12;        // write to a read-only SDK parameter
inline constexpr int32_t kTriggerBusy = -60;              // software trigger while the generator is busy
inline constexpr int32_t kDownscaleInconsistent = -2078;  // generator downscale against the trigger rate
inline constexpr int32_t kTimingInconsistent = -2079;     // trigger rate against generator delay or width
inline constexpr int32_t kNotSoftwareTriggerMode = -2140;
inline constexpr int32_t kTriggerNotActive = -2141;
inline constexpr int32_t kValueOutOfRange = -6000;        // value outside its range or list
inline constexpr int32_t kDesignValueInvalid = -2031;     // a design answer or stored format the applet cannot use
inline constexpr int32_t kUnknownSelectMode = -2075;      // a simulator rate asked for a mode that does not exist
inline constexpr int32_t kRegionNotWholeBytes = -7080;    // ROI not starting and ending on whole bytes

// Codes of the parameter description.
inline constexpr int32_t kEntryNotStored = -500;          // an enumeration entry's texts could not be copied
inline constexpr int32_t kBufferTooSmall = -500;          // XML: no room for the text (or a size of 0)
inline constexpr int32_t kNoDescriptionForPort = -2075;   // XML: the port has no description tree

}  // namespace vexo::errors
