// What the Orvanta HAP describes besides its configuration data and its NX parameters (which
// the image itself carries, see hap_image_format.h): the design's registers and its event list.
#pragma once

#include <cstdint>

namespace sim::hap {

struct Register {
    const char* name;
    uint32_t address;  // also the register's id
    int32_t width;     // bits
    bool writable;
};

struct EventRow {
    const char* name;
    uint32_t eventClass;  // 1: listed under its NX name
};

const Register* registers();
int32_t registerCount();
// The register at that address, or null.
const Register* registerAt(uint32_t address);

const EventRow* defaultEvents();
int32_t defaultEventCount();

}  // namespace sim::hap
