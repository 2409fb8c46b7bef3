// A receiver of another maker over a pseudo-terminal, through the real port
// library and the receiver object's threads: the simulated receiver plays NMEA
// as such a receiver does, and the position of its sentences comes back
// through the data callback and Get_Gnss_Pos.

#include "tests/device/DeviceOpsHarness.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace device_ops;

TEST(OtherMakerSim, NmeaPositionReachesGetGnssPos) {
    sim::SimReceiver sim;
    std::string error;
    ASSERT_TRUE(sim.Start(&error)) << error;
    sim.RegisterAsCom(32);

    OpsCallbacks& calls = OpsCallbacks::Get();
    calls.Reset();
    // As the program opens another maker's receiver: the Trimble BD board.
    EmGnss_Receiver rx(GNSS_MNFCTR_OTHER, MAINBD_TRIMBLE_BD);
    rx.RegisterCbs_Receiver(OpsCallbacks::Table(), nullptr);
    Fjarnis2011::FJComm::PARAM_COM com;
    com.port = 32;
    com.baud = 9600;
    ASSERT_TRUE(rx.Port_Open(com));

    // A little noise, then the receiver's sentences.
    const std::string gga = "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n";
    const std::string rmc = "$GPRMC,092750.000,A,5321.6802,N,00630.3372,W,0.02,31.66,280511,,,A*43\r\n";
    std::vector<uint8_t> bytes = {0x00, 0x41, 0xFF};
    for (const std::string& s : {rmc, gga}) bytes.insert(bytes.end(), s.begin(), s.end());
    sim.Send(bytes);
    ASSERT_TRUE(calls.WaitForBit(0, 0x1000u)) << "no GGA came through";

    POS_INFO pos{};
    rx.Get_Gnss_Pos(&pos);
    EXPECT_DOUBLE_EQ(pos.latitude, 53 * 0.017453292519943295 + 21.6802 * 0.0002908882086657216);
    EXPECT_DOUBLE_EQ(pos.longitude, -(6 * 0.017453292519943295 + 30.3372 * 0.0002908882086657216));
    EXPECT_DOUBLE_EQ(pos.height, 61.7 + 55.2);
    EXPECT_EQ(pos.status, 4);  // quality 1
    EXPECT_EQ(pos.satsUsed, 8u);

    rx.Port_Close();
    sim.Stop();
}
