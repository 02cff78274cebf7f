// The platform services: library naming, load failures, module file names and environment
// variables. Loading libraries by their native names and finding their symbols every end-to-end
// test does; thread ids are what the spin-lock tests rest on.
#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "platform/text_lines.h"

using namespace vexo::templates::platform;

TEST(LibraryNames, WindowsNameMapsToLibNameSoOnLinuxWithFoldersKept) {
    const char* const rules[][2] = {
        {"vexo_hw.DLL", "libvexo_hw.so"},
        {"/opt/x\\bin/a.b.Dll", "/opt/x\\bin/liba.b.so"},
        {"rtcore5.dll.old", "rtcore5.dll.old"},
        {"rtcore5dll", "rtcore5dll"},
        {".dll", ".dll"},
        {"dir/.dll", "dir/.dll"},
        {"x.dll/", "x.dll/"},
        {"", ""},
    };
    for (const auto& rule : rules) EXPECT_EQ(linuxLibraryFileName(rule[0]), rule[1]) << rule[0];
}

TEST(DynamicLibrary, FailedLoadLeavesAnErrorTextForThisThreadOnly) {
    EXPECT_EQ(loadLibrary(nativeLibraryFileName("orvanta_no_such_library.dll").c_str()), nullptr);
    const LoadError error = lastLoadError();
    EXPECT_FALSE(error.text.empty());
#if defined(_WIN32)
    EXPECT_NE(error.code, 0u);
#else
    EXPECT_EQ(error.code, 0u);
#endif
    std::string otherThreadsText = "unset";
    std::thread([&] { otherThreadsText = lastLoadError().text; }).join();
    EXPECT_EQ(otherThreadsText, "");
}

TEST(ModulePath, AddressInTheExecutableNamesTheExecutableInFull) {
    static const int insideExecutable = 0;
    char buffer[1024];
    const size_t length = moduleFileNameOf(&insideExecutable, buffer, sizeof(buffer));
    ASSERT_LT(length, sizeof(buffer));
    const std::string path(buffer, length);
    EXPECT_THAT(path, ::testing::EndsWith(pathSeparator() + std::string(TEST_EXECUTABLE_NAME)));

    // Too small a buffer gets the cut name, terminated, and the result says so.
    char small[5];
    EXPECT_EQ(moduleFileNameOf(&insideExecutable, small, sizeof(small)), sizeof(small));
    EXPECT_EQ(std::string(small), path.substr(0, sizeof(small) - 1));

    const auto heapObject = std::make_unique<int>(0);
    EXPECT_EQ(moduleFileNameOf(heapObject.get(), buffer, sizeof(buffer)), 0u);
}

TEST(Environment, DefinedEmptyDiffersFromUndefinedAndLongValuesReadWhole) {
    const char* name = "ORVANTA_PLATFORM_TEST_VARIABLE";
    std::string value = "before";
    ASSERT_TRUE(setEnvironment(name, ""));
    EXPECT_TRUE(getEnvironment(name, value));
    EXPECT_EQ(value, "");

    const std::string longValue(5000, 'v');
    ASSERT_TRUE(setEnvironment(name, longValue.c_str()));
    EXPECT_TRUE(getEnvironment(name, value));
    EXPECT_EQ(value, longValue);

    ASSERT_TRUE(unsetEnvironment(name));
    EXPECT_FALSE(getEnvironment(name, value));
}

// Lines as text mode reads them on Windows, written here in binary so that the bytes are exact.
TEST(TextLines, CrlfReadsAsLineFeedALoneCarriageReturnStaysAndLongLinesSplit) {
    const char* name = "text_lines_test.txt";
    std::FILE* out = std::fopen(name, "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("a=1;\r\nb\rc\r\r\n0123456789\r\nend\r", out);
    std::fclose(out);
    std::FILE* in = std::fopen(name, "r");
    ASSERT_NE(in, nullptr);
    std::vector<std::string> lines;
    char line[8];
    while (vexo::templates::platform::readTextLine(line, sizeof line, in) != nullptr) lines.push_back(line);
    std::fclose(in);
    std::remove(name);
    EXPECT_THAT(lines, testing::ElementsAre("a=1;\n", "b\rc\r\n", "0123456", "789\n", "end\r"));
}
