// Units of start-up that need no board: the on/off switch values, the module base name and the
// inspect.conf loader.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "applet/core/inspect_settings.h"
#include "applet/core/startup_settings.h"

using namespace vexo::applet;

TEST(StartupSettings, SwitchValuesAreMatchedWholeIgnoringCaseOnly) {
    for (const char* on : {"ON", "True", "1", "yes", "YES", "tRuE", "on"}) EXPECT_TRUE(isSwitchOnValue(on)) << on;
    for (const char* off : {"2", "y", "enabled", " yes", "yes ", "", "0", "off", "true1"}) {
        EXPECT_FALSE(isSwitchOnValue(off)) << off;
    }
}

TEST(StartupSettings, ModuleBaseNameIsTheFileNameWithoutDirectoryAndExtension) {
    // {full name, directory, base name}; null: there is no base name.
    const char* const rows[][3] = {
        {"C:\\Program Files\\vexo\\Orvanta.dll", "C:\\Program Files\\vexo", "Orvanta"},
        {"/opt/vexo/lib/Orvanta.so", "/opt/vexo/lib", "Orvanta"},
        // The last separator of either kind counts, and only the last dot is cut.
        {"C:\\a/b\\Orvanta", "C:\\a/b", "Orvanta"},
        {"/x.y/Orvanta.v2.so", "/x.y", "Orvanta.v2"},
        // Without a directory or without a name.
        {"Orvanta.so", nullptr, nullptr},
        {"/Orvanta.so", nullptr, nullptr},
        {"/opt/.so", nullptr, nullptr}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row[0]);
        std::string directory;
        std::string base;
        ASSERT_EQ(splitModulePath(row[0], directory, base), row[1] != nullptr);
        if (row[1] == nullptr) continue;
        EXPECT_EQ(directory, row[1]);
        EXPECT_EQ(base, row[2]);
    }
}

TEST(InspectSettings, SectionsCommentsKeyLinesAndWhatALoadKeeps) {
    const std::string path = "inspect_settings_test.conf";
    std::ofstream(path) <<
        "Width = 5          # before any section: ignored\n"
        "[ Orvanta ]\n"
        "  FG_WIDTH = On # comment\n"
        "\n"
        "# a whole comment line\n"
        "no separator here\n"
        "Device1_Process0_A=yes=really\n"
        "[Other]\n"
        "FG_WIDTH=off\n"
        "[]\n"
        "Late = 1   # a comment\n"
        "[Orvanta]\n"
        "FG_WIDTH = Off\n";
    // A missing file adds nothing; a load keeps what was there.
    InspectSettings settings;
    EXPECT_FALSE(settings.load("no-such-folder/inspect.conf"));
    EXPECT_EQ(settings.size(), 0u);
    settings.set("Orvanta::Kept", "1");
    ASSERT_TRUE(settings.load(path));
    std::remove(path.c_str());
    const auto valueOf = [&settings](const char* key) {
        std::string value;
        return settings.get(key, value) ? value : "<none>";
    };
    EXPECT_EQ(valueOf("Orvanta::Kept"), "1");
    EXPECT_EQ(valueOf("Orvanta::FG_WIDTH"), "Off");
    EXPECT_EQ(valueOf("Orvanta::Device1_Process0_A"), "yes=really");
    EXPECT_EQ(valueOf("Other::FG_WIDTH"), "off");
    // "[]" is too short to name a section, so the key after it stays in [Other].
    EXPECT_EQ(valueOf("Other::Late"), "1");
    EXPECT_EQ(valueOf("::Width"), "<none>");
    EXPECT_EQ(valueOf("Width"), "<none>");
    EXPECT_EQ(settings.size(), 5u);
    EXPECT_EQ(settings.keysOfSection("Orvanta"),
              (std::vector<std::string>{"Device1_Process0_A", "FG_WIDTH", "Kept"}));
}
