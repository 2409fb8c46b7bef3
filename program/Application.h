#pragma once

#include <QApplication>
#include <QList>
#include <QString>

class QFile;
class QTranslator;

// The program's application object: window icon, a font one point larger,
// and the Qt and program translators of the chosen language.
class Application : public QApplication {
    Q_OBJECT

public:
    // One installed translation: the translator reads straight from the
    // file's memory mapping, which therefore lives as long as it does.
    struct TranslationFile {
        QTranslator* translator = nullptr;
        QFile* file = nullptr;
        uchar* data = nullptr;
    };

    Application(int& argc, char** argv);
    ~Application() override;

    void init();

    // The window icon, "Resources/Images/brantor.png" in the program folder.
    static QString iconPath();
    // "<program folder>/translates/<prefix>_<suffix>.qm"; when that file is
    // missing, the suffix is shortened at its last "_" ("de_DE" finds "de").
    static QString translationPath(const QString& prefix, const QString& suffix);

    const QList<TranslationFile*>& translations() const { return translations_; }

private:
    void installTranslation(const QString& path);

    QList<TranslationFile*> translations_;
};
