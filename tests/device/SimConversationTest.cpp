// Whole conversations with the simulated receiver over a pseudo-terminal,
// through the real port library and the receiver object's own threads: open,
// switch the receiver to its working mode, ask for the device information,
// receive it through the data callback, switch the board family, close.

#include "device/KeepAliveCounter.h"
#include "tests/device/ReceiverTestSupport.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace device_fakes;
using namespace Fjarnis2011::FJParse;
using Fjarnis2011::FJDevice::KeepAliveCounter;
using Fjarnis2011::FJDevice::ReceiverServices;

namespace {

constexpr unsigned kDeviceInfoBit = 0x80000000u;

// The system's services, with the protocol object kept in view so that the
// test can read what it decoded. With stand-in boards, the maker's receiver
// has a main board of the requested type although the OEM board families are
// not part of this build.
struct ViewedServices : ReceiverServices {
    bool standInBoards = false;
    Em_Gnss* last = nullptr;

    Em_Gnss* NewProtocolObject(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t) override {
        last = standInBoards ? NewStandInProtocolObject(m, t) : ReceiverServices::NewProtocolObject(m, t);
        return last;
    }
};

std::string Text(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

// The program's side of the conversation: its two callbacks, the device
// information copied out inside the data callback, and the switch to the
// board type the receiver reported.
struct Program {
    ViewedServices services;
    TestReceiver rx{GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, &services};
    CallbackRecorder& rec = CallbackRecorder::Get();
    DEVICE_STR info{};
    int infos = 0;

    explicit Program(bool standInBoards) {
        services.standInBoards = standInBoards;
        rec.Clear();
        rx.RegisterCbs_Receiver(CallbackRecorder::Table(), nullptr);
        // Runs on the processing thread with the protocol lock held, as the
        // program's getters do.
        rec.OnDataDo([this](int messageClass, unsigned bits) {
            if (messageClass != MSG_TYPE_ORVEL || !(bits & kDeviceInfoBit)) return;
            const auto* format = dynamic_cast<const Em_Format_OrvelNav*>(services.last->Format());
            if (!format) return;
            DEVICE_STR copy = format->DeviceInfo();
            {
                std::lock_guard<std::mutex> lock(rec.mutex);
                info = copy;
                ++infos;
            }
            rx.ReSetGnsMd(MAINBD_OEM_TYPE(copy.boardType));
        });
    }
    ~Program() { rec.Clear(); }

    void AskForDeviceInfo() {
        Em_Gnss gnss(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
        std::vector<_STR_CMD> request;
        gnss.Get_DeviceInfo(request);
        ASSERT_EQ(request.size(), 1u);
        rx.Cmds_Write(request);
    }

    bool WaitForDeviceInfo() {
        return rec.WaitUntil([&] { return infos > 0; });
    }

    bool WaitForBoardSwitch() {
        return rec.WaitUntil([&] {
            for (const auto& e : rec.events)
                if (e.oem && e.changed) return true;
            return false;
        });
    }

    void ExpectTheSimulatorsDeviceInfo() {
        std::lock_guard<std::mutex> lock(rec.mutex);
        EXPECT_EQ(infos, 1);
        EXPECT_EQ(Text(info.serialNumber, sizeof info.serialNumber), "601234");
        EXPECT_EQ(Text(info.model, sizeof info.model), "8427");
        EXPECT_EQ(Text(info.productionDate, sizeof info.productionDate), "2011-06-15");
        EXPECT_EQ(Text(info.firmwareVersion, sizeof info.firmwareVersion), "V8.1");
        EXPECT_EQ(Text(info.partNumber, sizeof info.partNumber), "FJ80427-01");
        const int32_t boardType = info.boardType;  // a packed field: copied before it is compared
        EXPECT_EQ(boardType, MAINBD_NOVATEL_OEM);
        EXPECT_EQ(info.recordType, 1);
        EXPECT_EQ(info.recordPeriod, 24);
        EXPECT_EQ(info.recordInterval, 5);
        EXPECT_EQ(info.transmitFormat, 3);
    }
};

}  // namespace

TEST(SimConversation, TheDeviceInformationArrivesThroughTheDataCallback) {
    sim::SimReceiver sim;
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(21);

    Program program(false);
    ASSERT_TRUE(program.rx.Port_Open(Com(21, 9600)));
    EXPECT_TRUE(program.rx.IsPortOpen());
    program.rx.Send_OvMdl(2);
    program.AskForDeviceInfo();
    ASSERT_TRUE(program.WaitForDeviceInfo());
    program.ExpectTheSimulatorsDeviceInfo();
    EXPECT_TRUE(program.WaitForBoardSwitch());
    EXPECT_EQ(sim.Received("SI").size(), 1u);

    EXPECT_TRUE(program.rx.Port_Close());
    EXPECT_FALSE(program.rx.IsPortOpen());
}

// With a main board of the old protocol the conversation also carries the
// switch to the working mode before the request and the keep-alive that turns
// the receiver's periodic output on.
TEST(SimConversation, AnOldProtocolBoardIsSwitchedAndKeptAlive) {
    sim::SimReceiver sim;
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(22);
    KeepAliveCounter() = Fjarnis2011::FJDevice::EmGnss_Receiver::kKeepAlivePasses;

    Program program(true);
    ASSERT_TRUE(program.rx.Port_Open(Com(22, 9600)));
    program.rx.Send_OvMdl(2);
    program.AskForDeviceInfo();
    ASSERT_TRUE(program.WaitForDeviceInfo());
    program.ExpectTheSimulatorsDeviceInfo();
    EXPECT_TRUE(program.WaitForBoardSwitch());
    ASSERT_TRUE(sim.WaitForCommand("RG"));
    EXPECT_TRUE(sim.Received("RG")[0].Is("RG", {200}));
    EXPECT_TRUE(program.rx.Port_Close());

    // The mode switch went out before the request.
    const auto commands = sim.Received();
    size_t st = commands.size(), si = commands.size();
    for (size_t i = 0; i < commands.size(); ++i) {
        if (commands[i].letters == "ST" && st == commands.size()) st = i;
        if (commands[i].letters == "SI" && si == commands.size()) si = i;
    }
    ASSERT_LT(st, commands.size());
    ASSERT_LT(si, commands.size());
    EXPECT_LT(st, si);
    EXPECT_TRUE(commands[st].Is("ST", {0}));
    EXPECT_TRUE(sim.Status().periodicOn);
}

// A line at another rate than the receiver's carries nothing that decodes;
// reopened at the receiver's rate, the same request is answered.
TEST(SimConversation, AWrongRateGetsNoAnswerUntilTheLineIsReopened) {
    sim::SimSettings settings;
    settings.baud = 19200;
    sim::SimReceiver sim(settings);
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(23);

    Program program(false);
    ASSERT_TRUE(program.rx.Port_Open(Com(23, 9600)));
    program.AskForDeviceInfo();
    // The whole request arrived as noise (and noise went back).
    ASSERT_TRUE(sim.WaitUntil([](const sim::ReceiverModel& m) { return m.Status().mismatchedBytes >= 9; }));
    ASSERT_TRUE(program.rx.Port_ReOpen(Com(23, 19200)));
    EXPECT_EQ(program.rec.Count(false), 0u) << "nothing decoded at the wrong rate";

    program.AskForDeviceInfo();
    ASSERT_TRUE(program.WaitForDeviceInfo());
    program.ExpectTheSimulatorsDeviceInfo();
    EXPECT_TRUE(program.rx.Port_Close());
}
