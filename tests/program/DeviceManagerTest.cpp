// DeviceManager without a receiver: its start values, the cache before any
// report, and the callbacks when no manager exists.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cstring>
#include <thread>

namespace {

class DeviceManagerTest : public testing::Test {
protected:
    void TearDown() override {
        delete DeviceManager::existing();
        delete DeviceObserver::existing();
    }
};

TEST_F(DeviceManagerTest, StartsClosedWithEmptyCache) {
    DeviceManager* m = DeviceManager::instance();
    EXPECT_EQ(DeviceManager::instance(), m);
    EXPECT_NE(DeviceObserver::existing(), nullptr);  // made on the GUI thread with the manager
    EXPECT_EQ(m->connectionState(), 0);
    EXPECT_EQ(m->baudRate(), 9600);
    EXPECT_EQ(m->pendingEvent(), 24);
    EXPECT_FALSE(m->versionFlag());
    EXPECT_TRUE(m->isOldVersion());
    unsigned mask = 0;
    m->capabilityMask(mask);
    EXPECT_EQ(mask, 31u);
    m->setDeviceType(2);
    m->capabilityMask(mask);
    EXPECT_EQ(mask, 7u);

    const auto info = m->deviceInfo();
    const DeviceManager::DEVICE_STR zero{};
    EXPECT_EQ(std::memcmp(&info, &zero, sizeof info), 0);
    EXPECT_EQ(m->batteryGrade(), 0);
    EXPECT_EQ(m->gprsVersion(), 0.0);
    DeviceManager::WirelessInfo wireless;
    std::memset(&wireless, 0x5A, sizeof wireless);
    m->gprsInfo(wireless);
    const DeviceManager::WirelessInfo zeroWireless{};
    EXPECT_EQ(std::memcmp(&wireless, &zeroWireless, sizeof wireless), 0);
    EXPECT_TRUE(m->sourceTableNames().isEmpty());

    QStringList names = {"x"};
    QList<int> codes = {1};
    m->outputRates(names, codes);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_TRUE(codes.isEmpty());
}

TEST_F(DeviceManagerTest, DestroyedManagerIsForgottenAndMadeAnew) {
    DeviceManager* first = DeviceManager::instance();
    first->setManufacturer(1);
    delete first;
    EXPECT_EQ(DeviceManager::existing(), nullptr);
    DeviceManager* second = DeviceManager::instance();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DeviceManager::existing(), second);
}

// A callback that comes from a device thread when no manager exists makes
// neither a manager nor an observer and announces nothing.
TEST_F(DeviceManagerTest, CallbacksWithoutManagerCreateNothing) {
    ASSERT_EQ(DeviceManager::existing(), nullptr);
    DeviceObserver* observer = DeviceObserver::instance();
    QSignalSpy status(observer, &DeviceObserver::workingStatus);
    QSignalSpy info(observer, &DeviceObserver::deviceInfo);
    std::thread device([] {
        DeviceManager::onReceiverEvent(2, 0xFFFFFFFFu, nullptr);
        DeviceManager::onReceiverEvent(1, 0xFFFFFFFFu, nullptr);
        DeviceManager::onOemTypeResult(true, nullptr);
    });
    device.join();
    EXPECT_EQ(DeviceManager::existing(), nullptr);
    EXPECT_EQ(DeviceObserver::existing(), observer);
    EXPECT_EQ(status.count(), 0);
    EXPECT_EQ(info.count(), 0);
}

// The callbacks of a manager whose receiver has no open port read nothing
// and do not touch a port; the board switch is still announced.
TEST_F(DeviceManagerTest, OemResultIsAnnouncedWithItsValue) {
    DeviceManager::instance();
    QSignalSpy oem(DeviceObserver::existing(), &DeviceObserver::oemTypeChanged);
    std::thread device([] {
        DeviceManager::onOemTypeResult(true, nullptr);
        DeviceManager::onOemTypeResult(false, nullptr);
    });
    device.join();
    ASSERT_EQ(oem.count(), 2);
    EXPECT_TRUE(oem.at(0).at(0).toBool());
    EXPECT_FALSE(oem.at(1).at(0).toBool());
    EXPECT_EQ(DeviceManager::existing()->pendingEvent(), 28);
}

}  // namespace
