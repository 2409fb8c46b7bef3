// How the pages' fields read what the user typed: a number field's rule
// takes exactly the texts its reading gives a number for, so nothing passes
// the rule and goes out as something else; a decimal field takes a comma or a
// point in every locale; a mount point takes nothing a caster's request line
// cannot carry.

#include "program/pages/PageFields.h"
#include "tests/program/DefaultLocale.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QLocale>

#include <optional>

namespace {

// The port field's rule and the value read agree on every text: a text the
// rule accepts is read as the number written, one it refuses reads as none
// (never 0) and is told with the field's rule.
TEST(PageFieldsRead, APortFieldPassesExactlyWhatItReads) {
    const struct {
        QString text;
        std::optional<int> value;
    } cases[] = {
        {QStringLiteral("2101"), 2101},
        {QStringLiteral("02101"), 2101},
        {QStringLiteral("1"), 1},
        {QStringLiteral("65535"), 65535},
        {QStringLiteral("0"), std::nullopt},
        {QStringLiteral("65536"), std::nullopt},
        {QStringLiteral("+2101"), std::nullopt},
        {QStringLiteral("-1"), std::nullopt},
        {QStringLiteral(" 2101"), std::nullopt},
        {QStringLiteral("2101 "), std::nullopt},
        {QStringLiteral("2 101"), std::nullopt},
        {QStringLiteral("2.101"), std::nullopt},
        {QStringLiteral("2,101"), std::nullopt},
        {QString::fromUtf8("\u0662\u0661\u0660\u0661"), std::nullopt},  // Arabic-Indic
        {QString::fromUtf8("\uFF12\uFF11\uFF10\uFF11"), std::nullopt},  // full-width
        {QString::fromUtf8("\u0968\u0967\u0966\u0967"), std::nullopt},  // Devanagari
        {QStringLiteral("2101\t"), std::nullopt},
        {QStringLiteral("99999999999999999999"), std::nullopt},
        {QStringLiteral("0x835"), std::nullopt},
        {QStringLiteral("2101e0"), std::nullopt},
    };
    QLineEdit field;
    pagefields::SetRule(&field, "Port", pagefields::Port());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(pagefields::ReadWholeNumber(c.text, 1, 65535), c.value);
        field.setText(c.text);
        EXPECT_EQ(field.text(), c.text) << "kept as typed";
        EXPECT_EQ(pagefields::WholeNumberOf(&field), c.value);
        EXPECT_EQ(pagefields::Acceptable(&field), c.value.has_value());
        EXPECT_EQ(pagefields::Refusal(&field), c.value ? QString() : QStringLiteral("Port: 1 to 65535"));
    }
    // An empty field is the missing-field check's business, and has no
    // number; a field without a number rule gives none either.
    field.clear();
    EXPECT_EQ(pagefields::WholeNumberOf(&field), std::nullopt);
    QLineEdit plain;
    plain.setText(QStringLiteral("2101"));
    EXPECT_EQ(pagefields::WholeNumberOf(&plain), std::nullopt);
}

// A sign is taken only where the range reaches below zero, and then only a
// minus; the ends of the range are in it.
TEST(PageFieldsRead, AMinusSignOnlyWhereTheRangeHasNegatives) {
    const struct {
        const char* text;
        int min, max;
        std::optional<int> value;
    } cases[] = {
        {"-5", -10, 10, -5},
        {"-10", -10, 10, -10},
        {"10", -10, 10, 10},
        {"-0", -10, 10, 0},
        {"-11", -10, 10, std::nullopt},
        {"+5", -10, 10, std::nullopt},
        {"-", -10, 10, std::nullopt},
        {"--5", -10, 10, std::nullopt},
        {"0", 0, 90, 0},
        {"90", 0, 90, 90},
        {"-0", 0, 90, std::nullopt},
        {"91", 0, 90, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " in " << c.min << " to " << c.max);
        EXPECT_EQ(pagefields::ReadWholeNumber(QLatin1String(c.text), c.min, c.max), c.value);
    }
}

// A comma and a point are both the decimal mark, once, whatever the locale;
// nothing else makes a number.
TEST(PageFieldsRead, ADecimalTakesACommaOrAPointInEveryLocale) {
    const struct {
        QString text;
        std::optional<double> value;
    } cases[] = {
        {QStringLiteral("1,5"), 1.5},
        {QStringLiteral("1.5"), 1.5},
        {QStringLiteral("463,125"), 463.125},
        {QStringLiteral("-0,25"), -0.25},
        {QStringLiteral("+2.5"), 2.5},
        {QStringLiteral(",5"), 0.5},
        {QStringLiteral("5,"), 5.0},
        {QStringLiteral("2"), 2.0},
        {QStringLiteral("1,5,0"), std::nullopt},
        {QStringLiteral("1.5,0"), std::nullopt},
        {QStringLiteral("1.000,5"), std::nullopt},
        {QStringLiteral("1 5"), std::nullopt},
        {QStringLiteral(" 1.5"), std::nullopt},
        {QStringLiteral("1;5"), std::nullopt},
        {QStringLiteral(","), std::nullopt},
        {QStringLiteral("-"), std::nullopt},
        {QStringLiteral("1e3"), std::nullopt},
        {QString::fromUtf8("\u0661,\u0665"), std::nullopt},
        {QString::fromUtf8("\u0661\u066B\u0665"), std::nullopt},  // Arabic decimal separator
    };
    for (const QLocale& locale : {QLocale::c(), QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        DefaultLocale in(locale);
        QLineEdit field;
        pagefields::SetRule(&field, "Antenna height", pagefields::Decimal());
        for (const auto& c : cases) {
            SCOPED_TRACE(locale.name().toStdString() + " " + c.text.toStdString());
            double read = -1.0;
            EXPECT_EQ(pagefields::ReadDecimal(c.text, read), c.value.has_value());
            if (c.value) {
                EXPECT_DOUBLE_EQ(read, *c.value);
            }
            field.setText(c.text);
            EXPECT_EQ(pagefields::Acceptable(&field), c.value.has_value());
        }
    }
}

// A mount point takes no white space and no control character, typed or
// put in; a server's name may still have spaces.
TEST(PageFieldsRead, AMountPointTakesNoSpaceOrControlCharacter) {
    const QString rule = QStringLiteral(
        "Mount point: no spaces or control characters, Latin-1 only, none of \\ / < > * ? : \" |");
    const struct {
        QString text;
        QString refusal;
    } cases[] = {
        {QStringLiteral("MNT_EMU42"), QString()},
        {QStringLiteral("RTCM3-NEAR.1+x"), QString()},
        {QStringLiteral("!#$%&'()=@[]^`{}~;,"), QString()},
        {QString::fromUtf8("M\u00DCNCHEN"), QString()},
        {QString(20, QLatin1Char('M')), QString()},
        {QString(21, QLatin1Char('M')), QStringLiteral("Mount point: at most 20 characters")},
        {QStringLiteral("MNT EMU42"), rule},
        {QStringLiteral("MNT\tEMU42"), rule},
        {QStringLiteral("MNT\r\nHost"), rule},
        {QStringLiteral("MNT\x7f"), rule},
        {QString::fromUtf8("MNT\u00A0EMU42"), rule},
        {QString::fromUtf8("MNT\u3000EMU42"), rule},
        {QString::fromUtf8("MNT\u0085"), rule},
        {QString::fromUtf8("MNT\u20AC"), rule},
        {QStringLiteral("a/b"), rule},
        {QStringLiteral("a:b"), rule},
    };
    QLineEdit mount;
    pagefields::SetRule(&mount, "Mount point", pagefields::MountPoint(20));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        mount.setText(c.text);
        EXPECT_EQ(mount.text(), c.text) << "kept as typed";
        EXPECT_EQ(pagefields::Refusal(&mount), c.refusal);
    }
    QLineEdit name;
    pagefields::SetRule(&name, "Name", pagefields::Name(20));
    name.setText(QStringLiteral("Hilltop caster"));
    EXPECT_TRUE(pagefields::Acceptable(&name));
}

}  // namespace
