// DeviceManager against the simulated receiver started in its new-protocol
// mode, through the real receiver object, protocol and port libraries: the
// receiver is reached on the old protocol, its device information names no
// old board, it is switched over, put into normal mode with the com-direct
// item and is connected once it answers in the new protocol.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include "TestSupport.h"
#include "device/EmGnss_Receiver.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kCom = 8;

// What the observer announces, in the order it reaches the GUI thread
// (queued, as the pages take it).
class NewProtoRecorder {
public:
    explicit NewProtoRecorder(DeviceObserver* o) {
        QObject::connect(o, &DeviceObserver::workingStatus, &context_, [this](int s) {
            statuses.push_back(s);
            events.push_back("status " + std::to_string(s));
        }, Qt::QueuedConnection);
        QObject::connect(o, &DeviceObserver::deviceInfo, &context_, [this] { events.push_back("deviceInfo"); },
                         Qt::QueuedConnection);
        QObject::connect(o, &DeviceObserver::batteryLife, &context_,
                         [this](int g) { events.push_back("battery " + std::to_string(g)); }, Qt::QueuedConnection);
        QObject::connect(o, &DeviceObserver::sourceTable, &context_, [this] { events.push_back("sourceTable"); },
                         Qt::QueuedConnection);
        QObject::connect(o, &DeviceObserver::oemTypeChanged, &context_,
                         [this](bool ok) { events.push_back(ok ? "oem true" : "oem false"); }, Qt::QueuedConnection);
    }
    std::vector<std::string> events;
    std::vector<int> statuses;
    bool has(const std::string& e) const { return std::find(events.begin(), events.end(), e) != events.end(); }
    long at(const std::string& e) const { return std::find(events.begin(), events.end(), e) - events.begin(); }

private:
    QObject context_;
};

std::string Text(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

class DeviceManagerNewProtoSimTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        recorder_ = std::make_unique<NewProtoRecorder>(DeviceObserver::instance());
        manager_ = DeviceManager::instance();
    }
    void TearDown() override {
        delete DeviceManager::existing();
        recorder_.reset();
        delete DeviceObserver::existing();
        sim_->Stop();
        platform::RegisterComPort(kCom, std::string());
        ProgramFolderTest::TearDown();
    }
    void startSim(sim::SimSettings settings) {
        sim_ = std::make_unique<sim::SimReceiver>(std::move(settings));
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        sim_->RegisterAsCom(kCom);
    }
    bool waitFor(const std::function<bool()>& done) { return QTest::qWaitFor(done, 10000); }

    std::unique_ptr<sim::SimReceiver> sim_;
    DeviceManager* manager_ = nullptr;
    std::unique_ptr<NewProtoRecorder> recorder_;
};

TEST_F(DeviceManagerNewProtoSimTest, SwitchedOverPutIntoNormalModeAndConnected) {
    startSim(sim::NewProtocolSettings());
    manager_->setManufacturer(2);
    manager_->setDeviceType(0);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(waitFor([&] { return manager_->connectionState() == 4; }));
    ASSERT_TRUE(waitFor([&] { return recorder_->has("status 4") && recorder_->has("battery 7"); }));
    // No modem version is waited for: state 3 is never passed.
    EXPECT_EQ(recorder_->statuses, (std::vector<int>{1, 2, 4}));
    EXPECT_LT(recorder_->at("deviceInfo"), recorder_->at("oem true"));
    EXPECT_LT(recorder_->at("oem true"), recorder_->at("status 4"));

    // What the receiver was sent, in order: the old normal-mode switch and
    // device-information request, then, on the new protocol, the com-direct
    // item (operation 2, 264 = 2, command id 264) and the power-status query.
    const auto commands = sim_->Received();
    auto first = [&](auto pred) { return std::find_if(commands.begin(), commands.end(), pred) - commands.begin(); };
    const long st = first([](const sim::ReceivedCommand& c) { return c.Is("ST", {0x00}); });
    const long si = first([](const sim::ReceivedCommand& c) { return c.letters == "SI"; });
    const long direct = first([](const sim::ReceivedCommand& c) { return c.Item(264) != nullptr; });
    const long power = first([](const sim::ReceivedCommand& c) { return c.Item(772) != nullptr; });
    ASSERT_LT(power, long(commands.size()));
    EXPECT_LT(st, si);
    EXPECT_LT(si, direct);
    EXPECT_LT(direct, power);
    EXPECT_EQ(commands[size_t(direct)].Describe(), "NEW 264 op 2: 01 08=00 02");
    EXPECT_EQ(commands[size_t(power)].Describe(), "NEW 0 op 11: 03 04=");
    EXPECT_EQ(sim_->Status().mode, sim::WorkMode::Normal);

    const auto info = manager_->deviceInfo();
    EXPECT_EQ(Text(info.model, sizeof info.model), "Q50A");
    EXPECT_EQ(Text(info.serialNumber, sizeof info.serialNumber), sim_->Settings().deviceInfo.serialNumber);
    EXPECT_EQ(int32_t(info.boardType), 0);
    EXPECT_EQ(manager_->boardType(), 0);
    EXPECT_EQ(manager_->batteryGrade(), 7);

    // The battery asked for again reaches the page's signal the same way.
    recorder_->events.clear();
    manager_->sendBattery();
    ASSERT_TRUE(waitFor([&] { return recorder_->has("battery 7"); }));

    // The source table through the receiver's network link (4358), whole.
    manager_->sendGprsGetList();
    ASSERT_TRUE(sim_->WaitForNewItem(4358));
    EXPECT_EQ(sim_->ReceivedItem(4358).front().operation, 47);
    ASSERT_TRUE(waitFor([&] { return recorder_->has("sourceTable"); }));
    EXPECT_EQ(manager_->sourceTableNames(), QStringList{QStringLiteral("RTCM32")});

    ASSERT_TRUE(manager_->disconnectDevice());
    EXPECT_EQ(manager_->connectionState(), 0);
}

// A receiver whose model names no old board but that does not answer the new
// protocol is not reported as connected.
TEST_F(DeviceManagerNewProtoSimTest, NoNewProtocolAnswerLeavesTheConnectionWaiting) {
    sim::SimSettings settings;  // the old protocol only
    settings.deviceInfo.model = "Q50A";
    startSim(settings);
    manager_->setManufacturer(2);
    ASSERT_TRUE(manager_->connectDevice(0, kCom, 9600));
    ASSERT_TRUE(waitFor([&] { return recorder_->has("deviceInfo") && recorder_->has("oem true"); }));
    // The com-direct item and the power-status query reach it only as bytes
    // it cannot read; nothing of the new protocol comes back.
    ASSERT_TRUE(waitFor([&] { return sim_->Status().garbageBytes >= 60; }));
    QTest::qWait(200);
    EXPECT_EQ(manager_->connectionState(), 2);
    EXPECT_EQ(recorder_->statuses, (std::vector<int>{1, 2}));
    ASSERT_TRUE(manager_->disconnectDevice());
}

}  // namespace
