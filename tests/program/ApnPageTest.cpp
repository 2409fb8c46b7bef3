// The "APN Settings" page against the simulated receiver: what it shows,
// a read, the checks before a write and the service record it writes.

#include "program/DeviceManager.h"
#include "program/pages/InlayNet.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QAction>
#include <QLineEdit>

#include <fstream>

namespace {

using guitest::ReceiverGuiTest;

class ApnPageTest : public ReceiverGuiTest {
protected:
    // A user limit beyond the modem's 54 characters and a total of 40.
    void prepareFolder() override {
        QDir().mkpath(path(QStringLiteral("configs")));
        std::ofstream(path(QStringLiteral("configs/validcheck.brt")).toStdString())
            << "<validcheck><lengthcheck type=\"group\">"
               "<server type=\"group\"><name>64</name><baseid>16</baseid></server>"
               "<apn type=\"group\"><user>80</user><password>16</password><total>40</total></apn>"
               "<cors type=\"group\"><user>31</user><password>31</password><source>31</source><total>43</total></cors>"
               "</lengthcheck></validcheck>";
    }
    void SetUp() override {
        ReceiverGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
        connectThroughPage(false, 9600);
        ASSERT_EQ(DeviceManager::instance()->connectionState(), 4) << watcher_.describe().toStdString();
        ASSERT_EQ(window_->currentPage(), window_->menu());
        watcher_.messages.clear();  // "Successfully connected"
    }
    InlayNet* page() const { return static_cast<InlayNet*>(window_->page(QStringLiteral("APNConfig"))); }
    InlayNet_Widget* form() const { return page()->form(); }
    bool keysEnabled() const {
        for (QAction* a : page()->actions())
            if (!a->isEnabled()) return false;
        return form()->isEnabled();
    }
    bool showsReceiverValues() const {
        return form()->apn()->text() == QStringLiteral("cmnet") &&
               form()->dialNumber()->text() == QStringLiteral("*99***1#") &&
               form()->userName()->text() == QStringLiteral("surveyor") &&
               form()->password()->text() == QStringLiteral("secret");
    }
    static std::string Text(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }
    std::vector<sim::ReceivedCommand> modulePackets(int id) const {
        std::vector<sim::ReceivedCommand> found;
        for (const auto& c : sim_.Received())
            if (c.moduleId == id) found.push_back(c);
        return found;
    }
};

TEST_F(ApnPageTest, ShowsTheModemSettingsAndReadsThemAgainOnGet) {
    clickMenu("APNConfig");
    ASSERT_EQ(window_->currentPage(), page());
    EXPECT_EQ(window_->title(), QStringLiteral("APN Settings"));
    // Filled from the receiver while the form stays usable.
    EXPECT_TRUE(keysEnabled());
    ASSERT_TRUE(waitFor([&] { return showsReceiverValues(); })) << watcher_.describe().toStdString();
    EXPECT_TRUE(keysEnabled());

    sim_.Update([](sim::SimSettings& s) { s.modem.apn = "internet.example"; });
    clickSoftKey(QStringLiteral("Get"));
    EXPECT_FALSE(keysEnabled());
    EXPECT_TRUE(form()->apn()->text().isEmpty());
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(page()->receivedMask(), InlayNet::kAllReplies);
    EXPECT_EQ(form()->apn()->text(), QStringLiteral("internet.example"));
    EXPECT_TRUE(keysEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

TEST_F(ApnPageTest, ASilentReceiverGivesFailedToGetParameters) {
    clickMenu("APNConfig");
    ASSERT_TRUE(waitFor([&] { return showsReceiverValues(); }));
    sim_.SetBehaviour(sim::Behaviour::Silent);
    clickSoftKey(QStringLiteral("Get"));
    ASSERT_TRUE(page()->reading());
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Warning"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Failed to get parameters!"));
    EXPECT_TRUE(form()->apn()->text().isEmpty());
    EXPECT_TRUE(keysEnabled());
    // An answer after the read ended is not taken.
    sim_.SetBehaviour(sim::Behaviour::Answer);
    DeviceManager::instance()->sendGprsInfo();
    ASSERT_TRUE(sim_.WaitForModuleRequest(89, 1) || sim_.WaitForModuleRequest(115, 1));
    QTest::qWait(500);
    EXPECT_TRUE(form()->apn()->text().isEmpty());
}

TEST_F(ApnPageTest, WritesOneServiceRecordAfterItsChecks) {
    clickMenu("APNConfig");
    ASSERT_TRUE(waitFor([&] { return showsReceiverValues(); }));

    // Required fields: the empty dial number is marked and nothing is sent.
    form()->dialNumber()->clear();
    sim_.ClearReceived();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
    EXPECT_EQ(watcher_.messages[0].text, QStringLiteral("Please enter parameters."));
    EXPECT_EQ(form()->dialNumber()->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_NE(form()->apn()->palette().color(QPalette::Base), QColor(Qt::red));
    form()->dialNumber()->setText(QStringLiteral("*99#"));
    EXPECT_NE(form()->dialNumber()->palette().color(QPalette::Base), QColor(Qt::red)) << "edited again";

    // With a total of 40: 30 + 11 is refused, 30 + 10 is written.
    form()->userName()->setText(QString(30, QLatin1Char('u')));
    form()->password()->setText(QString(11, QLatin1Char('p')));
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 2u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[1].text, QStringLiteral("Total length of\nuser name and password\nis beyond 40!"));
    // With the dial number missing too, one box tells both.
    form()->dialNumber()->clear();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_EQ(watcher_.messages.size(), 3u) << watcher_.describe().toStdString();
    EXPECT_EQ(watcher_.messages[2].text,
              QStringLiteral("Please enter parameters.\nTotal length of\nuser name and password\nis beyond 40!"));
    EXPECT_EQ(form()->dialNumber()->palette().color(QPalette::Base), QColor(Qt::red));
    form()->dialNumber()->setText(QStringLiteral("*99#"));
    QTest::qWait(300);
    EXPECT_TRUE(modulePackets(86).empty()) << "nothing is sent";

    form()->password()->setText(QString(10, QLatin1Char('p')));
    clickSoftKey(QStringLiteral("Set"));
    EXPECT_EQ(watcher_.messages.size(), 3u) << watcher_.describe().toStdString();
    EXPECT_TRUE(page()->writing());
    EXPECT_FALSE(keysEnabled());
    ASSERT_TRUE(sim_.WaitForModuleRequest(87, 1));
    ASSERT_EQ(modulePackets(86).size(), 1u);
    EXPECT_EQ(Text(modulePackets(86)[0].moduleData), "cmnet");
    ASSERT_EQ(modulePackets(88).size(), 1u);
    EXPECT_EQ(Text(modulePackets(88)[0].moduleData), "*99#");
    // User name and password in one packet, a zero byte between them.
    EXPECT_EQ(Text(modulePackets(87)[0].moduleData),
              std::string(30, 'u') + std::string(1, '\0') + std::string(10, 'p'));
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));
    EXPECT_TRUE(keysEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// What a write sends is what the next read brings back from the receiver.
TEST_F(ApnPageTest, AWrittenRecordIsReadBackOnGet) {
    clickMenu("APNConfig");
    ASSERT_TRUE(waitFor([&] { return showsReceiverValues(); }));
    form()->apn()->setText(QStringLiteral("internet.example"));
    form()->dialNumber()->setText(QStringLiteral("*99#"));
    form()->userName()->setText(QStringLiteral("fielduser"));
    form()->password()->setText(QStringLiteral("pw"));
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(sim_.WaitForModuleRequest(87, 1));
    ASSERT_TRUE(waitFor([&] { return !page()->writing(); }));

    clickSoftKey(QStringLiteral("Get"));
    EXPECT_TRUE(form()->apn()->text().isEmpty());
    ASSERT_TRUE(waitFor([&] { return !page()->reading(); }));
    EXPECT_EQ(page()->receivedMask(), InlayNet::kAllReplies);
    EXPECT_EQ(form()->apn()->text(), QStringLiteral("internet.example"));
    EXPECT_EQ(form()->dialNumber()->text(), QStringLiteral("*99#"));
    EXPECT_EQ(form()->userName()->text(), QStringLiteral("fielduser"));
    EXPECT_EQ(form()->password()->text(), QStringLiteral("pw"));
    EXPECT_TRUE(watcher_.messages.empty()) << watcher_.describe().toStdString();
}

// What the modem's record cannot take stays as typed and is refused on
// "Set", marked, with the page's message, and nothing is sent: an APN with a
// character beyond ASCII (it would go without it), and a user name one
// longer than the record's 54 characters (the configured limit of 80 is cut
// to what the record holds).
TEST_F(ApnPageTest, TextsTheModemCannotTakeAreRefusedAsTyped) {
    clickMenu("APNConfig");
    ASSERT_TRUE(waitFor([&] { return showsReceiverValues(); }));
    const struct {
        QLineEdit* field;
        QString typed;
        QString message;
    } refused[] = {
        {form()->apn(), QString::fromUtf8("int\u00E9rnet"), QStringLiteral("APN: ASCII characters only (no accents)")},
        // (It is beyond the login's total of 40 too, told in the same box.)
        {form()->userName(), QString(InlayNet_Widget::kFieldCapacity + 1, QLatin1Char('u')),
         QStringLiteral("User name: at most %1 characters\nTotal length of\nuser name and password\nis beyond 40!")
             .arg(InlayNet_Widget::kFieldCapacity)},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.typed.toStdString());
        form()->apn()->setText(QStringLiteral("cmnet"));
        form()->userName()->setText(QStringLiteral("surveyor"));
        form()->password()->clear();
        r.field->clear();
        guitest::TypeText(r.field, r.typed);
        EXPECT_EQ(r.field->text(), r.typed) << "kept as typed";
        watcher_.messages.clear();
        sim_.ClearReceived();
        clickSoftKey(QStringLiteral("Set"));
        ASSERT_EQ(watcher_.messages.size(), 1u) << watcher_.describe().toStdString();
        EXPECT_EQ(watcher_.messages[0].title, QStringLiteral("Error"));
        EXPECT_EQ(watcher_.messages[0].text, r.message);
        EXPECT_TRUE(guitest::Marked(r.field));
        EXPECT_FALSE(page()->writing());
        QTest::qWait(300);
        EXPECT_TRUE(modulePackets(86).empty() && modulePackets(87).empty() && modulePackets(88).empty())
            << "nothing is sent";
    }
    // Put right, the form is written.
    form()->apn()->setText(QStringLiteral("internet"));
    form()->userName()->setText(QStringLiteral("surveyor"));
    EXPECT_FALSE(guitest::Marked(form()->apn()));
    EXPECT_FALSE(guitest::Marked(form()->userName()));
    watcher_.messages.clear();
    clickSoftKey(QStringLiteral("Set"));
    ASSERT_TRUE(sim_.WaitForModuleRequest(87, 1)) << watcher_.describe().toStdString();
    ASSERT_EQ(modulePackets(86).size(), 1u);
    EXPECT_EQ(Text(modulePackets(86)[0].moduleData), "internet");

    // The menu offers the server pages too once the receiver is ready.
    EXPECT_TRUE(menuButton("ServerConfig")->isEnabled());
    EXPECT_TRUE(menuButton("APNConfig")->isEnabled());
}

}  // namespace
