// DeviceManager's network-link requests against the simulated receiver,
// through the real receiver object, protocol and port libraries: each sends
// exactly its modem packets, in order, with the base id held to its field.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include "ManagerSimSupport.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QTest>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kCom = 9;

struct Packet {
    int id;
    std::vector<uint8_t> data;
};

// State 4 comes with the modem's version (device type 0), which settles
// which server packet the modem takes.
class DeviceManagerNetSimTest : public ConnectedManagerTest {
protected:
    DeviceManagerNetSimTest() : ConnectedManagerTest(kCom, 0) {}

    // The module packets the receiver got for `request`, once `expected`
    // have come.
    std::vector<Packet> packetsOf(const std::function<void()>& request, size_t expected) {
        sim_->ClearReceived();
        request();
        std::vector<Packet> got;
        const bool enough = QTest::qWaitFor(
            [&] {
                got.clear();
                for (const auto& c : sim_->Received())
                    if (c.letters == "VS" && c.moduleId >= 0) got.push_back({c.moduleId, c.moduleData});
                return got.size() >= expected;
            },
            15000);  // the link packet alone keeps the writer 2 s
        EXPECT_TRUE(enough) << got.size() << " of " << expected;
        QTest::qWait(200);  // nothing further may follow
        got.clear();
        for (const auto& c : sim_->Received())
            if (c.letters == "VS" && c.moduleId >= 0) got.push_back({c.moduleId, c.moduleData});
        return got;
    }

    static std::vector<int> Ids(const std::vector<Packet>& packets) {
        std::vector<int> ids;
        for (const Packet& p : packets) ids.push_back(p.id);
        return ids;
    }

};

TEST_F(DeviceManagerNetSimTest, NetRequestsAskForTheModemLoginModeAndNtripLogin) {
    // The modem's parameters (the newer layout, 115), the login mode (106),
    // the NTRIP login (108).
    EXPECT_EQ(Ids(packetsOf([&] { manager_->sendNetRequests(); }, 3)), (std::vector<int>{115, 106, 108}));
}

TEST_F(DeviceManagerNetSimTest, GprsParamsGoOutInOrderWithTheBaseIdHeldToItsField) {
    DeviceManager::WirelessInfo info{};
    info.address.ip[0] = 10;
    info.address.ip[3] = 7;
    std::memcpy(info.address.text, "caster.example", 14);
    info.address.textLength = 14;
    info.port = 2101;
    info.protocol = 1;
    std::memcpy(info.baseId, "BASE0123456789ABCDEF", 20);  // fills the field: no terminator
    DeviceManager::cors_info cors{};
    std::memcpy(cors.mountPoint, "RTCM32", 6);
    std::memcpy(cors.userName, "surveyor", 8);
    std::memcpy(cors.password, "secret", 6);
    const std::vector<Packet> sent = packetsOf(
        [&] { manager_->setGprsParams(DeviceManager::Gprs_Modle(2), 4096, info, 1, cors); }, 7);
    // Radio protocol 0 (96), work mode (93), the server by name (114), the
    // base id (94), the link packet before the login mode (113, 105), the
    // NTRIP login (107).
    ASSERT_EQ(Ids(sent), (std::vector<int>{96, 93, 114, 94, 113, 105, 107}));
    EXPECT_EQ(sent[0].data, (std::vector<uint8_t>{0}));
    EXPECT_EQ(sent[1].data, (std::vector<uint8_t>{2}));
    EXPECT_EQ(std::string(sent[3].data.begin(), sent[3].data.end()), "BASE0123456789ABCDEF");
    EXPECT_EQ(sent[5].data, (std::vector<uint8_t>{1}));

    // Login mode 0 switches only the link's auto-open: on this receiver the
    // login mode alone.
    const std::vector<Packet> off = packetsOf(
        [&] { manager_->setGprsParams(DeviceManager::Gprs_Modle(2), 3, info, 0, cors); }, 7);
    ASSERT_EQ(Ids(off), (std::vector<int>{96, 93, 114, 94, 113, 105, 107}));
    EXPECT_EQ(std::string(off[3].data.begin(), off[3].data.end()), "BAS");
    EXPECT_EQ(off[5].data, (std::vector<uint8_t>{0}));
}

}  // namespace
