// Prototypes of the closed HAP runtime (hapcore) and hardware library (vexo_hw). The library
// links both at build time: by these names on Linux, by ordinal on Windows (the import
// libraries come from .def files with NONAME ordinals).
#pragma once

#include <cstdint>

extern "C" {

typedef struct HapEventDescriptor {
    uint64_t eventId;     // the HAP's own number for the event; not used by the applet
    const char* name;     // the NX event name
    uint32_t eventClass;  // 1: an event the applet lists under its NX name
} HapEventDescriptor;

// hapcore, ordinals 37, 38, 42, 43, 45, 46, 49, 143, 150.
void* Hap_OpenFile(const char* fileName, int32_t boardType, int32_t flag);
void Hap_Release(void* hap);
int32_t Hap_GetRegisterCount(void* hap);
const char* Hap_GetRegisterName(void* hap, int32_t position);
int64_t Hap_GetRegisterId(void* hap, const char* registerName);
int32_t Hap_GetRegisterWidth(void* hap, uint32_t registerIdOrAddress);
int32_t Hap_IsRegisterWritable(void* hap, uint32_t registerId);
void* Hap_OpenImage(const void* image, uint64_t size, int32_t flag);
const HapEventDescriptor* Hap_GetEvent(void* hap, int32_t position);

// vexo_hw, ordinals 12 and 13.
int32_t Hw_WriteRegister(uint64_t hardware, uint32_t address, uint64_t value);
int32_t Hw_ReadRegister(uint64_t hardware, uint32_t address, uint64_t* value);

}  // extern "C"
