// FgNxWrapperImpl, the Orvanta applet class: the wrapper base's binding to the runtime, and the
// applet's state of the board (applet::Board) that each operation forwards to. Start-up
// (startApplet) drives the steps below in their fixed order.
#pragma once

#include <cstddef>
#include <cstdint>

#include "applet/board.h"
#include "logging/logger.h"
#include "wrapper/fg_nx_wrapper.h"

namespace vexo::wrapper {

class FgNxWrapperImpl final : public FgNxWrapper {
public:
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

    applet::Board& board() { return state; }

private:
    applet::Board state;
};

}  // namespace vexo::wrapper
