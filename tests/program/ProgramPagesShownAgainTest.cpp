// The setting pages shown again after a write, through the main window, the
// real libraries and the simulated receiver: "Set", "Back", the page opened
// again shows what was set, not what the receiver said before; a later "Get"
// shows what the receiver reports, and so does the page opened after it.
// One table row per page that keeps its values in DeviceManager's cache.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/DataChain.h"
#include "program/pages/DataChain_Net.h"
#include "program/pages/DataChain_Radio.h"
#include "program/pages/InlayNet.h"
#include "program/pages/Output.h"
#include "program/pages/RTK.h"
#include "program/pages/Static.h"
#include "tests/program/ProgramGuiSupport.h"
#include "tests/sim/SimRadioModules.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLineEdit>

#include <functional>
#include <ostream>
#include <string>

namespace {

using guitest::ReceiverGuiTest;

class PagesShownAgainTest;

struct PageCase {
    const char* name;
    const char* command;  // the main menu's command, also the page's name
    // The receiver before the program connects.
    std::function<void(sim::SimSettings&)> receiver;
    // What the page shows, field by field.
    std::function<QStringList(const PagesShownAgainTest&)> shown;
    // The user's changes before the write.
    std::function<void(PagesShownAgainTest&)> edit;
    const char* writeKey;
    // The write's last command, as the receiver gets it.
    std::function<bool(const sim::ReceivedCommand&)> lastWritten;
    QStringList set;
    // The receiver changes its settings by itself; then `rereadKey` reads
    // them ("Get"). A page without a read has "Stop" instead, the receiver
    // unchanged.
    std::function<void(sim::SimSettings&)> receiverChanges;
    const char* rereadKey;
    QStringList reread;
    // True once the page shows what its read (on "Get" or on being shown)
    // brought; the receiver's record of commands was cleared just before.
    std::function<bool(const PagesShownAgainTest&)> settled;
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

// The fields in one text, so that a failure names them.
std::string Joined(const QStringList& fields) { return fields.join(QStringLiteral(" | ")).toStdString(); }

class PagesShownAgainTest : public ReceiverGuiTest, public testing::WithParamInterface<PageCase> {
public:
    Widget* page() const { return window_->page(QLatin1String(GetParam().command)); }
    template <typename T>
    T* field(const char* name) const {
        T* w = page()->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QString text(const char* comboName) const { return field<QComboBox>(comboName)->currentText(); }
    QString line(const char* editName) const { return field<QLineEdit>(editName)->text(); }
    void choose(const char* comboName, int data) const {
        QComboBox* box = field<QComboBox>(comboName);
        const int at = box->findData(data);
        ASSERT_GE(at, 0) << comboName << " has no item " << data;
        box->setCurrentIndex(at);
    }
    void chooseText(const char* comboName, const char* itemText) const {
        QComboBox* box = field<QComboBox>(comboName);
        const int at = box->findText(QLatin1String(itemText));
        ASSERT_GE(at, 0) << comboName << " has no item " << itemText;
        box->setCurrentIndex(at);
    }
    void type(const char* editName, const char* value) const {
        field<QLineEdit>(editName)->setText(QLatin1String(value));
    }
    bool keysEnabled() const {
        for (QAction* a : page()->actions())
            if (!a->isEnabled()) return false;
        return true;
    }
    bool received(int moduleId) const {
        for (const auto& c : sim_.Received())
            if (c.moduleId == moduleId) return true;
        return false;
    }
    int modemReports = 0;

protected:
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        // Counted ahead of every page's own connection: when the count
        // moves, the page's slot for the same report is the next event.
        QObject::connect(DeviceObserver::instance(), &DeviceObserver::wirelessParamters, &context_,
                         [this] { ++modemReports; }, Qt::QueuedConnection);
        startWindow();
        sim_.Update(GetParam().receiver);
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        ASSERT_TRUE(waitFor([] { return DeviceManager::instance()->boardType() != 0; }));
        watcher_.messages.clear();  // "Successfully connected"
    }

    // Opens the page from the main menu and waits for what it reads then.
    void open() {
        sim_.ClearReceived();
        modemReports = 0;
        clickMenu(GetParam().command);
        ASSERT_EQ(window_->currentPage(), page());
        settle();
    }
    void settle() {
        ASSERT_TRUE(waitFor([&] { return GetParam().settled(*this) && keysEnabled(); }, 15000))
            << GetParam().name << " did not settle " << watcher_.describe().toStdString();
        QCoreApplication::processEvents();
    }
    void back() {
        clickSoftKey(QStringLiteral("Back"));
        ASSERT_EQ(window_->currentPage(), window_->menu());
    }

    QObject context_;
};

TEST_P(PagesShownAgainTest, ShowsWhatWasSetThenWhatTheReceiverReports) {
    const PageCase& c = GetParam();
    open();
    if (HasFatalFailure()) return;
    const QStringList connected = c.shown(*this);
    ASSERT_NE(Joined(connected), Joined(c.set)) << "the receiver must start elsewhere";
    c.edit(*this);
    ASSERT_EQ(Joined(c.shown(*this)), Joined(c.set)) << "the form before the write";

    watcher_.answer = QMessageBox::Yes;  // the NMEA output's reboot question
    sim_.ClearReceived();
    clickSoftKey(QLatin1String(c.writeKey));
    ASSERT_TRUE(waitFor([&] {
        for (const auto& cmd : sim_.Received())
            if (c.lastWritten(cmd)) return keysEnabled();
        return false;
    }, 15000)) << watcher_.describe().toStdString();

    back();
    open();
    if (HasFatalFailure()) return;
    EXPECT_EQ(Joined(c.shown(*this)), Joined(c.set)) << "shown again after the write";

    if (c.receiverChanges) sim_.Update(c.receiverChanges);
    sim_.ClearReceived();
    modemReports = 0;
    clickSoftKey(QLatin1String(c.rereadKey));
    settle();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(waitFor([&] { return keysEnabled(); }));
    // A read shows what it brought at once; "Stop" leaves the form alone.
    if (c.receiverChanges) {
        EXPECT_EQ(Joined(c.shown(*this)), Joined(c.reread)) << "after " << c.rereadKey;
    }

    back();
    open();
    if (HasFatalFailure()) return;
    EXPECT_EQ(Joined(c.shown(*this)), Joined(c.reread)) << "shown again after " << c.rereadKey;
    // No warning or error on the way; the NMEA output asks its question.
    for (const auto& m : watcher_.messages)
        EXPECT_EQ(m.text, QStringLiteral("Output selected data after reboot?")) << watcher_.describe().toStdString();
}

// The rows of the NMEA output that are ticked, with their rates, then the
// output port and the port's baud rate.
QStringList OutputShown(const PagesShownAgainTest& t) {
    auto* output = static_cast<Output*>(t.page());
    QStringList shown;
    for (int i = 0; i < output->rowCount(); ++i)
        if (output->rowCheck(i)->isChecked())
            shown << output->rowCheck(i)->text() + QLatin1Char('@') + output->rowRate(i)->currentText();
    shown << t.text("cbMethods") << t.text("comboBox_baudrate");
    return shown;
}

bool Letters(const sim::ReceivedCommand& c, const char* letters, int first = -1) {
    return c.letters == letters && (first < 0 || (!c.payload.empty() && c.payload[0] == first));
}

const PageCase kCases[] = {
    {
        "Rtk",
        "RTK",
        [](sim::SimSettings& s) {
            s.deviceInfo.outputMode = 1;
            s.deviceInfo.startType = 1;
            s.deviceInfo.autoBaseDist = 500;
            s.deviceInfo.transmitPort = 2;
            s.deviceInfo.transmitFormat = 3;
            s.deviceInfo.rtkElevMask = 13;
            s.deviceInfo.positionRate = 5;
        },
        [](const PagesShownAgainTest& t) {
            return QStringList{t.text("comboBox_outPut"),  t.text("comboBox_startWay"), t.line("leDis"),
                               t.text("comboBox_sendPort"), t.text("comboBox_diffMode"), t.line("lineEdit_elevMask"),
                               t.text("comboBox_output_freq")};
        },
        [](PagesShownAgainTest& t) {
            t.choose("comboBox_outPut", 0);
            t.type("leDis", "1234");
            t.choose("comboBox_sendPort", 1);
            t.choose("comboBox_diffMode", 6);
            t.type("lineEdit_elevMask", "20");
            t.choose("comboBox_output_freq", 11);
        },
        "Set",
        // The board's position log goes last.
        [](const sim::ReceivedCommand& c) { return Letters(c, "RZ") && c.payload.size() > 4 && c.payload[0] == 'l'; },
        {"Normal", "Auto Base", "1234", "Cable", "RTCM3.2", "20", "2Hz"},
        [](sim::SimSettings& s) {
            s.deviceInfo.outputMode = 1;
            s.deviceInfo.startType = 2;
            s.deviceInfo.autoBaseDist = 700;
            s.deviceInfo.transmitPort = 3;
            s.deviceInfo.transmitFormat = 0;
            s.deviceInfo.rtkElevMask = 15;
            s.deviceInfo.positionRate = 1;
        },
        "Get",
        {"Raw Data", "Auto Rover", "700", "GPRS And Cable", "CMR", "15", "1Hz"},
        [](const PagesShownAgainTest& t) { return !static_cast<RTK*>(t.page())->reading(); },
    },
    {
        "InternalRecording",
        "Static",
        [](sim::SimSettings& s) {
            s.deviceInfo.recordType = 1;
            s.deviceInfo.recordPeriod = 128;
            s.deviceInfo.recordInterval = 250;
            s.deviceInfo.recordElevMask = 12;
        },
        [](const PagesShownAgainTest& t) {
            return QStringList{t.text("comboBox_record_method"), t.text("comboBox_record_period"),
                               t.text("comboBox_sample_gap"), t.line("leMask")};
        },
        [](PagesShownAgainTest& t) {
            t.choose("comboBox_record_method", 0);
            t.choose("comboBox_record_period", 2);
            t.choose("comboBox_sample_gap", 10);
            t.type("leMask", "25");
        },
        "Set",
        // The elevation mask, byte 50 of the record, goes last.
        [](const sim::ReceivedCommand& c) { return Letters(c, "SJ", 50); },
        {"Manual", "2 hour", "10 s", "25"},
        [](sim::SimSettings& s) {
            s.deviceInfo.recordType = 2;
            s.deviceInfo.recordPeriod = 24;
            s.deviceInfo.recordInterval = 30;
            s.deviceInfo.recordElevMask = 5;
        },
        "Get",
        {"Disable", "1 day", "30 s", "5"},
        [](const PagesShownAgainTest& t) { return !static_cast<Static*>(t.page())->reading(); },
    },
    {
        // The receiver reports no NMEA output: what it was told last shows,
        // the output silenced by "Stop" too.
        "NmeaOutput",
        "0183OutPut",
        [](sim::SimSettings&) {},
        OutputShown,
        [](PagesShownAgainTest& t) {
            auto* output = static_cast<Output*>(t.page());
            QTest::mouseClick(output->rowCheck(0), Qt::LeftButton);  // GPGGA
            QTest::mouseClick(output->rowCheck(2), Qt::LeftButton);  // GPGSA
            output->rowRate(0)->setCurrentIndex(output->rowRate(0)->findData(2));
            output->rowRate(2)->setCurrentIndex(output->rowRate(2)->findData(6));
            t.choose("cbMethods", 1);
            t.choose("comboBox_baudrate", 1);
        },
        "Accept",
        [](const sim::ReceivedCommand& c) { return Letters(c, "SB"); },
        {"GPGGA@5 Hz", "GPGSA@10 s", "Cable", "19200 b/s"},
        nullptr,
        "Stop",
        {"Both", "19200 b/s"},
        [](const PagesShownAgainTest& t) { return !static_cast<Output*>(t.page())->writing(); },
    },
    {
        "DataLinkRadio",
        "DataLink",
        [](sim::SimSettings& s) {
            ASSERT_TRUE(sim::SetRadioModule(s, 8));
            s.radio.protocol = 8;
            s.radio.power = 3;
            s.radio.sensitivity = 1;
            s.radio.spacing = 0;
            s.radio.fec = 1;
        },
        [](const PagesShownAgainTest& t) {
            return QStringList{t.text("comboBox_protocol_radio"), t.text("comboBox_sendPower"),
                               t.text("comboBox_sensitivity"), t.text("comboBox_freqstep"),
                               t.field<QCheckBox>("checkBox_fec")->isChecked() ? "FEC" : "no FEC",
                               t.field<QDoubleSpinBox>("doubleSpinBox_currentFrq_RX")->text()};
        },
        [](PagesShownAgainTest& t) {
            t.chooseText("comboBox_sendPower", "1 w");
            t.choose("comboBox_sensitivity", 0);
            t.choose("comboBox_freqstep", 2);
            t.field<QCheckBox>("checkBox_fec")->setChecked(false);
        },
        "Set",
        [](const sim::ReceivedCommand& c) { return c.moduleId == 144; },  // the call sign goes last
        {"3AS", "1 w", "High", "25", "no FEC", "460.1250"},
        [](sim::SimSettings& s) {
            s.radio.power = 2;
            s.radio.sensitivity = 2;
            s.radio.fec = 1;
        },
        "Get",
        {"3AS", "0.1 w", "Low", "25", "FEC", "460.1250"},
        // The power is asked last.
        [](const PagesShownAgainTest& t) {
            auto* link = static_cast<DataChain*>(t.page());
            DataChain_Radio* radio = link->radioPage();
            return t.received(118) && link->shownPage() == radio && radio->requestedMask() != 0 &&
                   radio->receivedMask() == radio->requestedMask();
        },
    },
    {
        "DataLinkNetwork",
        "DataLink",
        [](sim::SimSettings& s) {
            s.radio.protocol = 0;
            s.modem.protocol = 'U';
            s.modem.online = 1;
            s.modem.baseId = "0001";
        },
        [](const PagesShownAgainTest& t) {
            return QStringList{t.text("comboBox_WorkMode"), t.text("comboBox_protocol"), t.line("lineEdit_address"),
                               t.line("lineEdit_port"), t.line("lineEdit_BaseID")};
        },
        [](PagesShownAgainTest& t) {
            t.type("lineEdit_address", "10.1.2.3");
            t.type("lineEdit_port", "2102");
            t.type("lineEdit_BaseID", "B07");
        },
        "Set",
        [](const sim::ReceivedCommand& c) { return c.moduleId == 107; },  // the NTRIP login goes last
        {"Rover", "ZELT", "10.1.2.3", "2102", "B07"},
        [](sim::SimSettings& s) {
            s.modem.host = "relay.example.org";
            s.modem.port = 2200;
            s.modem.baseId = "0042";
        },
        "Get",
        {"Rover", "ZELT", "relay.example.org", "2200", "0042"},
        // The NTRIP login is asked last.
        [](const PagesShownAgainTest& t) {
            auto* link = static_cast<DataChain*>(t.page());
            return t.received(108) && link->shownPage() == link->netPage() &&
                   link->netPage()->receivedMask() == DataChain_Net::kReadComplete;
        },
    },
    {
        "Apn",
        "APNConfig",
        [](sim::SimSettings&) {},
        [](const PagesShownAgainTest& t) {
            return QStringList{t.line("lineEdit_APN"), t.line("lineEdit_serverNum"), t.line("lineEdit_guestName"),
                               t.line("lineEdit_psw")};
        },
        [](PagesShownAgainTest& t) {
            t.type("lineEdit_APN", "internet.example");
            t.type("lineEdit_serverNum", "*99#");
            t.type("lineEdit_guestName", "u1");
            t.type("lineEdit_psw", "p1");
        },
        "Set",
        [](const sim::ReceivedCommand& c) { return c.moduleId == 87; },  // user and password go last
        {"internet.example", "*99#", "u1", "p1"},
        [](sim::SimSettings& s) {
            s.modem.apn = "other.apn";
            s.modem.dialNumber = "*98#";
            s.modem.user = "u2";
            s.modem.password = "p2";
        },
        "Get",
        {"other.apn", "*98#", "u2", "p2"},
        [](const PagesShownAgainTest& t) {
            return t.modemReports > 0 && !static_cast<InlayNet*>(t.page())->reading();
        },
    },
};

INSTANTIATE_TEST_SUITE_P(Pages, PagesShownAgainTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<PageCase>& info) { return std::string(info.param.name); });

}  // namespace
