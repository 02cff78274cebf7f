// The simulated runtime's handles and call log: init calls and their failures, the record of
// each call, closed and stray handles, acquisition, saved configurations, and the application
// interface's answers for handles it does not know.
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "check.h"
#include "sim_test_support.h"

using simtest::freshInner;
using simtest::lastCall;
using simtest::nxId;

CHECK_MAIN

TEST_CASE("init calls are logged with their arguments and prefer nothing themselves") {
    SimCtl_Reset();
    void* slaveAware = Fg_InitHandleSlaveAware("Orvanta.hap", 0x1234, simtest::hapToken(), 5);
    REQUIRE(slaveAware != nullptr);
    SimCall call = lastCall();
    CHECK_EQ(std::string(call.function), std::string("Fg_InitHandleSlaveAware"));
    CHECK_EQ(std::string(call.text), std::string("Orvanta.hap"));
    CHECK_EQ(call.u64, uint64_t{0x1234});
    CHECK_EQ(call.args[0], static_cast<uint64_t>(reinterpret_cast<uintptr_t>(simtest::hapToken())));
    CHECK_EQ(call.args[1], uint64_t{5});
    CHECK_EQ(call.result, static_cast<int64_t>(reinterpret_cast<uintptr_t>(slaveAware)));

    void* plain = Fg_InitHandle("Orvanta.hap", 0x1234, simtest::hapToken());
    REQUIRE(plain != nullptr);
    CHECK(plain != slaveAware);
    CHECK_EQ(std::string(lastCall().function), std::string("Fg_InitHandle"));
    CHECK_EQ(Fg_FreeGrabber(plain), 0);
    CHECK_EQ(Fg_FreeGrabber(slaveAware), 0);
}

TEST_CASE("a refused init leaves its reason in the global last error") {
    SimCtl_Reset();
    CHECK(Fg_InitHandle("Orvanta.hap", 1, nullptr) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), SIM_ERR_INVALID_HAP);
    CHECK(Fg_InitHandleSlaveAware(nullptr, 1, simtest::hapToken(), 0) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), SIM_ERR_INVALID_HAP);

    SimCtl_FailInit(-2010);
    CHECK(Fg_InitHandleSlaveAware("Orvanta.hap", 1, simtest::hapToken(), 0) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), -2010);
    CHECK_EQ(std::string(lastCall().function), std::string("Fg_getLastErrorNumber"));
    SimCtl_FailInit(0);

    // A refusal that leaves no error behind.
    SimCtl_FailCall("Fg_InitHandle", -1, 0);
    CHECK(Fg_InitHandle("Orvanta.hap", 1, simtest::hapToken()) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), 0);
    void* fg = Fg_InitHandleSlaveAware("Orvanta.hap", 1, simtest::hapToken(), 0);
    CHECK(fg != nullptr);
    Fg_FreeGrabber(fg);
}

TEST_CASE("each call on an inner handle is logged with what it passed and got") {
    void* fg = freshInner();
    const char* name = "Device1_Process0_CameraSimulator_Offset_Value";
    const int32_t id = nxId(fg, name);
    SimCall call = lastCall();
    CHECK_EQ(std::string(call.function), std::string("Fg_getParameterIdByName"));
    CHECK_EQ(std::string(call.nxName), std::string(name));
    CHECK_EQ(call.result, int64_t{id});
    CHECK(call.handle == fg);

    const uint32_t offset = 17;
    CHECK_EQ(Fg_setParameterWithType(fg, id, &offset, 0, 2), 0);
    call = lastCall();
    CHECK_EQ(std::string(call.function), std::string("Fg_setParameterWithType"));
    CHECK_EQ(call.id, id);
    CHECK_EQ(call.typeCode, 2);
    CHECK_EQ(std::string(call.nxName), std::string(name));
    CHECK_EQ(call.u64, uint64_t{17});

    const int32_t debugFile = nxId(fg, "Device1_Process0_DebugIn_Camera_DebugFile");
    CHECK_EQ(Fg_setParameter(fg, debugFile, "image.raw", 0), 0);  // the parameter's own type
    CHECK_EQ(lastCall().typeCode, 6);
    CHECK_EQ(std::string(lastCall().text), std::string("image.raw"));

    double temperature = 0;
    const int32_t monitor = nxId(fg, "Device1_Process0_BoardStatus_FpgaTemperature");
    CHECK_EQ(Fg_getParameterWithType(fg, monitor, &temperature, 0, 5), 0);
    CHECK_EQ(lastCall().f64, temperature);

    CHECK_EQ(Fg_getParameterWithType(fg, -5, &temperature, 0, 5), SIM_ERR_INVALID_PARAMETER);
    CHECK_EQ(lastCall().result, int64_t{SIM_ERR_INVALID_PARAMETER});
    CHECK_EQ(std::string(lastCall().nxName), std::string(""));
    SimCtl_ClearCalls();
    CHECK_EQ(SimCtl_CallCount(), 0);
    SimCall none{};
    CHECK_EQ(SimCtl_GetCall(0, &none), -1);
    Fg_FreeGrabber(fg);
}

TEST_CASE("closed, stray and null handles are told apart") {
    void* fg = freshInner();
    uint32_t value = 0;
    CHECK_EQ(Fg_FreeGrabber(fg), 0);
    CHECK_EQ(Fg_getParameterWithType(fg, 3070, &value, 0, 2), SIM_ERR_HANDLE_CLOSED);
    CHECK_EQ(Fg_FreeGrabber(fg), SIM_ERR_HANDLE_CLOSED);
    CHECK_EQ(Fg_getLastErrorNumber(fg), SIM_ERR_HANDLE_CLOSED);
    CHECK(Fg_getParameterInfo(fg, 0) == nullptr);

    int stray = 0;
    CHECK_EQ(Fg_getParameterWithType(&stray, 3070, &value, 0, 2), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Fg_getLastErrorNumber(&stray), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Fg_getStatusEx(nullptr, 1, 0, 0, nullptr), int64_t{SIM_ERR_INVALID_HANDLE});
    CHECK_EQ(Fg_getParameterIdByName(&stray, "Device1_Process0_Debug_Entries"), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(std::string(lastCall().function), std::string("Fg_getParameterIdByName"));
}

TEST_CASE("an injected call failure answers the given result and last error") {
    void* fg = freshInner();
    SimCtl_FailCall("Fg_getStatusEx", -2010, -2020);
    CHECK_EQ(Fg_getStatusEx(fg, 1, 0, 0, nullptr), int64_t{-2010});
    CHECK_EQ(Fg_getLastErrorNumber(fg), -2020);
    CHECK_EQ(Fg_AcquireEx(fg, 0, 1, 0, nullptr), 0);  // other calls are not touched
    CHECK_EQ(Fg_getLastErrorNumber(fg), 0);
    SimCtl_FailCall("Fg_getStatusEx", 0, 0);
    CHECK_EQ(Fg_getStatusEx(fg, 2, 0, 0, nullptr), int64_t{1});

    SimCtl_FailCall("Fg_getParameterInfo", -1, -2070);
    CHECK(Fg_getParameterInfo(fg, 0) == nullptr);
    Fg_FreeGrabber(fg);
}

TEST_CASE("acquisition delivers the pictures asked for and then stops") {
    void* fg = freshInner();
    CHECK_EQ(Fg_getLastPicNumberEx(fg, 0, nullptr), int64_t{0});
    CHECK_EQ(Fg_AcquireEx(fg, 1, 3, 0, nullptr), SIM_ERR_INVALID_PORT);
    CHECK_EQ(Fg_AcquireEx(fg, 0, 3, 0, nullptr), 0);
    CHECK_EQ(Fg_getStatusEx(fg, 2, 0, 0, nullptr), int64_t{1});
    CHECK_EQ(Fg_getLastPicNumberEx(fg, 0, nullptr), int64_t{1});
    CHECK_EQ(Fg_AcquireEx(fg, 0, 3, 0, nullptr), 0);  // starts the count again
    CHECK_EQ(Fg_getLastPicNumberEx(fg, 0, nullptr), int64_t{1});
    CHECK_EQ(Fg_getLastPicNumberBlockingEx(fg, 5, 0, 5, nullptr), int64_t{3});  // no more than asked for
    CHECK_EQ(Fg_getStatusEx(fg, 2, 0, 0, nullptr), int64_t{0});  // the last picture ended it
    CHECK_EQ(Fg_getStatusEx(fg, 1, 0, 0, nullptr), int64_t{3});
    CHECK_EQ(Fg_getLastPicNumberBlockingEx(fg, 4, 0, 5, nullptr), int64_t{3});
    CHECK_EQ(Fg_getLastPicNumberBlockingEx(fg, 1, 1, 5, nullptr), int64_t{SIM_ERR_INVALID_PORT});
    CHECK_EQ(Fg_getLastErrorNumber(fg), SIM_ERR_INVALID_PORT);
    CHECK_EQ(Fg_getStatusEx(fg, 4, 0, 0, nullptr), int64_t{1048576});
    CHECK_EQ(Fg_getStatusEx(fg, 1, 0, 2, nullptr), int64_t{SIM_ERR_INVALID_PORT});

    CHECK_EQ(Fg_Acquire(fg, 0, 0), 0);  // no end
    for (int64_t picture = 1; picture <= 5; ++picture) CHECK_EQ(Fg_getLastPicNumberEx(fg, 0, nullptr), picture);
    CHECK_EQ(Fg_stopAcquire(fg, 0), 0);
    CHECK_EQ(Fg_getLastPicNumberEx(fg, 0, nullptr), int64_t{5});
    CHECK_EQ(Fg_stopAcquireEx(fg, 0, nullptr, 0), 0);
    CHECK(Fg_getAppletId(fg, nullptr) > 0);
    Fg_FreeGrabber(fg);
}

TEST_CASE("a saved configuration holds the design's values") {
    void* fg = freshInner();
    const uint32_t width = 2048;
    Fg_setParameterWithType(fg, nxId(fg, "Device1_Process0_CameraSimulator_Size_ImageWidth"), &width, 0, 2);
    const char* file = "sim_runtime_saved.txt";
    REQUIRE_EQ(Fg_saveConfig(fg, file), 0);
    CHECK_EQ(std::string(lastCall().text), std::string(file));
    std::ifstream in(file);
    std::stringstream content;
    content << in.rdbuf();
    in.close();
    std::remove(file);
    CHECK(content.str().find("Device1_Process0_CameraSimulator_Size_ImageWidth = 2048\n") != std::string::npos);
    CHECK(content.str().find("Device1_Process0_BoardStatus_FpgaTemperature = 48.5\n") != std::string::npos);
    CHECK_EQ(Fg_saveConfig(fg, "no/such/folder/config.txt"), SIM_ERR_FILE);
    CHECK_EQ(Fg_saveConfig(fg, nullptr), SIM_ERR_INVALID_PARAMETER);
    Fg_FreeGrabber(fg);
}

TEST_CASE("the application interface answers calls it cannot route") {
    SimCtl_Reset();
    CHECK(Fg_Init("NoSuchApplet", 0) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), SIM_ERR_LIBRARY_LOAD);
    CHECK(Fg_InitEx("Orvanta", SIM_BOARD_COUNT, 0) == nullptr);
    CHECK_EQ(Fg_getLastErrorNumber(nullptr), SIM_ERR_INVALID_BOARD);
    CHECK(Fg_Init(nullptr, 0) == nullptr);
    CHECK(SimCtl_AppletSymbol(nullptr) == nullptr);

    int stray = 0;
    void* h = &stray;
    CHECK_EQ(Fg_getNrOfParameter(h), SIM_ERR_INVALID_HANDLE);
    CHECK(Fg_getParameterName(h, 0) == nullptr);
    CHECK_EQ(Fg_getParameterId(h, 0), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Fg_getEventMask(h, "FG_OVERFLOW_CAM0"), uint64_t{0});
    CHECK(Fg_getEventName(h, 1) == nullptr);
    size_t size = 0;
    CHECK_EQ(Fg_getParameterInfoXML(h, 0, nullptr, &size), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Fg_loadConfig(h, "x.mcf"), SIM_ERR_INVALID_HANDLE);
    CHECK(Fg_AllocShading(h, nullptr, nullptr, nullptr) == nullptr);
    CHECK_EQ(Fg_FreeShading(h, nullptr, nullptr, nullptr), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Shad_GetMaxLine(h, nullptr, nullptr, nullptr), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Shad_SetSubValueLine(h, nullptr, nullptr, nullptr, 1.0f), SIM_ERR_INVALID_HANDLE);
    CHECK_EQ(Fg_FreeGrabber(h), SIM_ERR_INVALID_HANDLE);

    // An inner handle does not offer what only the applet answers.
    void* fg = freshInner();
    CHECK_EQ(Shad_WriteActLine(fg, nullptr, nullptr, nullptr), SIM_ERR_NOT_AVAILABLE);
    CHECK_EQ(Fg_getParameterInfoXML(fg, 0, nullptr, &size), SIM_ERR_NOT_AVAILABLE);
    // The applet's 118 and the debug entries' 22 (7 announcement texts, 6 + 9 entry values).
    CHECK_EQ(Fg_getNrOfParameter(fg), 118 + 22);
    CHECK_EQ(Fg_getParameterId(fg, 0), nxId(fg, Fg_getParameterName(fg, 0)));
    Fg_FreeGrabber(fg);
}

TEST_CASE("threads may share the runtime") {
    void* fg = freshInner();
    const int32_t width = nxId(fg, "Device1_Process0_CameraSimulator_Size_ImageWidth");
    SimCtl_ClearCalls();
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (uint32_t t = 0; t < 4; ++t) {
        threads.emplace_back([&failures, width, t] {
            void* own = Fg_InitHandle("Orvanta.hap", SimCtl_HardwareHandle(t + 1), simtest::hapToken());
            for (uint32_t i = 0; i < 200; ++i) {
                uint32_t readBack = 0;
                if (Fg_setParameterWithType(own, width, &i, 0, 2) != 0 ||
                    Fg_getParameterWithType(own, width, &readBack, 0, 2) != 0 || readBack != i) {
                    ++failures;
                }
            }
            Fg_FreeGrabber(own);
        });
    }
    for (std::thread& thread : threads) thread.join();
    CHECK_EQ(failures.load(), 0);
    CHECK_EQ(SimCtl_CallCount(), 4 * (2 + 2 * 200));
    Fg_FreeGrabber(fg);
}
