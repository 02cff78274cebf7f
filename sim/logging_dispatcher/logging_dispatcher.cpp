// The stand-in logging dispatcher: one handle per logger name, the starting level from the
// environment, one time-stamped line per record in a file or on standard error.
#include "orvanta_sim/logging_dispatcher.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "sim_platform.h"
#include "orvanta/dispatcher_interface.h"

namespace {

constexpr const char* kLevelVariable = "VEXO_SIM_LOG_LEVEL";
constexpr const char* kFileVariable = "VEXO_SIM_LOG_FILE";
// Above every level the library uses: unless someone asks, records are not even formatted.
constexpr uint32_t kLevelOff = 7;

struct Dispatcher {
    std::mutex lock;
    std::map<std::string, uint64_t> handles;
    std::vector<std::string> names;  // names[handle - 1]
    void* logging = nullptr;         // the attached library's object
    DispatcherResetFn reset = nullptr;
    DispatcherSetLevelFn setLevel = nullptr;
    int32_t attachCount = 0;
};

// Never destroyed: a library may log while the process shuts down.
Dispatcher& dispatcher() {
    static Dispatcher* const instance = new Dispatcher;
    return *instance;
}

uint32_t startLevel() {
    std::string text;
    if (!sim::platform::environment(kLevelVariable, text) || text.empty()) return kLevelOff;
    char* end = nullptr;
    const unsigned long long level = std::strtoull(text.c_str(), &end, 10);
    if (*end != '\0' || level > UINT32_MAX) return kLevelOff;
    return static_cast<uint32_t>(level);
}

std::string timeStamp() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#if defined(_WIN32)
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900, local.tm_mon + 1,
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis));
    return text;
}

// Opened per record, so that a test (or a user) may move or empty the file between records.
void writeLine(const std::string& line) {
    std::string fileName;
    std::FILE* file = nullptr;
    if (sim::platform::environment(kFileVariable, fileName) && !fileName.empty()) file = std::fopen(fileName.c_str(), "ab");
    if (file != nullptr) {
        std::fputs(line.c_str(), file);
        std::fclose(file);
    } else {
        std::fputs(line.c_str(), stderr);
        std::fflush(stderr);
    }
}

int32_t loggerFor(const char* name, uint64_t* handle, uint32_t* level) {
    Dispatcher& d = dispatcher();
    const std::string key = name != nullptr ? name : "";
    std::lock_guard<std::mutex> guard(d.lock);
    auto found = d.handles.find(key);
    if (found == d.handles.end()) {
        d.names.push_back(key);
        found = d.handles.emplace(key, d.names.size()).first;
    }
    if (handle != nullptr) *handle = found->second;
    if (level != nullptr) *level = startLevel();
    return 0;
}

int32_t writeRecord(uint64_t handle, uint32_t level, const char* text, uint32_t /*value32*/, uint64_t /*value64*/) {
    Dispatcher& d = dispatcher();
    std::lock_guard<std::mutex> guard(d.lock);
    const std::string& name = handle >= 1 && handle <= d.names.size() ? d.names[handle - 1] : std::string("?");
    writeLine(timeStamp() + '\t' + name + '\t' + std::to_string(level) + '\t' + (text != nullptr ? text : "") + '\n');
    return 0;
}

int32_t attach(void* logging, DispatcherResetFn reset, DispatcherSetLevelFn setLevel, DispatcherGetLoggerFn* getLoggerFn,
               DispatcherLogFn* logFn) {
    Dispatcher& d = dispatcher();
    std::lock_guard<std::mutex> guard(d.lock);
    d.logging = logging;
    d.reset = reset;
    d.setLevel = setLevel;
    ++d.attachCount;
    if (getLoggerFn != nullptr) *getLoggerFn = &loggerFor;
    if (logFn != nullptr) *logFn = &writeRecord;
    return 0;
}

int32_t detach(void* logging, const void* /*descriptor*/) {
    Dispatcher& d = dispatcher();
    std::lock_guard<std::mutex> guard(d.lock);
    if (logging != d.logging) return -1;
    d.logging = nullptr;
    d.reset = nullptr;
    d.setLevel = nullptr;
    return 0;
}

}  // namespace

// The exported symbol is the descriptor record itself, not a pointer to it.
extern "C" {
#if defined(_WIN32)
__declspec(dllexport)
#else
__attribute__((visibility("default")))
#endif
extern const DispatcherDescriptor logging_dispatcher_descriptor;
const DispatcherDescriptor logging_dispatcher_descriptor = {&attach, &detach};
}

int32_t SimLog_AttachCount(void) {
    Dispatcher& d = dispatcher();
    std::lock_guard<std::mutex> guard(d.lock);
    return d.attachCount;
}

int32_t SimLog_SetLevel(const char* name, uint32_t level) {
    Dispatcher& d = dispatcher();
    DispatcherSetLevelFn setLevel = nullptr;
    uint64_t handle = 0;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        const auto found = d.handles.find(name != nullptr ? name : "");
        if (d.setLevel == nullptr || found == d.handles.end()) return -1;
        setLevel = d.setLevel;
        handle = found->second;
    }
    // Outside the lock: the library may log from inside its callback.
    setLevel(handle, level);
    return 0;
}

int32_t SimLog_Reset(void) {
    Dispatcher& d = dispatcher();
    DispatcherResetFn reset = nullptr;
    {
        std::lock_guard<std::mutex> guard(d.lock);
        reset = d.reset;
        d.logging = nullptr;
        d.reset = nullptr;
        d.setLevel = nullptr;
    }
    if (reset == nullptr) return -1;
    reset();
    return 0;
}
