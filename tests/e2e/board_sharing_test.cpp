// Several handles and threads on the simulated boards at once, as an application with a stream,
// a parameter panel and event handlers uses them: every write through one handle is seen by the
// next read through another, while a third loads another design onto the board or the test
// control resets it; two boards acquire at once; handlers call back into the runtime; a handle
// closes while another thread waits inside it. ThreadSanitizer runs these too.
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "orvanta/closed_libraries.h"
#include "orvanta_sim/hap_control.h"
#include "orvanta_sim/runtime.h"
#include "orvanta_sim/runtime_control.h"

namespace {

constexpr int32_t kTypeU32 = 2;
constexpr int32_t kRing = 1;
constexpr uint32_t kSharedBoard = 3;
constexpr const char* kShared = "Device1_Process0_Shared_Value";

// Designs loaded, or resets made, while another thread writes and reads.
#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr uint32_t kRounds = 200;
#else
constexpr uint32_t kRounds = 1000;
#endif

// A HAP image of the stand-ins' format listing these NX rows ("<name> <access> <type code>").
class HapImage {
public:
    explicit HapImage(const std::vector<std::string>& rows) {
        std::string list;
        for (const std::string& row : rows) list += row + "\n";
        std::vector<unsigned char> body(std::begin("NXPARAMS"), std::end("NXPARAMS") - 1);
        appendU32(body, static_cast<uint32_t>(list.size()));
        body.insert(body.end(), list.begin(), list.end());
        bytes_.assign(64, 0);
        std::memcpy(bytes_.data(), "VEXOHAP\x1a", 8);
        putU32(8, 2);
        putU32(12, 1874);
        std::memcpy(bytes_.data() + 16, "Sharing", 7);
        const uint64_t size = 64 + body.size();
        putU32(48, static_cast<uint32_t>(size));
        putU32(52, static_cast<uint32_t>(size >> 32));
        putU32(56, 64);
        putU32(60, crc32(body));
        bytes_.insert(bytes_.end(), body.begin(), body.end());
        hap_ = Hap_OpenImage(bytes_.data(), bytes_.size(), 1);
    }
    ~HapImage() { Hap_Release(hap_); }
    HapImage(const HapImage&) = delete;
    HapImage& operator=(const HapImage&) = delete;
    void* hap() const { return hap_; }

private:
    static void appendU32(std::vector<unsigned char>& to, uint32_t value) {
        for (int i = 0; i < 4; ++i) to.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
    void putU32(size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i) bytes_[at + i] = static_cast<unsigned char>(value >> (8 * i));
    }
    static uint32_t crc32(const std::vector<unsigned char>& data) {
        uint32_t c = 0xFFFFFFFFU;
        for (const unsigned char byte : data) {
            c ^= byte;
            for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320U ^ (c >> 1) : c >> 1;
        }
        return c ^ 0xFFFFFFFFU;
    }
    std::vector<unsigned char> bytes_;
    void* hap_ = nullptr;
};

// Two designs that share the written parameter at the same place, so that it keeps its id.
struct TwoDesigns {
    HapImage first{{std::string(kShared) + " readwrite 2", "Device1_Process0_First_Only readwrite 2"}};
    HapImage second{{std::string(kShared) + " readwrite 2", "Device1_Process0_Second_Only readwrite 4"}};
};

void* openInner(void* hap) { return Fg_InitHandle("Sharing.hap", SimCtl_HardwareHandle(kSharedBoard), hap); }

class SharedBoard : public ::testing::Test {
protected:
    void SetUp() override {
        SimCtl_Reset();
        SimCtl_SetRecording(0);
        ASSERT_NE(designs_.first.hap(), nullptr);
        ASSERT_NE(designs_.second.hap(), nullptr);
        writer_ = openInner(designs_.first.hap());
        reader_ = openInner(designs_.first.hap());
        ASSERT_NE(writer_, nullptr);
        ASSERT_NE(reader_, nullptr);
        id_ = Fg_getParameterIdByName(writer_, kShared);
        ASSERT_GT(id_, 0);
    }
    void TearDown() override {
        Fg_FreeGrabber(writer_);
        Fg_FreeGrabber(reader_);
        SimCtl_SetRecording(1);
    }

    // Writes 1, 2, ... through one handle while `more` says so; `check` gets each value and what
    // the other handle and the board then read. Answers the writes that went wrong; `value` is
    // the last one written.
    template <typename More, typename Check>
    uint32_t writeAndRead(uint32_t& value, More more, Check check) {
        uint32_t wrong = 0;
        while (more()) {
            ++value;
            uint32_t read = 0;
            uint64_t onBoard = 0;
            if (Fg_setParameterWithType(writer_, id_, &value, 0, kTypeU32) != 0 ||
                Fg_getParameterWithType(reader_, id_, &read, 0, kTypeU32) != 0 ||
                SimCtl_GetNxU64(kSharedBoard, kShared, &onBoard) != 0 || !check(value, read, onBoard)) {
                ++wrong;
            }
        }
        return wrong;
    }

    TwoDesigns designs_;
    void* writer_ = nullptr;
    void* reader_ = nullptr;
    int32_t id_ = 0;
};

}  // namespace

TEST_F(SharedBoard, AWriteIsReadThroughAnotherHandleWhileAThirdLoadsAnotherDesign) {
    std::atomic<uint32_t> loads{0};
    std::thread loader([&] {
        for (uint32_t turn = 0; turn < kRounds; ++turn, ++loads) {
            void* other = openInner(turn % 2 == 0 ? designs_.second.hap() : designs_.first.hap());
            ASSERT_NE(other, nullptr);
            EXPECT_EQ(Fg_FreeGrabber(other), 0);
        }
    });
    uint32_t value = 0;
    const uint32_t wrong = writeAndRead(value, [&] { return loads < kRounds; },
                                        [](uint32_t written, uint32_t read, uint64_t onBoard) {
                                            return read == written && onBoard == written;
                                        });
    loader.join();
    EXPECT_EQ(wrong, 0u);
    // The value outlives the loads: the board carried it into each design.
    uint64_t onBoard = 0;
    EXPECT_EQ(SimCtl_GetNxU64(kSharedBoard, kShared, &onBoard), 0);
    EXPECT_EQ(onBoard, value);
}

TEST_F(SharedBoard, AWriteIsReadBackUnlessAResetCameBetween) {
    // Odd while a reset runs; a write and its reads that no reset overlapped must agree.
    std::atomic<uint32_t> resets{0};
    std::thread resetter([&] {
        for (uint32_t turn = 0; turn < kRounds; ++turn) {
            ++resets;
            SimCtl_Reset();
            SimCtl_SetRecording(0);
            ++resets;
        }
    });
    uint32_t value = 0;
    uint32_t before = 0;
    const uint32_t wrong = writeAndRead(
        value,
        [&] {
            before = resets;
            return before < 2 * kRounds;
        },
        [&](uint32_t written, uint32_t read, uint64_t onBoard) {
            if (before % 2 == 0 && resets == before) return read == written && onBoard == written;
            // A reset puts the start value 0 back, nothing else.
            return (read == written || read == 0) && (onBoard == written || onBoard == 0);
        });
    resetter.join();
    EXPECT_EQ(wrong, 0u);
}

TEST_F(SharedBoard, HandlesAreRefusedOnceClosedAndAStrayPointerIsNoHandle) {
    void* closed = openInner(designs_.second.hap());
    ASSERT_NE(closed, nullptr);
    ASSERT_EQ(Fg_FreeGrabber(closed), 0);
    // The slot goes to the next handle, the closed value stays refused.
    void* next = openInner(designs_.first.hap());
    ASSERT_NE(next, nullptr);
    EXPECT_NE(next, closed);
    uint32_t value = 1;
    EXPECT_EQ(Fg_setParameterWithType(closed, id_, &value, 0, kTypeU32), SIM_ERR_HANDLE_CLOSED);
    EXPECT_EQ(Fg_getLastErrorNumber(closed), SIM_ERR_HANDLE_CLOSED);
    EXPECT_EQ(Fg_FreeGrabber(closed), SIM_ERR_HANDLE_CLOSED);
    EXPECT_EQ(Fg_setParameterWithType(next, id_, &value, 0, kTypeU32), 0);
    EXPECT_EQ(Fg_FreeGrabber(next), 0);

    uint64_t stray[4] = {};
    EXPECT_EQ(Fg_setParameterWithType(stray, id_, &value, 0, kTypeU32), SIM_ERR_INVALID_HANDLE);
    EXPECT_EQ(Fg_getLastErrorNumber(stray), SIM_ERR_INVALID_HANDLE);
    EXPECT_EQ(Fg_FreeGrabber(stray), SIM_ERR_INVALID_HANDLE);
    // A value of the inner handles' form in a slot never used.
    void* neverOpened = reinterpret_cast<void*>(uintptr_t{0x0000000100FFFFF5});
    EXPECT_EQ(Fg_getLastErrorNumber(neverOpened), SIM_ERR_INVALID_HANDLE);
}

namespace {

// The applet on a board with the camera simulator running free at its fastest, 64 x 4 pixels.
struct Streaming {
    explicit Streaming(uint32_t board) : fg(Fg_Init("Orvanta", board)) {
        if (fg == nullptr) return;
        set("FG_CAMERASIMULATOR_ENABLE", 1);
        set("FG_CAMERASIMULATOR_SELECT_MODE", 0);
        set("FG_CAMERASIMULATOR_WIDTH", 64);
        set("FG_CAMERASIMULATOR_HEIGHT", 4);
        set("FG_WIDTH", 64);
        set("FG_HEIGHT", 4);
        memory = Fg_AllocMemEx(fg, 8 * 256, 8);
    }
    ~Streaming() {
        if (fg != nullptr) Fg_FreeGrabber(fg);
    }
    void set(const char* name, uint32_t value) {
        EXPECT_EQ(Fg_setParameterWithType(fg, Fg_getParameterIdByName(fg, name), &value, 0, kTypeU32), 0) << name;
    }
    void* fg;
    void* memory = nullptr;
};

struct HandlerCalls {
    void* fg = nullptr;
    int32_t widthId = 0;
    std::atomic<uint32_t> calls{0};
    std::atomic<uint32_t> wrong{0};

    // Reads a parameter of its own board from inside the handler.
    static int32_t record(uint64_t, void* data, const Fg_EventInfo*) {
        auto* self = static_cast<HandlerCalls*>(data);
        uint32_t width = 0;
        if (Fg_getParameterWithType(self->fg, self->widthId, &width, 0, kTypeU32) != 0 || width != 64) ++self->wrong;
        ++self->calls;
        return 0;
    }
};

}  // namespace

TEST(TwoBoards, AcquireAtOnceWhileTheirHandlersCallBackIntoTheRuntime) {
    SimCtl_Reset();
    SimCtl_SetVirtualClock(0);
    std::array<uint32_t, 2> wrong{};
    std::array<uint32_t, 2> handled{};
    std::vector<std::thread> threads;
    for (uint32_t board = 0; board < 2; ++board) {
        threads.emplace_back([&, board] {
            // Made before the board opens: a call under way when the handle closes ends first.
            HandlerCalls handler;
            Streaming stream(board);
            ASSERT_NE(stream.fg, nullptr);
            ASSERT_NE(stream.memory, nullptr);
            handler.fg = stream.fg;
            handler.widthId = Fg_getParameterIdByName(stream.fg, "FG_WIDTH");
            const uint64_t rising = Fg_getEventMask(stream.fg, "FG_TRIGGER_INPUT0_RISING");
            ASSERT_NE(rising, 0u);
            ASSERT_EQ(Fg_registerEventCallback(stream.fg, rising, &HandlerCalls::record, &handler, 0, nullptr), 0);
            ASSERT_EQ(SimCtl_PulseTriggerInput(board, 0, 20, 100000), 0);
            ASSERT_EQ(Fg_AcquireEx(stream.fg, 0, 0, kRing, stream.memory), 0);
            EXPECT_GE(Fg_getLastPicNumberBlockingEx(stream.fg, 50, 0, 30, stream.memory), 50);
            EXPECT_EQ(Fg_stopAcquireEx(stream.fg, 0, stream.memory, 0), 0);
            // The pulses lie 0.1 ms apart: they are all in long before the frames.
            for (int i = 0; i < 3000 && handler.calls == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            wrong[board] = handler.wrong;
            handled[board] = handler.calls;
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (uint32_t board = 0; board < 2; ++board) {
        EXPECT_EQ(wrong[board], 0u) << "board " << board;
        EXPECT_GT(handled[board], 0u) << "board " << board;
    }
}

struct ClosingHandler {
    void* fg = nullptr;
    std::atomic<int32_t> result{1};

    static int32_t close(uint64_t, void* data, const Fg_EventInfo*) {
        auto* self = static_cast<ClosingHandler*>(data);
        if (self->result == 1) self->result = Fg_FreeGrabber(self->fg);
        return 0;
    }
};

TEST(ClosingHandle, AHandlerClosesItsOwnHandle) {
    SimCtl_Reset();
    SimCtl_SetVirtualClock(1);
    ClosingHandler handler;
    handler.fg = Fg_Init("Orvanta", 2);
    ASSERT_NE(handler.fg, nullptr);
    const uint64_t rising = Fg_getEventMask(handler.fg, "FG_TRIGGER_INPUT0_RISING");
    ASSERT_EQ(Fg_registerEventCallback(handler.fg, rising, &ClosingHandler::close, &handler, 0, nullptr), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(2, 0, 3, 100000), 0);
    // The handlers are called from inside the advance, in this thread.
    SimCtl_AdvanceClock(1000000);
    EXPECT_EQ(handler.result, 0);
    EXPECT_EQ(Fg_getLastErrorNumber(handler.fg), SIM_ERR_INVALID_HANDLE);
    SimCtl_SetVirtualClock(0);
}

struct SlowHandler {
    std::atomic<bool> entered{false};
    std::atomic<bool> finished{false};

    static int32_t run(uint64_t, void* data, const Fg_EventInfo*) {
        auto* self = static_cast<SlowHandler*>(data);
        self->entered = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        self->finished = true;
        return 0;
    }
};

// Once unregistering returns, no call of the handler is still running: its data may go.
TEST(Handlers, UnregisteringWaitsForACallOnItsWay) {
    SimCtl_Reset();
    SimCtl_SetVirtualClock(1);
    void* fg = Fg_Init("Orvanta", 2);
    ASSERT_NE(fg, nullptr);
    SlowHandler handler;
    const uint64_t rising = Fg_getEventMask(fg, "FG_TRIGGER_INPUT0_RISING");
    ASSERT_EQ(Fg_registerEventCallback(fg, rising, &SlowHandler::run, &handler, 0, nullptr), 0);
    ASSERT_EQ(SimCtl_PulseTriggerInput(2, 0, 1, 100000), 0);
    std::thread advance([] { SimCtl_AdvanceClock(1000000); });
    while (!handler.entered) std::this_thread::yield();
    EXPECT_EQ(Fg_registerEventCallback(fg, rising, nullptr, nullptr, 0, nullptr), 0);
    EXPECT_TRUE(handler.finished);
    advance.join();
    EXPECT_EQ(Fg_FreeGrabber(fg), 0);
    SimCtl_SetVirtualClock(0);
}

TEST(ClosingHandle, AWaitInsideItReturnsAndTheCloseFinishes) {
    SimCtl_Reset();
    SimCtl_SetVirtualClock(1);
    Streaming stream(2);
    ASSERT_NE(stream.fg, nullptr);
    ASSERT_EQ(Fg_AcquireEx(stream.fg, 0, 0, kRing, stream.memory), 0);
    std::atomic<int64_t> waited{0};
    std::atomic<uint64_t> events{1};
    // No frame comes on the stopped virtual clock: both waits would last their full time.
    std::thread picture([&] { waited = Fg_getLastPicNumberBlockingEx(stream.fg, 1, 0, 600, stream.memory); });
    std::thread event([&] { events = Fg_eventWait(stream.fg, ~uint64_t{0}, 600000, 0, nullptr); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(Fg_FreeGrabber(stream.fg), 0);
    stream.fg = nullptr;
    picture.join();
    event.join();
    EXPECT_LT(waited, 0);
    EXPECT_EQ(events, 0u);
    SimCtl_SetVirtualClock(0);
}
