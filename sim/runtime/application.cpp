// Opening an applet for an application: the runtime loads the applet library by plain file
// name, asks its Std_entry for the wrapper, and keeps it in a handle record of its own.
#include "application.h"

#include <string>

namespace sim::app {
namespace {

using StdEntry = void* (*)(uint64_t hardware, int32_t* error, uint32_t flags);

// An installation keeps the applets in "Hardware Applets" beside the runtime's own folder
// (<install dir>/bin and <install dir>/Hardware Applets); empty when the runtime's folder is unknown.
std::string installedAppletPath(const std::string& fileName) {
    const std::string folder = platform::moduleFolderOf(reinterpret_cast<const void*>(&installedAppletPath));
    if (folder.size() < 2) return {};
    const char separator = folder.back();
    // The applet finds the installation's logging dispatcher from its own path: no "bin/.." in it.
    const std::size_t parentEnd = folder.find_last_of(separator, folder.size() - 2);
    if (parentEnd == std::string::npos) return {};
    return folder.substr(0, parentEnd + 1) + "Hardware Applets" + separator + fileName;
}

// The applet module, loaded once and never unloaded. Loading runs the applet's static
// constructors, so it happens outside the state lock. The plain file name comes first, which
// the system looks for beside the runtime (its run path) or the application, then the
// installation's applet folder.
void* appletModule(const std::string& appletName) {
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        const auto found = s.appletModules.find(appletName);
        if (found != s.appletModules.end()) return found->second;
    }
    const std::string fileName = platform::libraryFileName(appletName, true);
    void* module = platform::loadLibrary(fileName.c_str());
    if (module == nullptr) {
        const std::string installed = installedAppletPath(fileName);
        if (!installed.empty()) module = platform::loadLibrary(installed.c_str());
    }
    if (module == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.appletModules.emplace(appletName, module).first->second;
}

void* failOpen(int32_t error) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.globalLastError = error;
    return nullptr;
}

}  // namespace

AppHandle* find(const void* fg) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.appHandles.count(fg) != 0 ? static_cast<AppHandle*>(const_cast<void*>(fg)) : nullptr;
}

void* open(const char* appletName, uint32_t boardIndex, uint32_t flags) {
    if (appletName == nullptr || *appletName == '\0') return failOpen(SIM_ERR_INVALID_PARAMETER);
    if (boardIndex >= SIM_BOARD_COUNT) return failOpen(SIM_ERR_INVALID_BOARD);
    void* module = appletModule(appletName);
    const auto entry = reinterpret_cast<StdEntry>(module == nullptr ? nullptr : platform::findSymbol(module, "Std_entry"));
    if (entry == nullptr) return failOpen(SIM_ERR_LIBRARY_LOAD);

    // Std_entry calls back into the runtime: no lock while it runs.
    int32_t error = 0;
    void* wrapper = entry(hardwareOfBoard(boardIndex), &error, flags);
    if (wrapper == nullptr) return failOpen(error);

    auto* record = new AppHandle{wrapper, boardIndex, module};
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.appHandles.insert(record);
    ApplicationEvents& events = s.applicationEvents[record];
    events.board = SimBoard_Of(hardwareOfBoard(boardIndex));
    events.lastWait = s.eventSerial;
    s.globalLastError = 0;
    return record;
}

int32_t freeGrabber(AppHandle* app) {
    State& s = state();
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.appHandles.erase(app) == 0) return SIM_ERR_INVALID_HANDLE;
        s.applicationEvents.erase(app);
    }
    const int32_t result = route<int32_t>(app, "Fg_FreeGrabber", SIM_ERR_NOT_AVAILABLE);
    delete app;
    return result;
}

void* appletSymbol(const char* appletName, const char* symbol) {
    void* module = appletModule(appletName);
    return module == nullptr || symbol == nullptr ? nullptr : platform::findSymbol(module, symbol);
}

}  // namespace sim::app
