// The HAP runtime stand-in refuses cut or damaged images, and hands the design's NX parameters
// on for open ones only. The end-to-end tests only see the applet's built-in image open; that
// shows the applet carries the built image whole and intact only as long as the stand-in
// refuses everything else, which those tests cannot see.
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

#include "orvanta/closed_libraries.h"
#include "orvanta_sim/hap_control.h"

TEST(SimHap, OpensTheBuiltImageOnlyWhenWholeAndIntact) {
    std::ifstream file("Orvanta.hap", std::ios::binary);  // the tests run in the build's bin folder
    std::vector<unsigned char> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_GT(image.size(), size_t{64});
    void* hap = Hap_OpenImage(image.data(), image.size(), 1);
    EXPECT_NE(hap, nullptr);
    // The design's NX parameters come from an open HAP only.
    const SimHapNxParameter* parameters = nullptr;
    EXPECT_GT(SimHap_NxParameters(hap, &parameters), 0);
    Hap_Release(hap);
    EXPECT_EQ(SimHap_NxParameters(hap, &parameters), -1);
    EXPECT_EQ(Hap_OpenImage(image.data(), image.size() - 1, 1), nullptr);
    // The magic, the checksum, the first and the last data byte.
    for (const size_t at : {size_t{0}, size_t{60}, size_t{64}, image.size() - 1}) {
        SCOPED_TRACE(at);
        image[at] ^= 0x40;
        void* damaged = Hap_OpenImage(image.data(), image.size(), 1);
        EXPECT_EQ(damaged, nullptr);
        Hap_Release(damaged);
        image[at] ^= 0x40;
    }
}
