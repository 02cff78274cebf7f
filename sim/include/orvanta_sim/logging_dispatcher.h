/* The stand-in logging dispatcher (libcommon-logging-dispatcher.so / common-logging-dispatcher.dll)
 * of the simulated board: what the library attaches when it finds it in the installation's bin
 * folder. Every logger name gets one handle; loggers start at the level in VEXO_SIM_LOG_LEVEL
 * (a number; unset or not a number: 7, nothing logged). Each record becomes one line
 *     <yyyy-mm-dd hh:mm:ss.mmm> TAB <logger name> TAB <level> TAB <text>
 * appended to the file named by VEXO_SIM_LOG_FILE, or written to standard error when that is
 * unset, empty or cannot be opened. Both variables are read when they are needed: the level
 * when a logger is first asked for, the file at every record.
 *
 * The control functions below let the project's tests steer the attached library the way a
 * dispatcher may. */
#ifndef ORVANTA_SIM_LOGGING_DISPATCHER_H
#define ORVANTA_SIM_LOGGING_DISPATCHER_H

#include <stdint.h>

#include "export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* How often a library has attached since the dispatcher was loaded. */
VEXO_SIM_LOG_API int32_t SimLog_AttachCount(void);
/* Sets the level of the named logger through the attached library's set-level callback.
 * 0, or -1 when no library is attached or the name was never asked for. */
VEXO_SIM_LOG_API int32_t SimLog_SetLevel(const char* name, uint32_t level);
/* Calls the attached library's reset callback and forgets the library: from then on it hands
 * out default loggers and sends no records. 0, or -1 when no library is attached. */
VEXO_SIM_LOG_API int32_t SimLog_Reset(void);

#ifdef __cplusplus
}
#endif

#endif
