// FgNxWrapperImpl, the Orvanta applet class: what one opened board owns (parameter lock,
// inspect settings, module base name, value store) and the operations the applet answers
// itself. Start-up (startApplet) drives the steps below in their fixed order.
#pragma once

#include <cstdint>
#include <string>

#include "applet/value_store.h"
#include "logging/logger.h"
#include "platform/locks.h"
#include "wrapper/fg_nx_wrapper.h"
#include "wrapper/inspect_settings.h"

namespace vexo::wrapper {

class FgNxWrapperImpl final : public FgNxWrapper {
public:
    // Reads VEXO_ENABLE_DRA, finds the library's base name and inspect.conf beside it, and
    // fills the value store with its initial values.
    explicit FgNxWrapperImpl(int32_t portCount);
    ~FgNxWrapperImpl() noexcept(false) override;

    // "vexo.wrapper.Orvanta", fetched once and cached.
    tools::logging::Logger* getLogger() override;
    bool readConfiguration(config::McfParser& parser) override;
    void writeConfiguration(config::McfParser& parser) override;
    // Never called by any export; they throw std::runtime_error("<name>() is not implemented.").
    int32_t processChannelToDma(int32_t channel) override;
    int32_t mapDmaToFormat(int32_t dma) override;
    int32_t setDmaAlignment(int32_t dma, int32_t alignment) override;
    int32_t getDmaAlignment(int32_t dma) override;
    void buildParameterInfo() override;
    int32_t setParameterWithType(int32_t id, const void* value, uint32_t dma, int32_t type) override;
    int32_t getParameterWithType(int32_t id, void* value, uint32_t dma, int32_t type) override;
    int32_t freeParameterStringWithType(int32_t id, void* value, uint32_t dma, int32_t type) override;
    int32_t getParameterIdByName(const char* name) override;
    const char* getParameterName(int32_t index) override;
    int32_t getParameterId(int32_t index) override;
    int32_t getNrOfParameter() override;
    uint64_t getEventMask(const char* name) override;
    const char* getEventName(uint64_t mask) override;
    const char* getManufacturer() override;
    const char* getTypeName() override;
    const char* getVersion() override;
    int32_t getLoadAppletId() override;

    // Start-up steps after the inner handle is open, in the order startApplet calls them.
    void buildRegistry();
    void resolveNxIds();
    void createDebugEntries();
    void applyInitialValues();

    bool isDraEnabled() const { return appletWord() != 0; }
    const std::string& getModuleBaseName() const { return moduleBaseName; }
    InspectSettings& getInspectSettings() { return inspectSettings; }
    applet::ValueStore& values() { return valueStore; }
    const applet::ValueStore& values() const { return valueStore; }

private:
    void findModuleFiles();
    // The answer to a parameter id that nothing serves: -2070, with the log record that
    // names the id (or the foreign process of the DMA index).
    int32_t refuseParameter(const char* verb, int32_t id, uint32_t dma);

    tools::logging::Logger* logger = nullptr;
    templates::platform::CriticalSection appletLock;
    InspectSettings inspectSettings;
    std::string moduleBaseName;
    applet::ValueStore valueStore;
};

}  // namespace vexo::wrapper
