// The fields' rules as a surveyor meets them, through the real pages: a
// refused value is told with its field and its rule, in the same words on
// the data link form and the server form; a mount point from a caster's
// list that the receiver cannot hold is said at once; numbers take the
// user's decimal comma and go out locale-free; and the Internal Recording
// page shown again drops an edit that was never sent.

#include "program/pages/DataChain_Net.h"
#include "program/pages/ServerWidget.h"
#include "program/pages/Static.h"
#include "tests/program/WorkPagesSupport.h"
#include "tests/program/DefaultLocale.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>

namespace {

using guitest::ProgramGuiTest;
using guitest::SentFrame;
using guitest::WorkPageTest;

constexpr const char* kDotted = "Address: four numbers 0 to 255 with no leading zero, such as 192.168.1.10";
constexpr const char* kUserRule = "User name: ASCII characters only (no accents), no colon";
constexpr const char* kPasswordRule = "Password: ASCII characters only (no accents)";

// A German desktop for one case.
class GermanLocale : public DefaultLocale {
public:
    GermanLocale() : DefaultLocale(QLocale(QLocale::German, QLocale::Germany)) {}
};

// The network form of the data link page and the server form side by side,
// filled with values both accept, an NTRIP rover's login shown on both.
class FieldRulesFormTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        net_ = new DataChain_Net;
        server_ = new ServerWidget;
    }
    void TearDown() override {
        delete server_;
        delete net_;
        ProgramGuiTest::TearDown();
    }
    template <typename T>
    T* netField(const char* name) const {
        T* w = net_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QComboBox* mountPoints() const { return netField<QComboBox>("comboBox_sourceList"); }
    void fillBoth() {
        netField<QComboBox>("comboBox_WorkMode")->setCurrentIndex(1);  // rover
        auto* protocol = netField<QComboBox>("comboBox_protocol");
        protocol->setCurrentIndex(protocol->findData(1));  // NTRIP client
        netField<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2.3"));
        netField<QLineEdit>("lineEdit_port")->setText(QStringLiteral("2101"));
        // (A new address or port empties the mount point list.)
        mountPoints()->setEditText(QStringLiteral("MNT"));
        netField<QLineEdit>("lineEdit_guestName")->setText(QStringLiteral("surveyor"));
        netField<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("secret"));
        server_->nameField()->setText(QStringLiteral("Hilltop caster"));
        server_->protocolField()->setCurrentIndex(server_->protocolField()->findData(1));
        server_->addressField()->setText(QStringLiteral("10.1.2.3"));
        server_->portField()->setText(QStringLiteral("2101"));
        server_->userField()->setText(QStringLiteral("surveyor"));
        server_->passwordField()->setText(QStringLiteral("secret"));
    }

    DataChain_Net* net_ = nullptr;
    ServerWidget* server_ = nullptr;
};

// Each value is typed key by key into the field of both forms; each form
// refuses it with the same words and marks the field. A value of the data
// link form alone (the mount point) has no server field.
TEST_F(FieldRulesFormTest, ARefusedValueIsToldWithItsFieldAndRuleAlikeOnBothForms) {
    const QString long21 = QStringLiteral("VRS_RTCM32_MSM7_NEAR1");
    const struct {
        const char* netName;
        QLineEdit* (ServerWidget::*serverField)() const;
        QString typed;
        const char* message;
    } cases[] = {
        {"lineEdit_port", &ServerWidget::portField, QStringLiteral("0"), "Port: 1 to 65535"},
        {"lineEdit_port", &ServerWidget::portField, QStringLiteral("65536"), "Port: 1 to 65535"},
        {"lineEdit_address", &ServerWidget::addressField, QStringLiteral("1.2.3.04"), kDotted},
        {"lineEdit_address", &ServerWidget::addressField, QStringLiteral("300.1.1.1"), kDotted},
        {"lineEdit_guestName", &ServerWidget::userField, QString::fromUtf8("jos\u00E9"), kUserRule},
        {"lineEdit_guestName", &ServerWidget::userField, QStringLiteral("a:b"), kUserRule},
        {"lineEdit_psw", &ServerWidget::passwordField, QString::fromUtf8("s\u00E9cret"), kPasswordRule},
        {nullptr, nullptr, long21, "Mount point: at most 20 characters"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        fillBoth();
        QLineEdit* net = c.netName ? netField<QLineEdit>(c.netName) : mountPoints()->lineEdit();
        net->clear();
        // (The mount point's editor shows a name from its start while it has
        // no focus, as a form's lone test window has none: it is put in.)
        if (c.netName)
            guitest::TypeText(net, c.typed);
        else
            net->setText(c.typed);
        EXPECT_EQ(net->text(), c.typed) << "kept as typed";
        // (A new address or port emptied the mount point list.)
        if (c.netName) mountPoints()->setEditText(QStringLiteral("MNT"));
        watcher_.messages.clear();
        EXPECT_EQ(net_->checkInput(), -1);
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
        EXPECT_EQ(watcher_.messages[0].text, QLatin1String(c.message));
        EXPECT_TRUE(guitest::Marked(net));
        if (!c.serverField) continue;

        QLineEdit* server = (server_->*c.serverField)();
        server->clear();
        guitest::TypeText(server, c.typed);
        watcher_.messages.clear();
        EXPECT_TRUE(server_->checkInput()) << "refused";
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].text, QLatin1String(c.message));
        EXPECT_TRUE(guitest::Marked(server));
    }

    // Those the rules take pass both forms without a word: the lowest and
    // highest port, a part 0, a login of printable ASCII with a colon in
    // the password.
    fillBoth();
    netField<QLineEdit>("lineEdit_port")->setText(QStringLiteral("1"));
    netField<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.0.0.255"));
    mountPoints()->setEditText(QStringLiteral("MNT"));
    netField<QLineEdit>("lineEdit_psw")->setText(QStringLiteral("p:w 1"));
    server_->portField()->setText(QStringLiteral("65535"));
    server_->passwordField()->setText(QStringLiteral("p:w 1"));
    // A saved server may name the 50-character host a new-protocol receiver
    // holds.
    const QString host50 = QStringLiteral("caster-%1.example.net").arg(QString(31, QLatin1Char('a')));
    ASSERT_EQ(host50.size(), 50);
    server_->addressField()->setText(host50);
    watcher_.messages.clear();
    EXPECT_EQ(net_->checkInput(), 1);
    EXPECT_FALSE(server_->checkInput());
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    server_->addressField()->setText(QLatin1Char('x') + host50);
    EXPECT_TRUE(server_->checkInput()) << "51 characters are refused";
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_TRUE(watcher_.messages[0].text.startsWith(QStringLiteral("Address: "))) << watcher_.describe().toStdString();
    server_->addressField()->setText(QStringLiteral("10.1.2.3"));
    watcher_.messages.clear();

    // An empty field beside a refused one: both are told, the missing one
    // in the page's own words first.
    netField<QLineEdit>("lineEdit_address")->clear();
    netField<QLineEdit>("lineEdit_port")->setText(QStringLiteral("0"));
    EXPECT_EQ(net_->checkInput(), -1);
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Please enter parameters!\nPort: 1 to 65535"));
}

// One "Set" marks and tells every field it refuses in one box, in the
// form's order: an address that is none, a port 0, a mount point too long
// for the receiver and a user name with a colon; a login too long for the
// receiver is told in the same box as a refused field.
TEST_F(FieldRulesFormTest, EveryRefusedFieldIsMarkedAndToldInOneBox) {
    fillBoth();
    QLineEdit* address = netField<QLineEdit>("lineEdit_address");
    QLineEdit* port = netField<QLineEdit>("lineEdit_port");
    QLineEdit* user = netField<QLineEdit>("lineEdit_guestName");
    address->setText(QStringLiteral("300.1.1.1"));
    port->setText(QStringLiteral("0"));
    mountPoints()->setEditText(QStringLiteral("VRS_RTCM32_MSM7_NEAR1"));
    user->setText(QStringLiteral("a:b"));
    watcher_.messages.clear();
    EXPECT_EQ(net_->checkInput(), -1);
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text, QStringList({QLatin1String(kDotted), QStringLiteral("Port: 1 to 65535"),
                                                      QStringLiteral("Mount point: at most 20 characters"),
                                                      QLatin1String(kUserRule)})
                                             .join(QLatin1Char('\n')));
    for (QWidget* f : std::initializer_list<QWidget*>{address, port, mountPoints()->lineEdit(), user})
        EXPECT_TRUE(guitest::Marked(f)) << f->objectName().toStdString();

    // A login of 20 + 15 + 8 characters, beyond the receiver's 43, beside
    // a refused port; an empty address is missing, not refused.
    fillBoth();
    address->clear();
    port->setText(QStringLiteral("65536"));
    mountPoints()->setEditText(QString(20, QLatin1Char('S')));
    user->setText(QString(15, QLatin1Char('u')));
    netField<QLineEdit>("lineEdit_psw")->setText(QString(8, QLatin1Char('p')));
    watcher_.messages.clear();
    EXPECT_EQ(net_->checkInput(), -1);
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].text,
              QStringLiteral("Please enter parameters!\nPort: 1 to 65535\n"
                             "Total length of source\nuserName and password\nis beyond 43!"));
    EXPECT_TRUE(guitest::Marked(address));
    EXPECT_TRUE(guitest::Marked(port));
}

// A caster lists a mount point longer than the receiver's 20-byte field:
// it is offered and, once chosen, shown whole, marked, and the receiver's
// limit is said at once; a name that fits is chosen without a word.
TEST_F(FieldRulesFormTest, AMountPointTooLongForTheReceiverIsSaidWhenChosen) {
    fillBoth();
    net_->show();
    QComboBox* box = mountPoints();
    box->clear();
    box->addItem(QStringLiteral("NEAR"));
    box->addItem(QStringLiteral("VRS_RTCM32_MSM7_NEAR1"));
    const auto chooseFromList = [box](int row) {
        box->showPopup();
        QAbstractItemView* view = box->view();
        view->setCurrentIndex(box->model()->index(row, box->modelColumn(), box->rootModelIndex()));
        QTest::keyClick(view, Qt::Key_Return);
    };
    watcher_.messages.clear();
    chooseFromList(1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher_.messages.empty(); }, 3000));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Mount point: at most 20 characters"));
    EXPECT_EQ(box->currentText(), QStringLiteral("VRS_RTCM32_MSM7_NEAR1")) << "shown whole";
    EXPECT_TRUE(guitest::Marked(box->lineEdit()));

    watcher_.messages.clear();
    chooseFromList(0);
    QTest::qWait(100);
    EXPECT_EQ(box->currentText(), QStringLiteral("NEAR"));
    EXPECT_FALSE(guitest::Marked(box->lineEdit()));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
    net_->hide();
}

// A saved server whose first mount point the receiver cannot take: choosing
// the server puts it in the box, and it is marked and told at once, as when
// the user chooses it from the list.
TEST_F(FieldRulesFormTest, ASavedServersMountPointTheReceiverCannotTakeIsToldWhenChosen) {
    ServerRecord record;
    record.name = QStringLiteral("Hilltop caster");
    record.address = QStringLiteral("10.1.2.3");
    record.port = 2101;
    record.protocol = 1;
    record.sources = {QStringLiteral("VRS_RTCM32_MSM7_NEAR1"), QStringLiteral("NEAR")};
    ASSERT_EQ(ServerStore::instance()->append(record), 0);
    fillBoth();
    auto* servers = netField<QComboBox>("comboBox_server");
    const int at = servers->findText(record.name);
    ASSERT_GE(at, 0);
    watcher_.messages.clear();
    servers->setCurrentIndex(at);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !watcher_.messages.empty(); }, 3000));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Mount point: at most 20 characters"));
    EXPECT_EQ(mountPoints()->currentText(), QStringLiteral("VRS_RTCM32_MSM7_NEAR1"));
    EXPECT_TRUE(guitest::Marked(mountPoints()->lineEdit()));
}

// The Internal Recording page against the simulated receiver, with its
// point "BM01" at 1.5 m.
class FieldRulesStaticTest : public WorkPageTest {
protected:
    void configureSim(sim::SimSettings& s) override {
        s.staticPoint.name = "BM01";
        s.staticPoint.antennaHeight = 1.5f;
        s.staticPoint.antennaCode = 3;
        s.staticPoint.surveyTo = 1;
    }
    Static* page() const { return static_cast<Static*>(window_->page(QStringLiteral("Static"))); }
    QCheckBox* advance() const { return window_->findChild<QCheckBox*>(QStringLiteral("checkBox_advance")); }
    void open() {
        clickMenu("Static");
        ASSERT_EQ(window_->currentPage(), page());
    }
    void back() {
        clickSoftKey(QStringLiteral("Back"));
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }
    void get() {
        clickSoftKey(QStringLiteral("Get"));
        ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    }
};

// Under a German locale the height takes "1,5" as typed and the receiver
// gets 1.5 m; the point takes "2.25" as well.
TEST_F(FieldRulesStaticTest, AGermanDecimalCommaGoesOutAsTheNumberTyped) {
    GermanLocale german;
    open();
    QTest::mouseClick(advance(), Qt::LeftButton);
    get();
    const struct {
        const char* typed;
        uint8_t floatBytes[4];  // IEEE single, low byte first
    } cases[] = {{"1,5", {0x00, 0x00, 0xC0, 0x3F}}, {"2.25", {0x00, 0x00, 0x10, 0x40}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        edit("lineEdit_Point")->setText(QStringLiteral("PT1"));
        edit("lineEdit_antenna_height")->clear();
        guitest::TypeText(edit("lineEdit_antenna_height"), QLatin1String(c.typed));
        EXPECT_EQ(edit("lineEdit_antenna_height")->text(), QLatin1String(c.typed));
        watcher_.messages.clear();
        const size_t from = mark();
        clickSoftKey(QStringLiteral("Set"));
        const auto sent = waitForFrames(from, 5);
        ASSERT_EQ(sent.size(), 5u);
        EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
        EXPECT_EQ(sent[4].letters, "FA");
        const std::vector<uint8_t> head{3, 'P', 'T', '1', c.floatBytes[0], c.floatBytes[1], c.floatBytes[2],
                                        c.floatBytes[3]};
        ASSERT_GE(sent[4].payload.size(), head.size());
        EXPECT_EQ(std::vector<uint8_t>(sent[4].payload.begin(), sent[4].payload.begin() + 8), head);
        ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    }
}

// A comma and a point are both the height's decimal mark on a C, an English
// and a German desktop: the receiver gets 1.5 m from each, as typed.
TEST_F(FieldRulesStaticTest, ACommaOrAPointIsTheHeightsDecimalMarkInEveryLocale) {
    open();
    QTest::mouseClick(advance(), Qt::LeftButton);
    get();
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        const DefaultLocale desktop(locale);
        for (const char* typed : {"1,5", "1.5"}) {
            SCOPED_TRACE(locale.name().toStdString() + " " + typed);
            edit("lineEdit_Point")->setText(QStringLiteral("PT1"));
            edit("lineEdit_antenna_height")->clear();
            guitest::TypeText(edit("lineEdit_antenna_height"), QLatin1String(typed));
            EXPECT_EQ(edit("lineEdit_antenna_height")->text(), QLatin1String(typed));
            watcher_.messages.clear();
            const size_t from = mark();
            clickSoftKey(QStringLiteral("Set"));
            const auto sent = waitForFrames(from, 5);
            ASSERT_EQ(sent.size(), 5u) << watcher_.describe().toStdString();
            EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
            EXPECT_EQ(sent[4].letters, "FA");
            // The point's name, then 1.5 as an IEEE single, low byte first.
            const std::vector<uint8_t> head{3, 'P', 'T', '1', 0x00, 0x00, 0xC0, 0x3F};
            ASSERT_GE(sent[4].payload.size(), head.size());
            EXPECT_EQ(std::vector<uint8_t>(sent[4].payload.begin(), sent[4].payload.begin() + 8), head);
            ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
        }
    }
}

// An edit of the point that never went out is not on the page shown again:
// before any read its fields are empty, after a read they show what the
// receiver reported, and "Get" agrees.
TEST_F(FieldRulesStaticTest, APageShownAgainDropsAPointEditThatWasNeverSent) {
    open();
    QTest::mouseClick(advance(), Qt::LeftButton);
    edit("lineEdit_Point")->setText(QStringLiteral("PT1"));
    back();
    open();
    EXPECT_TRUE(edit("lineEdit_Point")->text().isEmpty()) << "no point known yet";
    EXPECT_TRUE(edit("lineEdit_antenna_height")->text().isEmpty());

    get();
    EXPECT_EQ(edit("lineEdit_Point")->text(), QStringLiteral("BM01"));
    edit("lineEdit_Point")->setText(QStringLiteral("PT1"));
    edit("lineEdit_antenna_height")->clear();
    guitest::TypeText(edit("lineEdit_antenna_height"), QStringLiteral("1;5"));
    const size_t from = mark();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].text,
              QStringLiteral("Antenna height: a number such as 1") + QLocale().decimalPoint() + QLatin1Char('5'));
    EXPECT_TRUE(guitest::Marked(edit("lineEdit_antenna_height")));
    QTest::qWait(300);
    EXPECT_TRUE(framesAfter(from).empty()) << "nothing is sent";

    back();
    open();
    EXPECT_EQ(edit("lineEdit_Point")->text(), QStringLiteral("BM01"));
    EXPECT_EQ(edit("lineEdit_antenna_height")->text(), QStringLiteral("1.5"));
    EXPECT_FALSE(guitest::Marked(edit("lineEdit_antenna_height")));
    get();
    EXPECT_EQ(edit("lineEdit_Point")->text(), QStringLiteral("BM01"));
    EXPECT_EQ(edit("lineEdit_antenna_height")->text(), QStringLiteral("1.5"));
}

}  // namespace
