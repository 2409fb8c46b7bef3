// The data link page through the main window, the real libraries and the
// simulated receiver: the form it shows for the receiver's link, the
// missing-answer warning, the network form's write and its login rule, and
// the call sign carried to its own page and back to the receiver.

#include "program/DeviceManager.h"
#include "program/pages/Callsign.h"
#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/DataChain_Radio.h"
#include "tests/program/ProgramGuiSupport.h"
#include "tests/sim/SimNewProto.h"
#include "tests/sim/SimRadioModules.h"

#include <QDoubleSpinBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>

#include <string>

namespace {

using guitest::ReceiverGuiTest;

class DataLinkPageTest : public ReceiverGuiTest {
protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
    }
    // Connects to a receiver set up by `change` and opens the page.
    void open(const std::function<void(sim::SimSettings&)>& change) {
        sim_.Update(change);
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        watcher_.messages.clear();  // "Successfully connected"
        sim_.ClearReceived();
        clickMenu("DataLink");
        ASSERT_EQ(window_->currentPage(), page());
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
        return field<QComboBox>("cbDataChain")->isEnabled();
    }
    std::vector<int> moduleIds() const {
        std::vector<int> ids;
        for (const auto& c : sim_.Received())
            if (c.moduleId >= 0) ids.push_back(c.moduleId);
        return ids;
    }
    std::vector<sim::ReceivedCommand> packets(int id) const {
        std::vector<sim::ReceivedCommand> found;
        for (const auto& c : sim_.Received())
            if (c.moduleId == id) found.push_back(c);
        return found;
    }
    static std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

    // The network form of a receiver on the modem link, read completely.
    void openNetForm() {
        open([](sim::SimSettings& s) {
            s.radio.protocol = 0;
            s.modem.protocol = 'U';
            s.modem.online = 1;
            s.modem.baseId = "0001";
        });
        ASSERT_TRUE(waitFor([&] { return page()->shownPage() == page()->netPage(); }));
        ASSERT_TRUE(waitFor([&] { return page()->netPage()->receivedMask() == DataChain_Net::kReadComplete; }))
            << page()->netPage()->receivedMask();
        ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    }
    // The network form of a receiver on the modem link whose reply to
    // `query` is lost: the read gives up and tells `part` in one warning,
    // and an unchanged Set sends `sent` (module ids in order).
    void setWithOneReplyLost(uint8_t query, const char* part, const std::vector<int>& sent) {
        open([&](sim::SimSettings& s) {
            s.radio.protocol = 0;
            s.modem.protocol = 'U';
            s.modem.online = 1;
            s.modem.baseId = "0001";
            s.unansweredModules = {query};
        });
        ASSERT_TRUE(waitFor([&] { return !watcher_.messages.empty() && keysEnabled(); }, 30000))
            << watcher_.describe().toStdString();
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Failed to get net parameters: %1!\nThey are left "
                                                            "empty and are not set unless you enter them.")
                                                 .arg(QLatin1String(part)));
        watcher_.messages.clear();
        sim_.ClearReceived();
        clickSoftKey(QStringLiteral("Set"));
        ASSERT_TRUE(waitFor([&] { return !packets(sent.back()).empty(); })) << watcher_.describe().toStdString();
        QTest::qWait(500);
        EXPECT_EQ(moduleIds(), sent);
        EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    }
};

TEST_F(DataLinkPageTest, ARadioProtocolShowsTheRadioFormWithItsRequests) {
    open([](sim::SimSettings& s) {
        ASSERT_TRUE(sim::SetRadioModule(s, 8));
        s.radio.protocol = 8;
    });
    ASSERT_TRUE(waitFor([&] { return page()->shownPage() == page()->radioPage(); }));
    EXPECT_EQ(field<QComboBox>("cbDataChain")->currentText(), QStringLiteral("Internal UHF"));
    EXPECT_EQ(page()->linkMode(), 8);
    EXPECT_FALSE(page()->netPage()->isVisibleTo(page()));
    EXPECT_TRUE(page()->radioPage()->isVisibleTo(page()));
    // The frequency (with the protocol), then the form's own questions.
    ASSERT_TRUE(waitFor([&] { return page()->radioPage()->receivedMask() == page()->radioPage()->requestedMask(); }));
    const std::vector<int> ids = moduleIds();
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.front(), 110);
    for (int id : {129, 137, 145, 118}) EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
    EXPECT_EQ(field<QComboBox>("comboBox_protocol_radio")->currentText(), QStringLiteral("3AS"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

TEST_F(DataLinkPageTest, ProtocolZeroShowsTheNetworkFormWithItsRequests) {
    openNetForm();
    EXPECT_EQ(field<QComboBox>("cbDataChain")->currentText(), QStringLiteral("GPRS"));
    EXPECT_FALSE(page()->radioPage()->isVisibleTo(page()));
    // The modem's parameters (newer layout: 115), login mode, NTRIP login.
    const std::vector<int> ids = moduleIds();
    for (int id : {115, 106, 108}) EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
    EXPECT_EQ(field<QComboBox>("comboBox_WorkMode")->currentText(), QStringLiteral("Rover"));
    EXPECT_EQ(field<QComboBox>("comboBox_protocol")->currentData().toInt(), 0);
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("caster.example.net"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_port")->text(), QStringLiteral("2101"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_BaseID")->text(), QStringLiteral("0001"));
    EXPECT_TRUE(field<QLineEdit>("lineEdit_BaseID")->isVisibleTo(page()));
    EXPECT_EQ(field<QLabel>("label_source")->text(), QStringLiteral("BaseID:"));
    EXPECT_FALSE(field<QLineEdit>("lineEdit_guestName")->isVisibleTo(page()));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

TEST_F(DataLinkPageTest, NoAnswerToGetWarnsOnce) {
    open([](sim::SimSettings& s) { s.radio.protocol = 5; });
    ASSERT_TRUE(waitFor([&] { return page()->shownPage() == page()->radioPage(); }));
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    sim_.SetBehaviour(sim::Behaviour::Silent);
    clickSoftKey(QStringLiteral("Get"));
    EXPECT_FALSE(keysEnabled());
    EXPECT_EQ(field<QComboBox>("cbDataChain")->currentIndex(), -1);
    ASSERT_TRUE(waitFor([&] { return !watcher_.messages.empty(); }, 15000));
    QTest::qWait(1000);
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Failed to get data link type!"));
    EXPECT_TRUE(keysEnabled());
}

TEST_F(DataLinkPageTest, SetOnTheNetworkFormSendsTheLinkInOrder) {
    openNetForm();
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
    field<QLineEdit>("lineEdit_BaseID")->setText(QStringLiteral("B07"));
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    // The page is busy for a while after a write, then given back.
    EXPECT_FALSE(keysEnabled());
    ASSERT_TRUE(waitFor([&] { return !packets(107).empty(); })) << watcher_.describe().toStdString();
    QTest::qWait(300);
    // Radio mode 0, the work mode, the address (the modem holds it as
    // text: 114), the base id, the login mode (113 then 105), the login.
    EXPECT_EQ(moduleIds(), (std::vector<int>{96, 93, 114, 94, 113, 105, 107}));
    EXPECT_EQ(packets(96)[0].moduleData, std::vector<uint8_t>{0});
    EXPECT_EQ(packets(93)[0].moduleData, std::vector<uint8_t>{1});
    // "10.1.2.3", 00, port 2101 (08 35), protocol 0.
    EXPECT_EQ(packets(114)[0].moduleData,
              (std::vector<uint8_t>{'1', '0', '.', '1', '.', '2', '.', '3', 0, 0x08, 0x35, 0}));
    EXPECT_EQ(Text(packets(94)[0].moduleData), "B07");
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
}

// The old modem's login mode and NTRIP login come by replies of their own:
// one that is lost is told, and an unchanged Set leaves that part as the
// receiver holds it (no 113 and 105, or no 107) and writes the rest.
TEST_F(DataLinkPageTest, ALoginModeLeftUnansweredIsToldAndNotWritten) {
    setWithOneReplyLost(106, "login mode", {96, 93, 114, 94, 107});
}

TEST_F(DataLinkPageTest, AnNtripLoginLeftUnansweredIsToldAndNotWritten) {
    setWithOneReplyLost(108, "NTRIP login", {96, 93, 114, 94, 113, 105});
}

// What the network form's rules do not accept stays as typed and is refused
// with its field and rule, marked, and nothing goes to the receiver: a port
// beyond 65535, an address whose part is beyond 255 (the modem takes names
// too, but a name does not end in a number), a password longer than its
// 20-byte record field.
TEST_F(DataLinkPageTest, ValuesTheNetworkFormDoesNotAcceptAreRefusedAndNothingIsSent) {
    openNetForm();
    auto* protocol = field<QComboBox>("comboBox_protocol");
    protocol->setCurrentIndex(protocol->findData(1));
    const struct {
        const char* field;
        QString typed;
        const char* title;
        const char* message;
    } refused[] = {
        {"lineEdit_port", QStringLiteral("99999"), "Error", "Port: 1 to 65535"},
        {"lineEdit_address", QStringLiteral("300.1.1.1"), "Error",
         "Address: four numbers 0 to 255 with no leading zero, such as 192.168.1.10"},
        {"lineEdit_psw", QString(21, QLatin1Char('p')), "Error", "Password: at most 20 characters"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed.toStdString());
        field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
        field<QLineEdit>("lineEdit_port")->setText(QStringLiteral("2101"));
        field<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("pw"));
        QLineEdit* edit = field<QLineEdit>(r.field);
        edit->clear();
        QTest::keyClicks(edit, r.typed);
        EXPECT_EQ(edit->text(), r.typed) << "kept as typed";
        // (A new address or port empties the source list.)
        field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("RTCM3"));
        watcher_.messages.clear();
        sim_.ClearReceived();
        clickSoftKey(QStringLiteral("Set"));
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].title, QLatin1String(r.title));
        EXPECT_EQ(watcher_.messages[0].text, QLatin1String(r.message));
        EXPECT_TRUE(guitest::Marked(edit));
        EXPECT_TRUE(keysEnabled());
        QTest::qWait(300);
        EXPECT_TRUE(moduleIds().empty()) << "nothing is sent";
    }
    // Put right, the form is written.
    field<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("pw"));
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("RTCM3"));
    watcher_.messages.clear();
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(waitFor([&] { return !packets(107).empty(); })) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
}

// A receiver on the new protocol keeps the server address, the mount point
// and the account as items of its network link: the form reads them all
// back, at first and after a write.
TEST_F(DataLinkPageTest, TheNetworkFormOfANewProtocolReceiverComesBackWhole) {
    open([](sim::SimSettings& s) {
        s = sim::NewProtocolSettings();
        s.radio.protocol = 0;
        // 192.168.1.50, port 2105, not by name.
        std::vector<uint8_t> address = {192, 168, 1, 50, 0x08, 0x39, 0};
        address.resize(57, 0);
        s.newParams[4355] = address;
        s.newParams[4361] = {1};
        s.newParams[4362] = sim::FixedText("RTCM33", 20);
        std::vector<uint8_t> account = sim::FixedText("surveyor", 50);
        const std::vector<uint8_t> password = sim::FixedText("secret", 20);
        account.insert(account.end(), password.begin(), password.end());
        s.newParams[4363] = account;
    });
    // The user picks the network link.
    QComboBox* link = field<QComboBox>("cbDataChain");
    link->setCurrentIndex(link->findText(QStringLiteral("GPRS")));
    ASSERT_EQ(page()->shownPage(), page()->netPage());
    ASSERT_TRUE(waitFor([&] { return page()->netPage()->receivedMask() == DataChain_Net::kReadComplete; }))
        << page()->netPage()->receivedMask();
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    EXPECT_TRUE(sim_.WaitForNewItem(4355));
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("192.168.1.50"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_port")->text(), QStringLiteral("2105"));
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), QStringLiteral("RTCM33"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_guestName")->text(), QStringLiteral("surveyor"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_psw")->text(), QStringLiteral("secret"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();

    // A new server and login set as a rover, then read back.
    auto* mode = field<QComboBox>("comboBox_WorkMode");
    mode->setCurrentIndex(mode->findText(QStringLiteral("Rover")));
    auto* protocol = field<QComboBox>("comboBox_protocol");
    protocol->setCurrentIndex(protocol->findData(1));
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.20.30.40"));
    field<QLineEdit>("lineEdit_port")->setText(QStringLiteral("2106"));
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("RTCM32"));
    field<QLineEdit>("lineEdit_guestName")->setText(QStringLiteral("rover1"));
    field<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("pw2"));
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(sim_.WaitUntil([](const sim::ReceiverModel& m) {
        const auto it = m.Settings().newParams.find(4363);
        return it != m.Settings().newParams.end() && it->second.size() > 50 && it->second[50] == 'p';
    })) << watcher_.describe().toStdString();
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    link->setCurrentIndex(-1);
    link->setCurrentIndex(link->findText(QStringLiteral("GPRS")));
    ASSERT_TRUE(waitFor([&] { return page()->netPage()->receivedMask() == DataChain_Net::kReadComplete; }))
        << page()->netPage()->receivedMask();
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("10.20.30.40"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_port")->text(), QStringLiteral("2106"));
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), QStringLiteral("RTCM32"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_guestName")->text(), QStringLiteral("rover1"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_psw")->text(), QStringLiteral("pw2"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

// A receiver on the new protocol reports no link type and its radio is
// reached by no request of the page: the page opens on the network form and
// reads it, "Internal UHF" is not offered, and "Get" reads the network form
// again instead of asking for the link type.
TEST_F(DataLinkPageTest, ANewProtocolReceiverGetsTheNetworkFormAlone) {
    open([](sim::SimSettings& s) {
        s = sim::NewProtocolSettings();
        std::vector<uint8_t> address = {10, 1, 2, 3, 0x08, 0x35, 0};
        address.resize(57, 0);
        s.newParams[4355] = address;
        s.newParams[4361] = {0};
        s.newParams[4362] = sim::FixedText("RTCM32", 20);
        std::vector<uint8_t> account = sim::FixedText("surveyor", 50);
        const std::vector<uint8_t> password = sim::FixedText("secret", 20);
        account.insert(account.end(), password.begin(), password.end());
        s.newParams[4363] = account;
    });
    QComboBox* link = field<QComboBox>("cbDataChain");
    EXPECT_EQ(link->currentText(), QStringLiteral("GPRS"));
    ASSERT_EQ(page()->shownPage(), page()->netPage());
    ASSERT_TRUE(waitFor([&] { return page()->netPage()->receivedMask() == DataChain_Net::kReadComplete; }))
        << page()->netPage()->receivedMask();
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("10.1.2.3"));
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), QStringLiteral("RTCM32"));
    auto* choices = qobject_cast<QStandardItemModel*>(link->model());
    ASSERT_NE(choices, nullptr);
    EXPECT_TRUE(choices->item(0)->isEnabled());
    EXPECT_FALSE(choices->item(1)->isEnabled()) << "Internal UHF";

    // "Get": the network form is read again and the page given back; no
    // wait for a link type that never comes.
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.9.9.9"));
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(sim_.WaitForNewItem(4355));
    ASSERT_TRUE(waitFor([&] { return page()->netPage()->receivedMask() == DataChain_Net::kReadComplete; }));
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("10.1.2.3"));
    QTest::qWait(DataChain::kLinkTypeWaitMs + 500);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    EXPECT_EQ(page()->shownPage(), page()->netPage());
    EXPECT_TRUE(keysEnabled());
}

TEST_F(DataLinkPageTest, ALoginOf42CharactersPassesAnd43Fails) {
    openNetForm();
    auto* protocol = field<QComboBox>("comboBox_protocol");
    protocol->setCurrentIndex(protocol->findData(1));
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
    QComboBox* source = field<QComboBox>("comboBox_sourceList");
    source->setEditText(QString(20, QLatin1Char('S')));
    field<QLineEdit>("lineEdit_guestName")->setText(QString(15, QLatin1Char('u')));
    field<QLineEdit>("lineEdit_psw")->setText(QString(8, QLatin1Char('p')));

    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text,
              QStringLiteral("Total length of source\nuserName and password\nis beyond 43!"));
    EXPECT_TRUE(keysEnabled());
    QTest::qWait(300);
    EXPECT_TRUE(moduleIds().empty());

    watcher_.messages.clear();
    field<QLineEdit>("lineEdit_psw")->setText(QString(7, QLatin1Char('p')));
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(waitFor([&] { return !packets(107).empty(); })) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    // Mount, 00, mode '-', 00, user, 00, password, 00.
    const std::string login = std::string(20, 'S') + '\0' + '-' + '\0' + std::string(15, 'u') + '\0' +
                              std::string(7, 'p') + '\0';
    EXPECT_EQ(Text(packets(107)[0].moduleData), login);
}

// The frequency field keeps what the user types. On a 450 to 470 MHz radio
// 480 stays 480 (it was cut to 48 and then moved to 450): "Set" refuses it
// with the range, marks it, and sends nothing. Inside the range, leaving the
// field still puts a frequency on the channel grid, and the channel shown is
// always the frequency's, after a write and a new read too.
TEST_F(DataLinkPageTest, AFrequencyOutsideTheRadiosRangeIsRefusedAsTyped) {
    open([](sim::SimSettings& s) {
        ASSERT_TRUE(sim::SetRadioModule(s, 3));
        s.radio.protocol = 6;
        s.radio.baud = 0;
    });
    ASSERT_TRUE(waitFor([&] { return page()->shownPage() == page()->radioPage(); }));
    ASSERT_TRUE(waitFor([&] {
        DataChain_Radio* radio = page()->radioPage();
        return radio->requestedMask() != 0 && radio->receivedMask() == radio->requestedMask();
    }));
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    auto* frequency = field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX");
    QComboBox* channel = field<QComboBox>("comboBox_signalChannel_RX");
    EXPECT_DOUBLE_EQ(frequency->value(), 460.125);
    EXPECT_EQ(channel->currentText(), QStringLiteral("0"));
    ASSERT_TRUE(frequency->isEnabled());
    auto typeFrequency = [&](const QString& text) {
        frequency->selectAll();
        QTest::keyClicks(frequency, text);
    };

    typeFrequency(QStringLiteral("480"));
    EXPECT_EQ(frequency->text(), QStringLiteral("480")) << "kept as typed";
    EXPECT_EQ(channel->currentText(), QStringLiteral("0")) << "no channel has 480 MHz";
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Radio frq is out of 450 - 470!"));
    EXPECT_DOUBLE_EQ(frequency->value(), 480.0);
    EXPECT_TRUE(guitest::Marked(frequency));
    EXPECT_TRUE(keysEnabled());
    QTest::qWait(300);
    EXPECT_TRUE(moduleIds().empty()) << "nothing is sent: " << ::testing::PrintToString(moduleIds());

    // Inside the range: off the 12.5 kHz grid, leaving the field puts it on
    // the nearer line.
    typeFrequency(QStringLiteral("463.1237"));
    EXPECT_FALSE(guitest::Marked(frequency));
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(frequency, &out);
    EXPECT_DOUBLE_EQ(frequency->value(), 463.125);
    EXPECT_EQ(channel->currentText(), QStringLiteral("0"));

    // 450 MHz is channel 9 of the middle band: typed, it selects it; set and
    // read again, the form shows the two together.
    typeFrequency(QStringLiteral("450"));
    EXPECT_EQ(channel->currentText(), QStringLiteral("9"));
    watcher_.messages.clear();
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(waitFor([&] { return !packets(109).empty(); })) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }, 15000));
    EXPECT_DOUBLE_EQ(frequency->value(), 450.0);
    EXPECT_EQ(channel->currentText(), QStringLiteral("9"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

TEST_F(DataLinkPageTest, TheCallSignGoesToItsPageAndBackToTheReceiver) {
    open([](sim::SimSettings& s) {
        ASSERT_TRUE(sim::SetRadioModule(s, 8));
        s.radio.protocol = 8;
        s.radio.callsign = "BX4ABC";
        s.radio.callsignInterval = 10;
    });
    ASSERT_TRUE(waitFor([&] { return page()->shownPage() == page()->radioPage(); }));
    ASSERT_TRUE(waitFor([&] { return page()->radioPage()->receivedMask() == page()->radioPage()->requestedMask(); }));
    QPushButton* button = page()->radioPage()->callsignButton();
    ASSERT_TRUE(button->isVisibleTo(page()));
    QTest::mouseClick(button, Qt::LeftButton);
    auto* callsign = static_cast<Callsign*>(window_->page(QStringLiteral("Callsign")));
    ASSERT_EQ(window_->currentPage(), callsign);
    EXPECT_EQ(callsign->messageField()->text(), QStringLiteral("BX4ABC"));
    EXPECT_EQ(callsign->intervalField()->text(), QStringLiteral("10"));
    callsign->messageField()->setText(QStringLiteral("DL1XYZ"));
    callsign->intervalField()->setText(QStringLiteral("5"));
    clickSoftKey(QStringLiteral("Ok"));
    ASSERT_EQ(window_->currentPage(), page());
    // Coming back keeps the form as it was; nothing is read again.
    EXPECT_EQ(page()->shownPage(), page()->radioPage());
    EXPECT_EQ(field<QComboBox>("comboBox_protocol_radio")->currentText(), QStringLiteral("3AS"));

    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(waitFor([&] { return !packets(144).empty(); })) << watcher_.describe().toStdString();
    // On, every 5 minutes, the new text.
    const std::vector<uint8_t> expected = {1, 5, 'D', 'L', '1', 'X', 'Y', 'Z'};
    EXPECT_EQ(packets(144)[0].moduleData, expected);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

}  // namespace
