// The installation directory as found from a library's file name and from the installation's
// environment variables, and the dispatcher path formed below it.
#include <cstring>
#include <string>

#include "check.h"
#include "logging/dispatcher_library.h"
#include "logging/install_directory.h"
#include "platform/environment.h"
#include "platform/module_path.h"

namespace {

namespace logging = vexo::tools::logging;
namespace platform = vexo::templates::platform;

void clearVariables() {
    platform::unsetEnvironment("VEXODIR5_64");
    platform::unsetEnvironment("VEXODIR5");
}

// The directory found for a path, or "<none>".
std::string search(const std::string& path, char separator) {
    char buffer[logging::kInstallDirectoryCapacity];
    std::memset(buffer, 'x', sizeof buffer);
    return logging::searchInstallDirectory(path, separator, buffer) ? std::string(buffer) : "<none>";
}

struct PathCase {
    const char* path;
    char separator;
    const char* directory;
};

}  // namespace

TEST_CASE("the folder above the nearest library folder, named in any case, is the directory") {
    clearVariables();
    const PathCase cases[] = {
        {"C:\\Program Files\\Vexo\\bin\\Orvanta.dll", '\\', "C:\\Program Files\\Vexo"},
        {"C:\\Vexo\\Hardware Applets\\Board 5\\Orvanta.dll", '\\', "C:\\Vexo"},
        {"C:\\Vexo\\HARDWARE APPLETS\\Orvanta.dll", '\\', "C:\\Vexo"},
        {"C:\\Vexo\\Dll\\Orvanta.dll", '\\', "C:\\Vexo"},
        {"/opt/vexo/Lib64/Orvanta.so", '/', "/opt/vexo"},
        {"/opt/vexo/LIB/a/b/Orvanta.so", '/', "/opt/vexo"},
        // The nearest match from the file wins over one further up.
        {"/opt/lib/vexo/bin/Orvanta.so", '/', "/opt/lib/vexo"},
        // Runs of separators count as one, before and after the folder.
        {"/opt/vexo//bin///Orvanta.so", '/', "/opt/vexo"},
        {"C:\\\\Vexo\\\\\\bin\\\\Orvanta.dll", '\\', "C:\\\\Vexo"},
        {"/bin/Orvanta.so", '/', ""},
    };
    for (const PathCase& c : cases) CHECK_EQ(search(c.path, c.separator), std::string(c.directory));
}

TEST_CASE("without a library folder in the path nothing is found while the variables are unset") {
    clearVariables();
    const PathCase cases[] = {
        {"/opt/binaries/Orvanta.so", '/', "<none>"},   // a longer name is not "bin"
        {"/opt/vexo/bin", '/', "<none>"},              // the file itself is no folder
        {"C:\\Vexo\\bin\\Orvanta.dll", '/', "<none>"}, // walked by the other separator
        {"Orvanta.so", '/', "<none>"},
        {"", '/', "<none>"},
    };
    for (const PathCase& c : cases) CHECK_EQ(search(c.path, c.separator), std::string(c.directory));
}

TEST_CASE("the variables decide when the path does not: VEXODIR5_64 first, trailing separators dropped") {
    clearVariables();
    platform::setEnvironment("VEXODIR5", "/opt/vexo5");
    CHECK_EQ(search("/opt/x/Orvanta.so", '/'), std::string("/opt/vexo5"));
    platform::setEnvironment("VEXODIR5_64", "C:\\Vexo 64\\\\\\");
    CHECK_EQ(search("C:\\x\\Orvanta.dll", '\\'), std::string("C:\\Vexo 64"));
    // An empty value names nothing and leaves the choice to the next variable.
    platform::setEnvironment("VEXODIR5_64", "");
    CHECK_EQ(search("/opt/x/Orvanta.so", '/'), std::string("/opt/vexo5"));
    // The path still goes first.
    platform::setEnvironment("VEXODIR5_64", "/elsewhere");
    CHECK_EQ(search("/opt/vexo/bin/Orvanta.so", '/'), std::string("/opt/vexo"));

    // Cut to 1023 characters first, then the separators at the end of what is left dropped.
    std::string value(logging::kInstallDirectoryCapacity + 100, 'd');
    value[1021] = '/';
    value[1022] = '/';
    platform::setEnvironment("VEXODIR5_64", value.c_str());
    CHECK_EQ(search("", '/'), value.substr(0, 1021));
    value[1021] = 'd';
    value[1022] = 'd';
    platform::setEnvironment("VEXODIR5_64", value.c_str());
    CHECK_EQ(search("", '/'), value.substr(0, 1023));
    clearVariables();
}

TEST_CASE("this module's directory is the one above its bin folder, kept for later calls") {
    char own[logging::kInstallDirectoryCapacity];
    static const int marker = 0;
    REQUIRE(platform::moduleFileNameOf(&marker, own, sizeof own) > 0);
    std::string expected = own;
    expected.resize(expected.find_last_of(platform::pathSeparator()));  // the bin folder
    expected.resize(expected.find_last_of(platform::pathSeparator()));
    const char* first = logging::installDirectory();
    REQUIRE(first != nullptr);
    CHECK_EQ(std::string(first), expected);
    CHECK(logging::installDirectory() == first);
}

TEST_CASE("the dispatcher is looked for in the directory's bin folder by the platform's naming rule") {
#if defined(_WIN32)
    CHECK_EQ(logging::dispatcherLibraryPath("C:\\Vexo"), std::string("C:\\Vexo\\bin\\common-logging-dispatcher.dll"));
#else
    CHECK_EQ(logging::dispatcherLibraryPath("/opt/vexo"), std::string("/opt/vexo/bin/libcommon-logging-dispatcher.so"));
#endif
}

CHECK_MAIN
