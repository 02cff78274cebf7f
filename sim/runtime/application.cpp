// Opening an applet for an application: the runtime loads the applet library by plain file
// name, asks its Std_entry for the wrapper, and keeps it in a handle record of its own.
#include "application.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>

#include "inner_calls.h"
#include "clock_thread.h"

namespace sim::app {
namespace {

using StdEntry = void* (*)(uint64_t hardware, int32_t* error, uint32_t flags);

// The inner handle opened on this thread while an application's applet starts.
thread_local const void* openedInner = nullptr;

struct AppletModules {
    std::mutex mutex;
    std::map<std::string, void*> byName;
};

AppletModules& appletModules() {
    static AppletModules modules;
    return modules;
}

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
    AppletModules& modules = appletModules();
    {
        std::lock_guard<std::mutex> lock(modules.mutex);
        const auto found = modules.byName.find(appletName);
        if (found != modules.byName.end()) return found->second;
    }
    const std::string fileName = platform::libraryFileName(appletName, true);
    void* module = platform::loadLibrary(fileName.c_str());
    if (module == nullptr) {
        const std::string installed = installedAppletPath(fileName);
        if (!installed.empty()) module = platform::loadLibrary(installed.c_str());
    }
    if (module == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(modules.mutex);
    return modules.byName.emplace(appletName, module).first->second;
}

void* failOpen(int32_t error) {
    handles().globalLastError = error;
    return nullptr;
}

}  // namespace

void* open(const char* appletName, uint32_t boardIndex, uint32_t flags) {
    if (appletName == nullptr || *appletName == '\0') return failOpen(SIM_ERR_INVALID_PARAMETER);
    if (boardIndex >= SIM_BOARD_COUNT) return failOpen(SIM_ERR_INVALID_BOARD);
    void* module = appletModule(appletName);
    const auto entry = reinterpret_cast<StdEntry>(module == nullptr ? nullptr : platform::findSymbol(module, "Std_entry"));
    if (entry == nullptr) return failOpen(SIM_ERR_LIBRARY_LOAD);
    Board* board = handles().board(hardwareOfBoard(boardIndex));
    if (board == nullptr) return failOpen(SIM_ERR_INVALID_BOARD);

    // The record is made before the applet opens: a lack of memory then leaves nothing open.
    std::unique_ptr<AppHandle> record;
    try {
        record = std::make_unique<AppHandle>();
    } catch (const std::bad_alloc&) {
        return failOpen(SIM_ERR_OUT_OF_MEMORY);
    }
    // Std_entry calls back into the runtime: no lock while it runs.
    int32_t error = 0;
    openedInner = nullptr;
    void* wrapper = entry(hardwareOfBoard(boardIndex), &error, flags);
    const void* inner = openedInner;
    openedInner = nullptr;
    if (wrapper == nullptr) return failOpen(error);

    *record = AppHandle{wrapper, boardIndex, module, board, inner, 0, false};
    try {
        {
            std::lock_guard<std::mutex> lock(board->mutex);
            board->events.applications[record.get()].lastWait = board->events.serial;
        }
        handles().addApplication(record.get());
    } catch (const std::bad_alloc&) {
        // The application never sees this handle: the applet closes its board again.
        {
            std::lock_guard<std::mutex> lock(board->mutex);
            board->events.applications.erase(record.get());
        }
        route<int32_t>(record.get(), "Fg_FreeGrabber", SIM_ERR_NOT_AVAILABLE);
        return failOpen(SIM_ERR_OUT_OF_MEMORY);
    }
    handles().globalLastError = 0;
    return record.release();
}

bool freeGrabber(void* fg, int32_t& result) {
    AppHandle* app = handles().enterApplication(fg);
    if (app == nullptr) return false;
    handles().leaveApplication(app);
    if (!handles().retireApplication(app)) {
        // Another thread closes it.
        result = SIM_ERR_INVALID_HANDLE;
        return true;
    }
    // Calls waiting inside the handle return: its event waits and handlers go, and so does the
    // acquisition of its inner handle.
    {
        std::lock_guard<std::mutex> lock(app->board->mutex);
        app->board->events.applications.erase(app);
        app->board->changed.notify_all();
    }
    if (app->inner != nullptr) inner::stopAcquisitionOf(app->inner);
    handles().waitForCalls(app, inHandlerOf(app) ? 1 : 0);
    result = route<int32_t>(app, "Fg_FreeGrabber", SIM_ERR_NOT_AVAILABLE);
    handles().releaseApplication(app);
    return true;
}

void innerHandleOpenedForApplication(const void* inner) { openedInner = inner; }

void* appletSymbol(const char* appletName, const char* symbol) {
    void* module = appletModule(appletName);
    return module == nullptr || symbol == nullptr ? nullptr : platform::findSymbol(module, symbol);
}

}  // namespace sim::app
