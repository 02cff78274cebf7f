/* Everything an application of the Orvanta applet includes: the runtime's application
 * interface (orvanta/runtime.h, with the type codes) and the applet's vocabulary by name: its
 * parameter ids, named constants, event names and error codes. C and C++.
 *
 *     uint32_t mode = ATM_SOFTWARE;
 *     Fg_setParameterWithType(fg, FG_AREATRIGGERMODE, &mode, 0, FG_TYPE_UINT32);
 *     uint64_t frameEnd = Fg_getEventMask(fg, FG_END_OF_FRAME_CAM_PORT_0); */
#ifndef ORVANTA_ORVANTA_H
#define ORVANTA_ORVANTA_H

#include "orvanta/error_codes.h"
#include "orvanta/named_constants.h"
#include "orvanta/runtime.h"
#include "orvanta/sdk_events.h"
#include "orvanta/sdk_parameters.h"

#endif /* ORVANTA_ORVANTA_H */
