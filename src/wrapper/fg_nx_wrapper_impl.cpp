// The applet class: construction, destruction, descriptor answers and the operations that
// must never be reached.
#include "wrapper/fg_nx_wrapper_impl.h"

#include <stdexcept>

#include "logging/logging.h"
#include "platform/module_path.h"
#include "wrapper/startup_settings.h"

namespace vexo::wrapper {

namespace platform = templates::platform;

namespace {

// Room for a full Windows path (MAX_PATH + 1), the size the module name has always been read into.
constexpr size_t kModuleNameBufferSize = 261;

// An address inside this library's code, to ask which module (file) the library is.
void moduleAnchor() {}

[[noreturn]] void notImplemented(const char* operation) {
    throw std::runtime_error(std::string(operation) + "() is not implemented.");
}

}  // namespace

FgNxWrapperImpl::FgNxWrapperImpl(int32_t portCount) : FgNxWrapper(portCount) {
    appletWord() = readSwitch("VEXO_ENABLE_DRA") ? 1 : 0;
    moduleBaseName = "none";
    findModuleFiles();
}

FgNxWrapperImpl::~FgNxWrapperImpl() noexcept(false) = default;

void FgNxWrapperImpl::findModuleFiles() {
    char fullName[kModuleNameBufferSize] = {};
    const size_t length =
        platform::moduleFileNameOf(reinterpret_cast<const void*>(&moduleAnchor), fullName, sizeof fullName);
    // A name that filled the whole buffer was cut and would name the wrong folder.
    if (length == 0 || length >= sizeof fullName) return;
    std::string directory;
    std::string baseName;
    if (!splitModulePath(fullName, directory, baseName)) return;
    moduleBaseName = baseName;
    inspectSettings.load(directory + platform::pathSeparator() + "inspect.conf");
}

tools::logging::Logger* FgNxWrapperImpl::getLogger() {
    if (logger == nullptr) logger = tools::logging::Logging::instance().getLogger("vexo.wrapper.Orvanta");
    return logger;
}

int32_t FgNxWrapperImpl::processChannelToDma(int32_t) { notImplemented("processChannelToDma"); }
int32_t FgNxWrapperImpl::mapDmaToFormat(int32_t) { notImplemented("mapDmaToFormat"); }
int32_t FgNxWrapperImpl::setDmaAlignment(int32_t, int32_t) { notImplemented("setDmaAlignment"); }
int32_t FgNxWrapperImpl::getDmaAlignment(int32_t) { notImplemented("getDmaAlignment"); }

// The header of a saved configuration file.
const char* FgNxWrapperImpl::getManufacturer() { return "Brightmoor GmbH"; }
const char* FgNxWrapperImpl::getTypeName() { return "Orvanta"; }
const char* FgNxWrapperImpl::getVersion() { return "1.2"; }
int32_t FgNxWrapperImpl::getLoadAppletId() { return 0; }

}  // namespace vexo::wrapper
