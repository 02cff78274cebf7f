/* The error codes the applet answers through the runtime: the results of the parameter calls,
 * of Fg_saveConfig and Fg_loadConfig and of the applet's start-up, as Fg_getLastErrorNumber
 * reports them too (signed 32-bit; the 64-bit calls answer the same values widened). Several
 * numbers carry two meanings, told apart by the call that answered them. The runtime's own
 * codes (an unknown handle, a time-out, frame memories) are the runtime's to name. C and C++;
 * C++ code inside Orvanta names them vexo::errors::k*, the same numbers. */
#ifndef ORVANTA_ERROR_CODES_H
#define ORVANTA_ERROR_CODES_H

enum FgAppletError {
    FG_ERR_NONE = 0,
    FG_ERR_NO_SHADING_OBJECT = -1,           /* last error after Fg_AllocShading gave null */
    FG_ERR_RUNTIME_FUNCTION_MISSING = -12,   /* the runtime lacks a function, or there is no inner handle */
    FG_ERR_HAP_NOT_OPENED = -100,            /* also: start-up failed without a usable runtime error */
    FG_ERR_UNUSABLE_HANDLE = -2001,
    FG_ERR_RUNTIME_NOT_BOUND = -2031,        /* the runtime cannot be loaded, or has no init function */
    FG_ERR_INVALID_PARAMETER = -2070,        /* unknown parameter id, name or index, or DMA index */
    FG_ERR_NOT_ALLOCATED_STRING_TYPE = -2078,/* a text read whose type code is not FG_TYPE_ALLOCATED_TEXT */
    FG_ERR_NOT_OFFERED = -2130,

    /* Parameter writes */
    FG_ERR_READ_ONLY_PARAMETER = -12,
    FG_ERR_SOFTWARE_TRIGGER_BUSY = -60,      /* the previous software trigger's period is not over */
    FG_ERR_DOWNSCALE_INCONSISTENT = -2078,   /* a generator's downscale against the trigger rate */
    FG_ERR_TIMING_INCONSISTENT = -2079,      /* the trigger rate against a generator's delay or width */
    FG_ERR_NOT_SOFTWARE_TRIGGER_MODE = -2140,/* FG_SENDSOFTWARETRIGGER without ATM_SOFTWARE */
    FG_ERR_TRIGGER_NOT_ACTIVE = -2141,       /* FG_SENDSOFTWARETRIGGER without TS_ACTIVE */
    FG_ERR_VALUE_OUT_OF_RANGE = -6000,       /* outside the parameter's range or entries */
    FG_ERR_DESIGN_VALUE_INVALID = -2031,     /* a design answer or stored format the applet cannot use */
    FG_ERR_UNKNOWN_SELECT_MODE = -2075,      /* a simulator rate for a select mode that does not exist */
    FG_ERR_REGION_NOT_WHOLE_BYTES = -7080,   /* a region not starting and ending on whole bytes */

    /* The description */
    FG_ERR_ENTRY_NOT_STORED = -500,          /* an enumeration entry's texts could not be copied */
    FG_ERR_BUFFER_TOO_SMALL = -500,          /* XML: no room for the text (or a size of 0) */
    FG_ERR_NO_DESCRIPTION_FOR_PORT = -2075,  /* XML: the port has no description */

    /* Configuration files */
    FG_ERR_CONFIG_FILE_NOT_FOUND = -2076,    /* load: no such file, or no ".mcf" in its name */
    FG_ERR_CONFIG_CONTENT_INVALID = -5000,   /* load: a header or port key missing or refused */
    FG_ERR_CONFIG_FILE_NOT_CREATED = -5001   /* save: no ".mcf" in the name, or the file cannot be created */
};

#ifdef __cplusplus
#include <cstdint>

namespace vexo::errors {

inline constexpr int32_t kSuccess = FG_ERR_NONE;
inline constexpr int32_t kNoShadingObject = FG_ERR_NO_SHADING_OBJECT;
inline constexpr int32_t kRuntimeFunctionMissing = FG_ERR_RUNTIME_FUNCTION_MISSING;
inline constexpr int32_t kHapNotOpened = FG_ERR_HAP_NOT_OPENED;
inline constexpr int32_t kUnusableHandle = FG_ERR_UNUSABLE_HANDLE;
inline constexpr int32_t kRuntimeNotBound = FG_ERR_RUNTIME_NOT_BOUND;
inline constexpr int32_t kInvalidParameter = FG_ERR_INVALID_PARAMETER;
inline constexpr int32_t kNotAllocatedStringType = FG_ERR_NOT_ALLOCATED_STRING_TYPE;
inline constexpr int32_t kNotOffered = FG_ERR_NOT_OFFERED;

inline constexpr int32_t kReadOnlyParameter = FG_ERR_READ_ONLY_PARAMETER;
inline constexpr int32_t kTriggerBusy = FG_ERR_SOFTWARE_TRIGGER_BUSY;
inline constexpr int32_t kDownscaleInconsistent = FG_ERR_DOWNSCALE_INCONSISTENT;
inline constexpr int32_t kTimingInconsistent = FG_ERR_TIMING_INCONSISTENT;
inline constexpr int32_t kNotSoftwareTriggerMode = FG_ERR_NOT_SOFTWARE_TRIGGER_MODE;
inline constexpr int32_t kTriggerNotActive = FG_ERR_TRIGGER_NOT_ACTIVE;
inline constexpr int32_t kValueOutOfRange = FG_ERR_VALUE_OUT_OF_RANGE;
inline constexpr int32_t kDesignValueInvalid = FG_ERR_DESIGN_VALUE_INVALID;
inline constexpr int32_t kUnknownSelectMode = FG_ERR_UNKNOWN_SELECT_MODE;
inline constexpr int32_t kRegionNotWholeBytes = FG_ERR_REGION_NOT_WHOLE_BYTES;

inline constexpr int32_t kEntryNotStored = FG_ERR_ENTRY_NOT_STORED;
inline constexpr int32_t kBufferTooSmall = FG_ERR_BUFFER_TOO_SMALL;
inline constexpr int32_t kNoDescriptionForPort = FG_ERR_NO_DESCRIPTION_FOR_PORT;

inline constexpr int32_t kConfigFileNotFound = FG_ERR_CONFIG_FILE_NOT_FOUND;
inline constexpr int32_t kConfigContentInvalid = FG_ERR_CONFIG_CONTENT_INVALID;
inline constexpr int32_t kConfigFileNotCreated = FG_ERR_CONFIG_FILE_NOT_CREATED;

}  // namespace vexo::errors
#endif

#endif /* ORVANTA_ERROR_CODES_H */
