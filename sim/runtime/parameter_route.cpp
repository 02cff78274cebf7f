// The route of a design: its plain numbers by id, for the lock-free parameter calls.
#include "parameter_route.h"

#include <algorithm>
#include <cstddef>

namespace sim {
namespace {

// NX parameters only: none of them takes integers of another width (numberTakesType).
bool onRoute(const DesignParameter& parameter, int16_t role) {
    return parameter.nx && !parameter.anyIntegerType && parameter.kind != ValueKind::Text && !parameter.injectsPixel &&
           parameter.cameraInput == CameraInput::None && role < 0;
}

}  // namespace

std::unique_ptr<ParameterRoute> buildRoute(const DesignModel& design, std::vector<NxValue>& values,
                                           const std::vector<int16_t>& roleOfIndex) {
    auto route = std::make_unique<ParameterRoute>();
    route->design = &design;
    route->values = values.data();
    const std::vector<DesignParameter>& parameters = design.parameters();
    int32_t first = INT32_MAX;
    int32_t last = INT32_MIN;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (!onRoute(parameters[i], roleOfIndex[i])) continue;
        first = std::min(first, parameters[i].id);
        last = std::max(last, parameters[i].id);
    }
    if (first > last) return route;
    route->firstId = first;
    route->byId.resize(static_cast<std::size_t>(last - first) + 1);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        if (!onRoute(parameters[i], roleOfIndex[i])) continue;
        route->byId[static_cast<std::size_t>(parameters[i].id - first)] =
            RouteEntry{static_cast<int32_t>(i), parameters[i].kind, nativeTypeCode(parameters[i].kind), parameters[i].writable};
    }
    return route;
}

}  // namespace sim
