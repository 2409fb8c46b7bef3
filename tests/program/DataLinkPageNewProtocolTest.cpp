// The network form on a receiver of the new protocol, through the main
// window, the real libraries and the simulated receiver: the caster it holds
// by host name and its server type are shown; "Set" of the form as read
// writes back exactly the items the receiver holds, and nothing that another
// work mode or a default would add; a host name typed on the form goes out
// by name; after "Set", "Back" and opening the page again the form shows what
// was set, and after the receiver changes by itself, what "Get" brings.

#include "program/DeviceManager.h"
#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "tests/program/ProgramGuiSupport.h"
#include "tests/sim/SimNewProto.h"

#include <QLineEdit>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using guitest::ReceiverGuiTest;
using Bytes = std::vector<uint8_t>;

// Item ids of the network link.
constexpr uint16_t kAddress = 4355;
constexpr uint16_t kServerType = 4356;
constexpr uint16_t kAutoOpen = 4361;
constexpr uint16_t kMountPoint = 4362;
constexpr uint16_t kAccount = 4363;
constexpr uint16_t kModemAutoDial = 5129;
constexpr uint16_t kModemAutoPowerOn = 5130;
// Settings go by even operation codes.
constexpr unsigned kSetOperationParity = 0;

// The 57-byte server item: address (4, big-endian), port (2), the by-name
// flag, the host name in 50 bytes.
Bytes AddressItem(const Bytes& address, uint16_t port, const std::string& host) {
    Bytes item = address;
    item.push_back(uint8_t(port >> 8));
    item.push_back(uint8_t(port));
    item.push_back(host.empty() ? 0 : 1);
    const Bytes text = sim::FixedText(host, 50);
    item.insert(item.end(), text.begin(), text.end());
    return item;
}

Bytes Account(const std::string& user, const std::string& password) {
    Bytes item = sim::FixedText(user, 50);
    const Bytes pw = sim::FixedText(password, 20);
    item.insert(item.end(), pw.begin(), pw.end());
    return item;
}

// A rover of an NTRIP caster held by its host name, login mode `autoOpen`.
void NtripRover(sim::SimSettings& s, uint8_t autoOpen) {
    s = sim::NewProtocolSettings();
    sim::SetNetLinkHost(s, "caster.example.net", 2101);
    s.newParams[kServerType] = sim::BE16(1);
    s.newParams[kAutoOpen] = {autoOpen};
    s.newParams[kMountPoint] = sim::FixedText("NEAR1", 20);
    s.newParams[kAccount] = Account("surveyor", "secret");
}

class DataLinkPageNewProtocolTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
    }
    // Connects to the receiver set up by `change` and opens the page.
    void connectAndOpen(const std::function<void(sim::SimSettings&)>& change) {
        sim_.Update(change);
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        ASSERT_TRUE(DeviceManager::instance()->newProtocol());
        watcher_.messages.clear();  // "Successfully connected"
        open();
    }
    // Opens the page from the menu and waits for the network form's read.
    void open() {
        sim_.ClearReceived();
        clickMenu("DataLink");
        ASSERT_EQ(window_->currentPage(), page());
        settle();
    }
    void settle() {
        ASSERT_TRUE(waitFor([&] {
            return page()->shownPage() == page()->netPage() &&
                   page()->netPage()->receivedMask() == DataChain_Net::kReadComplete && keysEnabled();
        }, 15000)) << page()->netPage()->receivedMask() << watcher_.describe().toStdString();
        // The server type's answer too, which is asked for first.
        ASSERT_FALSE(sim_.ReceivedItem(kServerType).empty());
        QCoreApplication::processEvents();
    }
    void back() {
        clickSoftKey(QStringLiteral("Back"));
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }
    DataChain* page() const { return static_cast<DataChain*>(window_->page(QStringLiteral("DataLink"))); }
    template <typename T>
    T* field(const char* name) const {
        T* w = page()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool keysEnabled() const {
        for (QAction* a : page()->actions())
            if (!a->isEnabled()) return false;
        return true;
    }
    void choose(const char* combo, const char* text) {
        auto* box = field<QComboBox>(combo);
        const int at = box->findText(QLatin1String(text));
        ASSERT_GE(at, 0) << combo << " offers no " << text;
        box->setCurrentIndex(at);
    }
    // The form as the user sees it: mode, protocol, address, port, then the
    // NTRIP rows while they are shown.
    QStringList shown() const {
        QStringList f{field<QComboBox>("comboBox_WorkMode")->currentText(),
                      field<QComboBox>("comboBox_protocol")->currentText(),
                      field<QLineEdit>("lineEdit_address")->text(), field<QLineEdit>("lineEdit_port")->text()};
        if (field<QLineEdit>("lineEdit_guestName")->isVisibleTo(page()))
            f << field<QComboBox>("comboBox_sourceList")->currentText()
              << field<QLineEdit>("lineEdit_guestName")->text() << field<QLineEdit>("lineEdit_psw")->text();
        return f;
    }
    // "Set", then waits for the login (the write's last items, or `last`)
    // and for the page to be given back. Returns every item the receiver was
    // set, by id, in the order they came.
    std::multimap<uint16_t, Bytes> set(uint16_t last = kMountPoint) {
        sim_.ClearReceived();
        watcher_.messages.clear();
        clickSoftKey(QStringLiteral("Set"));
        EXPECT_TRUE(sim_.WaitForNewItem(last)) << watcher_.describe().toStdString();
        EXPECT_TRUE(waitFor([&] { return keysEnabled(); }));
        QTest::qWait(300);  // anything that would come behind the login
        std::multimap<uint16_t, Bytes> items;
        for (const auto& c : sim_.Received()) {
            if (!c.linkMessage || c.operation % 2 != kSetOperationParity) continue;
            for (const auto& item : c.items) items.emplace(item.id, item.value);
        }
        return items;
    }
    Bytes kept(uint16_t id) const {
        const sim::SimSettings s = sim_.Settings();
        const auto it = s.newParams.find(id);
        return it == s.newParams.end() ? Bytes{} : it->second;
    }
    static std::set<uint16_t> Ids(const std::multimap<uint16_t, Bytes>& items) {
        std::set<uint16_t> ids;
        for (const auto& [id, value] : items) ids.insert(id);
        return ids;
    }
};

std::string Joined(const QStringList& fields) { return fields.join(QStringLiteral(" | ")).toStdString(); }

// The form shows the caster by its host name and the receiver's server type;
// "Set" of the form as read sends the same values back: the server by name
// (flag 1), the server type, the login and the login mode as read, with the
// modem's auto power-on and auto dial only where that mode brings them, and
// the receiver keeps exactly what it held.
TEST_F(DataLinkPageNewProtocolTest, SetOfTheFormAsReadWritesBackWhatTheReceiverHolds) {
    const struct {
        uint8_t loginMode;
        std::set<uint16_t> items;
    } cases[] = {
        {0, {kAddress, kServerType, kAutoOpen, kMountPoint, kAccount}},
        {1, {kAddress, kServerType, kModemAutoPowerOn, kModemAutoDial, kAutoOpen, kMountPoint, kAccount}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.loginMode));
        if (c.loginMode == 0) {
            connectAndOpen([&](sim::SimSettings& s) { NtripRover(s, c.loginMode); });
        } else {
            // The receiver's login mode changes; "Get" reads the form again.
            sim_.Update([&](sim::SimSettings& s) { s.newParams[kAutoOpen] = {c.loginMode}; });
            sim_.ClearReceived();
            clickSoftKey(QStringLiteral("Get"));
            settle();
        }
        if (HasFatalFailure()) return;
        EXPECT_EQ(Joined(shown()),
                  "Rover | Ntrip Client | caster.example.net | 2101 | NEAR1 | surveyor | secret");
        std::map<uint16_t, Bytes> held;
        for (uint16_t id : {kAddress, kServerType, kAutoOpen, kMountPoint, kAccount}) held[id] = kept(id);

        const auto items = set();
        EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
        EXPECT_EQ(Ids(items), c.items) << "no item of another mode or a default";
        const Bytes byName = AddressItem({0, 0, 0, 0}, 2101, "caster.example.net");
        for (const auto& [id, value] : items) {
            if (id == kModemAutoPowerOn || id == kModemAutoDial || id == kAutoOpen) {
                EXPECT_EQ(value, Bytes{c.loginMode}) << id << ": the login mode as read";
            }
        }
        ASSERT_EQ(items.count(kAddress), 1u);
        EXPECT_EQ(items.find(kAddress)->second, byName);
        ASSERT_EQ(items.count(kServerType), 1u);
        EXPECT_EQ(items.find(kServerType)->second, (Bytes{0x00, 0x01}));
        for (const auto& [id, value] : held) EXPECT_EQ(kept(id), value) << "the receiver keeps item " << id;
    }
}

// An address typed on the form goes out as the server item takes it: a host
// name by name (flag 1, the name, address 0), a dotted address as its four
// numbers (flag 0, no name), whichever way the receiver held its caster.
TEST_F(DataLinkPageNewProtocolTest, ATypedAddressGoesOutByNameOrByNumbers) {
    const struct {
        const char* typed;
        Bytes sent;
    } cases[] = {
        {"ntrip.example.org", AddressItem({0, 0, 0, 0}, 2101, "ntrip.example.org")},
        {"10.20.30.40", AddressItem({10, 20, 30, 40}, 2101, "")},
        {"rtk-1.example.org", AddressItem({0, 0, 0, 0}, 2101, "rtk-1.example.org")},
    };
    connectAndOpen([](sim::SimSettings& s) { NtripRover(s, 0); });
    if (HasFatalFailure()) return;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        auto* address = field<QLineEdit>("lineEdit_address");
        address->clear();
        QTest::keyClicks(address, QLatin1String(c.typed));
        // (A new address empties the source list.)
        field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("NEAR1"));
        const auto items = set();
        EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
        ASSERT_EQ(items.count(kAddress), 1u);
        EXPECT_EQ(items.find(kAddress)->second, c.sent);
        EXPECT_EQ(kept(kAddress), c.sent);
    }
}

// "Set", "Back", the page opened again shows what was set (rover, NTRIP
// client, the caster by name, the login); the receiver then changes by
// itself and "Get", and the page opened after it, show what it reports.
TEST_F(DataLinkPageNewProtocolTest, ShownAgainAfterSetAndAfterGet) {
    connectAndOpen([](sim::SimSettings& s) {
        s = sim::NewProtocolSettings();
        s.newParams[kAddress] = AddressItem({10, 1, 2, 3}, 2101, "");
        s.newParams[kServerType] = sim::BE16(0);
        s.newParams[kAutoOpen] = {0};
        s.newParams[kMountPoint] = sim::FixedText("", 20);
        s.newParams[kAccount] = Account("", "");
    });
    if (HasFatalFailure()) return;
    EXPECT_EQ(Joined(shown()), "Base | ZELT | 10.1.2.3 | 2101");

    choose("comboBox_WorkMode", "Rover");
    choose("comboBox_protocol", "Ntrip Client");
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("caster.example.net"));
    field<QLineEdit>("lineEdit_port")->setText(QStringLiteral("2102"));
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("NEAR1"));
    field<QLineEdit>("lineEdit_guestName")->setText(QStringLiteral("rover1"));
    field<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("pw2"));
    const std::string wasSet = "Rover | Ntrip Client | caster.example.net | 2102 | NEAR1 | rover1 | pw2";
    ASSERT_EQ(Joined(shown()), wasSet);
    const auto items = set();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    EXPECT_EQ(kept(kServerType), (Bytes{0x00, 0x01}));
    EXPECT_EQ(kept(kAddress), AddressItem({0, 0, 0, 0}, 2102, "caster.example.net"));

    back();
    open();
    if (HasFatalFailure()) return;
    EXPECT_EQ(Joined(shown()), wasSet) << "shown again after the write";

    // The receiver goes over to a TCP server by itself.
    sim_.Update([](sim::SimSettings& s) {
        s.newParams[kServerType] = sim::BE16(3);
        sim::SetNetLinkHost(s, "relay.example.org", 2200);
    });
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Get"));
    settle();
    if (HasFatalFailure()) return;
    const std::string reported = "Rover | TCP Direct | relay.example.org | 2200";
    EXPECT_EQ(Joined(shown()), reported) << "after Get";
    back();
    open();
    if (HasFatalFailure()) return;
    EXPECT_EQ(Joined(shown()), reported) << "shown again after Get";
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

// The receiver's server field takes a host name of up to 50 characters,
// more than the old modem's 32: one of 45 is shown whole, an unchanged
// form's "Set" sends it back whole with the by-name flag, a typed one goes
// out whole and is shown again after "Back", and one of 51 is refused with
// the form's address rule, nothing sent and nothing typed lost.
TEST_F(DataLinkPageNewProtocolTest, AHostNameOfUpToFiftyCharactersIsShownAndSentWhole) {
    const std::string held = "caster-of-the-region.network.example-gnss.net";
    const std::string typed = "another-caster.of-the-region.example-gnss.org";
    ASSERT_EQ(held.size(), 45u);
    ASSERT_EQ(typed.size(), 45u);
    connectAndOpen([&](sim::SimSettings& s) {
        NtripRover(s, 0);
        sim::SetNetLinkHost(s, held, 2101);
    });
    if (HasFatalFailure()) return;
    EXPECT_EQ(Joined(shown()), "Rover | Ntrip Client | " + held + " | 2101 | NEAR1 | surveyor | secret");

    auto items = set();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    ASSERT_EQ(items.count(kAddress), 1u);
    EXPECT_EQ(items.find(kAddress)->second, AddressItem({0, 0, 0, 0}, 2101, held));
    EXPECT_EQ(kept(kAddress), AddressItem({0, 0, 0, 0}, 2101, held));

    auto* address = field<QLineEdit>("lineEdit_address");
    address->clear();
    QTest::keyClicks(address, QString::fromStdString(typed));
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("NEAR1"));
    items = set();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    ASSERT_EQ(items.count(kAddress), 1u);
    EXPECT_EQ(items.find(kAddress)->second, AddressItem({0, 0, 0, 0}, 2101, typed));
    EXPECT_EQ(kept(kAddress), AddressItem({0, 0, 0, 0}, 2101, typed));
    EXPECT_EQ(DeviceManager::instance()->netLinkHost(), typed) << "what was set is kept";
    back();
    open();
    if (HasFatalFailure()) return;
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text().toStdString(), typed) << "shown again after the write";

    const QString tooLong = QString::fromStdString(typed) + QStringLiteral("abcdef");
    ASSERT_EQ(tooLong.size(), 51);
    address = field<QLineEdit>("lineEdit_address");
    address->clear();
    QTest::keyClicks(address, tooLong);
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("NEAR1"));
    sim_.ClearReceived();
    watcher_.messages.clear();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(waitFor([&] { return !watcher_.messages.empty(); }));
    EXPECT_TRUE(watcher_.shown(
        QStringLiteral("Address: a dotted address or a host name of at most 50 letters, digits, hyphens and dots")))
        << watcher_.describe().toStdString();
    QTest::qWait(300);
    EXPECT_TRUE(sim_.ReceivedItem(kAddress).empty()) << "nothing is sent";
    EXPECT_EQ(kept(kAddress), AddressItem({0, 0, 0, 0}, 2101, typed));
    EXPECT_EQ(address->text(), tooLong) << "what was typed stays";
}

// A receiver that leaves its server type unanswered (an older firmware, or a
// lost reply) while it reports its caster by name and its NTRIP login: the
// form says so once, chooses no protocol and no work mode, and shows the
// login it read. "Set" of that form writes the server and the login as read
// and no server type, so the receiver keeps its own; a protocol the user
// chooses, or the one a chosen work mode offers, is written.
TEST_F(DataLinkPageNewProtocolTest, AServerTypeNotReportedIsToldAndWrittenOnlyWhenChosen) {
    const QString told = QStringLiteral(
        "Failed to get net parameters: protocol and work mode!\nThey are left empty and are not set unless you "
        "enter them.");
    connectAndOpen([](sim::SimSettings& s) {
        NtripRover(s, 0);
        s.unansweredItems.insert(kServerType);
    });
    if (HasFatalFailure()) return;
    ASSERT_TRUE(waitFor([&] { return !watcher_.messages.empty(); }));
    EXPECT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.shown(told)) << watcher_.describe().toStdString();
    EXPECT_EQ(field<QComboBox>("comboBox_protocol")->currentIndex(), -1);
    EXPECT_EQ(field<QComboBox>("comboBox_WorkMode")->currentIndex(), -1);
    EXPECT_EQ(Joined(shown()), " |  | caster.example.net | 2101 | NEAR1 | surveyor | secret");

    auto items = set();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    EXPECT_EQ(Ids(items), (std::set<uint16_t>{kAddress, kAutoOpen, kMountPoint, kAccount}));
    ASSERT_EQ(items.count(kAddress), 1u);
    EXPECT_EQ(items.find(kAddress)->second, AddressItem({0, 0, 0, 0}, 2101, "caster.example.net"));
    EXPECT_EQ(kept(kMountPoint), sim::FixedText("NEAR1", 20));
    EXPECT_EQ(kept(kAccount), Account("surveyor", "secret"));
    EXPECT_EQ(kept(kServerType), (Bytes{0x00, 0x01})) << "the receiver keeps its server type";

    // Chosen on the form, after "Get" has read it again.
    const struct {
        const char* mode;      // null: left unchosen
        const char* protocol;  // null: as the mode's choice leaves it
        Bytes sent;
    } cases[] = {
        {"Base", nullptr, {0x00, 0x00}},
        // Every protocol is offered again, whatever the last read chose.
        {nullptr, "TCP Direct", {0x00, 0x03}},
        {"Rover", "Ntrip Client", {0x00, 0x01}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.protocol ? c.protocol : c.mode);
        sim_.ClearReceived();
        watcher_.messages.clear();
        clickSoftKey(QStringLiteral("Get"));
        settle();
        if (HasFatalFailure()) return;
        ASSERT_TRUE(waitFor([&] { return watcher_.shown(told); })) << watcher_.describe().toStdString();
        if (c.mode) choose("comboBox_WorkMode", c.mode);
        if (c.protocol) choose("comboBox_protocol", c.protocol);
        field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("NEAR1"));
        items = set();
        EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
        ASSERT_EQ(items.count(kServerType), 1u);
        EXPECT_EQ(items.find(kServerType)->second, c.sent);
        EXPECT_EQ(kept(kServerType), c.sent);
    }
}

// A receiver that reports its server but leaves its login mode and NTRIP
// login unanswered: when the read gives up waiting, one warning names both;
// "Set" of the unchanged form writes the server and its type and neither a
// login mode nor an empty login over what the receiver holds.
TEST_F(DataLinkPageNewProtocolTest, ALoginNotReportedIsToldWhenTheReadEndsAndNotWritten) {
    sim_.Update([](sim::SimSettings& s) {
        NtripRover(s, 1);
        s.newParams[kServerType] = sim::BE16(3);
        s.unansweredItems = {kAutoOpen, kMountPoint, kAccount};
    });
    connectThroughPage(false, 9600);
    ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
    watcher_.messages.clear();
    clickMenu("DataLink");
    ASSERT_TRUE(waitFor([&] { return !watcher_.messages.empty() && keysEnabled(); }, 20000))
        << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.shown(QStringLiteral("Failed to get net parameters: login mode, NTRIP login!\nThey are "
                                              "left empty and are not set unless you enter them.")))
        << watcher_.describe().toStdString();
    EXPECT_EQ(Joined(shown()), "Rover | TCP Direct | caster.example.net | 2101");

    const auto items = set(kServerType);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    EXPECT_EQ(Ids(items), (std::set<uint16_t>{kAddress, kServerType}));
    EXPECT_EQ(kept(kAutoOpen), Bytes{1});
    EXPECT_EQ(kept(kMountPoint), sim::FixedText("NEAR1", 20));
    EXPECT_EQ(kept(kAccount), Account("surveyor", "secret"));
}

}  // namespace
