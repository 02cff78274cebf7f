// The applet's fixed self-description: texts and blocks whose addresses Info hands out. They
// live as long as the library and must not be changed or freed by callers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vexo::api {

inline constexpr char kAppletName[] = "Orvanta";
inline constexpr char kAppletVersion[] = "3.1.1.2";
inline constexpr char kAppletVersionWithStamp[] = "3.1.1.2.20181130.100532";
inline constexpr char kAppletDescription[] =
    "Acquisition Applet with support of StreamDMA technology, RAW image data transfer to PC for one CLHS Area "
    "scan camera with 2 ports. An area scan trigger module is included.";
inline constexpr char kAppletCategory[] = "Capturekits:Area";
inline constexpr char kAppletClass[] =
    "class=standard,family=acquisition,type=single,sensortype=area,color=raw,interface=lchs,lag=2";

// The two identifiers of the applet; fixed for it, and different from each other.
inline constexpr char kAppletUuid[] = "dffb08a0-9089-4fd6-a8af-14a9c7b676b0";
inline constexpr char kAppletSecondUuid[] = "250c4b91-a430-478c-9e3d-7bdc2a75521f";

inline constexpr size_t kIconPngSize = 3140;
extern const uint8_t kIconPng[kIconPngSize];

}  // namespace vexo::api
