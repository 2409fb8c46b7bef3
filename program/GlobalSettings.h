#pragma once

#include <QString>

#include <cstdint>
#include <string>

class QTranslator;

// The program-wide settings file "configs/config.brt": the interface
// language. When the file names none, the system locale decides.
class GlobalSettings {
public:
    static GlobalSettings* instance();

    GlobalSettings();

    // name and file keep the caller's values when the chosen type has no
    // entry in the file's language list.
    void language(QString& name, QString& file);
    int32_t currentType() const { return currentType_; }

    // Loads "<program folder>/translates/<prefix>_<file>.qm"; when that file
    // is missing the lookup falls back to shorter locale names, so "de_DE"
    // finds "<prefix>_de.qm".
    static bool loadTranslator(QTranslator& translator, const QString& prefix, const QString& file);

private:
    std::wstring path_;
    int32_t currentType_ = 0;
};
