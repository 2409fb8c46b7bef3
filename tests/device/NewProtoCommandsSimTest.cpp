// The new protocol's settings in a whole conversation with the simulated
// receiver in its new-protocol mode, through the real port library and the
// receiver object's threads: the elevation mask, the data rates, the network
// link's address and account and the radio frequency are set, reach the
// receiver as its parameters, and come back through the queries and getters.

#include "tests/device/DeviceOpsHarness.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace device_ops;

namespace {

// The new protocol's change bits of the items read back here.
constexpr unsigned kResponse = 0x80000000u;  // item 2, a setting's answer
constexpr unsigned kPowerStatus = 0x1;       // 772 (system replies)
constexpr unsigned kElevMask = 0x4;          // 1105 (GNSS replies)
constexpr unsigned kRadioFrequency = 0x1;    // 1795 (radio replies)
constexpr unsigned kNetLinkAddress = 0x400;  // 4355
constexpr unsigned kNetLinkAccount = 0x10000;  // 4363

std::vector<uint8_t> Param(const sim::ReceiverModel& m, uint16_t id) {
    const auto it = m.Settings().newParams.find(id);
    return it == m.Settings().newParams.end() ? std::vector<uint8_t>{} : it->second;
}

}  // namespace

TEST(NewProtoCommandsSim, SettingsReachTheReceiverAndComeBack) {
    sim::SimReceiver sim(sim::NewProtocolSettings());
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(33);

    OpsCallbacks& calls = OpsCallbacks::Get();
    calls.Reset();
    EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_ORVEL_NEW);
    rx.RegisterCbs_Receiver(OpsCallbacks::Table(), nullptr);
    Fjarnis2011::FJComm::PARAM_COM com;
    com.port = 33;
    com.baud = 9600;
    ASSERT_TRUE(rx.Port_Open(com));
    // The receiver's own working mode (com direct). Its answer may come
    // while the switch still holds the protocol and be dropped with what was
    // received before the switch, so the power status is asked behind it:
    // once that is answered, no answer to the switch is still to come.
    rx.Send_OvMdl(2);
    rx.Send_System_Power_Status_Query();
    ASSERT_TRUE(calls.WaitForBit(0, kPowerStatus));

    // Elevation mask: 300 is sent as 44; the receiver answers the setting.
    size_t from = calls.Count();
    rx.Set_Gnss_ElevMask(300);
    ASSERT_TRUE(calls.WaitForBit(from, kResponse));
    OV_RESPONSE_STATUS_ENUM status{};
    unsigned commandId = 0;
    rx.Get_Cmd_Setting_Response(status, commandId);
    EXPECT_EQ(int(status), 1);
    EXPECT_EQ(commandId, 1105u);
    from = calls.Count();
    rx.Send_Gnss_ElevMask();
    ASSERT_TRUE(calls.WaitForBit(from, kElevMask));
    EXPECT_EQ(rx.Get_Gnss_ElevMask(), 44);
    EXPECT_EQ(rx.GetInfo_Gnss_ElevMask(), 44u);

    // Data rates: the position output at 5 Hz (7) and the eBubble at 1 Hz (9)
    // in one command.
    rx.Send_Gnss_Data_Freq(std::vector<DataFreq>{{1040, 7}, {1041, 9}});
    EXPECT_TRUE(sim.WaitUntil([](const sim::ReceiverModel& m) {
        return Param(m, 1040) == std::vector<uint8_t>{0x00, 0x07} && Param(m, 1041) == std::vector<uint8_t>{0x00, 0x09};
    }));

    // The network link's server and account.
    OV_IP_ADDRESS_STRUCT address{};
    address.address = 0xC0A80164;  // 192.168.1.100
    address.port = 2101;
    address.useHost = 1;
    std::memcpy(address.host, "caster.example.net", 18);
    OV_ACCOUNT_STRUCT account{};
    std::memcpy(account.user, "surveyor", 8);
    std::memset(account.password, 'p', sizeof account.password);  // fills its field
    rx.Send_NetLink_Address(&address);
    rx.Send_NetLink_Account(&account);
    from = calls.Count();
    rx.Send_NetLink_Address(nullptr);
    rx.Send_NetLink_Account(nullptr);
    ASSERT_TRUE(calls.WaitForBit(from, kNetLinkAddress));
    ASSERT_TRUE(calls.WaitForBit(from, kNetLinkAccount));
    OV_IP_ADDRESS_STRUCT gotAddress{};
    OV_ACCOUNT_STRUCT gotAccount{};
    rx.Get_NetLink_Address(gotAddress);
    rx.Get_NetLink_Account(gotAccount);
    EXPECT_EQ(gotAddress.address, 0xC0A80164u);
    EXPECT_EQ(gotAddress.port, 2101);
    EXPECT_EQ(gotAddress.useHost, 1);
    EXPECT_STREQ(gotAddress.host, "caster.example.net");
    EXPECT_STREQ(gotAccount.user, "surveyor");
    EXPECT_EQ(std::string(gotAccount.password, sizeof gotAccount.password), std::string(20, 'p'));

    // The radio frequency, a single-precision value.
    const float mhz = 463.125f;
    rx.Send_Radio_Frequency(&mhz);
    from = calls.Count();
    rx.Send_Radio_Frequency(nullptr);
    ASSERT_TRUE(calls.WaitForBit(from, kRadioFrequency));
    EXPECT_EQ(rx.Get_Radio_Frequency(), 463.125f);
    EXPECT_EQ(rx.Get_Radio_Frq(), 463.125);

    rx.Port_Close();
}
