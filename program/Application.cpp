#include "program/Application.h"

#include "program/CommonHelper.h"
#include "program/GlobalSettings.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QTranslator>

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

Application::~Application() {
    for (TranslationFile* t : std::as_const(translations_)) {
        removeTranslator(t->translator);
        delete t->translator;
        if (t->data) t->file->unmap(t->data);
        delete t->file;
        delete t;
    }
    translations_.clear();
}

QString Application::iconPath() {
    return QString::fromStdWString(CommonHelper::appDirPath()) + QStringLiteral("/Resources/Images/brantor.png");
}

QString Application::translationPath(const QString& prefix, const QString& suffix) {
    // The suffix comes from a file the user may edit: it names a file in
    // "translates" and nothing outside it.
    if (suffix.isEmpty() || suffix.contains(QLatin1Char('/')) || suffix.contains(QLatin1Char('\\')) ||
        suffix.contains(QStringLiteral("..")))
        return QString();
    const QString folder = QString::fromStdWString(CommonHelper::appDirPath()) + QStringLiteral("/translates/");
    QString name = suffix;
    for (;;) {
        const QString path = folder + prefix + QLatin1Char('_') + name + QStringLiteral(".qm");
        if (QFileInfo(path).isFile()) return path;
        const qsizetype cut = name.lastIndexOf(QLatin1Char('_'));
        if (cut <= 0) return QString();
        name.truncate(cut);
    }
}

void Application::init() {
    const QString icon = iconPath();
    if (QFileInfo(icon).isFile()) setWindowIcon(QIcon(icon));

    QFont f = font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() + 1);
    f.setStyleHint(QFont::SansSerif, QFont::PreferDefault);
    setFont(f);

    QString name, suffix;
    GlobalSettings::instance()->language(name, suffix);
    installTranslation(translationPath(QStringLiteral("qt"), suffix));
    installTranslation(translationPath(QStringLiteral("brantor"), suffix));
}

void Application::installTranslation(const QString& path) {
    if (path.isEmpty()) return;
    auto* file = new QFile(path);
    if (!file->open(QIODevice::ReadOnly) || file->size() <= 0 || file->size() > (64 << 20)) {
        delete file;
        return;
    }
    uchar* data = file->map(0, file->size());
    auto* translator = new QTranslator;
    if (!data || !translator->load(data, int(file->size()))) {
        delete translator;
        if (data) file->unmap(data);
        delete file;
        return;
    }
    installTranslator(translator);
    translations_.push_back(new TranslationFile{translator, file, data});
}
