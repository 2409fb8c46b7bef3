// The "NMEA Output" page against the simulated receiver: the rows a board
// offers, "AllPick", what "Accept" and "Stop" send (with the port's baud rate
// only over a serial connection), and the pause after a write.

#include "program/CommonHelper.h"
#include "program/pages/Output.h"
#include "tests/program/WorkPagesSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

namespace {

using guitest::SentFrame;
using guitest::WorkPageTest;

class OutputPageTest : public WorkPageTest {
protected:
    Output* page() const { return static_cast<Output*>(window_->page(QStringLiteral("0183OutPut"))); }
    void open() {
        clickMenu("0183OutPut");
        ASSERT_EQ(window_->currentPage(), page());
    }
    void choose(QComboBox* box, int data) {
        const int at = box->findData(data);
        ASSERT_GE(at, 0) << "no item " << data;
        box->setCurrentIndex(at);
    }
    struct RowState {
        bool ticked;
        bool rateEnabled;
        QString rate;
        bool operator==(const RowState&) const = default;
    };
    std::vector<RowState> rows() const {
        std::vector<RowState> out;
        for (int i = 0; i < page()->rowCount(); ++i)
            out.push_back({page()->rowCheck(i)->isChecked(), page()->rowRate(i)->isEnabled(),
                           page()->rowRate(i)->currentText()});
        return out;
    }
    // The frames of the receiver's own commands, without the board's lines
    // relayed before them.
    static std::vector<SentFrame> ownFrames(const std::vector<SentFrame>& all) {
        std::vector<SentFrame> out;
        for (const auto& f : all)
            if (f.letters != "RZ") out.push_back(f);
        return out;
    }
    bool baudShown() const {
        return window_->findChild<QLabel*>(QStringLiteral("label_baudrate"))->isVisibleTo(page()) &&
               combo("comboBox_baudrate")->isVisibleTo(page());
    }
};

class TrimbleOutputPageTest : public OutputPageTest {
protected:
    void configureSim(sim::SimSettings& s) override { s.deviceInfo.model = "Q70A"; }  // a Trimble BD board
};

TEST_F(TrimbleOutputPageTest, RowsRatesPickAllAndAcceptWithReboot) {
    ASSERT_EQ(DeviceManager::instance()->boardType(), 1);
    open();
    EXPECT_EQ(window_->title(), QStringLiteral("NMEA Output"));
    ASSERT_EQ(page()->rowCount(), 11);
    EXPECT_EQ(page()->rowCheck(0)->text(), QStringLiteral("GPGGA"));
    EXPECT_EQ(page()->rowCheck(9)->text(), QStringLiteral("PTNL,PJK"));
    EXPECT_EQ(page()->rowCheck(10)->text(), QStringLiteral("PTNL,PJT"));
    for (int i = 0; i < page()->rowCount(); ++i) {
        EXPECT_FALSE(page()->rowCheck(i)->isChecked()) << i;
        EXPECT_EQ(page()->rowRate(i)->count(), 8) << i;
        EXPECT_EQ(page()->rowRate(i)->currentText(), QStringLiteral("1 Hz")) << i;
        EXPECT_FALSE(page()->rowRate(i)->isEnabled()) << i;
    }
    EXPECT_TRUE(baudShown());
    EXPECT_EQ(combo("comboBox_baudrate")->currentText(), QStringLiteral("9600 b/s"));
    EXPECT_EQ(combo("cbMethods")->currentText(), QStringLiteral("Both"));

    // GPGGA at 5 Hz and the Trimble PJK at 10 Hz.
    QTest::mouseClick(page()->rowCheck(0), Qt::LeftButton);
    QTest::mouseClick(page()->rowCheck(9), Qt::LeftButton);
    EXPECT_TRUE(page()->rowRate(0)->isEnabled());
    choose(page()->rowRate(0), 2);
    choose(page()->rowRate(9), 1);
    const auto before = rows();
    clickSoftKey(QStringLiteral("AllPick"));
    const auto flipped = rows();
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_NE(flipped[i].ticked, before[i].ticked) << i;
        EXPECT_EQ(flipped[i].rateEnabled, flipped[i].ticked) << i;
    }
    clickSoftKey(QStringLiteral("AllPick"));
    EXPECT_EQ(rows(), before);

    choose(combo("comboBox_baudrate"), 1);  // 19200
    watcher_.answer = QMessageBox::Yes;
    const size_t from = mark();
    clickSoftKey(QStringLiteral("Accept"));
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Brantor"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Output selected data after reboot?"));
    // A reboot keeps the page busy for the pause.
    EXPECT_FALSE(keysEnabled(page()));
    EXPECT_FALSE(page()->rowCheck(0)->isEnabled());
    ASSERT_NE(QApplication::overrideCursor(), nullptr);

    const std::vector<SentFrame> want = {
        // receiver mask 0x0801 (GGA and PJK, high byte first), both ports
        {"RF", {0x08, 0x01, 0x03}},
        // on (reboot), mask, port, A = 5 Hz for GGA, B = 0, C = 0, D = 10 Hz for PJK
        {"RD", {0x01, 0x08, 0x01, 0x03, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01}},
        {"SB", {238}},  // the port to 19200
    };
    ASSERT_TRUE(waitFor([&] { return ownFrames(framesAfter(from)).size() >= want.size(); }));
    const auto sent = framesAfter(from);
    EXPECT_EQ(ownFrames(sent), want);
    EXPECT_EQ(sent.front().letters, "RZ") << "the board's own lines go first";
    ASSERT_TRUE(waitFor([&] { return keysEnabled(page()); }));
    EXPECT_TRUE(page()->rowCheck(0)->isEnabled());
    EXPECT_TRUE(page()->rowRate(0)->isEnabled());
    EXPECT_FALSE(page()->rowRate(1)->isEnabled()) << "an unticked row's rate stays off";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// A board without rates (the maker's own older board, type 3): nine rows with
// empty rate lists, a ticked row goes with rate 0.
class PlainOutputPageTest : public OutputPageTest {
protected:
    void configureSim(sim::SimSettings& s) override { s.deviceInfo.model = "8552"; }
};

TEST_F(PlainOutputPageTest, NoRatesSendRateZeroAndNoRebootLeavesThePageUsable) {
    ASSERT_EQ(DeviceManager::instance()->boardType(), 3);
    open();
    ASSERT_EQ(page()->rowCount(), 9);
    for (int i = 0; i < page()->rowCount(); ++i) EXPECT_EQ(page()->rowRate(i)->count(), 0) << i;
    EXPECT_EQ(page()->rowCheck(8)->text(), QStringLiteral("GPGRS"));

    // Nothing ticked: refused, nothing sent.
    watcher_.answer = QMessageBox::Yes;
    size_t from = mark();
    clickSoftKey(QStringLiteral("Accept"));
    ASSERT_EQ(watcher_.messages.size(), 1u);
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Brantor"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("No data selected."));
    EXPECT_FALSE(page()->writing());

    QTest::mouseClick(page()->rowCheck(0), Qt::LeftButton);   // GPGGA
    QTest::mouseClick(page()->rowCheck(8), Qt::LeftButton);   // GPGRS
    choose(combo("cbMethods"), 1);                            // "Cable"
    watcher_.answer = QMessageBox::No;
    clickSoftKey(QStringLiteral("Accept"));
    EXPECT_TRUE(keysEnabled(page())) << "without a reboot the page stays usable";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    const std::vector<SentFrame> want = {
        {"RF", {0x04, 0x01, 0x01}},  // GGA and GRS (0x0401), the cable port
        // no reboot, mask, port, every rate 0 (GRS's is C)
        {"RD", {0x00, 0x04, 0x01, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
        {"SB", {220}},  // 9600
    };
    EXPECT_EQ(waitForFrames(from, want.size()), want);
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    EXPECT_TRUE(keysEnabled(page()));

    // "Stop": zeros for every row on both ports, the page busy for the pause.
    from = mark();
    clickSoftKey(QStringLiteral("Stop"));
    EXPECT_FALSE(keysEnabled(page()));
    const std::vector<SentFrame> stop = {
        {"RF", {0x00, 0x00, 0x03}},
        {"RD", {0x00, 0x00, 0x00, 0x03, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00}},
    };
    EXPECT_EQ(waitForFrames(from, stop.size()), stop);
    ASSERT_TRUE(waitFor([&] { return keysEnabled(page()); }));
    EXPECT_TRUE(page()->rowCheck(0)->isChecked()) << "the selection stays";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// Over Bluetooth the port's baud rate is not the page's business; a later
// serial connection gets it back.
TEST_F(PlainOutputPageTest, TheBaudRateFollowsTheConnectionEachTimeThePageIsShown) {
    CommonHelper::instance()->setConnection(1, 1);  // as a Bluetooth connection leaves it
    open();
    EXPECT_FALSE(baudShown());
    EXPECT_FALSE(page()->sendsBaud());
    QTest::mouseClick(page()->rowCheck(0), Qt::LeftButton);
    watcher_.answer = QMessageBox::No;
    size_t from = mark();
    clickSoftKey(QStringLiteral("Accept"));
    auto sent = waitForFrames(from, 2);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].letters, "RF");
    EXPECT_EQ(sent[1].letters, "RD");
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    clickSoftKey(QStringLiteral("Back"));

    CommonHelper::instance()->setConnection(0, 1);
    open();
    EXPECT_TRUE(baudShown());
    EXPECT_TRUE(page()->sendsBaud());
    // Rows are made anew, ticked as the receiver was last told.
    EXPECT_TRUE(page()->rowCheck(0)->isChecked()) << "the output the receiver was told";
    from = mark();
    clickSoftKey(QStringLiteral("Accept"));
    sent = waitForFrames(from, 3);
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[2], (SentFrame{"SB", {220}}));
}

// The page reads nothing: a receiver that says nothing changes nothing, and
// no failure is reported.
TEST_F(PlainOutputPageTest, ASilentReceiverGetsTheSelectionAndNoMessageFollows) {
    open();
    sim_.SetBehaviour(sim::Behaviour::Silent);
    QTest::mouseClick(page()->rowCheck(1), Qt::LeftButton);  // GPGSV
    watcher_.answer = QMessageBox::Yes;
    const size_t from = mark();
    clickSoftKey(QStringLiteral("Accept"));
    EXPECT_EQ(waitForFrames(from, 3).size(), 3u);
    ASSERT_TRUE(waitFor([&] { return keysEnabled(page()); }));
    EXPECT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();  // the reboot question
}

}  // namespace
