#include "program/GlobalSettings.h"

#include "program/CommonHelper.h"
#include "program/JSettings.h"

#include <QLocale>
#include <QTranslator>

GlobalSettings* GlobalSettings::instance() {
    static GlobalSettings settings;
    return &settings;
}

GlobalSettings::GlobalSettings() : path_(CommonHelper::configPath()) {}

void GlobalSettings::language(QString& name, QString& file) {
    JSettings settings(path_, L"global");
    settings.beginGroup(L"Language");
    currentType_ = settings.value(L"CurrentType", int32_t(-1));
    if (currentType_ >= 0) {
        settings.beginReadArray(L"Array");
        for (const int32_t i : settings.arrayIndexes()) {
            settings.setArrayIndex(i);
            if (settings.value(L"Type", int32_t(-1)) != currentType_) continue;
            std::wstring text;
            settings.value(L"Name", text);
            name = QString::fromStdWString(text);
            settings.value(L"File", text);
            file = QString::fromStdWString(text);
            break;
        }
        settings.endArray();
    } else {
        const QLocale locale;
        name = QLocale::languageToString(locale.language());
        file = locale.name();
    }
    settings.endGroup();
}

bool GlobalSettings::loadTranslator(QTranslator& translator, const QString& prefix, const QString& file) {
    const QString folder = QString::fromStdWString(CommonHelper::appDirPath()) + QStringLiteral("/translates");
    return translator.load(prefix + QLatin1Char('_') + file, folder, QStringLiteral("_"), QStringLiteral(".qm"));
}
