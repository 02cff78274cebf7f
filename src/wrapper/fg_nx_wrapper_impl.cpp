// The applet class: each operation is one call into the board's applet state; the descriptor
// answers; and the operations that must never be reached.
#include "wrapper/fg_nx_wrapper_impl.h"

#include <stdexcept>
#include <string>

#include "config/port_configuration.h"
#include "platform/locks.h"

namespace vexo::wrapper {

namespace {

[[noreturn]] void notImplemented(const char* operation) {
    throw std::runtime_error(std::string(operation) + "() is not implemented.");
}

}  // namespace

FgNxWrapperImpl::FgNxWrapperImpl(int32_t portCount)
    : FgNxWrapper(portCount), state(binding(), parameterInfo(), lastErrorWord()) {}

FgNxWrapperImpl::~FgNxWrapperImpl() noexcept(false) = default;

tools::logging::Logger* FgNxWrapperImpl::getLogger() { return state.getLogger(); }

bool FgNxWrapperImpl::readConfiguration(config::Fg_ConfigFileParser& parser) {
    return config::readPortConfiguration(state, parser);
}

void FgNxWrapperImpl::writeConfiguration(config::Fg_ConfigFileParser& parser) {
    config::writePortConfiguration(state, parser);
}

int32_t FgNxWrapperImpl::processChannelToDma(int32_t) { notImplemented("processChannelToDma"); }
int32_t FgNxWrapperImpl::mapDmaToFormat(int32_t) { notImplemented("mapDmaToFormat"); }
int32_t FgNxWrapperImpl::setDmaAlignment(int32_t, int32_t) { notImplemented("setDmaAlignment"); }
int32_t FgNxWrapperImpl::getDmaAlignment(int32_t) { notImplemented("getDmaAlignment"); }

void FgNxWrapperImpl::buildParameterInfo() { state.buildDescription(); }

int32_t FgNxWrapperImpl::setParameterWithType(int32_t id, const void* value, uint32_t dma, int32_t type) {
    return state.setParameter(id, value, dma, type);
}

int32_t FgNxWrapperImpl::getParameterWithType(int32_t id, void* value, uint32_t dma, int32_t type) {
    return state.getParameter(id, value, dma, type);
}

int32_t FgNxWrapperImpl::freeParameterStringWithType(int32_t id, void* value, uint32_t dma, int32_t type) {
    return state.freeParameterString(id, value, dma, type);
}

int32_t FgNxWrapperImpl::getParameterIdByName(const char* name) { return state.parameterIdByName(name); }
const char* FgNxWrapperImpl::getParameterName(int32_t index) { return state.parameterName(index); }
int32_t FgNxWrapperImpl::getParameterId(int32_t index) { return state.parameterId(index); }
int32_t FgNxWrapperImpl::getNrOfParameter() { return state.parameterCount(); }

int32_t FgNxWrapperImpl::getParameterInfoXML(void* handleRecord, int32_t port, char* buffer, size_t* bufferSize) {
    templates::platform::CriticalSectionGuard guard(state.parameterLock());
    return FgNxWrapper::getParameterInfoXML(handleRecord, port, buffer, bufferSize);
}

uint64_t FgNxWrapperImpl::getEventMask(const char* name) { return state.eventMask(name); }
const char* FgNxWrapperImpl::getEventName(uint64_t mask) { return state.eventName(mask); }

// The header of a saved configuration file.
const char* FgNxWrapperImpl::getManufacturer() { return "Brightmoor GmbH"; }
const char* FgNxWrapperImpl::getTypeName() { return "Orvanta"; }
const char* FgNxWrapperImpl::getVersion() { return "1.2"; }
int32_t FgNxWrapperImpl::getLoadAppletId() { return 0; }

}  // namespace vexo::wrapper
