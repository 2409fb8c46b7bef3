// DeviceManager's RTK and network-link settings on a receiver of the new
// protocol (the simulated receiver in its new-protocol mode), through the
// real libraries: the elevation mask, the position rate, the server address
// and the caster account become the receiver's parameters; the network-link
// read brings the server address and the login back into the manager's
// cache, and the elevation mask and radio frequency the receiver reports land
// there too.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"

#include "ManagerSimSupport.h"
#include "platform/ComPorts.h"
#include "tests/sim/SimNewProto.h"
#include "tests/sim/SimReceiver.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kCom = 10;

using Bytes = std::vector<uint8_t>;

class DeviceManagerNewProtoSimTest : public ConnectedManagerTest {
protected:
    DeviceManagerNewProtoSimTest() : ConnectedManagerTest(kCom, 0, sim::NewProtocolSettings()) {}

    // Waits until the receiver keeps `value` for parameter `id`.
    bool Keeps(uint16_t id, const Bytes& value) {
        return sim_->WaitUntil([&](const sim::ReceiverModel& m) {
            const auto it = m.Settings().newParams.find(id);
            return it != m.Settings().newParams.end() && it->second == value;
        });
    }

    // The receiver reports one parameter's value (a query's answer).
    void Report(uint16_t operation, uint16_t id, const Bytes& value) {
        sim_->Send(sim::PackLinkFrames(sim::PackMessage(0, operation, {{id, value}}), 1, reportSequence_));
    }
    Bytes Kept(uint16_t id) const {
        const sim::SimSettings settings = sim_->Settings();
        const auto it = settings.newParams.find(id);
        return it == settings.newParams.end() ? Bytes{} : it->second;
    }

    uint8_t reportSequence_ = 200;
};

TEST_F(DeviceManagerNewProtoSimTest, RtkSettingsBecomeTheReceiversParameters) {
    // Elevation mask 20 degrees; the position output at 5 Hz (rate code 7).
    manager_->setRtkParams(1, 0, 0, 1, 3, 20, Fjarnis2011::FJParse::GNSS_FRQ_5HZ);
    ASSERT_TRUE(Keeps(1105, {20}));
    EXPECT_TRUE(Keeps(1040, {0x00, 0x07}));
    // The mask the receiver keeps comes back as its report (operation 15).
    Report(15, 1105, Kept(1105));
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager_->elevationMask() == 20u; }, 5000));
}

TEST_F(DeviceManagerNewProtoSimTest, TheReportedRadioFrequencyReachesTheCache) {
    // 463.125 MHz as single precision, in a radio reply (operation 23).
    Report(23, 1795, sim::BEFloat(463.125f));
    EXPECT_TRUE(QTest::qWaitFor([&] { return manager_->radioFrq() == 463.125; }, 5000));
}

TEST_F(DeviceManagerNewProtoSimTest, NetworkLinkSettingsBecomeTheReceiversParameters) {
    DeviceManager::WirelessInfo info{};
    info.address.ip[0] = 10;
    info.address.ip[3] = 7;
    std::memcpy(info.address.text, "caster", 6);
    info.address.textLength = 6;
    info.port = 2101;
    DeviceManager::cors_info cors{};
    std::memcpy(cors.mountPoint, "RTCM32", 6);
    std::memcpy(cors.userName, "surveyor", 8);
    std::memcpy(cors.password, "secret", 6);
    manager_->setGprsParams(DeviceManager::Gprs_Modle(2), 20, info, 1, cors);

    // 4355: address 10.0.0.7, port 2101, by name, "caster" in 50 bytes.
    // (Sized once: g++ 12 at -O2 takes the growth of a vector begun from a
    // short brace list for an overrun.)
    const Bytes given = {0x0A, 0x00, 0x00, 0x07, 0x08, 0x35, 0x01, 'c', 'a', 's', 't', 'e', 'r'};
    Bytes address(57, 0);
    std::copy(given.begin(), given.end(), address.begin());
    EXPECT_TRUE(Keeps(4355, address));
    // 4363: the user in 50 bytes, the password in 20.
    Bytes account(70, 0);
    std::memcpy(account.data(), "surveyor", 8);
    std::memcpy(account.data() + 50, "secret", 6);
    EXPECT_TRUE(Keeps(4363, account));
    Bytes mount(20, 0);
    std::memcpy(mount.data(), "RTCM32", 6);
    EXPECT_TRUE(Keeps(4362, mount));
    // Login mode 1: modem auto power-on and auto dial, and the link's auto-open.
    EXPECT_TRUE(Keeps(5130, {1}));
    EXPECT_TRUE(Keeps(5129, {1}));
    EXPECT_TRUE(Keeps(4361, {1}));

    // The network-link read asks for the login items, which the receiver
    // answers from what it keeps.
    sim_->ClearReceived();
    manager_->sendNetRequests();
    EXPECT_TRUE(sim_->WaitForNewItem(4355));
    EXPECT_TRUE(sim_->WaitForNewItem(4363));
    EXPECT_TRUE(sim_->WaitForNewItem(4361));
    // The address answer fills the server of the modem record.
    DeviceManager::WirelessInfo link{};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            manager_->gprsInfo(link);
            return link.port == 2101;
        },
        5000));
    EXPECT_EQ(link.address.ip[0], 10);
    EXPECT_EQ(link.address.ip[1], 0);
    EXPECT_EQ(link.address.ip[2], 0);
    EXPECT_EQ(link.address.ip[3], 7);
    EXPECT_EQ(std::string(link.address.text, link.address.textLength), "caster");
    // The answers fill the login and the login mode of the cache.
    DeviceManager::cors_info got{};
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            manager_->corsInfo(got);
            return manager_->gprsCosMdl() == 1 && std::strncmp(got.password, "secret", sizeof got.password) == 0 &&
                   std::strncmp(got.mountPoint, "RTCM32", sizeof got.mountPoint) == 0;
        },
        5000));
    EXPECT_EQ(std::string(got.userName, ::strnlen(got.userName, sizeof got.userName)), "surveyor");
}

// The caster held by host name and the server type reach the modem record of
// the cache as the network form reads it: the address marked as text, the
// protocol, and the rover work mode that only a rover's protocol implies. A
// write is kept there as the receiver will report it, and with a login mode
// of 0 the receiver keeps that mode (the login goes without the automatic
// login record, which would switch the link's auto-open on).
TEST_F(DeviceManagerNewProtoSimTest, HostNameAndServerTypeReachTheModemRecord) {
    using FJ = Fjarnis2011::FJParse::Protocol_Net;
    // 0.0.0.0, port 2102, by name "caster.example.net"; server type 1.
    Bytes byName(57, 0);
    const std::string host = "caster.example.net";
    byName[4] = 0x08;
    byName[5] = 0x36;
    byName[6] = 1;
    std::copy(host.begin(), host.end(), byName.begin() + 7);
    Report(47, 4356, {0x00, 0x01});
    Report(47, 4355, byName);
    DeviceManager::WirelessInfo link{};
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            manager_->gprsInfo(link);
            return link.port == 2102 && link.protocol == 1;
        },
        5000));
    EXPECT_EQ(std::string(link.address.text, link.address.textLength), host);
    EXPECT_TRUE(link.linkOptions & Fjarnis2011::FJParse::kLinkAddressAsText);
    EXPECT_EQ(link.workMode, uint32_t(Fjarnis2011::FJParse::GPRS_MODLE_ROVER));

    // A write by the four numbers, relay protocol, login mode 0.
    sim_->Update([](sim::SimSettings& s) { s.newParams[4361] = {0}; });
    DeviceManager::WirelessInfo info{};
    info.address.ip[0] = 10;
    info.address.ip[3] = 7;
    info.port = 2101;
    info.protocol = uint32_t(FJ::PROTOCOL_NET_ZELT);
    DeviceManager::cors_info cors{};
    std::memcpy(cors.mountPoint, "RTCM32", 6);
    sim_->ClearReceived();
    manager_->setGprsParams(DeviceManager::Gprs_Modle(0), 0, info, 0, cors);
    Bytes byNumbers(57, 0);
    byNumbers[0] = 10;
    byNumbers[3] = 7;
    byNumbers[4] = 0x08;
    byNumbers[5] = 0x35;
    EXPECT_TRUE(Keeps(4355, byNumbers));
    EXPECT_TRUE(Keeps(4356, {0x00, 0x00}));
    Bytes mount(20, 0);
    std::memcpy(mount.data(), "RTCM32", 6);
    EXPECT_TRUE(Keeps(4362, mount));
    ASSERT_TRUE(sim_->WaitForNewItem(4363));
    QTest::qWait(200);
    for (const auto& c : sim_->ReceivedItem(4361)) EXPECT_EQ(c.Item(4361)->value, Bytes{0}) << c.Describe();
    EXPECT_EQ(Kept(4361), Bytes{0}) << "the login mode it was given";
    manager_->gprsInfo(link);
    EXPECT_FALSE(link.linkOptions & Fjarnis2011::FJParse::kLinkAddressAsText);
    EXPECT_EQ(link.protocol, 0u);
    EXPECT_EQ(link.workMode, 0u);
    EXPECT_EQ(manager_->gprsCosMdl(), 0);
}

// A host name longer than the modem record's 32-byte text is kept whole
// beside it, as reported and as written: the write of the server (as a fetch
// by the receiver sends it) names the host whole, with the by-name flag.
TEST_F(DeviceManagerNewProtoSimTest, ALongHostNameIsKeptAndWrittenWhole) {
    const std::string reported = "caster-of-the-region.network.example-gnss.net";  // 45
    const std::string written = "another-caster.of-the-region.example-gnss.org";   // 45
    ASSERT_EQ(reported.size(), 45u);
    ASSERT_EQ(written.size(), 45u);
    auto item = [](const std::string& host, uint16_t port) {
        Bytes b(57, 0);
        b[4] = uint8_t(port >> 8);
        b[5] = uint8_t(port);
        b[6] = 1;
        std::copy(host.begin(), host.end(), b.begin() + 7);
        return b;
    };
    Report(47, 4355, item(reported, 2101));
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->netLinkHost() == reported; }, 5000))
        << manager_->netLinkHost();
    DeviceManager::WirelessInfo link{};
    manager_->gprsInfo(link);
    EXPECT_EQ(std::string(link.address.text, link.address.textLength), reported.substr(0, 32));
    EXPECT_TRUE(link.linkOptions & Fjarnis2011::FJParse::kLinkAddressAsText);

    // The address record carries the name's first 32 bytes; the whole name
    // goes with it.
    DeviceManager::IP_ADRES address{};
    std::memcpy(address.text, written.data(), sizeof address.text);
    address.textLength = sizeof address.text;
    manager_->setGprsIp(address, 2102, Fjarnis2011::FJParse::Protocol_Net(1), written);
    EXPECT_TRUE(Keeps(4355, item(written, 2102)));
    EXPECT_EQ(manager_->netLinkHost(), written);

    // A report by the four numbers holds no name.
    Bytes byNumbers(57, 0);
    byNumbers[0] = 10;
    byNumbers[4] = 0x08;
    byNumbers[5] = 0x35;
    Report(47, 4355, byNumbers);
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_->netLinkHost().empty(); }, 5000));
    manager_->gprsInfo(link);
    EXPECT_FALSE(link.linkOptions & Fjarnis2011::FJParse::kLinkAddressAsText);
}

// Each network-link read counts the parts the receiver reports afresh: a
// receiver that leaves its server type unanswered (an older firmware) has
// its address and login counted, not the type, and the rover's protocol and
// work mode in the cache are not a default taken for its own. A write of the
// other parts sends no server type and leaves the cached one alone.
TEST_F(DeviceManagerNewProtoSimTest, AServerTypeLeftUnansweredIsNeitherCountedNorWritten) {
    using Part = DeviceManager::NetLinkPart;
    auto readLink = [&] {
        sim_->ClearReceived();
        manager_->sendNetRequests();
        EXPECT_TRUE(sim_->WaitForNewItem(4363));
        // The login is asked last: once it is counted every answer is in.
        EXPECT_TRUE(QTest::qWaitFor([&] { return manager_->netLinkReported() & Part::NetLinkLogin; }, 5000));
        QTest::qWait(100);
        return manager_->netLinkReported();
    };
    EXPECT_EQ(readLink(), unsigned(Part::NetLinkAll));
    DeviceManager::WirelessInfo link{};
    manager_->gprsInfo(link);
    EXPECT_EQ(link.protocol, 1u) << "an NTRIP client";
    EXPECT_EQ(link.workMode, uint32_t(Fjarnis2011::FJParse::GPRS_MODLE_ROVER));

    sim_->Update([](sim::SimSettings& s) { s.unansweredItems.insert(4356); });
    EXPECT_EQ(readLink(), unsigned(Part::NetLinkAddress | Part::NetLinkLoginMode | Part::NetLinkLogin));

    DeviceManager::WirelessInfo info{};
    info.address.ip[0] = 10;
    info.address.ip[3] = 7;
    info.port = 2101;
    info.protocol = 0;  // what a form with no protocol chosen holds
    DeviceManager::cors_info cors{};
    std::memcpy(cors.mountPoint, "RTCM32", 6);
    sim_->ClearReceived();
    manager_->setGprsParams(DeviceManager::Gprs_Modle(0), 0, info, 0, cors, {},
                            Part::NetLinkAll & ~unsigned(Part::NetLinkServerType));
    Bytes byNumbers(57, 0);
    byNumbers[0] = 10;
    byNumbers[3] = 7;
    byNumbers[4] = 0x08;
    byNumbers[5] = 0x35;
    EXPECT_TRUE(Keeps(4355, byNumbers));
    ASSERT_TRUE(sim_->WaitForNewItem(4362));
    QTest::qWait(200);
    EXPECT_TRUE(sim_->ReceivedItem(4356).empty()) << "no server type goes out";
    EXPECT_EQ(Kept(4356), (Bytes{0x00, 0x01})) << "the receiver keeps its own";
    manager_->gprsInfo(link);
    EXPECT_EQ(link.protocol, 1u) << "the cache keeps what the receiver last reported";
    EXPECT_EQ(link.workMode, uint32_t(Fjarnis2011::FJParse::GPRS_MODLE_ROVER));
    EXPECT_EQ(link.port, 2101u);
}

}  // namespace
