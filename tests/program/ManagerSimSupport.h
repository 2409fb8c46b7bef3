#pragma once

#include "TestSupport.h"
#include "platform/ComPorts.h"
#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "tests/sim/SimReceiver.h"

#include <QTest>

#include <memory>
#include <string>
#include <utility>

// A DeviceManager connected at 9600 baud to a simulated receiver of the maker
// on COM `com`, at state 4 when the test begins. Everything goes again in
// the order it must: the manager (which closes the port), the observer, the
// receiver, the port's name.
class ConnectedManagerTest : public ProgramFolderTest {
protected:
    ConnectedManagerTest(int com, int deviceType, sim::SimSettings settings = {})
        : com_(com), deviceType_(deviceType), sim_(std::make_unique<sim::SimReceiver>(std::move(settings))) {}

    void SetUp() override {
        ProgramFolderTest::SetUp();
        if (HasFatalFailure()) return;
        DeviceObserver::instance();
        std::string error;
        ASSERT_TRUE(sim_->Start(&error)) << error;
        sim_->RegisterAsCom(com_);
        manager_ = DeviceManager::instance();
        manager_->setManufacturer(2);
        manager_->setDeviceType(deviceType_);
        ASSERT_TRUE(manager_->connectDevice(0, com_, 9600));
        ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->connectionState() == 4; }, 10000));
    }
    void TearDown() override {
        delete DeviceManager::existing();
        delete DeviceObserver::existing();
        sim_->Stop();
        platform::RegisterComPort(com_, std::string());
        ProgramFolderTest::TearDown();
    }

    const int com_;
    const int deviceType_;
    std::unique_ptr<sim::SimReceiver> sim_;
    DeviceManager* manager_ = nullptr;
};
