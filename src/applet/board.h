// One opened board as the applet sees it: the design reached through the wrapper's binding, and
// everything the applet keeps per board (parameter lock, value store, registry, trigger output
// sources, camera simulator and debug state, events, the strings it handed out). The wrapper
// owns one and forwards each of its operations here; setters and read rules take a Board.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

#include "applet/camera_simulator/camera_simulator_state.h"
#include "applet/core/events.h"
#include "applet/core/inspect_settings.h"
#include "applet/core/registry.h"
#include "applet/core/value_store.h"
#include "applet/debug/debug_injection.h"
#include "describe/parameter_info_table.h"
#include "nx/design.h"
#include "platform/locks.h"

namespace vexo::applet {

class Board : public nx::Design {
public:
    // Reads VEXO_ENABLE_DRA, finds the library's base name and inspect.conf beside it, and fills
    // the value store with its initial values. The binding, description store and last error
    // belong to the wrapper and outlive the board.
    Board(const nx::Binding& binding, describe::ParameterInfoTable& description, nx::LastError& lastError);

    // Start-up steps after the inner handle is open, in the order the wrapper calls them.
    void buildRegistry();
    void resolveNxIds();
    void buildDescription();
    void createDebugEntries();
    void applyInitialValues();

    // The parameter operations. Each is one frame: the null-pointer answer without the lock,
    // then under the parameter lock the id range decides; the result is also the last error.
    int32_t setParameter(int32_t id, const void* value, uint32_t dma, int32_t type);
    int32_t getParameter(int32_t id, void* value, uint32_t dma, int32_t type);
    int32_t freeParameterString(int32_t id, void* value, uint32_t dma, int32_t type);

    // Registry and event queries; they take no lock, since neither changes after start-up.
    int32_t parameterCount() const;
    const char* parameterName(int32_t index);
    int32_t parameterId(int32_t index);
    int32_t parameterIdByName(const char* name);
    uint64_t eventMask(const char* name);
    const char* eventName(uint64_t mask);

    // The setter of the parameter being written answers a value outside its row (-6000) here
    // instead of throwing it, since an exception allocates and a refused value is an ordinary
    // answer of a write. Only until that setter applies anything: every failure after that, and
    // every one of another setter it calls, is thrown as before. True when taken.
    bool refuseQuietly(SdkParameter p, int32_t code) {
        if (!quietRefusal.open || quietRefusal.parameter != p) return false;
        quietRefusal.open = false;
        quietRefusal.code = code;
        return true;
    }
    void closeQuietRefusal() { quietRefusal.open = false; }

    // Held by every write and read, by a configuration load as a whole and by the XML query.
    templates::platform::CriticalSection& parameterLock() { return lock; }
    nx::LastError& lastError() { return errorWord; }

    bool isDraEnabled() const { return draEnabled; }
    const Registry& registry() const { return parameterRegistry; }
    const std::string& getModuleBaseName() const { return moduleBaseName; }
    InspectSettings& getInspectSettings() { return inspectSettings; }
    ValueStore& values() { return valueStore; }
    const ValueStore& values() const { return valueStore; }
    describe::ParameterInfoTable& parameterInfo() { return description; }
    // The effective source of each trigger output after the GPO setters' remapping, in the
    // order GPO_0 to GPO_7, FRONT_GPO_0, FRONT_GPO_1.
    std::array<uint32_t, 10>& triggerOutputSources() { return outputSources; }
    const std::array<uint32_t, 10>& triggerOutputSources() const { return outputSources; }
    // The camera simulator's effective geometry, maximum pixel rate and running frame rate.
    CameraSimulatorState& cameraSimulator() { return cameraSimulatorState; }
    const CameraSimulatorState& cameraSimulator() const { return cameraSimulatorState; }
    // The debug entries the design announced at start-up.
    DebugEntries& debugEntries() { return debugEntryTable; }
    const DebugEntries& debugEntries() const { return debugEntryTable; }
    // The event names and masks, filled as the last step of buildRegistry.
    EventMaps& eventMaps() { return events; }
    // The description record of p, or null before a description has one. The store never
    // removes a record and the first of an id keeps its place, so one found is kept here: the
    // writes that refresh a limit find it without a search.
    ParameterInfoNode* descriptionRecord(SdkParameter p) {
        ParameterInfoNode*& record = records[indexOf(p)];
        if (record == nullptr) record = description.findNode(infoOf(p).id);
        return record;
    }

private:
    void findModuleFiles();
    // The SDK branches: throw the int32_t result of a refusal, a setter or a read rule.
    void setSdkParameter(int32_t id, const void* value, uint32_t dma);
    void getSdkParameter(int32_t id, void* value, uint32_t dma, int32_t type);
    // Direct register access, id = 1000000 + register address.
    int32_t writeRegister(int32_t id, const void* value);
    int32_t readRegister(int32_t id, void* value);
    int32_t finish(int32_t result) {
        errorWord.set(result);
        return result;
    }

    describe::ParameterInfoTable& description;
    std::array<ParameterInfoNode*, kSdkParameterCount> records{};
    nx::LastError& errorWord;
    struct QuietRefusal {
        bool open = false;
        SdkParameter parameter{};
        int32_t code = 0;
    } quietRefusal;
    templates::platform::CriticalSection lock;
    bool draEnabled = false;
    InspectSettings inspectSettings;
    std::string moduleBaseName = "none";
    ValueStore valueStore;
    Registry parameterRegistry;
    std::array<uint32_t, 10> outputSources{60, 61, 5, 5, 5, 5, 5, 5, 60, 61};
    CameraSimulatorState cameraSimulatorState;
    DebugEntries debugEntryTable;
    EventMaps events;
    // String parameters read with type code 22 are written here first. The byte after the
    // buffer is kept 0, so that a text cut at the end is still terminated. Not cleared when the
    // board opens (640 KiB on every open): a read terminates what it wrote before using it.
    static constexpr size_t kReadTextBufferSize = 655360;
    std::array<char, kReadTextBufferSize + 1> readTextBuffer;
    // The strings handed out with type code 22 that the application has not given back yet.
    std::set<char*> allocatedStrings;
};

}  // namespace vexo::applet
