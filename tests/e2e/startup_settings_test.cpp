// Units of start-up that need no board: the on/off switch values, the module base name, the
// inspect.conf loader, and the consistency of the SDK parameter and initial-value tables.
#include <cstdio>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "applet/sdk_parameter_table.h"
#include "applet/value_store.h"
#include "check.h"
#include "wrapper/inspect_settings.h"
#include "wrapper/startup_settings.h"

using namespace vexo::wrapper;
using vexo::applet::SdkParameter;

namespace {

// A file written for one test and removed again.
struct TempFile {
    explicit TempFile(const std::string& content) : path("inspect_settings_test.conf") {
        std::ofstream(path) << content;
    }
    ~TempFile() { std::remove(path.c_str()); }
    std::string path;
};

}  // namespace

TEST_CASE("switch values are matched whole, ignoring case only") {
    for (const char* on : {"ON", "True", "1", "yes", "YES", "tRuE", "on"}) {
        CHECK(isSwitchOnValue(on));
    }
    for (const char* off : {"2", "y", "enabled", " yes", "yes ", "", "0", "off", "true1"}) {
        CHECK(!isSwitchOnValue(off));
    }
}

TEST_CASE("the module base name is the file name without directory and extension") {
    std::string directory;
    std::string base;
    CHECK(splitModulePath("C:\\Program Files\\vexo\\Orvanta.dll", directory, base));
    CHECK_EQ(directory, std::string("C:\\Program Files\\vexo"));
    CHECK_EQ(base, std::string("Orvanta"));
    CHECK(splitModulePath("/opt/vexo/lib/Orvanta.so", directory, base));
    CHECK_EQ(directory, std::string("/opt/vexo/lib"));
    CHECK_EQ(base, std::string("Orvanta"));
    // The last separator of either kind counts, and only the last dot is cut.
    CHECK(splitModulePath("C:\\a/b\\Orvanta", directory, base));
    CHECK_EQ(directory, std::string("C:\\a/b"));
    CHECK_EQ(base, std::string("Orvanta"));
    CHECK(splitModulePath("/x.y/Orvanta.v2.so", directory, base));
    CHECK_EQ(base, std::string("Orvanta.v2"));
    // Without a directory or without a name there is no base name.
    CHECK(!splitModulePath("Orvanta.so", directory, base));
    CHECK(!splitModulePath("/Orvanta.so", directory, base));
    CHECK(!splitModulePath("/opt/.so", directory, base));
}

TEST_CASE("inspect.conf: sections, comments and key lines") {
    TempFile file(
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
        "Late = 1\n"
        "[Orvanta]\n"
        "FG_WIDTH = Off\n");
    InspectSettings settings;
    REQUIRE(settings.load(file.path));
    std::string value;
    CHECK(settings.get("Orvanta::FG_WIDTH", value));
    CHECK_EQ(value, std::string("Off"));
    CHECK(settings.get("Orvanta::Device1_Process0_A", value));
    CHECK_EQ(value, std::string("yes=really"));
    CHECK(settings.get("Other::FG_WIDTH", value));
    CHECK_EQ(value, std::string("off"));
    // "[]" is too short to name a section, so the key after it stays in [Other].
    CHECK(settings.get("Other::Late", value));
    CHECK(!settings.get("::Width", value));
    CHECK(!settings.get("Width", value));
    CHECK_EQ(settings.size(), size_t{4});
    const std::vector<std::string> keys = settings.keysOfSection("Orvanta");
    REQUIRE_EQ(keys.size(), size_t{2});
    CHECK_EQ(keys[0], std::string("Device1_Process0_A"));
    CHECK_EQ(keys[1], std::string("FG_WIDTH"));
}

TEST_CASE("inspect.conf: one entry for the library's section, and a missing file") {
    TempFile file("[Orvanta]\nFG_WIDTH = On # switched on for inspection\n");
    InspectSettings settings;
    CHECK(!settings.load("no-such-folder/inspect.conf"));
    CHECK_EQ(settings.size(), size_t{0});
    settings.set("Orvanta::Kept", "1");
    REQUIRE(settings.load(file.path));
    std::string value;
    CHECK(settings.get("Orvanta::FG_WIDTH", value));
    CHECK_EQ(value, std::string("On"));
    CHECK_EQ(settings.size(), size_t{2});
}

TEST_CASE("the SDK parameter table has unique names and ids in index order") {
    using vexo::applet::kSdkParameters;
    std::set<std::string> names;
    std::set<int32_t> ids;
    for (const auto& parameter : kSdkParameters) {
        CHECK(names.insert(parameter.name).second);
        CHECK(ids.insert(parameter.id).second);
        CHECK(parameter.id > 0 && parameter.id < 1000000);
    }
    CHECK_EQ(std::string(kSdkParameters[0].name), std::string("FG_TIMEOUT"));
    CHECK_EQ(kSdkParameters[129].id, 900013);
    CHECK_EQ(kSdkParameters[vexo::applet::indexOf(SdkParameter::FG_WIDTH)].id, 100);
    size_t emptyDescriptions = 0;
    for (const auto& parameter : kSdkParameters) emptyDescriptions += parameter.description[0] == '\0' ? 1 : 0;
    CHECK_EQ(emptyDescriptions, size_t{7});
}

TEST_CASE("the value store starts from the initial values in each parameter's own type") {
    const vexo::applet::ValueStore values;
    CHECK_EQ(values[SdkParameter::FG_TIMEOUT].u32, uint32_t{1000000});
    CHECK_EQ(values[SdkParameter::FG_PIXELFORMAT].u32, uint32_t{258});
    CHECK_EQ(values[SdkParameter::FG_TRIGGER_FRAMESPERSECOND].f64, 8.0);
    CHECK_EQ(values[SdkParameter::FG_TRIGGER_PULSEFORMGEN3_WIDTH].f64, 4.0);
    CHECK_EQ(values[SdkParameter::FG_TRIGGEROUT_SELECT_GPO_7].u32, uint32_t{5});
    CHECK_EQ(values[SdkParameter::FG_CAMERASIMULATOR_LINERATE].f64, 10240.0);
    CHECK_EQ(values[SdkParameter::FG_DEBUGINSERT].u32, uint32_t{1});
    CHECK_EQ(values[SdkParameter::FG_SENDSOFTWARETRIGGER].u32, uint32_t{1});
    CHECK_EQ(values[SdkParameter::FG_DEBUGWRITEPIXEL].u64, uint64_t{0});
    CHECK_EQ(values[SdkParameter::FG_GPI].u64, uint64_t{0});
    CHECK(values.text(SdkParameter::FG_DEBUGFILE).empty());
    CHECK(values.text(SdkParameter::FG_DEBUGSAVECONFIG).empty());
    CHECK_THROWS_MESSAGE(values.text(SdkParameter::FG_WIDTH), std::invalid_argument, "no stored text for FG_WIDTH");
}

CHECK_MAIN
