/* The binary interface between the library and the logging dispatcher of the frame-grabber
 * installation: the descriptor record the dispatcher exports as a data symbol, and the functions
 * and callbacks the two exchange through its attach function. Plain C, so that a dispatcher in
 * any language can implement it; the stand-in dispatcher of the simulated board includes it. */
#ifndef ORVANTA_LOGGING_DISPATCHER_INTERFACE_H
#define ORVANTA_LOGGING_DISPATCHER_INTERFACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Given by the library: the dispatcher calls it to stop receiving records. */
typedef void (*DispatcherResetFn)(void);
/* Given by the library: sets the threshold of the logger the dispatcher knows by handle. */
typedef void (*DispatcherSetLevelFn)(uint64_t handle, uint32_t level);
/* Given by the dispatcher: the handle for a logger name and the level it starts at. */
typedef int32_t (*DispatcherGetLoggerFn)(const char* name, uint64_t* handle, uint32_t* level);
/* Given by the dispatcher: one record; the library passes 0 for both values. */
typedef int32_t (*DispatcherLogFn)(uint64_t handle, uint32_t level, const char* text, uint32_t value32,
                                   uint64_t value64);

/* The data symbol "logging_dispatcher_descriptor" is this record itself. The library ignores
 * every result. */
typedef struct DispatcherDescriptor {
    int32_t (*attach)(void* logging, DispatcherResetFn reset, DispatcherSetLevelFn setLevel,
                      DispatcherGetLoggerFn* getLoggerFn, DispatcherLogFn* logFn);
    int32_t (*detach)(void* logging, const void* descriptor);
} DispatcherDescriptor;

#ifdef __cplusplus
}
#endif

#endif
