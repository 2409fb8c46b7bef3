// DeviceManager with receivers whose GNSS board is a Trimble BD or a
// Hemisphere board, against the simulated receiver on a pseudo-terminal: the
// board type from the device information selects the board family, whose own
// commands then travel to the receiver inside "RZ" frames; another maker's
// receiver playing NMEA reaches its working state.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include "TestSupport.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kCom = 9;

class DeviceManagerBoardsSimTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        observer_ = DeviceObserver::instance();
        QObject::connect(observer_, &DeviceObserver::workingStatus, observer_,
                         [this](int s) { statuses_.push_back(s); });
        QObject::connect(observer_, &DeviceObserver::oemTypeChanged, observer_,
                         [this](bool changed) { boardSwitched_ = boardSwitched_ || changed; });
        manager_ = DeviceManager::instance();
    }
    void TearDown() override {
        delete DeviceManager::existing();
        delete DeviceObserver::existing();
        sim_.Stop();
        platform::RegisterComPort(kCom, std::string());
        ProgramFolderTest::TearDown();
    }
    void startSim(const std::string& model) {
        sim_.Update([&](sim::SimSettings& s) { s.deviceInfo.model = model; });
        std::string error;
        ASSERT_TRUE(sim_.Start(&error)) << error;
        sim_.RegisterAsCom(kCom);
    }
    bool waitStatus(int s) {
        return QTest::qWaitFor([&] { return std::find(statuses_.begin(), statuses_.end(), s) != statuses_.end(); },
                               10000);
    }
    // The board bytes the receiver was sent inside "RZ" frames, in order.
    std::string relayed() const {
        std::string bytes;
        for (const auto& c : sim_.Received("RZ")) bytes.append(c.payload.begin(), c.payload.end());
        return bytes;
    }

    sim::SimReceiver sim_;
    DeviceObserver* observer_ = nullptr;
    DeviceManager* manager_ = nullptr;
    std::vector<int> statuses_;
    bool boardSwitched_ = false;
};

}  // namespace

TEST_F(DeviceManagerBoardsSimTest, HemisphereBoardGetsItsJLinesRelayed) {
    startSim("8546");  // a model with a Hemisphere board
    manager_->setManufacturer(2);
    manager_->setDeviceType(2);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(waitStatus(4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->boardType() == 4; }, 10000));
    // The board switch is done on the writing thread; the reset is asked for
    // once it has come back.
    ASSERT_TRUE(QTest::qWaitFor([&] { return boardSwitched_; }, 10000));
    sim_.ClearReceived();
    manager_->sendGnssReset();
    ASSERT_TRUE(sim_.WaitForCommand("RZ"));
    EXPECT_EQ(relayed(), "$JRESET\r\n");
    ASSERT_TRUE(manager_->disconnectDevice());
}

TEST_F(DeviceManagerBoardsSimTest, TrimbleBoardGetsItsDcolPacketRelayed) {
    startSim("Q70A");  // a model with a Trimble BD board
    manager_->setManufacturer(2);
    manager_->setDeviceType(2);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(waitStatus(4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->boardType() == 1; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boardSwitched_; }, 10000));
    sim_.ClearReceived();
    manager_->sendGnssReset();
    ASSERT_TRUE(sim_.WaitForCommand("RZ"));
    // STX, status, type 58, length 7, FF 03 "RESET", checksum E4, ETX.
    EXPECT_EQ(relayed(), std::string("\x02\x00\x58\x07\xFF\x03RESET\xE4\x03", 13));
    ASSERT_TRUE(manager_->disconnectDevice());
}

// The maker's own board ("8552", type 3) takes its lines straight from the
// line between the receiver's "IM" opening and closing frames. DeviceManager
// has no rover-start request, so the rover start goes through its receiver
// object, as the board work of the receiver does.
TEST_F(DeviceManagerBoardsSimTest, OwnBoardRoverStartSendsItsLinesBetweenTheImFrames) {
    startSim("8552");
    manager_->setManufacturer(2);
    manager_->setDeviceType(2);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(waitStatus(4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->boardType() == 3; }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return boardSwitched_; }, 10000));
    sim_.ClearReceived();
    ASSERT_NE(manager_->receiverObject(), nullptr);
    manager_->receiverObject()->Send_Gnss_StartRv();
    ASSERT_TRUE(sim_.WaitForCommand("IM", 2));
    ASSERT_TRUE(sim_.WaitUntil([](const sim::ReceiverModel& m) { return m.Status().ownBoardLines.size() >= 6; }));
    const auto brackets = sim_.Received("IM");
    ASSERT_EQ(brackets.size(), 2u);
    EXPECT_EQ(brackets[0].Describe(), "IM 18 01");
    EXPECT_EQ(brackets[1].Describe(), "IM 18 02");
    const sim::SimStatus status = sim_.Status();
    EXPECT_EQ(status.ownBoardLines,
              (std::vector<std::string>{"rtksource cmr", "unlogall", "set diffmatchmode asynch",
                                        "log rawephemb onchanged", "log diffmsgb ontime 1", "log refstationb ontime 5"}));
    EXPECT_FALSE(status.ownBoardOpen);
    EXPECT_TRUE(sim_.Received("RZ").empty());  // nothing relayed the other boards' way
    ASSERT_TRUE(manager_->disconnectDevice());
}

TEST_F(DeviceManagerBoardsSimTest, OtherMakersReceiverPlayingNmeaIsReady) {
    startSim("8427");
    const std::string gga = "$GPGGA,092750.000,5321.6802,N,00630.3372,W,1,8,1.03,61.7,M,55.2,M,,*76\r\n";
    sim_.Send(std::vector<uint8_t>(gga.begin(), gga.end()));
    manager_->setManufacturer(1);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(waitStatus(4));
    for (int i = 0; i < 5; ++i) sim_.Send(std::vector<uint8_t>(gga.begin(), gga.end()));
    QTest::qWait(200);
    EXPECT_EQ(manager_->connectionState(), 4);
    EXPECT_EQ(statuses_, (std::vector<int>{1, 4}));
    ASSERT_TRUE(manager_->disconnectDevice());
}
