// The HAP runtime and hardware library stand-ins as the applet imports them: the generated HAP
// image and file, the design's event list and registers, and the register files.
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "check.h"
#include "vexo_sim.h"
#include "wrapper/closed_libraries.h"

CHECK_MAIN

namespace {

constexpr uint64_t kImageSize = 5613887;

// The image the build generated (the tests run in the build's bin folder).
std::vector<unsigned char> builtImage() {
    std::ifstream in("Orvanta.hap", std::ios::binary | std::ios::ate);
    std::vector<unsigned char> image(in ? static_cast<size_t>(in.tellg()) : 0);
    in.seekg(0);
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(image.size()));
    return image;
}

// The NX names of the events the applet also knows by an SDK name, in the applet's order.
const char* const kSdkEvents[] = {
    "Device1_Process0_Overflow_Overflow",
    "Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameStart",
    "Device1_Process1_Trigger_Monitoring_FVALEvents_Cam0_FrameEnd",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin3",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin3",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin4",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin4",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin5",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin5",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin6",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin6",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_Pin7",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputEvents_NotPin7",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin0",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin1",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin2",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontPin3",
    "Device1_Process1_Trigger_TriggerInput_InputEvents_InputFrontEvents_FrontNotPin3",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0Override",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0MissingFrame",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0HysteresisOn",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0HysteresisOff",
    "Device1_Process1_Trigger_Monitoring_MonitoringEvents_Cam0OutputEvent",
};

}  // namespace

TEST_CASE("the built image opens; damaged or cut copies do not") {
    SimHap_Reset();
    std::vector<unsigned char> image = builtImage();
    REQUIRE_EQ(image.size(), size_t{kImageSize});
    const int32_t liveBefore = SimHap_LiveHandles();
    void* hap = Hap_OpenImage(image.data(), image.size(), 1);
    REQUIRE(hap != nullptr);
    CHECK_EQ(SimHap_LiveHandles(), liveBefore + 1);
    SimHapOpen open{};
    REQUIRE_EQ(SimHap_GetOpen(0, &open), 0);
    CHECK_EQ(open.fromFile, 0);
    CHECK(open.image == image.data());
    CHECK_EQ(open.size, kImageSize);
    CHECK(open.handle == hap);
    Hap_Release(hap);
    CHECK_EQ(SimHap_LiveHandles(), liveBefore);

    CHECK(Hap_OpenImage(image.data(), image.size() - 1, 1) == nullptr);  // size disagrees
    for (const size_t at : {size_t{0}, size_t{12}, size_t{60}, size_t{4096}, image.size() - 1}) {
        image[at] ^= 0x40;  // magic, board type (not checked from memory), checksum, data
        void* damaged = Hap_OpenImage(image.data(), image.size(), 1);
        CHECK_EQ(damaged == nullptr, at != 12);
        Hap_Release(damaged);
        image[at] ^= 0x40;
    }
    CHECK(Hap_OpenImage(nullptr, kImageSize, 1) == nullptr);
    SimHap_FailOpen(1);
    CHECK(Hap_OpenImage(image.data(), image.size(), 1) == nullptr);
    SimHap_FailOpen(0);
    CHECK_EQ(SimHap_OpenCount(), 9);
}

TEST_CASE("the HAP file opens by name for the board type it was made for") {
    SimHap_Reset();
    void* hap = Hap_OpenFile("Orvanta.hap", 1874, 1);
    CHECK(hap != nullptr);
    SimHapOpen open{};
    REQUIRE_EQ(SimHap_GetOpen(0, &open), 0);
    CHECK_EQ(open.fromFile, 1);
    CHECK_EQ(std::string(open.fileName), std::string("Orvanta.hap"));
    CHECK_EQ(open.boardType, 1874);
    CHECK_EQ(open.flag, 1);
    Hap_Release(hap);
    CHECK(Hap_OpenFile("Orvanta.hap", 1875, 1) == nullptr);
    CHECK(Hap_OpenFile("Missing.hap", 1874, 1) == nullptr);
    CHECK(Hap_OpenFile(nullptr, 1874, 1) == nullptr);
}

TEST_CASE("the event list starts with the overflow and holds every event of the applet") {
    SimHap_Reset();
    void* hap = Hap_OpenFile("Orvanta.hap", 1874, 1);
    REQUIRE(hap != nullptr);
    std::vector<const HapEventDescriptor*> events;
    for (int32_t i = 0; const HapEventDescriptor* e = Hap_GetEvent(hap, i); ++i) events.push_back(e);
    REQUIRE(events.size() > 32);
    CHECK(events.size() <= 64);
    CHECK_EQ(std::string(events[0]->name), std::string(kSdkEvents[0]));
    // The applet's events appear in its own order, with events of the design's own between.
    size_t next = 0;
    int otherClass = 0;
    int unnamed = 0;
    for (const HapEventDescriptor* e : events) {
        if (next < std::size(kSdkEvents) && std::string(e->name) == kSdkEvents[next]) {
            CHECK_EQ(e->eventClass, 1U);
            ++next;
        } else if (e->eventClass == 1) {
            ++unnamed;
        } else {
            ++otherClass;
        }
    }
    CHECK_EQ(next, std::size(kSdkEvents));
    CHECK(unnamed >= 2);
    CHECK(otherClass >= 1);
    CHECK(Hap_GetEvent(hap, -1) == nullptr);
    Hap_Release(hap);
    CHECK(Hap_GetEvent(hap, 0) == nullptr);  // a released handle knows nothing
}

TEST_CASE("a test may give the design another event list and restore it") {
    SimHap_Reset();
    void* hap = Hap_OpenFile("Orvanta.hap", 1874, 1);
    const HapEventDescriptor* designFirst = Hap_GetEvent(hap, 0);
    REQUIRE(designFirst != nullptr);
    std::vector<std::string> names;
    for (int i = 0; i < 70; ++i) names.push_back("Device1_Process0_Test_Event" + std::to_string(i));
    std::vector<const char*> pointers;
    for (const std::string& name : names) pointers.push_back(name.c_str());
    std::vector<uint32_t> classes(names.size(), 1);
    classes[3] = 0;
    SimHap_SetEvents(pointers.data(), classes.data(), static_cast<int32_t>(pointers.size()));
    names.clear();  // the runtime keeps its own copies
    REQUIRE(Hap_GetEvent(hap, 69) != nullptr);
    CHECK_EQ(std::string(Hap_GetEvent(hap, 69)->name), std::string("Device1_Process0_Test_Event69"));
    CHECK_EQ(Hap_GetEvent(hap, 3)->eventClass, 0U);
    CHECK(Hap_GetEvent(hap, 70) == nullptr);
    CHECK_EQ(std::string(designFirst->name), std::string(kSdkEvents[0]));  // still valid

    SimHap_SetEvents(nullptr, nullptr, 0);
    CHECK(Hap_GetEvent(hap, 0) == designFirst);
    Hap_Release(hap);
}

TEST_CASE("registers are listed from position 1 with their address, width and access") {
    void* hap = Hap_OpenFile("Orvanta.hap", 1874, 1);
    REQUIRE(hap != nullptr);
    const int32_t count = Hap_GetRegisterCount(hap);
    REQUIRE(count > 3);
    CHECK(Hap_GetRegisterName(hap, 0) == nullptr);
    CHECK(Hap_GetRegisterName(hap, count + 1) == nullptr);
    bool widths[65] = {};
    int readOnly = 0;
    std::vector<uint32_t> addresses;
    for (int32_t position = 1; position <= count; ++position) {
        const char* name = Hap_GetRegisterName(hap, position);
        REQUIRE(name != nullptr);
        const uint32_t address = static_cast<uint32_t>(Hap_GetRegisterId(hap, name));
        for (const uint32_t seen : addresses) CHECK(seen != address);
        addresses.push_back(address);
        const int32_t width = Hap_GetRegisterWidth(hap, address);
        REQUIRE(width > 0 && width <= 64);
        widths[width] = true;
        if (Hap_IsRegisterWritable(hap, address) == 0) ++readOnly;
    }
    CHECK(widths[8] && widths[32] && widths[40]);
    CHECK(readOnly > 0 && readOnly < count);
    CHECK_EQ(Hap_GetRegisterId(hap, "NoSuchRegister"), int64_t{-1});
    CHECK_EQ(Hap_GetRegisterWidth(hap, 0xFFFF), -1);
    CHECK_EQ(Hap_IsRegisterWritable(hap, 0xFFFF), 0);
    Hap_Release(hap);
    CHECK_EQ(Hap_GetRegisterCount(hap), -1);
}

TEST_CASE("each hardware handle has a register file of its own") {
    SimHw_Reset();
    const uint64_t board0 = 0x100;
    const uint64_t board1 = 0x200;
    uint64_t value = 77;
    CHECK_EQ(Hw_ReadRegister(board0, 0x20, &value), 0);
    CHECK_EQ(value, uint64_t{0});
    CHECK_EQ(Hw_WriteRegister(board0, 0x20, 0xFFFFFFFFFFULL), 0);
    CHECK_EQ(Hw_ReadRegister(board0, 0x20, &value), 0);
    CHECK_EQ(value, uint64_t{0xFFFFFFFFFFULL});
    CHECK_EQ(Hw_ReadRegister(board1, 0x20, &value), 0);
    CHECK_EQ(value, uint64_t{0});
    CHECK_EQ(SimHw_GetRegister(board0, 0x20, &value), 0);
    CHECK_EQ(SimHw_GetRegister(board1, 0x20, &value), -1);
    SimHw_SetRegister(board1, 0x4, 9);
    CHECK_EQ(Hw_ReadRegister(board1, 0x4, &value), 0);
    CHECK_EQ(value, uint64_t{9});

    SimHw_FailAccess(0x20, -7);
    CHECK_EQ(Hw_WriteRegister(board0, 0x20, 1), -7);
    CHECK_EQ(Hw_ReadRegister(board0, 0x20, &value), -7);
    SimHw_FailAccess(0x20, 0);
    CHECK_EQ(Hw_ReadRegister(board0, 0x20, &value), 0);
    CHECK_EQ(value, uint64_t{0xFFFFFFFFFFULL});  // the failed write changed nothing
    CHECK(Hw_ReadRegister(board0, 0x20, nullptr) != 0);
    CHECK_EQ(SimHw_WriteCount(), 2);
    CHECK_EQ(SimHw_ReadCount(), 7);
}
