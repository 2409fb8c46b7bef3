// The network link form's source-table fetch, both roads: over the program's
// own connection against a real NTRIP caster (rtklib's str2str) and against
// a caster of the test's own that splits its answer awkwardly, and through
// the receiver's modem against the simulated receiver, whose modem reports
// its state, its errors and the table in pieces.

#include "program/DeviceManager.h"
#include "program/DeviceObserver.h"
#include "program/pages/DataChain_Net.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryFile>
#include <QThread>

namespace {

using guitest::ProgramGuiTest;

constexpr int kCom = 7;

quint16 FreePort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) return 0;
    return probe.serverPort();
}

// Chooses the fetch method in the dialog when it comes up, as a user would.
class MethodChooser : public QObject {
public:
    explicit MethodChooser(bool byReceiver, bool cancel = false) : byReceiver_(byReceiver), cancel_(cancel) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    int shown = 0;
    QString title;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == last_ || modal->objectName() != QLatin1String("SelectGetSourceMethodClass")) return;
        last_ = modal;
        ++shown;
        title = modal->windowTitle();
        const char* radio = byReceiver_ ? "radioButton_deviceNet" : "radioButton_socket";
        modal->findChild<QAbstractButton*>(QLatin1String(radio))->click();
        const char* button = cancel_ ? "cancelButton" : "okButton";
        modal->findChild<QAbstractButton*>(QLatin1String(button))->click();
    }
    bool byReceiver_;
    bool cancel_;
    QPointer<QWidget> last_;
    QTimer timer_;
};

// A caster of the test's own, on its own thread so that the page's blocking
// connection attempt finds it listening: it takes one connection, reads the
// request and sends the given writes one by one with a pause between them.
class ScriptedCaster : public QThread {
public:
    explicit ScriptedCaster(QList<QByteArray> writes) : writes_(std::move(writes)) {}
    quint16 port = 0;
    QByteArray request;
    QSemaphore listening;

protected:
    void run() override {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        port = server.serverPort();
        listening.release();
        if (!server.waitForNewConnection(30000)) return;
        QTcpSocket* peer = server.nextPendingConnection();
        while (!request.contains("\r\n\r\n") && peer->waitForReadyRead(10000)) request += peer->readAll();
        for (const QByteArray& w : std::as_const(writes_)) {
            peer->write(w);
            // All of it, also a write of megabytes, before the pause.
            while (peer->bytesToWrite() > 0 && peer->waitForBytesWritten(10000)) {
            }
            QThread::msleep(60);
        }
        peer->disconnectFromHost();
        if (peer->state() != QAbstractSocket::UnconnectedState) peer->waitForDisconnected(2000);
    }

private:
    QList<QByteArray> writes_;
};

class SourceFetchTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        page_ = new DataChain_Net;
        enabled_ = std::make_unique<QSignalSpy>(page_, &DataChain_Net::enableInterface);
    }
    void TearDown() override {
        enabled_.reset();
        delete page_;
        delete DeviceManager::existing();
        delete DeviceObserver::existing();
        if (sim_.Running()) {
            sim_.Stop();
            platform::RegisterComPort(kCom, std::string());
        }
        ProgramGuiTest::TearDown();
    }

    template <typename T>
    T* field(const char* name) const {
        T* w = page_->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QStringList sources() const {
        QStringList out;
        auto* box = field<QComboBox>("comboBox_sourceList");
        for (int i = 0; i < box->count(); ++i) out << box->itemText(i);
        return out;
    }
    // An NTRIP rover form that names this server.
    void fillForm(const QString& address, quint16 port) {
        field<QComboBox>("comboBox_WorkMode")->setCurrentIndex(1);
        auto* protocol = field<QComboBox>("comboBox_protocol");
        protocol->setCurrentIndex(protocol->findData(1));
        field<QLineEdit>("lineEdit_address")->setText(address);
        field<QLineEdit>("lineEdit_port")->setText(QString::number(port));
    }
    // The fetch ended and gave the page back: the last word was "enable".
    bool ended() const {
        return page_->fetching() == DataChain_Net::Fetch::None && enabled_->count() >= 2 &&
               enabled_->first().at(0).toBool() == false && enabled_->last().at(0).toBool() == true;
    }
    int shown(const QString& text) const {
        int n = 0;
        for (const auto& m : watcher_.messages) n += m.text == text;
        return n;
    }

    // Connects to the simulated receiver and reads the modem's parameters
    // into the form, as the data link page's read does.
    void connectReceiver(const std::function<void(sim::SimSettings&)>& change) {
        std::string error;
        ASSERT_TRUE(sim_.Start(&error)) << error;
        sim_.RegisterAsCom(kCom);
        sim_.Update([&](sim::SimSettings& s) {
            // A modem whose firmware fetches source tables itself.
            s.modemVersion = "3.70";
            s.modem.address = {127, 0, 0, 1};
            s.modem.port = 2101;
            s.modem.protocol = 'T';
            s.modem.online = 1;
            change(s);
        });
        DeviceManager* manager = DeviceManager::instance();
        manager->setManufacturer(2);
        manager->setDeviceType(0);
        ASSERT_TRUE(manager->connectDevice(0, kCom, 9600));
        ASSERT_TRUE(waitFor([&] { return manager->connectionState() == 4; }));
        page_->hookReadSignals(true);
        manager->sendGprsInfo();
        ASSERT_TRUE(waitFor([&] { return page_->receivedMask() & DataChain_Net::kParamsBit; }));
        page_->hookReadSignals(false);
        ASSERT_EQ(field<QLineEdit>("lineEdit_address")->text(), QStringLiteral("127.0.0.1"));
        ASSERT_EQ(field<QComboBox>("comboBox_protocol")->currentData().toInt(), 1);
        sim_.ClearReceived();
        enabled_->clear();
    }
    size_t packets(int id) const {
        size_t n = 0;
        for (const auto& c : sim_.Received()) n += c.moduleId == id;
        return n;
    }

    DataChain_Net* page_ = nullptr;
    std::unique_ptr<QSignalSpy> enabled_;
    sim::SimReceiver sim_;
};

// ---------------------------------------------------------------------------
// Over the program's own connection

TEST_F(SourceFetchTest, DirectFetchFromARealCasterListsItsMountPoint) {
    const QString str2str = QStandardPaths::findExecutable(QStringLiteral("str2str"));
    ASSERT_FALSE(str2str.isEmpty()) << "str2str (package rtklib) is not installed";
    QTemporaryFile input;
    ASSERT_TRUE(input.open());
    input.write(QByteArray(64, '\0'));
    input.flush();
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    QProcess caster;
    caster.setProgram(str2str);
    caster.setArguments({QStringLiteral("-in"), QStringLiteral("file://") + input.fileName(), QStringLiteral("-out"),
                         QStringLiteral("ntripc://:%1/BRNT0:RTCM3;1004(1),1006(10);2;GPS;BRT;DEU").arg(port)});
    caster.setProcessChannelMode(QProcess::MergedChannels);
    caster.start();
    ASSERT_TRUE(caster.waitForStarted(5000));
    ASSERT_TRUE(waitFor([&] {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), port);
        return probe.waitForConnected(100);
    })) << caster.readAll().toStdString();

    fillForm(QStringLiteral("127.0.0.1"), port);
    MethodChooser chooser(false);
    field<QPushButton>("getsourceButton")->click();
    EXPECT_TRUE(waitFor([&] { return ended(); })) << watcher_.describe().toStdString();
    // The receiver offers no fetch of its own: no dialog.
    EXPECT_EQ(chooser.shown, 0);
    EXPECT_EQ(sources(), QStringList{QStringLiteral("BRNT0")});
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), QStringLiteral("BRNT0"));
    EXPECT_EQ(shown(QStringLiteral("Successed to get source table !")), 1) << watcher_.describe().toStdString();

    caster.terminate();
    if (!caster.waitForFinished(5000)) {
        caster.kill();
        caster.waitForFinished(5000);
    }
}

TEST_F(SourceFetchTest, PiecesAreJoinedBeforeTheTableIsRead) {
    // Three mount points, one listed twice; the line of the second and the
    // end marker are each cut across two writes.
    ScriptedCaster caster({
        "SOURCETABLE 200 OK\r\nServer: test caster\r\nContent-Type: text/plain\r\n\r\n"
        "STR;ALPHA;Alpha;RTCM 3;1004(1);2;GPS;NET;DEU;48.1;11.5;0;0;sNTRIP;none;N;N;0;\r\n"
        "STR;BRA",
        "VO;Bravo;RTCM 3;1004(1);2;GPS;NET;DEU;48.2;11.6;0;0;sNTRIP;none;N;N;0;\r\n"
        "CAS;caster.example.net;2101;Test;BRT;0;DEU;48.1;11.5;no;\r\n",
        "STR;ALPHA;Alpha;RTCM 3;1004(1);2;GPS;NET;DEU;48.1;11.5;0;0;sNTRIP;none;N;N;0;\r\n"
        "STR;CHARLIE;Charlie;RTCM 3;1004(1);2;GPS;NET;DEU;48.3;11.7;0;0;sNTRIP;none;N;N;0;\r\nENDSOURCE",
        "TABLE\r\n",
    });
    caster.start();
    ASSERT_TRUE(caster.listening.tryAcquire(1, 5000));
    fillForm(QStringLiteral("127.0.0.1"), caster.port);
    field<QPushButton>("getsourceButton")->click();
    EXPECT_TRUE(waitFor([&] { return ended(); })) << watcher_.describe().toStdString();
    EXPECT_EQ(sources(), (QStringList{"ALPHA", "BRAVO", "CHARLIE"}));
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), QStringLiteral("ALPHA"));
    EXPECT_EQ(shown(QStringLiteral("Successed to get source table !")), 1) << watcher_.describe().toStdString();
    EXPECT_EQ(enabled_->count(), 2);
    caster.wait(10000);
    EXPECT_TRUE(caster.request.startsWith("GET / HTTP/1.0\r\n")) << caster.request.toStdString();
}

// A caster's table of ordinary lines: the head, then one STR line of
// `lineLength` bytes (CR LF included) per name.
QByteArray CasterTable(const QStringList& names, int lineLength, bool withEnd = true) {
    QByteArray table = "SOURCETABLE 200 OK\r\nServer: test caster\r\nContent-Type: text/plain\r\n\r\n";
    for (const QString& name : names) {
        QByteArray line = "STR;" + name.toLatin1() + ";Mount;RTCM 3.2;1004(1),1006(10);2;GPS;NET;DEU;48.10;11.50;0;0;";
        line += QByteArray(lineLength - 2 - line.size(), 'x');
        line += "\r\n";
        table += line;
    }
    if (withEnd) table += "ENDSOURCETABLE\r\n";
    return table;
}

QStringList NumberedNames(int count) {
    QStringList names;
    names.reserve(count);
    for (int i = 0; i < count; ++i) names << QStringLiteral("MP%1").arg(i, 6, 10, QLatin1Char('0'));
    return names;
}

// A table of 40,000 mount points (a table of ordinary lines near the
// program's limit), some named twice: every name is listed, once, in the
// order the caster sent them.
TEST_F(SourceFetchTest, FortyThousandMountPointsAreAllListedOnce) {
    const QStringList names = NumberedNames(40000);
    QStringList sent = names;
    for (int i = 0; i < 40000; i += 400) sent << names[i];  // 100 repeats at the end
    const QByteArray table = CasterTable(sent, 96);
    ASSERT_LT(table.size(), sourcetable::kLargestTable);
    ScriptedCaster caster({table});
    caster.start();
    ASSERT_TRUE(caster.listening.tryAcquire(1, 5000));
    fillForm(QStringLiteral("127.0.0.1"), caster.port);
    field<QPushButton>("getsourceButton")->click();
    ASSERT_TRUE(waitFor([&] { return ended(); }, 60000)) << watcher_.describe().toStdString();
    EXPECT_TRUE(sources() == names) << sources().size() << " listed";
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), names.first());
    EXPECT_EQ(shown(QStringLiteral("Successed to get source table !")), 1) << watcher_.describe().toStdString();
    caster.wait(10000);
}

// A caster that sends more than the program keeps (4 MiB) and then the end:
// the mount points of every line wholly within the kept part are listed, no
// name of a line cut in two, and the user is told that the table was cut
// instead of a success.
TEST_F(SourceFetchTest, ATableOverTheLimitIsListedInPartAndSaidToBeCut) {
    constexpr int kLine = 96;
    const QStringList names = NumberedNames(60000);  // 5.76 MB of lines
    const QByteArray table = CasterTable(names, kLine);
    const qsizetype head = CasterTable({}, kLine, false).size();
    ASSERT_GT(table.size(), sourcetable::kLargestTable);
    const int whole = int((sourcetable::kLargestTable - head) / kLine);
    ASSERT_NE((sourcetable::kLargestTable - head) % kLine, 0) << "the limit falls inside a line";

    // In pieces, as a caster's answer comes over a network.
    QList<QByteArray> writes;
    for (qsizetype at = 0; at < table.size(); at += 1024 * 1024) writes << table.mid(at, 1024 * 1024);
    ScriptedCaster caster(writes);
    caster.start();
    ASSERT_TRUE(caster.listening.tryAcquire(1, 5000));
    fillForm(QStringLiteral("127.0.0.1"), caster.port);
    field<QPushButton>("getsourceButton")->click();
    ASSERT_TRUE(waitFor([&] { return ended(); }, 60000)) << watcher_.describe().toStdString();
    EXPECT_TRUE(sources() == names.mid(0, whole)) << sources().size() << " listed, " << whole << " expected";
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), names.first());
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text,
              QStringLiteral("The source table is larger than 4 MiB and was cut: only the mount points of its "
                             "first 4 MiB are listed."));
    caster.wait(10000);
}

// A caster that closes the connection before the table's end: the fetch
// fails as soon as the close is seen. The deadline is a third of the fetch's
// own time limit, so only the close can end it in time. What came stays in
// the page's names; the list is not refilled.
TEST_F(SourceFetchTest, ACasterThatClosesBeforeTheEndFailsTheFetchAtOnce) {
    ScriptedCaster caster({CasterTable({QStringLiteral("ALPHA"), QStringLiteral("BRAVO")}, 96, false)});
    caster.start();
    ASSERT_TRUE(caster.listening.tryAcquire(1, 5000));
    fillForm(QStringLiteral("127.0.0.1"), caster.port);
    field<QComboBox>("comboBox_sourceList")->addItem(QStringLiteral("KEPT"));
    field<QPushButton>("getsourceButton")->click();
    ASSERT_TRUE(waitFor([&] { return ended(); }, DataChain_Net::kFetchLimitMs / 3))
        << watcher_.describe().toStdString();
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Brantor"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Failed to get source table!"));
    EXPECT_EQ(sources(), QStringList{QStringLiteral("KEPT")});
    EXPECT_EQ(page_->sourceNames(), (QStringList{"ALPHA", "BRAVO"}));
    EXPECT_EQ(enabled_->count(), 2);
    caster.wait(10000);
}

TEST_F(SourceFetchTest, ARefusedPortEndsTheFetchWithItsMessage) {
    const quint16 port = FreePort();
    ASSERT_NE(port, 0);
    fillForm(QStringLiteral("127.0.0.1"), port);
    field<QComboBox>("comboBox_sourceList")->addItem(QStringLiteral("KEPT"));
    field<QPushButton>("getsourceButton")->click();
    ASSERT_TRUE(waitFor([&] { return ended(); })) << watcher_.describe().toStdString();
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Failed to connect to server!"));
    EXPECT_EQ(enabled_->count(), 2);
    EXPECT_EQ(sources(), QStringList{QStringLiteral("KEPT")});
}

TEST_F(SourceFetchTest, AFormWithoutServerOrAValidAddressFetchesNothing) {
    // No address: the field is marked and nothing starts.
    fillForm(QString(), 2101);
    field<QPushButton>("getsourceButton")->click();
    EXPECT_EQ(page_->fetching(), DataChain_Net::Fetch::None);
    EXPECT_EQ(enabled_->count(), 0);
    // An address of three parts is no address: said, and nothing starts.
    field<QLineEdit>("lineEdit_address")->setText(QStringLiteral("10.1.2"));
    field<QPushButton>("getsourceButton")->click();
    EXPECT_EQ(enabled_->count(), 0);
    EXPECT_EQ(shown(QStringLiteral("Address: four numbers 0 to 255 with no leading zero, such as 192.168.1.10")), 1)
        << watcher_.describe().toStdString();
}

// ---------------------------------------------------------------------------
// Through the receiver's modem

TEST_F(SourceFetchTest, ConnectedTwiceAsksForTheListOnce) {
    connectReceiver([](sim::SimSettings& s) { s.modemLink.status = 3; });
    MethodChooser chooser(true);
    field<QPushButton>("getsourceButton")->click();
    ASSERT_EQ(chooser.shown, 1);
    EXPECT_EQ(chooser.title, QStringLiteral("Get source table"));
    EXPECT_EQ(page_->fetching(), DataChain_Net::Fetch::Receiver);
    ASSERT_EQ(enabled_->count(), 1);
    EXPECT_FALSE(enabled_->first().at(0).toBool());
    // The form names the server the receiver reported: no address goes out.
    ASSERT_TRUE(waitFor([&] { return packets(99) >= 3; }));
    EXPECT_EQ(packets(116), 1u);
    EXPECT_EQ(sim_.Received("VM").size(), 1u);
    EXPECT_EQ(packets(82), 0u);
    EXPECT_EQ(packets(114), 0u);
    EXPECT_GE(packets(104), 2u);
}

TEST_F(SourceFetchTest, ReceiverErrorsAndRadioModeEndTheFetch) {
    const struct {
        uint8_t status, error;
        const char* text;
    } cases[] = {{0, 5, "Source Table Wrong"}, {9, 0, "Device mode is radio now!"}};
    connectReceiver([](sim::SimSettings&) {});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        sim_.Update([&](sim::SimSettings& s) {
            s.modemLink.status = c.status;
            s.modemLink.error = c.error;
        });
        watcher_.messages.clear();
        enabled_->clear();
        MethodChooser chooser(true);
        field<QPushButton>("getsourceButton")->click();
        ASSERT_TRUE(waitFor([&] { return ended(); })) << watcher_.describe().toStdString();
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
        EXPECT_EQ(watcher_.messages[0].text, QString::fromLatin1(c.text));
        // The polls end with the fetch: a reply still on its way starts none.
        QTest::qWait(300);
        sim_.ClearReceived();
        QTest::qWait(2500);
        EXPECT_EQ(packets(99) + packets(104), 0u);
        EXPECT_EQ(enabled_->count(), 2);
    }
}

TEST_F(SourceFetchTest, ATableInFiveChunksFillsTheListOnce) {
    const std::string table =
        "SOURCETABLE 200 OK\r\n"
        "STR;RTCM32;RTCM32;RTCM 3.2;1004(1);2;GPS;SIM;CHN;31.17;121.40;1;0;sim;none;B;N;9600;\r\n"
        "STR;CMR;CMR;CMR;0;2;GPS;SIM;CHN;31.17;121.40;1;0;sim;none;B;N;9600;\r\n"
        "STR;RTCM32;RTCM32;RTCM 3.2;1004(1);2;GPS;SIM;CHN;31.17;121.40;1;0;sim;none;B;N;9600;\r\n"
        "ENDSOURCETABLE\r\n";
    connectReceiver([&](sim::SimSettings& s) {
        s.modemLink.status = 3;
        s.modemLink.sourceTable = table;
        // The second piece ends inside "STR;CMR": that line is cut across
        // two pieces. Five pieces in all.
        s.modemLink.tableCuts = {40, 70, 60, 60};
    });
    ASSERT_EQ(table.substr(106, 7), "STR;CMR");  // the second piece ends at 110
    MethodChooser chooser(true);
    field<QPushButton>("getsourceButton")->click();
    ASSERT_TRUE(waitFor([&] { return ended(); })) << watcher_.describe().toStdString();
    EXPECT_EQ(sources(), (QStringList{"RTCM32", "CMR"}));
    EXPECT_EQ(field<QComboBox>("comboBox_sourceList")->currentText(), QStringLiteral("RTCM32"));
    EXPECT_EQ(shown(QStringLiteral("Successed to get source table !")), 1) << watcher_.describe().toStdString();
    EXPECT_EQ(packets(116), 1u);
}

// A caster whose table has one name, which the receiver cannot take: the
// program puts it in the box itself, and it is marked and told at once, as
// when the user chooses it from the list, after the table's own message;
// over the program's own connection and through the receiver's modem alike.
TEST_F(SourceFetchTest, AMountPointTheProgramPutsInThatTheReceiverCannotTakeIsToldAtOnce) {
    const struct {
        const char* name;
        const char* told;
    } cases[] = {
        {"VRS_RTCM32_MSM7_NEAR1", "Mount point: at most 20 characters"},
        {"MNT EMU42", "Mount point: no spaces or control characters, Latin-1 only, none of \\ / < > * ? : \" |"},
    };
    QComboBox* box = field<QComboBox>("comboBox_sourceList");
    const auto toldAfterTheTable = [&](const char* name, const char* told) {
        ASSERT_TRUE(waitFor([&] { return ended() && watcher_.messages.size() >= 2; }))
            << watcher_.describe().toStdString();
        QTest::qWait(100);
        ASSERT_EQ(watcher_.messages.size(), 2u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Successed to get source table !"));
        EXPECT_EQ(watcher_.messages[1].title, QStringLiteral("Warning"));
        EXPECT_EQ(watcher_.messages[1].text, QLatin1String(told));
        EXPECT_EQ(box->currentText(), QLatin1String(name)) << "shown whole";
        EXPECT_TRUE(guitest::Marked(box->lineEdit()));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedCaster caster({CasterTable({QLatin1String(c.name)}, 96)});
        caster.start();
        ASSERT_TRUE(caster.listening.tryAcquire(1, 5000));
        fillForm(QStringLiteral("127.0.0.1"), caster.port);
        watcher_.messages.clear();
        enabled_->clear();
        field<QPushButton>("getsourceButton")->click();
        toldAfterTheTable(c.name, c.told);
        caster.wait(10000);
    }

    const std::string table = std::string("SOURCETABLE 200 OK\r\nSTR;") + cases[0].name +
                              ";NEAR;RTCM 3.2;1004(1);2;GPS;SIM;DEU;48.10;11.50;1;0;sim;none;B;N;9600;\r\n"
                              "ENDSOURCETABLE\r\n";
    connectReceiver([&](sim::SimSettings& s) {
        s.modemLink.status = 3;
        s.modemLink.sourceTable = table;
    });
    watcher_.messages.clear();
    MethodChooser chooser(true);
    field<QPushButton>("getsourceButton")->click();
    toldAfterTheTable(cases[0].name, cases[0].told);
}

TEST_F(SourceFetchTest, CancelInTheMethodDialogStartsNothing) {
    connectReceiver([](sim::SimSettings& s) { s.modemLink.status = 3; });
    MethodChooser chooser(true, true);
    field<QPushButton>("getsourceButton")->click();
    EXPECT_EQ(chooser.shown, 1);
    EXPECT_EQ(page_->fetching(), DataChain_Net::Fetch::None);
    EXPECT_EQ(enabled_->count(), 0);
    QTest::qWait(1500);
    EXPECT_EQ(packets(99), 0u);
}

}  // namespace
