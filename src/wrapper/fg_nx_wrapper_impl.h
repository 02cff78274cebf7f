// FgNxWrapperImpl, the Orvanta applet class: what one opened board owns (parameter lock,
// inspect settings, module base name, value store, parameter registry, NX ids) and the
// operations the applet answers itself. Start-up (startApplet) drives the steps below in their
// fixed order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "applet/camera_simulator_state.h"
#include "applet/debug_injection.h"
#include "applet/events.h"
#include "applet/registry.h"
#include "applet/value_store.h"
#include "logging/logger.h"
#include "nx/nx_access.h"
#include "orvanta/error_codes.h"
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
    bool readConfiguration(config::Fg_ConfigFileParser& parser) override;
    void writeConfiguration(config::Fg_ConfigFileParser& parser) override;
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
    // The base's XML under the parameter lock: accepted writes rewrite the limits it prints.
    int32_t getParameterInfoXML(void* handleRecord, int32_t port, char* buffer, size_t* bufferSize) override;
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
    const applet::Registry& registry() const { return parameterRegistry; }
    // The DNXA_ parameters by name, for the "Direct NX Access" category of the description.
    const std::map<std::string, int32_t>& dnxaIdByName() const { return parameterRegistry.dnxaIdByName(); }
    const std::string& getModuleBaseName() const { return moduleBaseName; }
    InspectSettings& getInspectSettings() { return inspectSettings; }
    applet::ValueStore& values() { return valueStore; }
    const applet::ValueStore& values() const { return valueStore; }
    nx::NxIdTable& nxIds() { return nxIdTable; }
    const nx::NxIdTable& nxIds() const { return nxIdTable; }
    // The effective source of each trigger output after the GPO setters' remapping, in the
    // order GPO_0 to GPO_7, FRONT_GPO_0, FRONT_GPO_1.
    std::array<uint32_t, 10>& triggerOutputSources() { return outputSources; }
    const std::array<uint32_t, 10>& triggerOutputSources() const { return outputSources; }
    // The camera simulator's effective geometry, maximum pixel rate and running frame rate.
    applet::CameraSimulatorState& cameraSimulator() { return cameraSimulatorState; }
    const applet::CameraSimulatorState& cameraSimulator() const { return cameraSimulatorState; }
    // The debug entries the design announced at start-up.
    applet::DebugEntries& debugEntries() { return debugEntryTable; }
    const applet::DebugEntries& debugEntries() const { return debugEntryTable; }
    // The event names and masks, filled as the last step of buildRegistry.
    applet::EventMaps& eventMaps() { return events; }

private:
    // The frame of a parameter read or write: the null-pointer answer without the lock, then under
    // the parameter lock the id range decides — direct NX access (the runtime with the NX id),
    // direct register access when it is on, or the SDK dispatch, whose thrown code becomes the
    // result. The result is the last error.
    template <typename DirectNx, typename DirectRegister, typename Sdk>
    int32_t serveParameter(int32_t id, const void* value, DirectNx directNx, DirectRegister directRegister,
                           Sdk sdk) {
        if (value == nullptr) {
            setLastError(errors::kInvalidParameter);
            return errors::kInvalidParameter;
        }
        templates::platform::CriticalSectionGuard guard(appletLock);
        int32_t result = errors::kSuccess;
        if (id > applet::kDnxaIdBase) {
            result = directNx(id - applet::kDnxaIdBase);
        } else if (isDraEnabled() && id > applet::kDraIdBase) {
            result = directRegister();
        } else {
            try {
                sdk();
            } catch (int32_t code) {
                result = code;
            }
        }
        setLastError(result);
        return result;
    }
    void findModuleFiles();
    // The SDK branch of a write: throws the int32_t result of a refusal or of the setter.
    void setSdkParameter(int32_t id, const void* value, uint32_t dma);
    // Throws -2070 for a DMA index that belongs to no process, or to another process than 0.
    void checkDma(const char* verb, int32_t id, uint32_t dma);
    // Throws -2070 after the record naming the id that nothing serves.
    [[noreturn]] void refuseUnknown(const char* verb, int32_t id);
    // The SDK branch of a read: throws the int32_t result of a refusal or of the read rule.
    void getSdkParameter(int32_t id, void* value, uint32_t dma, int32_t type);
    // Direct register access, id = 1000000 + register address.
    int32_t writeRegister(int32_t id, const void* value);
    int32_t readRegister(int32_t id, void* value);

    tools::logging::Logger* logger = nullptr;
    templates::platform::CriticalSection appletLock;
    InspectSettings inspectSettings;
    std::string moduleBaseName;
    applet::ValueStore valueStore;
    applet::Registry parameterRegistry{dmaToProcess()};
    nx::NxIdTable nxIdTable;
    std::array<uint32_t, 10> outputSources{60, 61, 5, 5, 5, 5, 5, 5, 60, 61};
    applet::CameraSimulatorState cameraSimulatorState;
    applet::DebugEntries debugEntryTable;
    applet::EventMaps events;
    // String parameters read with type code 22 are written here first. The byte after the
    // buffer is kept 0, so that a text cut at the end is still terminated.
    static constexpr size_t kReadTextBufferSize = 655360;
    std::array<char, kReadTextBufferSize + 1> readTextBuffer{};
    // The strings handed out with type code 22 that the application has not given back yet.
    std::set<char*> allocatedStrings;
};

}  // namespace vexo::wrapper
