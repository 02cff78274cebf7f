// The HAP runtime stand-in checks an image once and trusts it afterwards for as long as the file
// its bytes come from keeps its identity: a HAP file, or the library whose read-only data hold
// the image. What must still be refused is a file changed since, and bytes that can change in
// memory must be checked each time.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvanta/closed_libraries.h"
#include "sim_platform.h"

namespace {

namespace fs = std::filesystem;
using sim::platform::FileIdentity;

constexpr int32_t kBoardType = 1874;

// Mostly zero: what counts is where they lie.
const unsigned char kReadOnlyBytes[4096] = {1, 2, 3};
unsigned char writableBytes[4096] = {1, 2, 3};

std::vector<char> builtImage() {
    std::ifstream file("Orvanta.hap", std::ios::binary);  // the tests run in the build's bin folder
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool opensFile(const std::string& name) {
    void* hap = Hap_OpenFile(name.c_str(), kBoardType, 1);
    Hap_Release(hap);
    return hap != nullptr;
}

}  // namespace

// Each write lands in the same file at the same size; only the write time tells them apart.
TEST(HapImageCheck, AHapFileChangedSinceItWasCheckedIsCheckedAgain) {
    const std::string name = "hap_image_check_changed.hap";
    std::vector<char> image = builtImage();
    ASSERT_GT(image.size(), size_t{64});
    const auto write = [&](std::chrono::hours age) {
        {
            std::ofstream out(name, std::ios::binary | std::ios::trunc);
            out.write(image.data(), static_cast<std::streamsize>(image.size()));
        }
        fs::last_write_time(name, fs::file_time_type::clock::now() - age);
    };

    write(std::chrono::hours(1));
    EXPECT_TRUE(opensFile(name));
    image.back() ^= 0x40;
    write(std::chrono::hours(0));  // just written: its time may not show a second write yet
    EXPECT_FALSE(opensFile(name));
    write(std::chrono::hours(2));  // settled, at another time than the one checked
    EXPECT_FALSE(opensFile(name));
    image.back() ^= 0x40;
    write(std::chrono::hours(3));
    EXPECT_TRUE(opensFile(name));
    fs::remove(name);
}

TEST(HapImageCheck, OnlyReadOnlyLibraryDataAreKnownByTheirFile) {
    std::string file;
    FileIdentity identity;
    ASSERT_TRUE(sim::platform::readOnlyLibraryFile(kReadOnlyBytes, sizeof kReadOnlyBytes, file, identity));
    FileIdentity ofFile;
    ASSERT_TRUE(sim::platform::fileIdentity(file.c_str(), ofFile));
    EXPECT_TRUE(identity == ofFile);
    EXPECT_GT(identity.size, sizeof kReadOnlyBytes);  // the file of this test, not the bytes

    EXPECT_FALSE(sim::platform::readOnlyLibraryFile(writableBytes, sizeof writableBytes, file, identity));
    const std::vector<unsigned char> heap(std::begin(kReadOnlyBytes), std::end(kReadOnlyBytes));
    EXPECT_FALSE(sim::platform::readOnlyLibraryFile(heap.data(), heap.size(), file, identity));
}
