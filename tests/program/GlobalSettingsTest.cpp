#include "program/GlobalSettings.h"
#include "tests/program/TestSupport.h"

#include <QLocale>
#include <QTranslator>

namespace {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>\n";

class GlobalSettingsTest : public ProgramFolderTest {
protected:
    void writeConfig(const std::string& language) {
        makeDir("configs");
        writeFile(path("configs/config.brt"),
                  kDecl + "<global><Language type=\"group\">" + language + "</Language></global>\n");
    }
    // A translation file with nothing in it but its magic number.
    void writeQm(const std::string& name) {
        makeDir("translates");
        writeFile(path("translates/" + name),
                  std::string("\x3C\xB8\x64\x18\xCA\xEF\x9C\x95\xCD\x21\x1C\xBF\x60\xA1\xBD\xDD", 16));
    }
};

TEST_F(GlobalSettingsTest, WithoutAFileTheSystemLocaleDecides) {
    GlobalSettings settings;
    EXPECT_EQ(settings.currentType(), 0);
    QString name, file;
    settings.language(name, file);
    EXPECT_EQ(name, QLocale::languageToString(QLocale().language()));
    EXPECT_EQ(file, QLocale().name());
    EXPECT_FALSE(file.isEmpty());
    EXPECT_EQ(settings.currentType(), -1);
    EXPECT_EQ(readFile(path("configs/config.brt")), kDecl + "<global />\n");
}

TEST_F(GlobalSettingsTest, TheFirstItemOfTheCurrentTypeWins) {
    writeConfig("<CurrentType>2</CurrentType><Array type=\"array\"><size>3</size>"
                "<a1><Type>1</Type><Name>English</Name><File>en</File></a1>"
                "<a2><Type>2</Type><Name>Deutsch</Name><File>de_DE</File></a2>"
                "<a3><Type>2</Type><Name>Second</Name><File>xx</File></a3></Array>");
    GlobalSettings settings;
    QString name, file;
    settings.language(name, file);
    EXPECT_EQ(name, QStringLiteral("Deutsch"));
    EXPECT_EQ(file, QStringLiteral("de_DE"));
    EXPECT_EQ(settings.currentType(), 2);
}

TEST_F(GlobalSettingsTest, ACurrentTypeWithoutItemKeepsTheCallersTexts) {
    writeConfig("<CurrentType>1</CurrentType><Array type=\"array\"><size>1</size>"
                "<a1><Type>0</Type><Name>English</Name><File>en</File></a1></Array>");
    GlobalSettings settings;
    QString name = "keep", file = "this";
    settings.language(name, file);
    EXPECT_EQ(name, QStringLiteral("keep"));
    EXPECT_EQ(file, QStringLiteral("this"));
    EXPECT_EQ(settings.currentType(), 1);
}

TEST_F(GlobalSettingsTest, TranslatorsFallBackToTheLanguageWithoutTheCountry) {
    QTranslator translator;
    EXPECT_FALSE(GlobalSettings::loadTranslator(translator, "qt", "de_DE"));
    writeQm("qt_de.qm");
    ASSERT_TRUE(GlobalSettings::loadTranslator(translator, "qt", "de_DE"));
    EXPECT_TRUE(translator.filePath().endsWith("/translates/qt_de.qm")) << translator.filePath().toStdString();
    writeQm("brantor_de_DE.qm");
    writeQm("brantor_de.qm");
    ASSERT_TRUE(GlobalSettings::loadTranslator(translator, "brantor", "de_DE"));
    EXPECT_TRUE(translator.filePath().endsWith("/translates/brantor_de_DE.qm"));
}

}  // namespace
