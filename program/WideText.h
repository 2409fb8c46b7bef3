#pragma once

#include <QFile>
#include <QString>

#include <string>

// The program's texts are wide on its interfaces, UTF-8 in its files and the
// local 8-bit encoding in file names. These are the only conversions between
// them; characters that a target cannot hold become U+FFFD rather than being
// dropped silently.
inline std::string WideToUtf8(const std::wstring& text) {
    return QString::fromStdWString(text).toStdString();
}

inline std::wstring Utf8ToWide(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdWString();
}

inline std::string WideToLocalPath(const std::wstring& path) {
    return QFile::encodeName(QString::fromStdWString(path)).toStdString();
}

inline std::wstring LocalPathToWide(const std::string& path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))).toStdWString();
}
