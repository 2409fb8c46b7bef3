// The "Internal Recording" page against the simulated receiver: the read with
// and without the antenna parameters, the recording settings and the point
// record it writes, starting and ending a recording, and a silent receiver.

#include "program/pages/Static.h"
#include "tests/program/WorkPagesSupport.h"

#include <QCheckBox>
#include <QComboBox>

namespace {

using guitest::Bytes;
using guitest::SentFrame;
using guitest::WorkPageTest;

class StaticPageTest : public WorkPageTest {
protected:
    // Values with items of their own: one week is 128 and 2 Hz is 250 on
    // the receiver.
    void configureSim(sim::SimSettings& s) override {
        s.deviceInfo.recordType = 1;
        s.deviceInfo.recordPeriod = 128;
        s.deviceInfo.recordInterval = 250;
        s.deviceInfo.recordElevMask = 12;
        s.deviceInfo.memorySize = 3;
        s.staticPoint.name = "BM01";
        s.staticPoint.antennaHeight = 1.5f;
        s.staticPoint.antennaCode = 3;  // "Q700G" in the antenna table
        s.staticPoint.surveyTo = 1;     // vertical
    }
    Static* page() const { return static_cast<Static*>(window_->page(QStringLiteral("Static"))); }
    QCheckBox* advance() const { return window_->findChild<QCheckBox*>(QStringLiteral("checkBox_advance")); }
    void open() {
        clickMenu("Static");
        ASSERT_EQ(window_->currentPage(), page());
    }
    void choose(const char* name, int data) {
        QComboBox* box = combo(name);
        ASSERT_NE(box, nullptr) << name;
        const int at = box->findData(data);
        ASSERT_GE(at, 0) << name << " has no item " << data;
        box->setCurrentIndex(at);
    }
    QString current(const char* name) const { return combo(name)->currentText(); }
    void expectRecordValues(const char* method, const char* period, const char* interval, const char* mask) {
        EXPECT_EQ(current("comboBox_record_method"), QLatin1String(method));
        EXPECT_EQ(current("comboBox_record_period"), QLatin1String(period));
        EXPECT_EQ(current("comboBox_sample_gap"), QLatin1String(interval));
        EXPECT_EQ(edit("leMask")->text(), QLatin1String(mask));
    }
};

TEST_F(StaticPageTest, GetWithAntennaParametersReadsBothAndSetWritesSettingsThenPoint) {
    open();
    EXPECT_EQ(window_->title(), QStringLiteral("Internal Recording"));
    // Shown at once from what the receiver said on connecting.
    expectRecordValues("Auto", "1 week", "2 Hz", "12");
    EXPECT_EQ(edit("lineEdit_memory")->text(), QStringLiteral("16GB"));
    EXPECT_FALSE(edit("lineEdit_memory")->isEnabled());
    EXPECT_FALSE(edit("lineEdit_Point")->isEnabled()) << "antenna fields wait for the check box";

    QTest::mouseClick(advance(), Qt::LeftButton);
    ASSERT_TRUE(edit("lineEdit_Point")->isEnabled());
    size_t from = mark();
    clickSoftKey(QStringLiteral("Get"));
    EXPECT_FALSE(keysEnabled(page()));
    EXPECT_TRUE(current("comboBox_record_method").isEmpty()) << "the form is cleared while reading";
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(page()->receivedMask(), Static::kDeviceInfoBit | Static::kStaticPointBit);
    EXPECT_EQ(framesAfter(from), (std::vector<SentFrame>{{"SI", {}}, {"FB", {}}}));
    expectRecordValues("Auto", "1 week", "2 Hz", "12");
    EXPECT_EQ(edit("lineEdit_Point")->text(), QStringLiteral("BM01"));
    EXPECT_EQ(edit("lineEdit_antenna_height")->text(), QStringLiteral("1.5"));
    EXPECT_EQ(current("comboBox_antenna_type"), QStringLiteral("Q700G"));
    EXPECT_EQ(current("comboBox_survey_to"), QStringLiteral("Vertical"));
    EXPECT_TRUE(keysEnabled(page()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Manual start, 2 days, 1 Hz, 15 degrees; point "P-7" at 1.625 m (in
    // the German locale too), antenna "P40" (code 9), slant.
    choose("comboBox_record_method", 0);
    choose("comboBox_record_period", 48);
    choose("comboBox_sample_gap", 1);
    edit("leMask")->setText(QStringLiteral("15"));
    edit("lineEdit_Point")->setText(QStringLiteral("P-7"));
    edit("lineEdit_antenna_height")->setText(QStringLiteral("1.625"));
    choose("comboBox_antenna_type", 9);
    choose("comboBox_survey_to", 4);
    from = mark();
    clickSoftKey(QStringLiteral("Set"));
    EXPECT_FALSE(keysEnabled(page()));
    EXPECT_TRUE(page()->writing());
    const std::vector<SentFrame> want = {
        {"SJ", {0x2A, 0}},   // record type: manual
        {"SJ", {0x2B, 48}},  // session: 2 days
        {"SJ", {0x31, 1}},   // interval: 1 s
        {"SJ", {0x32, 15}},  // elevation mask
        // name length 3, "P-7", 1.625 as IEEE single (0x3FD00000, low byte
        // first), antenna 9, slant (survey code 3)
        {"FA", {3, 'P', '-', '7', 0x00, 0x00, 0xD0, 0x3F, 9, 3}},
    };
    EXPECT_EQ(waitForFrames(from, want.size()), want);
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    EXPECT_TRUE(keysEnabled(page()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // The receiver keeps what was set: a new read shows it.
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    expectRecordValues("Manual", "2 day", "1 Hz", "15");
    EXPECT_EQ(edit("lineEdit_Point")->text(), QStringLiteral("P-7"));
    EXPECT_EQ(edit("lineEdit_antenna_height")->text(), QStringLiteral("1.625"));
    EXPECT_EQ(current("comboBox_antenna_type"), QStringLiteral("P40"));
    EXPECT_EQ(current("comboBox_survey_to"), QStringLiteral("Slant"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

// Unticked, "Get" asks only for the device information and a late static
// point changes nothing; "Set" checks its fields, sends no point, and refuses
// a point name or height the record cannot take as typed.
TEST_F(StaticPageTest, WithoutAntennaParametersOnlyTheRecordingGoesBothWays) {
    open();
    size_t from = mark();
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(page()->receivedMask(), Static::kDeviceInfoBit);
    EXPECT_EQ(framesAfter(from), (std::vector<SentFrame>{{"SI", {}}}));
    // A point that nobody asked for is not shown.
    DeviceManager::instance()->sendStaticPoint();
    ASSERT_TRUE(sim_.WaitForCommand("FB"));
    QTest::qWait(300);
    EXPECT_TRUE(edit("lineEdit_Point")->text().isEmpty());
    EXPECT_EQ(page()->receivedMask(), Static::kDeviceInfoBit);

    // An empty mask is refused and marked; nothing is sent.
    edit("leMask")->clear();
    from = mark();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Please enter parameters."));
    EXPECT_NE(edit("leMask")->palette().color(QPalette::Base), edit("lineEdit_Point")->palette().color(QPalette::Base));
    EXPECT_FALSE(page()->writing());
    // The antenna fields are not looked at while unticked.
    edit("leMask")->setText(QStringLiteral("5"));
    clickSoftKey(QStringLiteral("Set"));
    const std::vector<SentFrame> want = {{"SJ", {0x2A, 1}}, {"SJ", {0x2B, 128}}, {"SJ", {0x31, 250}}, {"SJ", {0x32, 5}}};
    EXPECT_EQ(waitForFrames(from, want.size()), want);
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));

    // What the point record cannot hold is refused where the user sees it,
    // never cut or changed on the way: 40 characters typed stay 40, a
    // character beyond Latin-1 stays, and so does a height that is no
    // number; each is marked as a missing field is, the box names the field
    // and its rule, and nothing is sent.
    QTest::mouseClick(advance(), Qt::LeftButton);
    // The read above left the antenna lists without a selection.
    choose("comboBox_antenna_type", 3);
    choose("comboBox_survey_to", 3);
    const struct {
        const char* field;
        QString typed;
        QString message;
    } refused[] = {
        {"lineEdit_Point", QString(Static::kPointNameBytes + 6, QLatin1Char('N')),
         QStringLiteral("Point name: at most %1 characters").arg(Static::kPointNameBytes)},
        {"lineEdit_Point", QString::fromUtf8("A\u20ACB"), QStringLiteral("Point name: Latin-1 characters only")},
        {"lineEdit_antenna_height", QStringLiteral("x"),
         QStringLiteral("Antenna height: a number such as 1") + QLocale().decimalPoint() + QLatin1Char('5')},
        {"lineEdit_antenna_height", QStringLiteral("1.5.2"),
         QStringLiteral("Antenna height: a number such as 1") + QLocale().decimalPoint() + QLatin1Char('5')},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed.toStdString());
        edit("lineEdit_Point")->setText(QStringLiteral("P1"));
        edit("lineEdit_antenna_height")->setText(QStringLiteral("1.5"));
        edit(r.field)->clear();
        guitest::TypeText(edit(r.field), r.typed);
        EXPECT_EQ(edit(r.field)->text(), r.typed) << "kept as typed";
        watcher_.messages.clear();
        from = mark();
        clickSoftKey(QStringLiteral("Set"));
        ASSERT_EQ(watcher_.messages.size(), 1u);
        EXPECT_EQ(watcher_.messages[0].text, r.message);
        EXPECT_TRUE(guitest::Marked(edit(r.field)));
        EXPECT_FALSE(page()->writing());
        QTest::qWait(300);
        EXPECT_TRUE(framesAfter(from).empty());
        QTest::keyClick(edit(r.field), Qt::Key_Backspace);
        EXPECT_FALSE(guitest::Marked(edit(r.field))) << "edited again";
    }
    // The longest name the record holds goes whole, with its zero byte.
    edit("lineEdit_Point")->setText(QString(Static::kPointNameBytes, QLatin1Char('N')));
    edit("lineEdit_antenna_height")->setText(QStringLiteral("2"));
    from = mark();
    clickSoftKey(QStringLiteral("Set"));
    const auto sent = waitForFrames(from, 5);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[4].letters, "FA");
    std::vector<uint8_t> point{uint8_t(Static::kPointNameBytes)};
    point.insert(point.end(), size_t(Static::kPointNameBytes), uint8_t('N'));
    point.insert(point.end(), {0x00, 0x00, 0x00, 0x40, 3, 1});  // 2.0 m, antenna 3, vertical
    EXPECT_EQ(sent[4].payload, point);
}

// The elevation mask takes 0 to 90: "95" stays as typed, is refused with the
// field and its rule and marked, and nothing is sent; 90 goes.
TEST_F(StaticPageTest, AnElevationMaskBeyond90IsRefusedAndNothingIsSent) {
    open();
    edit("leMask")->clear();
    QTest::keyClicks(edit("leMask"), QStringLiteral("95"));
    EXPECT_EQ(edit("leMask")->text(), QStringLiteral("95"));
    size_t from = mark();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Elevation mask: 0 to 90"));
    EXPECT_TRUE(guitest::Marked(edit("leMask")));
    QTest::qWait(300);
    EXPECT_TRUE(framesAfter(from).empty());

    QTest::keyClick(edit("leMask"), Qt::Key_Backspace);
    QTest::keyClicks(edit("leMask"), QStringLiteral("0"));
    EXPECT_FALSE(guitest::Marked(edit("leMask")));
    from = mark();
    clickSoftKey(QStringLiteral("Set"));
    const std::vector<SentFrame> want = {{"SJ", {0x2A, 1}}, {"SJ", {0x2B, 128}}, {"SJ", {0x31, 250}}, {"SJ", {0x32, 90}}};
    EXPECT_EQ(waitForFrames(from, want.size()), want);
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(edit("leMask")->text(), QStringLiteral("90")) << "the receiver kept 90";
}

TEST_F(StaticPageTest, StartAndStopAskFirstAndSendTheirCommands) {
    open();
    QAction* start = key(page(), QStringLiteral("Start"));
    QAction* stop = key(page(), QStringLiteral("Stop"));
    ASSERT_TRUE(start && stop);

    // "No" changes nothing.
    watcher_.answer = QMessageBox::No;
    size_t from = mark();
    clickSoftKey(QStringLiteral("Start"));
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Begin Collect"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Begin collecting static data?"));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    QTest::qWait(300);
    EXPECT_TRUE(framesAfter(from).empty());

    watcher_.answer = QMessageBox::Yes;
    clickSoftKey(QStringLiteral("Start"));
    EXPECT_FALSE(start->isEnabled());
    EXPECT_TRUE(stop->isEnabled());
    EXPECT_EQ(waitForFrames(from, 1), (std::vector<SentFrame>{{"FD", {0}}}));

    from = mark();
    clickSoftKey(QStringLiteral("Stop"));
    ASSERT_EQ(watcher_.messages.size(), 3u);
    EXPECT_EQ(watcher_.messages[2].title, QStringLiteral("End Collect"));
    EXPECT_EQ(watcher_.messages[2].text, QStringLiteral("Sure to end collecting\nthe static data ?"));
    EXPECT_TRUE(start->isEnabled());
    EXPECT_FALSE(stop->isEnabled());
    EXPECT_EQ(waitForFrames(from, 1), (std::vector<SentFrame>{{"FD", {1}}}));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(StaticPageTest, ASilentReceiverGivesFailedToGetParametersOnce) {
    open();
    QTest::mouseClick(advance(), Qt::LeftButton);
    sim_.SetBehaviour(sim::Behaviour::Silent);
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(page()->reading());
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(messagesWith(QStringLiteral("Failed to get parameters!")), 1) << watcher_.describe().toStdString();
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(page()->receivedMask(), 0u);
    EXPECT_TRUE(current("comboBox_record_method").isEmpty());
    EXPECT_TRUE(keysEnabled(page()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Answers that come after the read ended are not taken, and no second
    // message follows.
    sim_.SetBehaviour(sim::Behaviour::Answer);
    DeviceManager::instance()->sendDeviceInfo();
    DeviceManager::instance()->sendStaticPoint();
    ASSERT_TRUE(sim_.WaitForCommand("FB", 2));
    QTest::qWait(1000);
    EXPECT_TRUE(current("comboBox_record_method").isEmpty());
    EXPECT_TRUE(edit("lineEdit_Point")->text().isEmpty());
    EXPECT_EQ(watcher_.messages.size(), 1u);
}

// The memory codes: five texts, 255 for the built-in memory, nothing for a
// code the receiver does not define.
TEST(StaticMemoryText, CodesOutsideTheTableShowNothing) {
    const std::pair<int, const char*> cases[] = {{0, "64MB"}, {1, "4GB"}, {4, "32GB"}, {255, "64MB"},
                                                 {5, ""},     {254, ""},  {-1, ""}};
    for (const auto& [code, text] : cases) EXPECT_EQ(Static::memoryText(code), QLatin1String(text)) << code;
}

}  // namespace
