// DeviceManager's cache after a write, against the simulated receiver
// through the real receiver object, protocol and port libraries: what each
// set operation sends is what the cache gives until the receiver reports
// again; a later report replaces it; the output settings that no receiver
// reports belong to the connection that sent them.

#include "tests/program/ManagerSimSupport.h"

#include "tests/sim/SimRadioModules.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace Fjarnis2011::FJParse;

constexpr int kCom = 9;

sim::SimSettings WithFullRadio() {
    sim::SimSettings s;
    sim::SetRadioModule(s, 8);
    return s;
}

std::string Text(const char* field, size_t size) { return std::string(field, ::strnlen(field, size)); }

template <size_t N>
void Put(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    std::memcpy(field, text, std::min(N - 1, std::strlen(text)));
}

class DeviceManagerSetCacheSimTest : public ConnectedManagerTest {
protected:
    DeviceManagerSetCacheSimTest() : ConnectedManagerTest(kCom, 0, WithFullRadio()) {}

    // Waits until the receiver got a command with these letters (and, for a
    // module tunnel, this request id).
    bool got(const char* letters, int moduleId = -1) {
        return QTest::qWaitFor(
            [&] {
                for (const auto& c : sim_->Received())
                    if (c.letters == letters && (moduleId < 0 || c.moduleId == moduleId)) return true;
                return false;
            },
            15000);
    }
};

TEST_F(DeviceManagerSetCacheSimTest, WhatASetSendsStandsUntilTheReceiverReportsAgain) {
    ASSERT_EQ(manager_->boardType(), 2) << "an old-protocol receiver with a NovAtel board";
    ASSERT_TRUE(manager_->versionFlag());
    // Nothing the receiver says may come between a write and the reads below.
    sim_->SetBehaviour(sim::Behaviour::Silent);
    sim_->ClearReceived();

    // Normal output, automatic base 1234 m away, "Cable", RTCM3.2, 20
    // degrees, 2 Hz.
    manager_->setRtkParams(0, 1, 1234, 1, 6, 20, GNSS_FRQ_2HZ);
    Static_Point point{};
    point.nameLength = 4;
    std::memcpy(point.name, "PT07", 4);
    point.antennaHeight = 1.75f;
    point.antennaType = 5;
    point.surveyTo = 4;
    manager_->setRecordingAndPoint(0, 2, 10, 25, &point);
    Radio_Callsign sign{1, 5, {}};
    std::memcpy(sign.message, "DL1XYZ", 6);
    sign.message[Radio_Callsign::kLengthByte] = 6;
    manager_->setRadioParams(Rdo_Mdl(8), 463.125, RADIO_POWER_1W, RADIO_BAUD_19200, RDO_SENSITV_HIGH,
                             CHANNEL_SPACE_25K, false, sign);
    WirelessInfo link{};
    link.workMode = GPRS_MODLE_ROVER;
    Put(link.address.text, "10.1.2.3");
    link.address.textLength = 8;
    link.port = 2102;
    link.protocol = PROTOCOL_NET_NTRIP_CLIENT;
    Put(link.baseId, "B07xx");
    cors_info login{};
    Put(login.mountPoint, "MNT");
    Put(login.userName, "rover1");
    Put(login.password, "pw2");
    manager_->setGprsParams(GPRS_MODLE_ROVER, 3, link, 1, login);
    SvcInfo service{};
    Put(service.apn, "internet.example");
    Put(service.dialNumber, "*99#");
    Put(service.userName, "u1");
    Put(service.password, "p1");
    manager_->setGprsSvcInfo(service);
    std::vector<_set_nmea> nmea = {{0x1, 2}, {0x10, 6}};
    manager_->setOrvelNmea(nmea, true, 1);
    manager_->setComBaudrate(DeviceManager::Com_Baudrate::COM_BAUD_19200);

    // At once, before any frame has gone: each value as the receiver's
    // report of it would bring it.
    const DeviceManager::DEVICE_STR info = manager_->deviceInfo();
    EXPECT_EQ(info.outputMode, 0);
    EXPECT_EQ(info.startType, 1);
    EXPECT_EQ(info.autoBaseDist, 1234);
    EXPECT_EQ(info.transmitPort, 1);
    EXPECT_EQ(info.transmitFormat, 6);
    EXPECT_EQ(info.rtkElevMask, 20);
    EXPECT_EQ(info.positionRate, 2) << "in Hz";
    EXPECT_EQ(info.recordType, 0);
    EXPECT_EQ(info.recordPeriod, 2);
    EXPECT_EQ(info.recordInterval, 10);
    EXPECT_EQ(info.recordElevMask, 25);
    EXPECT_EQ(Text(info.model, sizeof info.model), "8427") << "what no write touches stays";
    const DeviceManager::Static_Point cachedPoint = manager_->staticPoint();
    EXPECT_EQ(std::string(cachedPoint.name, cachedPoint.nameLength), "PT07");
    EXPECT_FLOAT_EQ(cachedPoint.antennaHeight, 1.75f);

    DeviceManager::Rdo_Mdl protocol{};
    manager_->transmitMdl(protocol);
    EXPECT_EQ(int(protocol), 0) << "the network link's write switches the radio off last";
    EXPECT_DOUBLE_EQ(manager_->radioFrq(), 463.125);
    DeviceManager::Radio_Power power{};
    manager_->radioPower(power);
    EXPECT_EQ(power, RADIO_POWER_1W);
    DeviceManager::Radio_Baudrate baud{};
    manager_->radioBaudrate(baud);
    EXPECT_EQ(baud, RADIO_BAUD_9600) << "this radio takes no air baud rate: none was sent";
    DeviceManager::Rdo_Sensitv sensitivity{};
    manager_->radioSensitivity(sensitivity);
    EXPECT_EQ(sensitivity, RDO_SENSITV_HIGH);
    DeviceManager::Channel_Space spacing{};
    manager_->radioChannelSpace(spacing);
    EXPECT_EQ(spacing, CHANNEL_SPACE_25K);
    EXPECT_FALSE(manager_->radioFec());
    const DeviceManager::Radio_Callsign cachedSign = manager_->radioCallsign();
    EXPECT_EQ(std::string(cachedSign.message, 6), "DL1XYZ");
    EXPECT_EQ(cachedSign.interval, 5u);

    WirelessInfo modem{};
    manager_->gprsInfo(modem);
    EXPECT_EQ(modem.workMode, uint32_t(GPRS_MODLE_ROVER));
    EXPECT_EQ(Text(modem.address.text, sizeof modem.address.text), "10.1.2.3");
    EXPECT_EQ(modem.port, 2102u);
    EXPECT_EQ(modem.protocol, uint32_t(PROTOCOL_NET_NTRIP_CLIENT));
    EXPECT_EQ(Text(modem.baseId, sizeof modem.baseId), "B07") << "the three characters sent";
    EXPECT_EQ(Text(modem.apn, sizeof modem.apn), "internet.example");
    EXPECT_EQ(Text(modem.dialNumber, sizeof modem.dialNumber), "*99#");
    EXPECT_EQ(Text(modem.userName, sizeof modem.userName), "u1");
    EXPECT_EQ(Text(modem.password, sizeof modem.password), "p1");
    EXPECT_EQ(manager_->gprsCosMdl(), 1);
    cors_info cachedLogin{};
    manager_->corsInfo(cachedLogin);
    EXPECT_EQ(Text(cachedLogin.mountPoint, sizeof cachedLogin.mountPoint), "MNT");
    EXPECT_EQ(Text(cachedLogin.userName, sizeof cachedLogin.userName), "rover1");

    std::vector<_set_nmea> told;
    int port = 0;
    ASSERT_TRUE(manager_->nmeaOutput(told, port));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1].sentence, 0x10u);
    EXPECT_EQ(told[1].rate, 6u);
    EXPECT_EQ(port, 1);
    EXPECT_EQ(manager_->comBaudrate(), int(DeviceManager::Com_Baudrate::COM_BAUD_19200));

    // The receiver's settings change by themselves; its reports, asked for
    // after the writes went out, replace what was written.
    ASSERT_TRUE(got("SB")) << "the last write";
    sim_->Update([](sim::SimSettings& s) {
        s.deviceInfo.rtkElevMask = 33;
        s.deviceInfo.recordInterval = 30;
        s.radio.power = 2;
        s.modem.apn = "other.apn";
        s.modem.baseId = "0042";
    });
    sim_->SetBehaviour(sim::Behaviour::Answer);
    manager_->sendDeviceInfo();
    manager_->sendRadioPower();
    manager_->sendGprsInfo();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            WirelessInfo reported{};
            manager_->gprsInfo(reported);
            DeviceManager::Radio_Power reportedPower{};
            manager_->radioPower(reportedPower);
            return manager_->deviceInfo().rtkElevMask == 33 && reportedPower == RADIO_POWER_0W1 &&
                   Text(reported.apn, sizeof reported.apn) == "other.apn";
        },
        10000));
    EXPECT_EQ(manager_->deviceInfo().recordInterval, 30);
    EXPECT_EQ(manager_->deviceInfo().transmitFormat, 6) << "kept by the receiver as written";
    manager_->gprsInfo(modem);
    EXPECT_EQ(Text(modem.baseId, sizeof modem.baseId), "0042");

    // A new connection: the receiver then connected was told no output.
    ASSERT_TRUE(manager_->disconnectDevice());
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->connectionState() == 4; }, 10000));
    EXPECT_FALSE(manager_->nmeaOutput(told, port));
    EXPECT_EQ(manager_->comBaudrate(), -1);
}

// A receiver of another make is sent none of the maker's settings: its
// cache keeps what it had.
class OtherMakerSetCacheTest : public ConnectedManagerTest {
protected:
    OtherMakerSetCacheTest() : ConnectedManagerTest(kCom, 0) {}
};

TEST_F(OtherMakerSetCacheTest, NothingSentNothingCached) {
    const DeviceManager::DEVICE_STR before = manager_->deviceInfo();
    ASSERT_TRUE(manager_->disconnectDevice());
    manager_->setManufacturer(GNSS_MNFCTR_OTHER);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_EQ(manager_->connectionState(), 4);
    manager_->setRtkParams(0, 2, 0, 1, 6, 20, GNSS_FRQ_2HZ);
    manager_->setRecording(0, 2, 10, 25);
    std::vector<_set_nmea> nmea = {{0x1, 3}};
    manager_->setOrvelNmea(nmea, false, 3);
    const DeviceManager::DEVICE_STR after = manager_->deviceInfo();
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    std::vector<_set_nmea> told;
    int port = 0;
    EXPECT_FALSE(manager_->nmeaOutput(told, port));
}

}  // namespace
