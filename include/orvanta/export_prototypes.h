// The prototypes of the applet's 32 exports as function pointer types, for the code that
// finds them by name (a runtime, the tests). The definitions in exports.cpp and info.cpp are
// checked against these, so a caller and the library cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>

struct ParameterInfoNode;

namespace vexo::api::prototypes {

using Std_entry = void* (*)(uint64_t hardwareHandle, int32_t* errorCell, uint32_t flags);
using Info = int32_t (*)(int32_t selector, uint32_t firstIndex, uint32_t secondIndex, uint64_t* firstOut,
                         uint64_t* secondOut);
using Fg_setParameterWithType = int32_t (*)(void* fg, int32_t id, const void* value, uint32_t dma, int32_t type);
using Fg_getParameterWithType = int32_t (*)(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
using Fg_freeParameterStringWithType = int32_t (*)(void* fg, int32_t id, void* value, uint32_t dma, int32_t type);
using Fg_getParameterIdByName = int32_t (*)(void* fg, const char* name);
using Fg_getParameterName = const char* (*)(void* fg, int32_t index);
using Fg_getParameterId = int32_t (*)(void* fg, int32_t index);
using Fg_getNrOfParameter = int32_t (*)(void* fg);
using Fg_getEventMask = uint64_t (*)(void* fg, const char* name);
using Fg_getEventName = const char* (*)(void* fg, uint64_t mask);
using Fg_saveConfig = int32_t (*)(void* fg, const char* fileName);
using Fg_loadConfig = int32_t (*)(void* fg, const char* fileName);
using Fg_getParameterInfoXML = int32_t (*)(void* fg, int32_t port, char* buffer, size_t* bufferSize);
using Fg_getAppletId = int32_t (*)(void* fg, const void* argument);
using Fg_getStatusEx = int64_t (*)(void* fg, int32_t statusId, uint64_t data, uint32_t port, void* memory);
using Fg_AcquireEx = int32_t (*)(void* fg, uint32_t port, int64_t pictureCount, int32_t flags, void* memory);
using Fg_stopAcquireEx = int32_t (*)(void* fg, uint32_t port, void* memory, int32_t flags);
using Fg_getLastPicNumberEx = int64_t (*)(void* fg, uint32_t port, void* memory);
using Fg_getLastPicNumberBlockingEx = int64_t (*)(void* fg, int64_t picture, uint32_t port, int32_t timeoutSeconds,
                                                  void* memory);
using Fg_getLastErrorNumber = int32_t (*)(void* fg);
using Fg_getParameterInfo = const ParameterInfoNode* (*)(void* fg, int32_t port);
using Fg_FreeGrabber = int32_t (*)(void* fg);
using Fg_AllocShading = void* (*)(void* fg, void* a1, void* a2, void* a3);
using Fg_FreeShading = int32_t (*)(void* fg, void* a1, void* a2, void* a3);
// The shading-line exports take the shading object first; its first field holds the wrapper.
using Shad_SetSubValueLine = int32_t (*)(void* shading, void* a1, void* a2, void* a3, float value);
using Shad_SetMultValueLine = int32_t (*)(void* shading, void* a1, void* a2, void* a3, float value);
using Shad_SetFixedPatternNoiseLine = int32_t (*)(void* shading, void* a1, void* a2, void* a3, int32_t value);
using Shad_GetMaxLine = int32_t (*)(void* shading, void* a1, void* a2, void* a3);
using Shad_GetAccess = int32_t (*)(void* shading, void* a1, void* a2, void* a3);
using Shad_FreeAccess = int32_t (*)(void* shading, void* a1, void* a2, void* a3);
using Shad_WriteActLine = int32_t (*)(void* shading, void* a1, void* a2, void* a3);

}  // namespace vexo::api::prototypes
