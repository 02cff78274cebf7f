// Acquiring through the applet as an application does: frame memories of the runtime, ring and
// blocking mode, picture numbers, counters and the buffer registers, on the virtual clock; and
// one acquisition on the real clock.
#include <cstdint>
#include <thread>

#include "orvanta_sim/runtime.h"
#include "trigger_board.h"

namespace {

constexpr int32_t kRing = 1;
constexpr int32_t kBlocking = 2;
constexpr int32_t kDelivered = 1, kRunning = 2, kLost = 3, kLength = 4, kBufferIndex = 5;
constexpr int32_t kRelease = 6, kReleaseAll = 7;
// The simulator's frame and the picture: 64 x 4 8-bit pixels.
constexpr uint32_t kWidth = 64;
constexpr uint32_t kHeight = 4;
constexpr uint64_t kPicture = kWidth * kHeight;

class Acquisition : public trigger_test::TriggerBoard {
protected:
    // The camera simulator in pixel-frequency mode delivers 64 x 4 pictures of the diagonal
    // pattern with roll, whose first byte is then the frame number k modulo 256.
    void SetUp() override {
        TriggerBoard::SetUp();
        SimCtl_SetVirtualClock(1);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_ENABLE", 1), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 0), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_WIDTH", kWidth), 0);
        ASSERT_EQ(set("FG_CAMERASIMULATOR_HEIGHT", kHeight), 0);
        ASSERT_EQ(set("FG_WIDTH", kWidth), 0);
        ASSERT_EQ(set("FG_HEIGHT", kHeight), 0);
        double rate = 0;
        ASSERT_EQ(Fg_getParameterWithType(fg(), id("FG_CAMERASIMULATOR_FRAMERATE"), &rate, 0, 5), 0);
        ASSERT_GT(rate, 1000.0);
        period_ = static_cast<uint64_t>(1e9 / rate + 0.5);
    }

    int32_t id(const char* name) { return Fg_getParameterIdByName(fg(), name); }
    uint32_t u32(const char* name) {
        uint32_t value = 0xDEADBEEF;
        EXPECT_EQ(Fg_getParameterWithType(fg(), id(name), &value, 0, 2), 0) << name;
        return value;
    }
    uint64_t fillLevel() {
        uint64_t level = 0xDEADBEEF;
        EXPECT_EQ(SimCtl_GetNxU64(0, "Device1_Process0_Buffer_0_DRAM_A_0_FillLevel", &level), 0);
        return level;
    }

    // Starts an acquisition half a period before the first frame falls due: from then on each
    // period of the clock brings exactly one source frame, however the period was rounded.
    int32_t start(void* memory, int64_t pictureCount, int32_t flags) {
        const int32_t result = Fg_AcquireEx(fg(), 0, pictureCount, flags, memory);
        SimCtl_AdvanceClock(period_ / 2);
        return result;
    }
    void frames(uint64_t count) { SimCtl_AdvanceClock(count * period_); }

    int64_t status(int32_t statusId, void* memory, uint64_t data = 0) {
        return Fg_getStatusEx(fg(), statusId, data, 0, memory);
    }
    // The first byte of a picture, or -1 when no buffer holds it.
    int firstByte(void* memory, int64_t picture) {
        const auto* bytes = static_cast<const uint8_t*>(Fg_getImagePtrEx(fg(), picture, 0, memory));
        return bytes == nullptr ? -1 : bytes[0];
    }
    // The error a picture's buffer is refused with, 0 when it is handed out.
    int32_t refusal(void* memory, int64_t picture, uint32_t port = 0) {
        return Fg_getImagePtrEx(fg(), picture, port, memory) == nullptr ? Fg_getLastErrorNumber(nullptr) : 0;
    }

    uint64_t period_ = 0;
};

}  // namespace

TEST_F(Acquisition, RingModeFillsBuffersInTurnAndForgetsOverwrittenPictures) {
    void* memory = Fg_AllocMemEx(fg(), 3 * kPicture, 3);
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(start(memory, 0, kRing), 0);
    EXPECT_EQ(Fg_getLastPicNumberEx(fg(), 0, memory), 0);
    frames(5);
    EXPECT_EQ(Fg_getLastPicNumberEx(fg(), 0, memory), 5);
    EXPECT_EQ(status(kDelivered, memory), 5);
    EXPECT_EQ(status(kRunning, memory), 1);
    EXPECT_EQ(status(kLost, memory), 0);
    // Pictures 4, 5 and 3 are in buffers 0, 1 and 2; 1 and 2 were overwritten.
    const int64_t indices[] = {-1, -1, 2, 0, 1};
    for (int64_t picture = 1; picture <= 5; ++picture) {
        SCOPED_TRACE(picture);
        EXPECT_EQ(status(kBufferIndex, memory, static_cast<uint64_t>(picture)), indices[picture - 1]);
        EXPECT_EQ(firstByte(memory, picture), indices[picture - 1] < 0 ? -1 : picture - 1);
    }
    EXPECT_EQ(refusal(memory, 1), SIM_ERR_INVALID_PICTURE);
    EXPECT_EQ(Fg_getImagePtrEx(fg(), 4, 0, memory), static_cast<uint8_t*>(Fg_getImagePtrEx(fg(), 5, 0, memory)) - kPicture);
    EXPECT_EQ(status(kLength, memory, 1), SIM_ERR_INVALID_PICTURE);

    // Stopped, the record stays; the next start on the memory begins again from picture 1.
    EXPECT_EQ(Fg_stopAcquireEx(fg(), 0, memory, 0), 0);
    frames(2);
    EXPECT_EQ(status(kRunning, memory), 0);
    EXPECT_EQ(status(kDelivered, memory), 5);
    EXPECT_EQ(firstByte(memory, 5), 4);
    ASSERT_EQ(start(memory, 0, kRing), 0);
    EXPECT_EQ(status(kDelivered, memory), 0);
    EXPECT_EQ(firstByte(memory, 5), -1);
    frames(1);
    EXPECT_EQ(firstByte(memory, 1), 0);
}

// The fill level and overflow registers the board keeps are what the applet's FG_FILLLEVEL and
// FG_OVERFLOW read.
TEST_F(Acquisition, BlockingModeLosesFramesWithoutAFreeBufferAndFillsReleasedOnes) {
    void* memory = Fg_AllocMemEx(fg(), 2 * kPicture, 2);
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(start(memory, 0, kBlocking), 0);
    frames(1);
    EXPECT_EQ(fillLevel(), 50u);
    EXPECT_EQ(u32("FG_OVERFLOW"), 0u);
    frames(2);
    EXPECT_EQ(status(kDelivered, memory), 2);
    EXPECT_EQ(status(kLost, memory), 1);
    EXPECT_EQ(u32("FG_OVERFLOW"), 1u);
    EXPECT_EQ(u32("FG_FILLLEVEL"), 100u);

    // Releasing picture 1 frees buffer 0 for the next frame (k = 3: the lost one counts).
    EXPECT_EQ(Fg_setStatusEx(fg(), kRelease, 1, 0, memory), 0);
    EXPECT_EQ(Fg_setStatusEx(fg(), kRelease, 1, 0, memory), SIM_ERR_INVALID_PICTURE);
    EXPECT_EQ(Fg_setStatusEx(fg(), kRelease, 9, 0, memory), SIM_ERR_INVALID_PICTURE);
    EXPECT_EQ(Fg_setStatusEx(fg(), 8, 0, 0, memory), SIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(fillLevel(), 50u);
    frames(2);
    EXPECT_EQ(status(kDelivered, memory), 3);
    EXPECT_EQ(status(kLost, memory), 2);
    EXPECT_EQ(status(kBufferIndex, memory, 3), 0);
    EXPECT_EQ(firstByte(memory, 3), 3);
    EXPECT_EQ(firstByte(memory, 2), 1);

    EXPECT_EQ(Fg_setStatusEx(fg(), kReleaseAll, 0, 0, memory), 0);
    EXPECT_EQ(fillLevel(), 0u);
    frames(3);
    EXPECT_EQ(status(kDelivered, memory), 5);
    EXPECT_EQ(status(kLost, memory), 3);
    // Pictures 4 and 5 went into buffer 1, then buffer 0.
    EXPECT_EQ(status(kBufferIndex, memory, 4), 1);
    EXPECT_EQ(status(kBufferIndex, memory, 5), 0);

    // A new acquisition starts with no overflow and every buffer free.
    ASSERT_EQ(start(memory, 0, kBlocking), 0);
    EXPECT_EQ(u32("FG_OVERFLOW"), 0u);
    EXPECT_EQ(u32("FG_FILLLEVEL"), 0u);
}

TEST_F(Acquisition, APictureLargerThanABufferIsLostAndWritesNothing) {
    void* small = Fg_AllocMemEx(fg(), 2 * (kPicture - 1), 2);
    ASSERT_NE(small, nullptr);
    ASSERT_EQ(start(small, 0, kRing), 0);
    frames(2);
    EXPECT_EQ(status(kDelivered, small), 0);
    EXPECT_EQ(status(kLost, small), 2);
    EXPECT_EQ(u32("FG_OVERFLOW"), 0u);
}

TEST_F(Acquisition, APictureCountEndsTheAcquisitionAndItsRecordStaysReadable) {
    void* memory = Fg_AllocMemEx(fg(), 4 * kPicture, 4);
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(start(memory, 3, kRing), 0);
    frames(10);
    EXPECT_EQ(status(kRunning, memory), 0);
    EXPECT_EQ(status(kDelivered, memory), 3);
    EXPECT_EQ(Fg_getLastPicNumberBlockingEx(fg(), 2, 0, 5, memory), 3);
    // Nothing runs that could bring picture 4.
    EXPECT_EQ(Fg_getLastPicNumberBlockingEx(fg(), 4, 0, 5, memory), SIM_ERR_TIMEOUT);
    EXPECT_EQ(Fg_getLastErrorNumber(fg()), SIM_ERR_TIMEOUT);
    EXPECT_EQ(firstByte(memory, 3), 2);
    EXPECT_EQ(Fg_FreeMemEx(fg(), memory), 0);
}

TEST_F(Acquisition, BlockingWaitsTimeOutOnTheRealClockOrEndWithAnotherThreadsAdvance) {
    void* memory = Fg_AllocMemEx(fg(), 2 * kPicture, 2);
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(start(memory, 0, kRing), 0);
    EXPECT_EQ(Fg_getLastPicNumberBlockingEx(fg(), 1, 0, 1, memory), SIM_ERR_TIMEOUT);
    std::thread advance([this] { frames(2); });
    EXPECT_EQ(Fg_getLastPicNumberBlockingEx(fg(), 2, 0, 60, memory), 2);
    advance.join();
}

TEST_F(Acquisition, MemoryCallsRefuseBadArgumentsAndAMemoryInUse) {
    const struct {
        size_t totalSize;
        int64_t count;
    } badSizes[] = {{0, 1}, {16, 0}, {16, -1}, {3, 4}};
    for (const auto& row : badSizes) {
        EXPECT_EQ(Fg_AllocMemEx(fg(), row.totalSize, row.count), nullptr) << row.totalSize << " / " << row.count;
        EXPECT_EQ(Fg_getLastErrorNumber(nullptr), SIM_ERR_INVALID_SIZE) << row.totalSize << " / " << row.count;
    }
    void* memory = Fg_AllocMemEx(fg(), 2 * kPicture + 7, 2);
    ASSERT_NE(memory, nullptr);
    int unknown = 0;
    EXPECT_EQ(Fg_FreeMemEx(fg(), &unknown), SIM_ERR_INVALID_MEMORY);
    EXPECT_EQ(Fg_AcquireEx(fg(), 0, 0, kRing, &unknown), SIM_ERR_INVALID_MEMORY);
    EXPECT_EQ(Fg_AcquireEx(fg(), 0, 0, 3, memory), SIM_ERR_INVALID_PARAMETER);
    EXPECT_EQ(refusal(memory, 1), SIM_ERR_INVALID_PICTURE);

    ASSERT_EQ(start(memory, 0, kRing), 0);
    frames(1);
    EXPECT_EQ(Fg_FreeMemEx(fg(), memory), SIM_ERR_MEMORY_IN_USE);
    EXPECT_EQ(refusal(memory, 1), 0);
    for (const int64_t picture : {int64_t{0}, int64_t{2}, int64_t{-1}}) {
        EXPECT_EQ(refusal(memory, picture), SIM_ERR_INVALID_PICTURE) << picture;
    }
    EXPECT_EQ(refusal(memory, 1, 1), SIM_ERR_INVALID_PORT);

    EXPECT_EQ(Fg_stopAcquireEx(fg(), 0, memory, 0), 0);
    EXPECT_EQ(Fg_FreeMemEx(fg(), memory), 0);
    EXPECT_EQ(Fg_FreeMemEx(fg(), memory), SIM_ERR_INVALID_MEMORY);
    EXPECT_EQ(Fg_getStatusEx(fg(), kDelivered, 0, 0, memory), SIM_ERR_INVALID_MEMORY);
}

// The real clock: generous bounds only. The acquisition is left running for Fg_FreeGrabber to end.
TEST_F(Acquisition, RealTimeDeliversAtTheFrameRate) {
    SimCtl_SetVirtualClock(0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_SELECT_MODE", 2), 0);
    ASSERT_EQ(set("FG_CAMERASIMULATOR_FRAMERATE", 200.0), 0);
    void* memory = Fg_AllocMemEx(fg(), 64 * kPicture, 64);
    ASSERT_NE(memory, nullptr);
    ASSERT_EQ(Fg_AcquireEx(fg(), 0, 0, kRing, memory), 0);
    EXPECT_GE(Fg_getLastPicNumberBlockingEx(fg(), 10, 0, 60, memory), 10);
    EXPECT_EQ(status(kRunning, memory), 1);
    EXPECT_GE(status(kDelivered, memory), 10);
    EXPECT_NE(Fg_getImagePtrEx(fg(), Fg_getLastPicNumberEx(fg(), 0, memory), 0, memory), nullptr);
}
