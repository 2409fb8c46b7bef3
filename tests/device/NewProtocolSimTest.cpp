// A receiver of the maker's new protocol in a whole conversation with the
// simulated receiver (started in its new-protocol mode), through the real
// port library and the receiver object's threads: reached first through the
// old protocol as the program does, switched over by a board reset to type 0
// once its device information names no old board, then put into normal mode
// with the com-direct item, and its replies read back through the getters
// that serve the new protocol (battery grade, source list, modem signal,
// eBubble record).

#include "tests/device/DeviceOpsHarness.h"
#include "tests/sim/SimReceiver.h"


#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

using namespace device_ops;

namespace {

constexpr int kCom = 33;
constexpr unsigned kDeviceInfo = 0x80000000u;
// New-protocol change bits of the items read back here.
constexpr unsigned kPowerStatus = 0x1;     // 772
constexpr unsigned kSourceList = 0x2000;   // 4358
constexpr unsigned kModemSignal = 0x200;   // 5132
constexpr unsigned kEBubble = 0x2000;      // 1041

std::atomic<int> g_oemChanges{0};

void OnOem(bool, const void*) { ++g_oemChanges; }

const _CALLBACKS_RECEIVER* Table() {
    static const _CALLBACKS_RECEIVER table{&OpsCallbacks::OnData, &OnOem};
    return &table;
}

template <class Pred>
bool Eventually(Pred pred) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Waits for a call of the given message class, from index `from` on, that
// carries `bit`.
bool WaitForClassBit(OpsCallbacks& calls, size_t from, int messageClass, unsigned bit) {
    return Eventually([&] {
        std::lock_guard<std::mutex> lock(calls.mutex);
        for (size_t i = from; i < calls.calls.size(); ++i)
            if (calls.calls[i].first == messageClass && (calls.calls[i].second & bit)) return true;
        return false;
    });
}

}  // namespace

TEST(NewProtocolSim, ReachedThroughTheOldProtocolThenSwitchedAndReadBack) {
    sim::SimReceiver sim(sim::NewProtocolSettings());
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(kCom);

    OpsCallbacks& calls = OpsCallbacks::Get();
    calls.Reset();
    g_oemChanges = 0;
    EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    rx.RegisterCbs_Receiver(Table(), nullptr);
    Fjarnis2011::FJComm::PARAM_COM com;
    com.port = kCom;
    com.baud = 9600;
    ASSERT_TRUE(rx.Port_Open(com));

    // The old protocol's device information: a model of no old board.
    rx.Send_DeviceInfo();
    ASSERT_TRUE(calls.WaitForBit(0, kDeviceInfo));
    DEVICE_STR info{};
    rx.GetInfo_DevcInfo(info);
    EXPECT_EQ(std::string(info.model, 4), "Q50A");
    EXPECT_EQ(int(info.boardType), 0);

    // The board reset to type 0 brings the new-protocol format and board.
    rx.ReSetGnsMd(MAINBD_ORVEL_NEW);
    ASSERT_TRUE(Eventually([] { return g_oemChanges.load() > 0; }));
    EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_ORVEL_NEW);
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_ORVEL);

    // Normal mode is now the com-direct item: operation 2, 264 = 2, command
    // id 264, in one link frame.
    sim.ClearReceived();
    rx.Send_OvMdl(2);
    ASSERT_TRUE(sim.WaitForNewItem(264));
    const auto direct = sim.ReceivedItem(264);
    ASSERT_EQ(direct.size(), 1u);
    EXPECT_EQ(direct[0].Describe(), "NEW 264 op 2: 01 08=00 02");
    EXPECT_EQ(sim.Status().mode, sim::WorkMode::Normal);

    // Battery: the power-status query and its reply (levels 72.0 and 68.0).
    size_t from = calls.Count();
    rx.Send_Battery();
    ASSERT_TRUE(WaitForClassBit(calls, from, 4, kPowerStatus));
    EXPECT_EQ(rx.Get_Battery_Grd(), 7);

    // The network link's source list, asked for and read back whole.
    from = calls.Count();
    rx.Send_Gprs_GetList();
    ASSERT_TRUE(WaitForClassBit(calls, from, 6, kSourceList));
    char text[2048] = {};
    int length = -1;
    rx.Get_Gprs_GetList(text, &length);
    const auto list = sim.Settings().newParams.at(4358);
    EXPECT_EQ(std::string(text, size_t(std::max(length, 0))), std::string(list.begin() + 4, list.end()));

    // What the receiver reports of itself: the modem's signal (a modem
    // query's reply, operation 43) and the eBubble record (GNSS data,
    // operation 16), both built by the simulator.
    uint8_t sequence = 100;
    from = calls.Count();
    sim.Send(sim::PackLinkFrames(sim::PackMessage(0, 43, {{5132, sim.Settings().newParams.at(5132)}}), 1, sequence));
    ASSERT_TRUE(WaitForClassBit(calls, from, 5, kModemSignal));
    EXPECT_EQ(rx.GetInfo_Gprs_Signal(), 23);

    from = calls.Count();
    sim.Send(sim::PackLinkFrames(sim::PackMessage(0, 16, {{1041, sim.Settings().newParams.at(1041)}}), 1, sequence));
    ASSERT_TRUE(WaitForClassBit(calls, from, 3, kEBubble));
    eBubble_info bubble{};
    rx.Get_eBubble_info(bubble);
    EXPECT_EQ(bubble.word[0], 1u);
    EXPECT_EQ(bubble.word[1], 2u);
    EXPECT_EQ(int32_t(bubble.word[2]), -3600);  // -10 x 360
    EXPECT_EQ(int32_t(bubble.word[3]), 7200);
    EXPECT_EQ(int32_t(bubble.word[4]), 10800);
    EXPECT_EQ(int32_t(bubble.word[5]), 1800);   // 0.5 x 3600

    // The old protocol's keep-alive is not for this board.
    EXPECT_TRUE(sim.Received("RG").empty());
    EXPECT_TRUE(rx.Port_Close());
}

TEST(NewProtocolSim, AManufacturerChangeKeepsTheNewProtocol) {
    sim::SimReceiver sim(sim::NewProtocolSettings());
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(kCom);
    OpsCallbacks::Get().Reset();
    g_oemChanges = 0;

    EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    rx.RegisterCbs_Receiver(Table(), nullptr);
    Fjarnis2011::FJComm::PARAM_COM com;
    com.port = kCom;
    com.baud = 9600;
    ASSERT_TRUE(rx.Port_Open(com));
    // To another maker's format and back: the board type it had comes back
    // with the protocol that reads it.
    rx.ReSetMnfctr(GNSS_MNFCTR_OTHER);
    ASSERT_TRUE(Eventually([] { return g_oemChanges.load() == 1; }));
    rx.ReSetMnfctr(GNSS_MNFCTR_ORVEL);
    ASSERT_TRUE(Eventually([] { return g_oemChanges.load() == 2; }));
    EXPECT_EQ(rx.Get_Gnss_Manufacturer(), GNSS_MNFCTR_ORVEL);
    EXPECT_EQ(rx.Get_MAINBD_OEM_TYPE(), MAINBD_ORVEL_NEW);

    size_t from = OpsCallbacks::Get().Count();
    rx.Send_Battery();
    ASSERT_TRUE(WaitForClassBit(OpsCallbacks::Get(), from, 4, kPowerStatus));
    EXPECT_EQ(rx.Get_Battery_Grd(), 7);
    EXPECT_TRUE(rx.Port_Close());
}
