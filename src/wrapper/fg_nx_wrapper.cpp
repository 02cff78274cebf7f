// The wrapper base: runtime binding, inner handle, last error, and the shared defaults.
#include "wrapper/fg_nx_wrapper.h"

#include <cstring>

#include "config/config_errors.h"
#include "config/config_file_parser.h"
#include "logging/log_record.h"
#include "logging/logging.h"
#include "orvanta/closed_libraries.h"
#include "orvanta/error_codes.h"
#include "platform/dynamic_library.h"
#include "platform/process_locale.h"
#include "wrapper/recent_handles.h"

namespace vexo::wrapper {

namespace platform = templates::platform;
using tools::logging::logRecord;

struct FgNxWrapperPrivate {
    explicit FgNxWrapperPrivate(int32_t portCount)
        : functions(new nx::RuntimeFunctions), parameterInfo(new describe::ParameterInfoTable(portCount)) {
        binding.functions = functions.get();
    }

    // Release order: runtime library, HAP, function table, description store.
    ~FgNxWrapperPrivate() {
        if (runtimeModule != nullptr) platform::unloadLibrary(runtimeModule);
        if (binding.hapHandle != nullptr) Hap_Release(binding.hapHandle);
        functions.reset();
        parameterInfo.reset();
    }

    std::unique_ptr<nx::RuntimeFunctions> functions;
    nx::Binding binding;
    platform::ModuleHandle runtimeModule = nullptr;
    nx::InitHandleSlaveAwareFn initHandleSlaveAware = nullptr;
    nx::InitHandleFn initHandle = nullptr;
    nx::GetLastErrorNumberFn getLastErrorNumberFn = nullptr;
    std::unique_ptr<describe::ParameterInfoTable> parameterInfo;
    nx::LastError lastError;
};

namespace {

constexpr int kMaxEvents = 64;

// Only the applet name of the header is compared; the vendor and the port only have to be there.
bool configHeaderFits(config::Fg_ConfigFileParser& parser, const char* appletName) {
    char text[config::kLineBufferSize];
    if (parser.parseKeyFromLine("Hersteller", text) != errors::kSuccess) return false;
    if (parser.parseKeyFromLine("Typ", text) != errors::kSuccess) return false;
    if (std::strcmp(text, appletName) != 0) return false;
    uint32_t activePort = 0;
    return parser.parseIntKeyFromHeader("AktivePort", activePort) == errors::kSuccess;
}

}  // namespace

FgNxWrapper::FgNxWrapper(int32_t portCount) : d(new FgNxWrapperPrivate(portCount)) {}

FgNxWrapper::~FgNxWrapper() noexcept(false) = default;

tools::logging::Logger* FgNxWrapper::getLogger() {
    if (logger == nullptr) logger = tools::logging::Logging::instance().getLogger("vexo.wrapper.FgNxWrapper");
    return logger;
}

int32_t FgNxWrapper::loadRuntime(const char* fileName) {
    d->runtimeModule = platform::loadLibrary(platform::nativeLibraryFileName(fileName).c_str());
    if (d->runtimeModule == nullptr) {
        // The record names the library as the runtime is known on Windows, on every platform.
        logRecord(getLogger(), tools::logging::kLevelBinding, "error opening dll '", fileName, "'");
        setLastError(errors::kRuntimeNotBound);
        return errors::kRuntimeNotBound;
    }
    d->functions->resolve(d->runtimeModule);
    d->binding.parameterIdByName =
        nx::resolveFunction<nx::GetParameterIdByNameFn>(d->runtimeModule, "Fg_getParameterIdByName");
    return errors::kSuccess;
}

int32_t FgNxWrapper::openInnerHandle(const char* hapName, uint64_t hardwareHandle, void* hapHandle, uint32_t flags) {
    d->initHandleSlaveAware =
        nx::resolveFunction<nx::InitHandleSlaveAwareFn>(d->runtimeModule, "Fg_InitHandleSlaveAware");
    d->initHandle = nx::resolveFunction<nx::InitHandleFn>(d->runtimeModule, "Fg_InitHandle");
    d->getLastErrorNumberFn = nx::resolveFunction<nx::GetLastErrorNumberFn>(d->runtimeModule, "Fg_getLastErrorNumber");
    if (d->initHandleSlaveAware == nullptr && d->initHandle == nullptr) {
        logRecord(getLogger(), tools::logging::kLevelBinding,
                  "cannot resolve function 'Fg_InitHandle' and/or 'Fg_InitHandleSlaveAware'");
        setLastError(errors::kRuntimeNotBound);
        return errors::kRuntimeNotBound;
    }
    // Only the slave-aware form takes the flags; it is preferred whenever the runtime has it.
    const bool slaveAware = d->initHandleSlaveAware != nullptr;
    d->binding.innerHandle = slaveAware ? d->initHandleSlaveAware(hapName, hardwareHandle, hapHandle, flags)
                                        : d->initHandle(hapName, hardwareHandle, hapHandle);
    if (d->binding.innerHandle != nullptr) {
        lastHardwareHandle(hardwareHandle);
        lastHapHandle(hapHandle);
        return errors::kSuccess;
    }
    logRecord(getLogger(), tools::logging::kLevelFailedAccess, "error calling '",
              slaveAware ? "Fg_InitHandleSlaveAware" : "Fg_InitHandle", "' (hapName = '", hapName, "')");
    int32_t code = d->getLastErrorNumberFn != nullptr ? d->getLastErrorNumberFn(nullptr) : errors::kHapNotOpened;
    // A refused open whose global last error reads 0 would look like success to start-up,
    // which would then go on without an inner handle. Report it as a failed open instead.
    if (code == errors::kSuccess) code = errors::kHapNotOpened;
    setLastError(code);
    return code;
}

int32_t FgNxWrapper::closeInnerHandle() {
    const auto freeGrabber = runtimeFunctions().get<nx::RuntimeSlot::Fg_FreeGrabber>();
    void* inner = d->binding.innerHandle;
    d->binding.innerHandle = nullptr;
    return freeGrabber != nullptr && inner != nullptr ? freeGrabber(inner) : errors::kSuccess;
}

void FgNxWrapper::recordHandles(uint64_t hardwareHandle, void* hapHandle) {
    d->binding.hardwareHandle = hardwareHandle;
    d->binding.hapHandle = hapHandle;
}

int32_t FgNxWrapper::runtimeLastError() const {
    if (d->binding.innerHandle == nullptr) return errors::kRuntimeFunctionMissing;
    return d->binding.call<nx::RuntimeSlot::Fg_getLastErrorNumber>();
}

int32_t FgNxWrapper::getLastError() const { return d->lastError.get(); }

void FgNxWrapper::setLastError(int32_t code) { d->lastError.set(code); }

nx::LastError& FgNxWrapper::lastErrorWord() { return d->lastError; }

const nx::Binding& FgNxWrapper::binding() const { return d->binding; }

describe::ParameterInfoTable& FgNxWrapper::parameterInfo() const { return *d->parameterInfo; }

// Doubles are written and read with the decimal point of the process locale, so both
// operations switch the whole process to the English locale first and leave it so.
int32_t FgNxWrapper::saveConfig(void* /*innerHandle*/, const char* fileName) {
    platform::setEnglishLocale();
    config::Fg_ConfigFileParser parser(nullptr, nullptr, false);
    if (!parser.setSaveFile(fileName)) {
        setLastError(config::kFileNotCreated);
        return config::kFileNotCreated;
    }
    parser.writeConfigFileHeader();
    parser.writeConfigFile("Hersteller", getManufacturer());
    parser.writeConfigFile("Typ", getTypeName());
    parser.writeConfigFile("Version", getVersion());
    parser.writeConfigFileIntKey("LoadAppletId", getLoadAppletId());
    parser.writeConfigFileIntKey("AktivePort", 0);
    writeConfiguration(parser);
    setLastError(errors::kSuccess);
    return errors::kSuccess;
}

int32_t FgNxWrapper::loadConfig(void* /*innerHandle*/, const char* fileName) {
    platform::setEnglishLocale();
    config::Fg_ConfigFileParser parser(nullptr, fileName, true);
    // Every failure leaves -5000 as the last error, also where the answer is -2076.
    setLastError(config::kContentInvalid);
    if (!parser.isOpen()) return config::kFileNotFound;
    if (!configHeaderFits(parser, getTypeName()) || !readConfiguration(parser)) return config::kContentInvalid;
    setLastError(errors::kSuccess);
    return errors::kSuccess;
}

void* FgNxWrapper::allocShading(void*, void*, void*) { return nullptr; }
int32_t FgNxWrapper::freeShading(void*, void*, void*) { return errors::kNotOffered; }
int32_t FgNxWrapper::setSubValueLine(void*, void*, void*, float) { return errors::kNotOffered; }
int32_t FgNxWrapper::setMultValueLine(void*, void*, void*, float) { return errors::kNotOffered; }
int32_t FgNxWrapper::setFixedPatternNoiseLine(void*, void*, void*, int32_t) { return errors::kNotOffered; }
int32_t FgNxWrapper::getMaxLine(void*, void*, void*) { return errors::kNotOffered; }
int32_t FgNxWrapper::getAccess(void*, void*, void*) { return errors::kNotOffered; }
int32_t FgNxWrapper::freeAccess(void*, void*, void*) { return errors::kNotOffered; }
int32_t FgNxWrapper::writeActLine(void*, void*, void*) { return errors::kNotOffered; }

uint64_t FgNxWrapper::getEventMask(const char* name) {
    if (name == nullptr) return 0;
    for (int i = 0; i < kMaxEvents; ++i) {
        const HapEventDescriptor* event = Hap_GetEvent(d->binding.hapHandle, i);
        if (event != nullptr && event->name != nullptr && std::strcmp(event->name, name) == 0) {
            return uint64_t{1} << i;
        }
    }
    return 0;
}

const char* FgNxWrapper::getEventName(uint64_t mask) {
    for (int i = 0; i < kMaxEvents; ++i) {
        const HapEventDescriptor* event = Hap_GetEvent(d->binding.hapHandle, i);
        if (event != nullptr && (uint64_t{1} << i) == mask) return event->name;
    }
    return nullptr;
}

}  // namespace vexo::wrapper
