// The platform services: library naming and loading, module file names, environment
// variables, the clock, thread ids and the process locale.
#include <atomic>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "check.h"
#include "platform/clock.h"
#include "platform/dynamic_library.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "platform/process_locale.h"
#include "platform/thread.h"

using namespace vexo::templates::platform;

namespace {

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string moduleFileName(const void* address) {
    char buffer[1024];
    const size_t length = moduleFileNameOf(address, buffer, sizeof(buffer));
    return length == 0 || length == sizeof(buffer) ? std::string() : std::string(buffer, length);
}

struct NamingRule {
    const char* windowsName;
    const char* linuxName;
};

constexpr NamingRule namingRules[] = {
    {"rtcore5.dll", "librtcore5.so"},
    {"vexo_hw.DLL", "libvexo_hw.so"},
    {"C:\\Program Files\\x\\bin\\common-logging-dispatcher.dll",
     "C:\\Program Files\\x\\bin\\libcommon-logging-dispatcher.so"},
    {"/opt/x/bin/hapcore.Dll", "/opt/x/bin/libhapcore.so"},
    {"/opt/x\\bin/a.b.dll", "/opt/x\\bin/liba.b.so"},
    {"Orvanta.so", "Orvanta.so"},
    {"rtcore5.dll.old", "rtcore5.dll.old"},
    {"rtcore5dll", "rtcore5dll"},
    {".dll", ".dll"},
    {"dir/.dll", "dir/.dll"},
    {"x.dll/", "x.dll/"},
    {"", ""},
};

}  // namespace

TEST_CASE("a Windows library name maps to lib<name>.so on Linux, folders kept") {
    for (const NamingRule& rule : namingRules) CHECK_EQ(linuxLibraryFileName(rule.windowsName), rule.linuxName);
#if defined(_WIN32)
    CHECK_EQ(nativeLibraryFileName("C:\\x\\rtcore5.dll"), std::string("C:\\x\\rtcore5.dll"));
#else
    CHECK_EQ(nativeLibraryFileName("C:\\x\\rtcore5.dll"), std::string("C:\\x\\librtcore5.so"));
#endif
}

TEST_CASE("a library loads by its native name; its symbols and file name are found") {
    const std::string name = nativeLibraryFileName("platform_probe.dll");
    ModuleHandle module = loadLibrary(name.c_str());
    REQUIRE(module != nullptr);
    auto answer = reinterpret_cast<int32_t (*)()>(findSymbol(module, "platform_probe_answer"));
    const auto* marker = static_cast<const uint32_t*>(findSymbol(module, "platform_probe_marker"));
    REQUIRE(answer != nullptr);
    REQUIRE(marker != nullptr);
    CHECK_EQ(answer(), 42);
    CHECK_EQ(*marker, 0x0dd5eedu);
    CHECK(findSymbol(module, "platform_probe_missing") == nullptr);
    CHECK(findSymbol(nullptr, "platform_probe_answer") == nullptr);

    const std::string path = moduleFileName(marker);
    CHECK(endsWith(path, pathSeparator() + name));
    unloadLibrary(module);
}

TEST_CASE("a library that cannot be loaded leaves an error text for this thread") {
    const std::string name = nativeLibraryFileName("orvanta_no_such_library.dll");
    CHECK(loadLibrary(name.c_str()) == nullptr);
    const LoadError error = lastLoadError();
    CHECK(!error.text.empty());
#if defined(_WIN32)
    CHECK(error.code != 0u);
#else
    CHECK_EQ(error.code, 0u);
#endif
    std::string otherThreadsText = "unset";
    std::thread([&] { otherThreadsText = lastLoadError().text; }).join();
    CHECK_EQ(otherThreadsText, std::string());
}

TEST_CASE("the module of an address in the executable is the executable, by its full name") {
    static const int insideExecutable = 0;
    const std::string path = moduleFileName(&insideExecutable);
    CHECK(endsWith(path, pathSeparator() + std::string(TEST_EXECUTABLE_NAME)));
    CHECK(path.size() > std::strlen(TEST_EXECUTABLE_NAME) + 1);

    // Too small a buffer gets the cut name, terminated, and the result says so.
    char small[5];
    CHECK_EQ(moduleFileNameOf(&insideExecutable, small, sizeof(small)), sizeof(small));
    CHECK_EQ(std::string(small), path.substr(0, sizeof(small) - 1));

    const auto heapObject = std::make_unique<int>(0);
    char buffer[64];
    CHECK_EQ(moduleFileNameOf(heapObject.get(), buffer, sizeof(buffer)), 0u);
}

TEST_CASE("environment: defined-empty differs from undefined; long values read whole") {
    const char* name = "ORVANTA_PLATFORM_TEST_VARIABLE";
    std::string value = "before";
    REQUIRE(setEnvironment(name, ""));
    CHECK(getEnvironment(name, value));
    CHECK_EQ(value, std::string());

    const std::string longValue(5000, 'v');
    REQUIRE(setEnvironment(name, longValue.c_str()));
    CHECK(getEnvironment(name, value));
    CHECK_EQ(value, longValue);

    REQUIRE(unsetEnvironment(name));
    CHECK(!getEnvironment(name, value));
}

TEST_CASE("the performance counter runs forward at a positive frequency") {
    CHECK(performanceFrequency() > 0);
    int64_t previous = performanceCounter();
    for (int i = 0; i < 1000; ++i) {
        const int64_t now = performanceCounter();
        REQUIRE(now >= previous);
        previous = now;
    }
}

TEST_CASE("thread ids are non-zero, stable within a thread and differ between threads") {
    const uint32_t self = currentThreadId();
    CHECK(self != 0u);
    CHECK_EQ(currentThreadId(), self);
    std::atomic<uint32_t> other{0};
    std::thread([&] { other = currentThreadId(); }).join();
    CHECK(other.load() != 0u);
    CHECK(other.load() != self);
}

TEST_CASE("the English locale writes numbers with a decimal point") {
    setEnglishLocale();
    char text[16];
    std::snprintf(text, sizeof(text), "%.2f", 1.25);
    CHECK_EQ(std::string(text), std::string("1.25"));
    CHECK(std::setlocale(LC_ALL, nullptr) != nullptr);
}

CHECK_MAIN
