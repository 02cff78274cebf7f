// FgNxWrapper, the abstract base of the applet wrapper: it binds one wrapper object to the
// frame-grabber runtime (runtime library, function table, inner handle on the HAP), keeps the
// wrapper's last error, and gives the defaults every applet shares. The virtual operations
// stand in the order the runtime side has always seen them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "describe/parameter_info_table.h"
#include "logging/logger.h"
#include "nx/design.h"
#include "nx/runtime_functions.h"
#include "orvanta/error_codes.h"

namespace vexo::config {
class Fg_ConfigFileParser;
}

namespace vexo::wrapper {

struct FgNxWrapperPrivate;

class FgNxWrapper {
public:
    explicit FgNxWrapper(int32_t portCount);
    FgNxWrapper(const FgNxWrapper&) = delete;
    FgNxWrapper& operator=(const FgNxWrapper&) = delete;

    // "vexo.wrapper.FgNxWrapper", fetched once and cached.
    virtual tools::logging::Logger* getLogger();
    virtual bool readConfiguration(config::Fg_ConfigFileParser& parser) = 0;
    virtual void writeConfiguration(config::Fg_ConfigFileParser& parser) = 0;
    virtual int32_t processChannelToDma(int32_t channel) = 0;
    virtual int32_t mapDmaToFormat(int32_t dma) = 0;
    virtual int32_t setDmaAlignment(int32_t dma, int32_t alignment) = 0;
    virtual int32_t getDmaAlignment(int32_t dma) = 0;
    // Unloads the runtime, releases the HAP, frees the table and the description store. The
    // inner handle must already be closed (Fg_FreeGrabber does that first). May throw what a
    // lock still held at destruction throws.
    virtual ~FgNxWrapper() noexcept(false);
    virtual void buildParameterInfo() = 0;
    virtual int32_t setParameterWithType(int32_t id, const void* value, uint32_t dma, int32_t type) = 0;
    virtual int32_t getParameterWithType(int32_t id, void* value, uint32_t dma, int32_t type) = 0;
    virtual int32_t freeParameterStringWithType(int32_t id, void* value, uint32_t dma, int32_t type) = 0;
    virtual int32_t getParameterIdByName(const char* name) = 0;
    virtual const char* getParameterName(int32_t index) = 0;
    virtual int32_t getParameterId(int32_t index) = 0;
    virtual int32_t getNrOfParameter() = 0;
    virtual int32_t saveConfig(void* innerHandle, const char* fileName);
    virtual int32_t loadConfig(void* innerHandle, const char* fileName);
    virtual int32_t getParameterInfoXML(void* handleRecord, int32_t port, char* buffer, size_t* bufferSize);
    // Shading is not offered: null and -2130.
    virtual void* allocShading(void* a1, void* a2, void* a3);
    virtual int32_t freeShading(void* a1, void* a2, void* a3);
    virtual int32_t setSubValueLine(void* a1, void* a2, void* a3, float value);
    virtual int32_t setMultValueLine(void* a1, void* a2, void* a3, float value);
    virtual int32_t setFixedPatternNoiseLine(void* a1, void* a2, void* a3, int32_t value);
    virtual int32_t getMaxLine(void* a1, void* a2, void* a3);
    virtual int32_t getAccess(void* a1, void* a2, void* a3);
    virtual int32_t freeAccess(void* a1, void* a2, void* a3);
    virtual int32_t writeActLine(void* a1, void* a2, void* a3);
    // Lookups in the HAP's event list: bit i of the mask is the event at position i (0..63).
    virtual uint64_t getEventMask(const char* name);
    virtual const char* getEventName(uint64_t mask);
    virtual const char* getManufacturer() = 0;
    virtual const char* getTypeName() = 0;
    virtual const char* getVersion() = 0;
    virtual int32_t getLoadAppletId() = 0;

    // Loads the runtime by its Windows file name (mapped to this platform's name) and fills
    // the function table: 0, or -2031 when the library cannot be loaded.
    int32_t loadRuntime(const char* fileName);
    // Opens the inner handle on the HAP: 0, or the error code (also stored as last error).
    int32_t openInnerHandle(const char* hapName, uint64_t hardwareHandle, void* hapHandle, uint32_t flags);
    // From here on the wrapper owns the HAP handle and releases it when destroyed.
    void recordHandles(uint64_t hardwareHandle, void* hapHandle);

    // The runtime's last error for the inner handle, or -12 without function or handle.
    int32_t runtimeLastError() const;
    int32_t getLastError() const;
    void setLastError(int32_t code);

    // The runtime function table, inner handle and HAP and hardware handles of this board.
    const nx::Binding& binding() const;
    const nx::RuntimeFunctions& runtimeFunctions() const { return *binding().functions; }
    // The runtime function of `Slot` on the inner handle with these further arguments, or -12
    // when the runtime lacks it.
    template <nx::RuntimeSlot Slot, typename... Args>
    int32_t callRuntime(Args... args) const {
        return binding().call<Slot>(args...);
    }
    void* innerHandle() const { return binding().innerHandle; }
    // Closes the inner handle through the runtime's Fg_FreeGrabber, when the runtime has it and
    // a handle is open; the runtime's answer, else 0. The wrapper has no inner handle afterwards.
    int32_t closeInnerHandle();
    void* hapHandle() const { return binding().hapHandle; }
    uint64_t hardwareHandle() const { return binding().hardwareHandle; }
    describe::ParameterInfoTable& parameterInfo() const;

protected:
    nx::LastError& lastErrorWord();

private:
    tools::logging::Logger* logger = nullptr;
    std::unique_ptr<FgNxWrapperPrivate> d;
};

}  // namespace vexo::wrapper
