#include "program/AppLogger.h"
#include "program/CommonHelper.h"
#include "platform/Time.h"
#include "tests/program/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QRegularExpressionValidator>

namespace {

class CommonHelperTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        AppLogger::instance(std::string(), 0)->close();  // no logger left from another test
    }
    void TearDown() override {
        AppLogger::instance(std::string(), 0)->close();
        platform::SetUtcClock({});
        ProgramFolderTest::TearDown();
    }
};

QValidator::State Validate(int32_t kind, int32_t min, int32_t max, QString text) {
    QRegularExpressionValidator* v = CommonHelper::makeValidator(kind, min, max);
    int pos = 0;
    const QValidator::State state = v->validate(text, pos);
    delete v;
    return state;
}

TEST_F(CommonHelperTest, ConfigurationPathsLieInTheProgramFolder) {
    EXPECT_EQ(CommonHelper::appDirPath(), wpath("").substr(0, wpath("").size() - 1));
    const std::pair<std::wstring (*)(), const char*> paths[] = {
        {&CommonHelper::btBindingsPath, "btbindings"},       {&CommonHelper::antennaTypePath, "antennatype"},
        {&CommonHelper::connectMethodsPath, "connectmethods"}, {&CommonHelper::connectionParamsPath, "connectionparams"},
        {&CommonHelper::radioChannelsPath, "radiochannels"}, {&CommonHelper::netServerPath, "netserver"},
        {&CommonHelper::configPath, "config"},               {&CommonHelper::satelBaudratePath, "satelbaudrate"},
        {&CommonHelper::validCheckPath, "validcheck"},       {&CommonHelper::connectBaudsPath, "connectbauds"},
    };
    for (const auto& [getter, name] : paths) EXPECT_EQ(getter(), wpath(std::string("configs/") + name + ".brt"));
}

TEST_F(CommonHelperTest, ValidatorPatterns) {
    EXPECT_EQ(CommonHelper::makeValidatorPattern(5, 1, 20), QStringLiteral("^[a-z0-9A-Z]{1,20}$"));
    EXPECT_EQ(CommonHelper::makeValidatorPattern(0, 2, 3), QStringLiteral("^[0-9\\.]{2,3}$"));
    EXPECT_EQ(CommonHelper::makeValidatorPattern(1, 0, 9), QStringLiteral("^[^\\\\/<>*?:\"|]{0,9}$"));
    EXPECT_EQ(CommonHelper::makeValidatorPattern(6, 1, 2),
              QStringLiteral("^[") + QChar(1) + QStringLiteral("-") + QChar(0x7F) + QStringLiteral("]{1,2}$"));
    EXPECT_EQ(CommonHelper::makeValidatorPattern(3, 4, 5), CommonHelper::makeValidatorPattern(3, 0, 0));
    EXPECT_TRUE(CommonHelper::makeValidatorPattern(8, 1, 2).isEmpty());
    EXPECT_TRUE(CommonHelper::makeValidatorPattern(-1, 1, 2).isEmpty());
    // Lengths from a hand-edited file still make a pattern that works.
    EXPECT_EQ(CommonHelper::makeValidatorPattern(2, -3, 100000), QStringLiteral("^[a-z0-9A-Z_-]{0,65535}$"));
    EXPECT_EQ(CommonHelper::makeValidatorPattern(7, 9, 4), QStringLiteral("^[a-z0-9A-Z-]{9,9}$"));
    for (int32_t kind = 0; kind <= 7; ++kind)
        EXPECT_TRUE(QRegularExpression(CommonHelper::makeValidatorPattern(kind, 1, 31)).isValid()) << kind;
}

TEST_F(CommonHelperTest, ValidatorsAcceptAndRefuse) {
    struct Case {
        int32_t kind;
        QString text;
        bool accepted;
    };
    const Case cases[] = {
        // kind 3: a port number, lengths unused
        {3, "", true}, {3, "0", true}, {3, "80", true}, {3, "65535", true}, {3, "9999", true},
        {3, "65536", false}, {3, "00", false}, {3, "070", false}, {3, "99999", false}, {3, "-1", false},
        // kind 1: no backslash, slash, <, >, *, ?, :, " or |
        {1, "my server", true}, {1, "a\\b", false}, {1, "a/b", false}, {1, "a:b", false},
        {1, "a|b", false}, {1, "a\"b", false}, {1, "0123456789", false},
        {0, "10.0.0.1", true}, {0, "1a", false},
        {2, "ab_C-9", true}, {2, "a b", false},
        {4, "123-45", true}, {4, "1.2", false},
        {5, "abc9", true}, {5, "a-b", false},
        {6, "any ~!", true}, {6, QString(QChar(0)), false}, {6, QString::fromUtf8("\xC3\xA9"), false},
        {7, "a-b9", true}, {7, "a_b", false},
    };
    for (const Case& c : cases) {
        const QValidator::State state = Validate(c.kind, 0, 9, c.text);
        if (c.accepted)
            EXPECT_EQ(state, QValidator::Acceptable) << c.kind << " '" << c.text.toStdString() << "'";
        else
            EXPECT_EQ(state, QValidator::Invalid) << c.kind << " '" << c.text.toStdString() << "'";
    }
    // Too short is still being typed; too long is refused.
    EXPECT_EQ(Validate(5, 3, 4, "ab"), QValidator::Intermediate);
    EXPECT_EQ(Validate(5, 3, 4, "abcde"), QValidator::Invalid);
}

TEST_F(CommonHelperTest, TermTableAndItsBounds) {
    const char* const terms[] = {"ZELT", "Ntrip Client", "ZELT One To Multi", "TCP Direct", "Unknown", "Null",
                                 "0.1w", "0.5w", "1w", "2w", "Port", "KVX BT", "Sys. BT", "Q48 Series",
                                 "Q22 Series", "GNSS RTK Series"};
    ASSERT_EQ(std::size(terms), size_t(CommonHelper::kTermCount));
    for (int32_t i = 0; i < CommonHelper::kTermCount; ++i) EXPECT_EQ(CommonHelper::translateTerm(i), terms[i]);
    EXPECT_EQ(CommonHelper::translateTerm(11), QStringLiteral("KVX BT"));
    for (int32_t outside : {-1, 16, INT32_MAX, INT32_MIN})
        EXPECT_EQ(CommonHelper::translateTerm(outside), QStringLiteral("Unknown")) << outside;
}

TEST_F(CommonHelperTest, FieldPaletteMarksRedGreenAndRestores) {
    QLineEdit field;
    CommonHelper::setFieldPalette(1, &field);
    EXPECT_EQ(field.palette().brush(QPalette::Base).color(), QColor(Qt::red));
    EXPECT_EQ(field.palette().brush(QPalette::Base).style(), Qt::SolidPattern);
    CommonHelper::setFieldPalette(2, &field);
    EXPECT_EQ(field.palette().brush(QPalette::Base).color(), QColor(Qt::green));
    CommonHelper::setFieldPalette(0, &field);
    EXPECT_EQ(field.palette().brush(QPalette::Base), QApplication::palette("QLineEdit").brush(QPalette::Base));
    CommonHelper::setFieldPalette(1, nullptr);  // nothing to mark
}

TEST_F(CommonHelperTest, LastConnectionStartsEmpty) {
    CommonHelper* helper = CommonHelper::instance();
    EXPECT_EQ(helper, CommonHelper::instance());
    EXPECT_EQ(helper->portType(), 0);
    EXPECT_EQ(helper->portNumber(), 0);
    helper->setConnection(101, 7);
    EXPECT_EQ(CommonHelper::instance()->portType(), 101);
    EXPECT_EQ(CommonHelper::instance()->portNumber(), 7);
    helper->setConnection(0, 0);
}

TEST_F(CommonHelperTest, WriteLogAppendsUnformattedLinesWithTheDateCarried) {
    platform::SetUtcClock([] {
        platform::UtcTime t;
        t.year = 2026;
        t.month = 3;
        t.day = 5;
        t.hour = 20;
        t.minute = 15;
        t.second = 7;
        return t;
    });
    CommonHelper::writeLog(QStringLiteral("100% done %d %ls"));
    CommonHelper::writeLog(QString::fromUtf8("zweite Zeile \xC3\xBC"));
    EXPECT_EQ(readFile(path("log.txt")),
              "2026-3-6  4:15:7 100% done %d %ls [1]\n"
              "2026-3-6  4:15:7 zweite Zeile \xC3\xBC [1]\n");
}

TEST_F(CommonHelperTest, WriteLogSwallowsAFailedOpen) {
    platform::SetProgramFolder(folder_ + "/no/such/folder");
    EXPECT_NO_THROW(CommonHelper::writeLog(QStringLiteral("lost")));
    EXPECT_FALSE(exists(folder_ + "/no/such/folder/log.txt"));
    // The next call tries again and succeeds once the folder is there.
    platform::SetProgramFolder(folder_);
    CommonHelper::writeLog(QStringLiteral("kept"));
    EXPECT_NE(readFile(path("log.txt")).find(" kept [1]\n"), std::string::npos);
}

}  // namespace
