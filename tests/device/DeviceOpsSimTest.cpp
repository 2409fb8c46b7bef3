// The command operations and getters in a whole conversation with the
// simulated receiver over a pseudo-terminal, through the real port library
// and the receiver object's threads: the device information, the battery and
// the modem's version and parameters are asked for and come back through the
// data callback, and the device information, battery and modem values are
// read back through the getters. The receiver is the maker's with its NovAtel
// board, whose protocol object is the library's own.

#include "tests/device/DeviceOpsHarness.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <string>

using namespace device_ops;

namespace {

constexpr unsigned kDeviceInfo = 0x80000000u;
constexpr unsigned kBattery = 0x40000000u;
constexpr unsigned kModemInfo = 0x20000000u;
constexpr unsigned kModemVersion = 0x01000000u;

}  // namespace

TEST(DeviceOpsSim, DeviceInformationBatteryAndModemAreAskedForAndReadBack) {
    sim::SimReceiver sim;
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(31);

    OpsCallbacks& calls = OpsCallbacks::Get();
    calls.Reset();
    EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
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

    // The simulator's device record and its battery reply (letter 'K').
    DEVICE_STR info{};
    rx.GetInfo_DevcInfo(info);
    EXPECT_STREQ(info.model, "8427");
    EXPECT_STREQ(info.serialNumber, "601234");
    EXPECT_STREQ(info.productionDate, "2011-06-15");
    EXPECT_STREQ(info.firmwareVersion, "V8.1");
    EXPECT_STREQ(info.partNumber, "FJ80427-01");
    EXPECT_EQ(+info.recordPeriod, 24);
    EXPECT_EQ(info.recordInterval, 5);
    EXPECT_EQ(info.rtkElevMask, 13);
    EXPECT_EQ(info.transmitFormat, 3);
    EXPECT_EQ(+info.boardType, int32_t(MAINBD_NOVATEL_OEM));
    EXPECT_EQ(rx.Get_Battery_Grd(), 6);

    rx.Send_Gprs_Info();
    ASSERT_TRUE(calls.WaitForBit(from, kModemInfo));
    WirelessInfo modem{};
    rx.GetInfo_Gprs_Info(modem);
    EXPECT_EQ(modem.port, 2101u);
    EXPECT_EQ(modem.protocol, uint32_t(PROTOCOL_NET_NTRIP_CLIENT));  // 'T'
    EXPECT_NE(modem.linkOptions, 0u) << "a module version of 2.90 offers the newer options";

    EXPECT_TRUE(rx.Port_Close());
    EXPECT_EQ(rx.GetInfo_Gprs_Version(), -1.0) << "nothing to read once the port is closed";
    EXPECT_EQ(rx.Get_Battery_Grd(), -1);

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

// What the board reports through the receiver: its PSRDOP log carries the
// elevation mask, and the receiver's satellite data ("RH", here one GPS
// satellite in the form the receiver gives the board's tables) fills the GPS
// table. Both come with the periodic output.
TEST(DeviceOpsSim, BoardElevationMaskAndSatelliteDataArriveWithThePeriodicOutput) {
    sim::SimSettings settings;
    // 01 (count) 01 (kind) 8 x 00 | 05 (id) 2D (45 degrees) 01 0E (azimuth 270) A0 (160: 40.0) 00 | 2 x 00
    settings.satelliteRecord = {0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x05, 0x2D, 0x01, 0x0E, 0xA0, 0x00, 0, 0};
    sim::SimReceiver sim(settings);
    sim.Update([](sim::SimSettings& s) { s.periodicPayload = sim::NovAtelPsrDopLog(12.0f); });
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(32);

    OpsCallbacks& calls = OpsCallbacks::Get();
    calls.Reset();
    EmGnss_Receiver rx(GNSS_MNFCTR_ORVEL, MAINBD_NOVATEL_OEM);
    rx.RegisterCbs_Receiver(OpsCallbacks::Table(), nullptr);
    Fjarnis2011::FJComm::PARAM_COM com;
    com.port = 32;
    com.baud = 9600;
    ASSERT_TRUE(rx.Port_Open(com));
    rx.Send_OvMdl(2);
    rx.Send_200Data(true);
    ASSERT_TRUE(calls.WaitForBit(0, 0x04000000u)) << "no elevation mask";
    ASSERT_TRUE(calls.WaitForBit(0, 0x08000000u)) << "no GPS table";
    EXPECT_EQ(rx.GetInfo_Gnss_ElevMask(), 12u);
    unsigned count = 0;
    SATLLITE_STR sats[32]{};
    rx.Get_Gnss_SatInfo(1, &count, sats);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(int64_t(sats[0].number), 5);
    EXPECT_EQ(int64_t(sats[0].azimuth), 270);
    EXPECT_FLOAT_EQ(float(sats[0].snr[0]), 40.0f);
    rx.Port_Close();
    sim.Stop();
}
