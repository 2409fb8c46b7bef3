// The command operations and getters in a whole conversation with the
// simulated receiver over a pseudo-terminal, through the real port library
// and the receiver object's threads: the device information, the battery and
// the modem's version and parameters are asked for and come back through the
// data callback, and the modem's values are read back through the getters.
// The receiver's board families are stood in for: the maker's old-protocol
// commands go to receivers that have a main board.

#include "tests/device/DeviceOpsHarness.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <string>

using namespace device_ops;
using Fjarnis2011::FJDevice::ReceiverServices;

namespace {

constexpr unsigned kDeviceInfo = 0x80000000u;
constexpr unsigned kBattery = 0x40000000u;
constexpr unsigned kModemInfo = 0x20000000u;
constexpr unsigned kModemVersion = 0x01000000u;

struct StandInServices : ReceiverServices {
    Em_Gnss* NewProtocolObject(GNSS_MANUFACTURER m, MAINBD_OEM_TYPE t) override {
        return NewStandInProtocolObject(m, t);
    }
};

}  // namespace

TEST(DeviceOpsSim, DeviceInformationBatteryAndModemAreAskedForAndReadBack) {
    sim::SimReceiver sim;
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(31);

    StandInServices services;
    OpsCallbacks& calls = OpsCallbacks::Get();
    calls.Reset();
    EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM, &services);
    rx.RegisterCbs_Receiver(OpsCallbacks::Table(), nullptr);
    Fjarnis2011::FJComm::PARAM_COM com;
    com.port = 31;
    com.baud = 9600;
    ASSERT_TRUE(rx.Port_Open(com));

    // As the program connects: the receiver's working mode, then the device
    // information; the modem commands wait for it.
    rx.Send_OvMdl(2);
    EXPECT_FALSE(rx.Send_Gprs_Version()) << "no modem request before the device information";
    rx.Send_DeviceInfo();
    ASSERT_TRUE(calls.WaitForBit(0, kDeviceInfo));

    // As the Info page asks: modem version and battery, then the modem's
    // parameters.
    const size_t from = calls.Count();
    EXPECT_TRUE(rx.Send_Gprs_Version());
    rx.Send_Battery();
    ASSERT_TRUE(calls.WaitForBit(from, kModemVersion));
    ASSERT_TRUE(calls.WaitForBit(from, kBattery));
    EXPECT_DOUBLE_EQ(rx.GetInfo_Gprs_Version(), 2.9);  // the simulator's "2.90"

    rx.Send_Gprs_Info();
    ASSERT_TRUE(calls.WaitForBit(from, kModemInfo));
    WirelessInfo modem{};
    rx.GetInfo_Gprs_Info(modem);
    EXPECT_EQ(modem.port, 2101u);
    EXPECT_EQ(modem.protocol, uint32_t(PROTOCOL_NET_NTRIP_CLIENT));  // 'T'
    EXPECT_NE(modem.linkOptions, 0u) << "a module version of 2.90 offers the newer options";

    EXPECT_TRUE(rx.Port_Close());
    EXPECT_EQ(rx.GetInfo_Gprs_Version(), -1.0) << "nothing to read once the port is closed";

    ASSERT_EQ(sim.Received("SI").size(), 1u);
    ASSERT_EQ(sim.Received("SD").size(), 1u);
    bool versionAsked = false, parametersAsked = false;
    for (const auto& c : sim.Received("VS")) {
        versionAsked |= c.moduleId == 95;
        parametersAsked |= c.moduleId == 115;  // the newer layout's request
    }
    EXPECT_TRUE(versionAsked);
    EXPECT_TRUE(parametersAsked);
    calls.Reset();
}
