// The network link form and the data link page without a receiver: which
// fields a work mode and protocol show and ask for, the address rules, the
// server store's one-name-per-server rule on both paths, and the call sign
// handed back from its page.

#include "program/ServerStore.h"
#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/DataChain_Radio.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <cstring>

namespace {

using guitest::ProgramGuiTest;

class DataLinkPageFormTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        page_ = new DataChain_Net;
    }
    void TearDown() override {
        delete page_;
        ProgramGuiTest::TearDown();
    }
    template <typename T>
    T* field(const char* name) const {
        T* w = page_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    bool shown(const char* name) const { return field<QWidget>(name)->isVisibleTo(page_); }
    void choose(int mode, int protocol) {
        field<QComboBox>("comboBox_WorkMode")->setCurrentIndex(mode);
        auto* box = field<QComboBox>("comboBox_protocol");
        box->setCurrentIndex(box->findData(protocol));
        ASSERT_EQ(box->currentData().toInt(), protocol);
    }
    QList<int> protocols() const {
        QList<int> codes;
        auto* box = field<QComboBox>("comboBox_protocol");
        for (int i = 0; i < box->count(); ++i) codes << box->itemData(i).toInt();
        return codes;
    }

    DataChain_Net* page_ = nullptr;
};

TEST_F(DataLinkPageFormTest, WorkModeAndProtocolDecideTheFields) {
    const char* login[] = {"comboBox_sourceList", "lineEdit_guestName", "lineEdit_psw", "getsourceButton"};
    // Base: the relay protocol only, and no login or base id.
    choose(0, 0);
    EXPECT_EQ(protocols(), QList<int>{0});
    for (const char* name : login) EXPECT_FALSE(shown(name)) << name;
    EXPECT_FALSE(shown("lineEdit_BaseID"));
    EXPECT_FALSE(shown("label_source"));
    // Rover on the relay protocol: the base id under its own label.
    choose(1, 0);
    EXPECT_EQ(protocols(), (QList<int>{0, 1, 3}));
    EXPECT_TRUE(shown("lineEdit_BaseID"));
    EXPECT_EQ(field<QLabel>("label_source")->text(), QStringLiteral("BaseID:"));
    // Rover on NTRIP: the login, no base id.
    choose(1, 1);
    for (const char* name : login) EXPECT_TRUE(shown(name)) << name;
    EXPECT_FALSE(shown("lineEdit_BaseID"));
    EXPECT_EQ(field<QLabel>("label_source")->text(), QStringLiteral("Source:"));
    // Rover on plain TCP: neither.
    choose(1, 3);
    for (const char* name : login) EXPECT_FALSE(shown(name)) << name;
    EXPECT_FALSE(shown("lineEdit_BaseID"));
    EXPECT_FALSE(shown("label_source"));
    EXPECT_FALSE(shown("checkBox_autoLog"));
}

TEST_F(DataLinkPageFormTest, RequiredFieldsFollowWhatIsShown) {
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
    field<QLineEdit>("lineEdit_port")->setText(QStringLiteral("2101"));
    // Plain TCP shows no base id, so none is asked for.
    choose(1, 3);
    EXPECT_EQ(page_->checkInput(), 1);
    // The relay protocol shows it: an empty one is missing.
    choose(1, 0);
    EXPECT_EQ(page_->checkInput(), 0);
    field<QLineEdit>("lineEdit_BaseID")->setText(QStringLiteral("0001"));
    EXPECT_EQ(page_->checkInput(), 1);
    // NTRIP asks for the source.
    choose(1, 1);
    EXPECT_EQ(page_->checkInput(), 0);
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("MNT"));
    EXPECT_EQ(page_->checkInput(), 1);
    // No address at all: missing, not invalid.
    field<QLineEdit>("lineEdit_address")->clear();
    EXPECT_EQ(page_->checkInput(), 0);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    // An address that is not one: said once, and invalid.
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2"));
    // (Editing the address emptied the source list.)
    field<QComboBox>("comboBox_sourceList")->setEditText(QStringLiteral("MNT"));
    EXPECT_EQ(page_->checkInput(), -1);
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].text,
              QStringLiteral("Address: four numbers 0 to 255 with no leading zero, such as 192.168.1.10"));
}

TEST_F(DataLinkPageFormTest, AddressesAreCheckedWholeBeforeTheyAreSplit) {
    const struct {
        const char* text;
        bool ipv4, host;
    } cases[] = {
        // A name does not end in a number alone: dotted numbers are an
        // address or a mistyped one, never a name.
        {"10.1.2.3", true, false},      {"255.255.255.255", true, false}, {"10.1.2", false, false},
        {"10.1.2.3.4", false, false},   {"10.1.2.256", false, false},     {"300.1.1.1", false, false},
        {"10..2.3", false, false},      {"10.1.2.-3", false, false},      {"caster.example.net", false, true},
        {"-bad.example", false, false}, {"a b", false, false},            {"", false, false},
        {"1234.1.2.3", false, false},   {"rtk2go.com", false, true},      {"10.example", false, true},
        {"caster", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(DataChain_Net::isIpv4Address(QString::fromLatin1(c.text)), c.ipv4);
        EXPECT_EQ(DataChain_Net::isHostName(QString::fromLatin1(c.text)), c.host);
    }
    // A host name must fit the modem's 32-byte text.
    EXPECT_TRUE(DataChain_Net::isHostName(QString(32, QLatin1Char('a'))));
    EXPECT_FALSE(DataChain_Net::isHostName(QString(33, QLatin1Char('a'))));

    // Bytes first byte first; text held to its 32 bytes.
    auto bytes = DataChain_Net::addressRecord(QStringLiteral("10.1.2.3"), false);
    EXPECT_EQ(bytes.ip[0], 10);
    EXPECT_EQ(bytes.ip[3], 3);
    EXPECT_EQ(bytes.textLength, 0u);
    auto text = DataChain_Net::addressRecord(QString(40, QLatin1Char('h')), true);
    EXPECT_EQ(text.textLength, 32u);
    EXPECT_EQ(std::string(text.text, 32), std::string(32, 'h'));
    // Not an address: nothing of it is sent as bytes.
    auto none = DataChain_Net::addressRecord(QStringLiteral("10.1.2"), false);
    EXPECT_EQ(std::memcmp(none.ip, "\0\0\0\0", 4), 0);
}

TEST_F(DataLinkPageFormTest, AServerNameBelongsToOneServerWhenAddedAndWhenEdited) {
    for (const char* name : {"Office", "Field"}) {
        ServerRecord r;
        r.name = QString::fromLatin1(name);
        r.address = QStringLiteral("10.1.2.3");
        r.port = 2101;
        r.protocol = 3;
        ServerStore::instance()->append(r);
    }
    choose(1, 3);
    page_->read();  // refills the server list
    auto* server = field<QComboBox>("comboBox_server");
    ASSERT_EQ(server->count(), 3);  // "<New>", Office, Field
    // Typing a saved name exactly loads it; another case does not.
    field<QLineEdit>("lineEdit_address")->clear();
    server->setEditText(QStringLiteral("office"));
    EXPECT_TRUE(field<QLineEdit>("lineEdit_address")->text().isEmpty());
    server->setEditText(QStringLiteral("Office"));
    EXPECT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("10.1.2.3"));

    // Editing "Field" (key 1) under the name "Office" is refused.
    server->setCurrentIndex(2);
    ASSERT_TRUE(field<QCheckBox>("checkBox_save")->isChecked());
    server->setEditText(QStringLiteral("Office"));
    ASSERT_EQ(server->currentData().toInt(), 1);
    EXPECT_FALSE(page_->applySettings());
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Server with the name exits."));
    ServerRecord stored;
    ASSERT_TRUE(ServerStore::instance()->read(stored, 1));
    EXPECT_EQ(stored.name, QStringLiteral("Field"));
}

TEST_F(DataLinkPageFormTest, TheCallSignBackFromItsPageIsHeldToTheRecord) {
    DataChain page;
    DataChain_Radio* radio = page.radioPage();
    std::memcpy(radio->callsign.message, "ZZZZZZZZZZZZZZ", 14);
    QHash<QString, QVariant> settings{{QStringLiteral("CSState"), true},
                                      {QStringLiteral("CSInterval"), 7},
                                      {QStringLiteral("CSMessage"), QStringLiteral("ABC")},
                                      {QStringLiteral("CSLength"), 20},
                                      {QStringLiteral("InSetting"), true}};
    page.setParams(settings);
    const uint32_t state = radio->callsign.state;
    const uint32_t interval = radio->callsign.interval;
    EXPECT_EQ(state, 1u);
    EXPECT_EQ(interval, 7u);
    // Three characters came, so three are the length; the bytes behind
    // them keep their values.
    EXPECT_EQ(std::string(radio->callsign.message, 14), "ABCZZZZZZZZZZZ");
    EXPECT_EQ(radio->callsign.message[14], 3);
    EXPECT_TRUE(radio->inSetting);
    // Handed on to the page again: exactly what the record holds.
    QSignalSpy asked(&page, &DataChain::command);
    page.onCallsign();
    ASSERT_EQ(asked.count(), 1);
    EXPECT_EQ(page.params.value(QStringLiteral("CSMessage")).toString(), QStringLiteral("ABC"));
    EXPECT_EQ(page.params.value(QStringLiteral("CSLength")).toInt(), 3);
    EXPECT_EQ(page.params.size(), 4);
}

}  // namespace
