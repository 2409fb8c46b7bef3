// The call-sign page: its input rules, and the values handed in and back
// through the main window.

#include "program/pages/Callsign.h"
#include "tests/program/ProgramGuiSupport.h"

#include <QLineEdit>

namespace {

using guitest::ProgramGuiTest;

class CallsignPageTest : public ProgramGuiTest {
protected:
    void SetUp() override {
        ProgramGuiTest::SetUp();
        if (HasFatalFailure()) return;
        startWindow();
    }
    Callsign* page() const { return static_cast<Callsign*>(window_->page(QStringLiteral("Callsign"))); }
    // Shows the page as the data link page does: its values in the params of
    // the page below.
    void open(const QHash<QString, QVariant>& values) {
        window_->menu()->params = values;
        window_->onCommand(QStringLiteral("Callsign"));
        ASSERT_EQ(window_->currentPage(), page());
    }
};

TEST_F(CallsignPageTest, IntervalAndMessageRules) {
    const struct {
        const char* text;
        QValidator::State state;
    } intervals[] = {
        {"", QValidator::Intermediate},  {"0", QValidator::Intermediate}, {"00", QValidator::Invalid},
        {"31", QValidator::Invalid},     {"01", QValidator::Acceptable},  {"09", QValidator::Acceptable},
        {"1", QValidator::Acceptable},   {"19", QValidator::Acceptable},  {"30", QValidator::Acceptable},
        {"3", QValidator::Acceptable},   {"40", QValidator::Invalid},     {"a", QValidator::Invalid},
    };
    const QValidator* interval = page()->intervalField()->validator();
    ASSERT_NE(interval, nullptr);
    for (const auto& c : intervals) {
        QString text = QString::fromLatin1(c.text);
        int pos = 0;
        EXPECT_EQ(interval->validate(text, pos), c.state) << c.text;
    }
    const QValidator* message = page()->messageField()->validator();
    ASSERT_NE(message, nullptr);
    const struct {
        QString text;
        QValidator::State state;
    } messages[] = {
        {QStringLiteral("BASE_01"), QValidator::Acceptable},
        {QString(14, QLatin1Char('a')), QValidator::Acceptable},
        {QString(15, QLatin1Char('a')), QValidator::Invalid},
        {QStringLiteral("A B"), QValidator::Invalid},
    };
    for (const auto& c : messages) {
        QString text = c.text;
        int pos = 0;
        EXPECT_EQ(message->validate(text, pos), c.state) << c.text.toStdString();
    }
}

TEST_F(CallsignPageTest, ValuesGoInAndComeBackThroughTheMainWindow) {
    open({{QStringLiteral("CSState"), true},
          {QStringLiteral("CSInterval"), 5},
          {QStringLiteral("CSMessage"), QStringLiteral("ABCDEFGH")},
          {QStringLiteral("CSLength"), 6}});
    EXPECT_EQ(window_->title(), QStringLiteral("Call Sign"));
    EXPECT_EQ(page()->stateField()->currentText(), QStringLiteral("On"));
    EXPECT_EQ(page()->intervalField()->text(), QStringLiteral("5"));
    EXPECT_EQ(page()->messageField()->text(), QStringLiteral("ABCDEF")) << "cut to CSLength";

    clickSoftKey(QStringLiteral("Ok"));
    ASSERT_EQ(window_->currentPage(), window_->menu());
    const QHash<QString, QVariant> expected{{QStringLiteral("CSState"), true},
                                           {QStringLiteral("CSInterval"), 5},
                                           {QStringLiteral("CSMessage"), QStringLiteral("ABCDEF")},
                                           {QStringLiteral("CSLength"), 6},
                                           {QStringLiteral("InSetting"), true}};
    EXPECT_EQ(page()->params, expected);

    // "Back" hands back the same way: a lone 0 and an empty message, a
    // character without a Latin-1 form as '?'.
    open({{QStringLiteral("CSState"), false}});
    EXPECT_EQ(page()->stateField()->currentText(), QStringLiteral("Off"));
    page()->intervalField()->setText(QStringLiteral("0"));
    page()->messageField()->clear();
    clickSoftKey(QStringLiteral("Back"));
    ASSERT_EQ(window_->currentPage(), window_->menu());
    EXPECT_EQ(page()->params.value(QStringLiteral("CSState")), QVariant(false));
    EXPECT_EQ(page()->params.value(QStringLiteral("CSInterval")), QVariant(0));
    EXPECT_EQ(page()->params.value(QStringLiteral("CSMessage")), QVariant(QString()));
    EXPECT_EQ(page()->params.value(QStringLiteral("CSLength")), QVariant(0));

    open({{QStringLiteral("CSState"), true}, {QStringLiteral("CSInterval"), 30}});
    // The rule admits any letter; the test's key helpers know ASCII only.
    QString letters = QStringLiteral("K\u00e4\u0416X");
    int pos = 0;
    ASSERT_EQ(page()->messageField()->validator()->validate(letters, pos), QValidator::Acceptable);
    page()->messageField()->setText(letters);
    clickSoftKey(QStringLiteral("Ok"));
    EXPECT_EQ(page()->params.value(QStringLiteral("CSMessage")).toString(), QStringLiteral("K\u00e4?X"));
    EXPECT_EQ(page()->params.value(QStringLiteral("CSLength")), QVariant(4));
    EXPECT_EQ(page()->params.value(QStringLiteral("CSInterval")), QVariant(30));
}

}  // namespace
