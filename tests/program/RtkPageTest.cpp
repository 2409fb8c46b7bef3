// The "RTK" page against the simulated receiver: what a receiver with
// firmware from version 8 on shows and is sent (the automatic base's
// distance, no GGA-only output) against an older one, the radio-mode switch
// of language type 1, and a silent receiver.

#include "program/pages/RTK.h"
#include "tests/program/WorkPagesSupport.h"

#include <QComboBox>
#include <QLabel>

#include <fstream>
#include <string>
#include <vector>

namespace {

using guitest::Bytes;
using guitest::SentFrame;
using guitest::WorkPageTest;

// An old-protocol receiver with a NovAtel board takes the elevation mask by
// its own commands: its setting, the board's cutoffs and mask log, "SW,B1".
std::vector<SentFrame> MaskFrames(uint8_t degrees) {
    const std::string d = std::to_string(degrees);
    return {
        {"SJ", {0x38, degrees}},
        {"RZ", Bytes("ecutoff " + d + "\r\n")},
        {"RZ", Bytes("gloecutoff " + d + "\r\n")},
        {"RZ", Bytes("log psrdopb ontime 5\r\n")},
        {"SW", {0x01, degrees}},
    };
}

std::vector<SentFrame> Joined(std::vector<SentFrame> first, const std::vector<SentFrame>& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

class RtkPageTest : public WorkPageTest {
protected:
    // An automatic base 500 m away sending RTCM3 through "GPRS Or UHF", raw
    // data at 5 Hz above 13 degrees.
    void configureSim(sim::SimSettings& s) override {
        s.deviceInfo.outputMode = 1;
        s.deviceInfo.startType = 1;
        s.deviceInfo.autoBaseDist = 500;
        s.deviceInfo.transmitPort = 2;
        s.deviceInfo.transmitFormat = 3;
        s.deviceInfo.rtkElevMask = 13;
        s.deviceInfo.positionRate = 5;
    }
    RTK* page() const { return static_cast<RTK*>(window_->page(QStringLiteral("RTK"))); }
    void open() {
        clickMenu("RTK");
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
    bool distanceShown() const {
        return edit("leDis")->isVisibleTo(page()) &&
               window_->findChild<QLabel*>(QStringLiteral("lblDis"))->isVisibleTo(page()) &&
               window_->findChild<QLabel*>(QStringLiteral("lblMeter"))->isVisibleTo(page());
    }
    QStringList items(const char* name) const {
        QStringList texts;
        for (int i = 0; i < combo(name)->count(); ++i) texts << combo(name)->itemText(i);
        return texts;
    }
};

TEST_F(RtkPageTest, VersionEightShowsTheDistanceAndSendsSettingsInOrder) {
    open();
    EXPECT_EQ(window_->title(), QStringLiteral("RTK"));
    // The page was made before any receiver was known; the list follows the
    // one connected now.
    EXPECT_EQ(items("comboBox_outPut"), (QStringList{QStringLiteral("Normal"), QStringLiteral("Raw Data")}));
    EXPECT_EQ(current("comboBox_outPut"), QStringLiteral("Raw Data"));
    EXPECT_EQ(current("comboBox_startWay"), QStringLiteral("Auto Base"));
    EXPECT_TRUE(distanceShown());
    EXPECT_EQ(edit("leDis")->text(), QStringLiteral("500"));
    EXPECT_EQ(current("comboBox_sendPort"), QStringLiteral("GPRS Or UHF"));
    EXPECT_EQ(current("comboBox_diffMode"), QStringLiteral("RTCM3"));
    EXPECT_EQ(edit("lineEdit_elevMask")->text(), QStringLiteral("13"));
    EXPECT_EQ(current("comboBox_output_freq"), QStringLiteral("5Hz"));

    choose("comboBox_startWay", 0);
    EXPECT_FALSE(distanceShown());
    choose("comboBox_startWay", 2);
    EXPECT_FALSE(distanceShown());
    choose("comboBox_startWay", 1);
    EXPECT_TRUE(distanceShown());

    edit("leDis")->setText(QStringLiteral("1234"));
    choose("comboBox_diffMode", 6);
    choose("comboBox_output_freq", 11);
    edit("lineEdit_elevMask")->setText(QStringLiteral("20"));
    size_t from = mark();
    clickSoftKey(QStringLiteral("Set"));
    EXPECT_FALSE(keysEnabled(page()));
    const std::vector<SentFrame> want = Joined(MaskFrames(20), {
        {"SJ", {0x28, 1}},           // output mode: raw data
        {"SJ", {0x60, 1}},           // start type: automatic base
        {"SJ", {0x61, 0xD2, 0x04}},  // distance 1234, low byte first
        {"SJ", {0x3E, 2}},           // transmit port
        {"SJ", {0x3F, 6}},           // format: RTCM3.2
        {"SW", {0x00, 0x02}},        // the receiver's rate: 2 Hz
        {"RZ", Bytes("log bestposb ontime 0.5\r\n")},  // and the NovAtel board's
    });
    EXPECT_EQ(waitForFrames(from, want.size()), want);
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    EXPECT_TRUE(keysEnabled(page()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Read back: the receiver kept what was set.
    from = mark();
    clickSoftKey(QStringLiteral("Get"));
    EXPECT_TRUE(current("comboBox_outPut").isEmpty()) << "the form is cleared while reading";
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(framesAfter(from), (std::vector<SentFrame>{{"SI", {}}}));
    EXPECT_EQ(page()->receivedMask(), RTK::kDeviceInfoBit);
    EXPECT_EQ(edit("leDis")->text(), QStringLiteral("1234"));
    EXPECT_EQ(current("comboBox_diffMode"), QStringLiteral("RTCM3.2"));
    EXPECT_EQ(current("comboBox_output_freq"), QStringLiteral("2Hz"));
    EXPECT_EQ(edit("lineEdit_elevMask")->text(), QStringLiteral("20"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();

    // Empty required fields are refused; nothing is sent.
    edit("lineEdit_elevMask")->clear();
    from = mark();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Please enter parameters."));
    QTest::qWait(300);
    EXPECT_TRUE(framesAfter(from).empty());
}

// What the fields' rules do not accept stays as typed, is refused with the
// field and its rule and marked, and nothing goes to the receiver: an elevation
// mask of 95 (0 to 90) and a distance beyond 16 bits. 90 then goes, and the
// receiver reports it back.
TEST_F(RtkPageTest, ValuesTheFieldsDoNotAcceptAreRefusedAndNothingIsSent) {
    open();
    const struct {
        const char* field;
        const char* typed;
        const char* message;
    } refused[] = {{"lineEdit_elevMask", "95", "Elevation mask: 0 to 90"},
                   {"lineEdit_elevMask", "950", "Elevation mask: 0 to 90"},
                   {"leDis", "70000", "Distance: 0 to 65535"}};
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed);
        edit("lineEdit_elevMask")->setText(QStringLiteral("13"));
        edit("leDis")->setText(QStringLiteral("500"));
        edit(r.field)->clear();
        QTest::keyClicks(edit(r.field), QLatin1String(r.typed));
        EXPECT_EQ(edit(r.field)->text(), QLatin1String(r.typed)) << "kept as typed";
        watcher_.messages.clear();
        const size_t from = mark();
        clickSoftKey(QStringLiteral("Set"));
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
        EXPECT_EQ(watcher_.messages[0].text, QLatin1String(r.message));
        EXPECT_TRUE(guitest::Marked(edit(r.field)));
        EXPECT_FALSE(page()->writing());
        QTest::qWait(300);
        EXPECT_TRUE(framesAfter(from).empty()) << ::testing::PrintToString(framesAfter(from));
    }

    edit("leDis")->setText(QStringLiteral("500"));
    edit("lineEdit_elevMask")->clear();
    QTest::keyClicks(edit("lineEdit_elevMask"), QStringLiteral("90"));
    EXPECT_FALSE(guitest::Marked(edit("lineEdit_elevMask"))) << "edited again";
    size_t from = mark();
    clickSoftKey(QStringLiteral("Set"));
    const std::vector<SentFrame> mask = MaskFrames(90);
    const auto sent = waitForFrames(from, mask.size());
    ASSERT_GE(sent.size(), mask.size());
    EXPECT_EQ(std::vector<SentFrame>(sent.begin(), sent.begin() + long(mask.size())), mask);
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(edit("lineEdit_elevMask")->text(), QStringLiteral("90"));
}

TEST_F(RtkPageTest, ASilentReceiverGivesFailedToGetParametersOnce) {
    open();
    sim_.SetBehaviour(sim::Behaviour::Silent);
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(page()->reading());
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Failed to get parameters!"));
    EXPECT_TRUE(keysEnabled(page()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    sim_.SetBehaviour(sim::Behaviour::Answer);
    DeviceManager::instance()->sendDeviceInfo();
    ASSERT_TRUE(sim_.WaitForCommand("SI", 3));
    QTest::qWait(1000);
    EXPECT_TRUE(current("comboBox_outPut").isEmpty()) << "a late answer is not taken";
    EXPECT_EQ(watcher_.messages.size(), 1u);
}

// Firmware 7.90, language type 1: "GPGGA" is offered, the distance never
// shows nor goes out, and "GPRS And Cable" also switches the radio to mode 0.
class OldFirmwareRtkPageTest : public RtkPageTest {
protected:
    void prepareFolder() override {
        QDir().mkpath(path(QStringLiteral("configs")));
        std::ofstream(path(QStringLiteral("configs/config.brt")).toStdString())
            << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n"
               "<global><Language type=\"group\"><CurrentType>1</CurrentType>"
               "<Array type=\"array\"><size>1</size><a1><Type>1</Type><Name>English</Name><File>en</File></a1>"
               "</Array></Language></global>\n";
    }
    void configureSim(sim::SimSettings& s) override {
        RtkPageTest::configureSim(s);
        s.deviceInfo.firmware = "7.90";
        s.deviceInfo.outputMode = 2;
        s.deviceInfo.positionRate = 1;
    }
};

TEST_F(OldFirmwareRtkPageTest, OffersGgaHidesTheDistanceAndSwitchesTheRadio) {
    ASSERT_FALSE(DeviceManager::instance()->versionFlag());
    open();
    EXPECT_EQ(items("comboBox_outPut"),
              (QStringList{QStringLiteral("Normal"), QStringLiteral("Raw Data"), QStringLiteral("GPGGA")}));
    EXPECT_EQ(current("comboBox_outPut"), QStringLiteral("GPGGA"));
    EXPECT_EQ(current("comboBox_startWay"), QStringLiteral("Auto Base"));
    EXPECT_FALSE(distanceShown());
    choose("comboBox_startWay", 0);
    choose("comboBox_startWay", 1);
    EXPECT_FALSE(distanceShown());
    EXPECT_EQ(current("comboBox_output_freq"), QStringLiteral("1Hz"));

    choose("comboBox_sendPort", 3);
    size_t from = mark();
    clickSoftKey(QStringLiteral("Set"));
    const std::vector<SentFrame> rtk = Joined(MaskFrames(13), {
        {"SJ", {0x28, 2}}, {"SJ", {0x60, 1}}, {"SJ", {0x3E, 3}}, {"SJ", {0x3F, 3}},
        {"SW", {0x00, 0x01}}, {"RZ", Bytes("log bestposb ontime 1\r\n")},
    });
    const std::vector<SentFrame> sent = waitForFrames(from, rtk.size() + 1);
    ASSERT_EQ(sent.size(), rtk.size() + 1) << ::testing::PrintToString(sent);
    EXPECT_EQ(std::vector<SentFrame>(sent.begin(), sent.end() - 1), rtk);
    const sim::ReceivedCommand radio = sim_.Received().back();
    EXPECT_EQ(radio.moduleId, 96) << "the radio protocol request";
    EXPECT_EQ(radio.moduleData, (std::vector<uint8_t>{0}));
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));

    // Another port: no radio switch.
    choose("comboBox_sendPort", 1);
    from = mark();
    clickSoftKey(QStringLiteral("Set"));
    const auto other = waitForFrames(from, rtk.size());
    ASSERT_EQ(other.size(), rtk.size());
    EXPECT_EQ(other[MaskFrames(13).size() + 2], (SentFrame{"SJ", {0x3E, 1}}));
    EXPECT_NE(other.back().letters, "VS");
}

}  // namespace
