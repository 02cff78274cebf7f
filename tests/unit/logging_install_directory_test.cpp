// The installation directory as found from a library's file name and from the installation's
// environment variables. That the applet finds its installation from its own file name shows end
// to end, where it attaches the logging dispatcher found there.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "logging/install_directory.h"
#include "platform/environment.h"

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

}  // namespace

// The folder above the nearest library folder, named in any case, is the directory.
TEST(InstallDirectory, PathDecidesWhileTheVariablesAreUnset) {
    clearVariables();
    const struct {
        const char* path;
        char separator;
        const char* directory;
    } cases[] = {
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
        {"/opt/binaries/Orvanta.so", '/', "<none>"},    // a longer name is not "bin"
        {"/opt/vexo/bin", '/', "<none>"},               // the file itself is no folder
        {"C:\\Vexo\\bin\\Orvanta.dll", '/', "<none>"},  // walked by the other separator
        {"Orvanta.so", '/', "<none>"},
        {"", '/', "<none>"},
    };
    for (const auto& c : cases) EXPECT_EQ(search(c.path, c.separator), c.directory) << c.path;
}

TEST(InstallDirectory, VariablesDecideWhenThePathDoesNot) {
    clearVariables();
    platform::setEnvironment("VEXODIR5", "/opt/vexo5");
    EXPECT_EQ(search("/opt/x/Orvanta.so", '/'), "/opt/vexo5");
    // VEXODIR5_64 goes first, without its trailing separators.
    platform::setEnvironment("VEXODIR5_64", "C:\\Vexo 64\\\\\\");
    EXPECT_EQ(search("C:\\x\\Orvanta.dll", '\\'), "C:\\Vexo 64");
    // An empty value names nothing and leaves the choice to the next variable.
    platform::setEnvironment("VEXODIR5_64", "");
    EXPECT_EQ(search("/opt/x/Orvanta.so", '/'), "/opt/vexo5");
    // The path still goes first.
    platform::setEnvironment("VEXODIR5_64", "/elsewhere");
    EXPECT_EQ(search("/opt/vexo/bin/Orvanta.so", '/'), "/opt/vexo");

    // Cut to 1023 characters first, then the separators at the end of what is left dropped.
    std::string value(logging::kInstallDirectoryCapacity + 100, 'd');
    value[1021] = '/';
    value[1022] = '/';
    platform::setEnvironment("VEXODIR5_64", value.c_str());
    EXPECT_EQ(search("", '/'), value.substr(0, 1021));
    value[1021] = 'd';
    value[1022] = 'd';
    platform::setEnvironment("VEXODIR5_64", value.c_str());
    EXPECT_EQ(search("", '/'), value.substr(0, 1023));
}
