// What a typed value sends, through the main window, the real libraries and
// the simulated receiver of each protocol: a port the form lets through goes
// out as the number typed, one it refuses is told with the field's rule and
// nothing is sent (never a port 0); a mount point a caster's request line
// cannot carry is refused; and a frequency takes a comma as its decimal mark
// whatever the desktop's locale, no digit dropped.

#include "program/DeviceManager.h"
#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/DataChain_Radio.h"
#include "tests/program/ProgramGuiSupport.h"
#include "tests/program/DefaultLocale.h"
#include "tests/sim/SimNewProto.h"
#include "tests/sim/SimRadioModules.h"

#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QLocale>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using guitest::ReceiverGuiTest;
using Bytes = std::vector<uint8_t>;

// The new protocol's network link items.
constexpr uint16_t kAddress = 4355;
constexpr uint16_t kServerType = 4356;
constexpr uint16_t kAutoOpen = 4361;
constexpr uint16_t kMountPoint = 4362;
constexpr uint16_t kAccount = 4363;
// The old modem's server request: address text, 00, port (2 bytes, high
// first), protocol.
constexpr int kServerRequest = 114;
constexpr int kLoginRequest = 107;

const char* const kPortRule = "Port: 1 to 65535";
const char* const kMountRule =
    "Mount point: no spaces or control characters, Latin-1 only, none of \\ / < > * ? : \" |";

// A typed port and mount point, and what "Set" does with them: the port
// that goes out, or the refusal told and nothing sent.
struct FieldCase {
    QString port;
    QString mount;
    std::optional<uint16_t> sent;
    const char* refusal;
    const char* refusedField;
};

const FieldCase kCases[] = {
    {QStringLiteral("2101"), QStringLiteral("NEAR1"), 2101, nullptr, nullptr},
    {QStringLiteral("02101"), QStringLiteral("NEAR1"), 2101, nullptr, nullptr},
    {QStringLiteral("65535"), QStringLiteral("NEAR1"), 65535, nullptr, nullptr},
    {QStringLiteral("+2101"), QStringLiteral("NEAR1"), std::nullopt, kPortRule, "lineEdit_port"},
    {QStringLiteral(" 2101 "), QStringLiteral("NEAR1"), std::nullopt, kPortRule, "lineEdit_port"},
    {QString::fromUtf8("\u0662\u0661\u0660\u0661"), QStringLiteral("NEAR1"), std::nullopt, kPortRule,
     "lineEdit_port"},
    {QString::fromUtf8("\uFF12\uFF11\uFF10\uFF11"), QStringLiteral("NEAR1"), std::nullopt, kPortRule,
     "lineEdit_port"},
    {QStringLiteral("0"), QStringLiteral("NEAR1"), std::nullopt, kPortRule, "lineEdit_port"},
    {QStringLiteral("65536"), QStringLiteral("NEAR1"), std::nullopt, kPortRule, "lineEdit_port"},
    {QStringLiteral("2101"), QStringLiteral("MNT EMU42"), std::nullopt, kMountRule, nullptr},
    {QStringLiteral("2101"), QStringLiteral("MNT\tEMU42"), std::nullopt, kMountRule, nullptr},
};

// A rover of an NTRIP caster held by its host name.
void NewNtripRover(sim::SimSettings& s) {
    s = sim::NewProtocolSettings();
    sim::SetNetLinkHost(s, "caster.example.net", 2101);
    s.newParams[kServerType] = sim::BE16(1);
    s.newParams[kAutoOpen] = {0};
    s.newParams[kMountPoint] = sim::FixedText("NEAR1", 20);
    Bytes account = sim::FixedText("surveyor", 50);
    const Bytes password = sim::FixedText("secret", 20);
    account.insert(account.end(), password.begin(), password.end());
    s.newParams[kAccount] = account;
}

class DataLinkPageFieldCasesTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
    }
    // Connects to the receiver set up by `change`, opens the page and waits
    // for the form the receiver's link shows.
    void open(const std::function<void(sim::SimSettings&)>& change, bool net) {
        sim_.Update(change);
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        watcher_.messages.clear();  // "Successfully connected"
        clickMenu("DataLink");
        ASSERT_EQ(window_->currentPage(), page());
        if (net) {
            ASSERT_TRUE(waitFor([&] {
                return page()->shownPage() == page()->netPage() &&
                       page()->netPage()->receivedMask() == DataChain_Net::kReadComplete;
            }, 15000)) << page()->netPage()->receivedMask();
        } else {
            ASSERT_TRUE(waitFor([&] {
                DataChain_Radio* radio = page()->radioPage();
                return page()->shownPage() == radio && radio->requestedMask() != 0 &&
                       radio->receivedMask() == radio->requestedMask();
            }, 15000));
        }
        ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
        QCoreApplication::processEvents();
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
    std::vector<sim::ReceivedCommand> packets(int id) const {
        std::vector<sim::ReceivedCommand> found;
        for (const auto& c : sim_.Received())
            if (c.moduleId == id) found.push_back(c);
        return found;
    }
    // Set operations of the new protocol that carry item `id`.
    std::vector<sim::ReceivedCommand> setsOf(uint16_t id) const {
        std::vector<sim::ReceivedCommand> found;
        for (const auto& c : sim_.ReceivedItem(id))
            if (c.operation % 2 == 0) found.push_back(c);
        return found;
    }
    // What the form sent the receiver: module requests of the old protocol,
    // the network link's items of the new one.
    size_t settingsSent() const {
        size_t n = setsOf(kAddress).size() + setsOf(kMountPoint).size() + setsOf(kAccount).size();
        for (const auto& c : sim_.Received()) n += c.moduleId >= 0;
        return n;
    }

    // Each case typed key by key on the NTRIP rover's form, then "Set":
    // `sentPort` waits for the write and gives the port it carried.
    void runCases(const std::function<std::optional<uint16_t>()>& sentPort) {
        auto* mode = field<QComboBox>("comboBox_WorkMode");
        mode->setCurrentIndex(mode->findText(QStringLiteral("Rover")));
        auto* protocol = field<QComboBox>("comboBox_protocol");
        protocol->setCurrentIndex(protocol->findData(1));
        ASSERT_TRUE(field<QLineEdit>("lineEdit_guestName")->isVisibleTo(page())) << "the NTRIP rover's form";
        QComboBox* mounts = field<QComboBox>("comboBox_sourceList");
        for (const FieldCase& c : kCases) {
            SCOPED_TRACE(("port \"" + c.port + "\", mount point \"" + c.mount + "\"").toStdString());
            field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
            auto* port = field<QLineEdit>("lineEdit_port");
            port->clear();
            guitest::TypeText(port, c.port);
            EXPECT_EQ(port->text(), c.port) << "kept as typed";
            // (A new address or port empties the mount point list.)
            mounts->setEditText(c.mount);
            field<QLineEdit>("lineEdit_guestName")->setText(QStringLiteral("surveyor"));
            field<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("secret"));
            sim_.ClearReceived();
            watcher_.messages.clear();
            clickSoftKey(QStringLiteral("Set"));
            if (c.sent) {
                EXPECT_EQ(sentPort(), c.sent);
                EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
                ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
                continue;
            }
            ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
            EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
            EXPECT_EQ(watcher_.messages[0].text, QString::fromUtf8(c.refusal));
            EXPECT_TRUE(guitest::Marked(c.refusedField ? field<QLineEdit>(c.refusedField) : mounts->lineEdit()));
            EXPECT_TRUE(keysEnabled());
            QTest::qWait(300);
            EXPECT_EQ(settingsSent(), 0u) << "nothing is sent";
        }
    }
};

// The old modem: request 114 carries the port as typed, or nothing goes.
TEST_F(DataLinkPageFieldCasesTest, TheOldModemGetsThePortTypedOrNothing) {
    open(
        [](sim::SimSettings& s) {
            s.radio.protocol = 0;
            s.modem.protocol = 'U';
            s.modem.online = 1;
        },
        true);
    if (HasFatalFailure()) return;
    runCases([&]() -> std::optional<uint16_t> {
        if (!waitFor([&] { return !packets(kLoginRequest).empty(); })) return std::nullopt;
        const auto server = packets(kServerRequest);
        if (server.size() != 1) return std::nullopt;
        const Bytes& data = server[0].moduleData;
        // "10.1.2.3", 00, the port, the protocol.
        if (data.size() != 12 || Bytes(data.begin(), data.begin() + 9) != Bytes{'1', '0', '.', '1', '.', '2', '.', '3', 0})
            return std::nullopt;
        return uint16_t(data[9] << 8 | data[10]);
    });
}

// The new protocol: the server item carries the port as typed, or nothing
// goes.
TEST_F(DataLinkPageFieldCasesTest, TheNewProtocolsServerItemGetsThePortTypedOrNothing) {
    open(NewNtripRover, true);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(DeviceManager::instance()->newProtocol());
    runCases([&]() -> std::optional<uint16_t> {
        if (!sim_.WaitForNewItem(kMountPoint)) return std::nullopt;
        const auto sent = setsOf(kAddress);
        if (sent.size() != 1) return std::nullopt;
        const sim::NewItem* item = sent[0].Item(kAddress);
        // 10.1.2.3, the port, by number (flag 0).
        if (!item || item->value.size() != 57 || Bytes(item->value.begin(), item->value.begin() + 4) != Bytes{10, 1, 2, 3} ||
            item->value[6] != 0)
            return std::nullopt;
        return uint16_t(item->value[4] << 8 | item->value[5]);
    });
}

// A frequency typed with a comma or a point is the same frequency on an
// English, a C and a German desktop: 463.125 MHz reaches the receiver, and
// the field shows every digit typed.
TEST_F(DataLinkPageFieldCasesTest, AFrequencyTakesACommaOrAPointInEveryLocale) {
    open(
        [](sim::SimSettings& s) {
            ASSERT_TRUE(sim::SetRadioModule(s, 3));
            s.radio.protocol = 6;
            s.radio.baud = 0;
        },
        false);
    if (HasFatalFailure()) return;
    auto* frequency = field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX");
    ASSERT_TRUE(frequency->isEnabled());
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        const DefaultLocale desktop(locale);
        for (const char* typed : {"463,125", "463.125"}) {
            SCOPED_TRACE(locale.name().toStdString() + " " + typed);
            frequency->selectAll();
            guitest::TypeText(frequency, QLatin1String(typed));
            EXPECT_EQ(frequency->text(), QStringLiteral("463.125")) << "no digit dropped";
            EXPECT_DOUBLE_EQ(frequency->value(), 463.125);
            sim_.ClearReceived();
            watcher_.messages.clear();
            clickSoftKey(QStringLiteral("Set"));
            EXPECT_TRUE(waitFor([&] { return sim::RadioFrequencyMHz(sim_.Settings().radio, 3) == 463.125; }))
                << sim::RadioFrequencyMHz(sim_.Settings().radio, 3);
            EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
            ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
            // The next case starts from another frequency.
            sim_.Update([](sim::SimSettings& s) { s.radio.channel = 36810; });
            frequency->setValue(460.125);
        }
    }
}

}  // namespace
