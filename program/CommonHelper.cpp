#include "program/CommonHelper.h"

#include "fjcomm/FJCore/Exception.h"
#include "platform/Paths.h"
#include "program/AppLogger.h"
#include "program/WideText.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPalette>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QWidget>

#include <algorithm>
#include <mutex>

namespace {

std::wstring ConfigFile(const char* name) {
    return LocalPathToWide(platform::ResolveRootPath(std::string("/configs/") + name));
}

const char* const kTerms[CommonHelper::kTermCount] = {
    QT_TRANSLATE_NOOP("Translate", "ZELT"),
    QT_TRANSLATE_NOOP("Translate", "Ntrip Client"),
    QT_TRANSLATE_NOOP("Translate", "ZELT One To Multi"),
    QT_TRANSLATE_NOOP("Translate", "TCP Direct"),
    QT_TRANSLATE_NOOP("Translate", "Unknown"),
    QT_TRANSLATE_NOOP("Translate", "Null"),
    QT_TRANSLATE_NOOP("Translate", "0.1w"),
    QT_TRANSLATE_NOOP("Translate", "0.5w"),
    QT_TRANSLATE_NOOP("Translate", "1w"),
    QT_TRANSLATE_NOOP("Translate", "2w"),
    QT_TRANSLATE_NOOP("Translate", "Port"),
    QT_TRANSLATE_NOOP("Translate", "KVX BT"),
    QT_TRANSLATE_NOOP("Translate", "Sys. BT"),
    QT_TRANSLATE_NOOP("Translate", "Q48 Series"),
    QT_TRANSLATE_NOOP("Translate", "Q22 Series"),
    QT_TRANSLATE_NOOP("Translate", "GNSS RTK Series"),
};

// The largest repeat count the regular-expression engine takes.
constexpr int32_t kLongestRepeat = 65535;

std::mutex g_logMutex;

}  // namespace

std::wstring CommonHelper::appDirPath() { return LocalPathToWide(platform::ProgramFolder()); }

std::wstring CommonHelper::btBindingsPath() { return ConfigFile("btbindings.brt"); }
std::wstring CommonHelper::antennaTypePath() { return ConfigFile("antennatype.brt"); }
std::wstring CommonHelper::connectMethodsPath() { return ConfigFile("connectmethods.brt"); }
std::wstring CommonHelper::connectionParamsPath() { return ConfigFile("connectionparams.brt"); }
std::wstring CommonHelper::radioChannelsPath() { return ConfigFile("radiochannels.brt"); }
std::wstring CommonHelper::netServerPath() { return ConfigFile("netserver.brt"); }
std::wstring CommonHelper::configPath() { return ConfigFile("config.brt"); }
std::wstring CommonHelper::satelBaudratePath() { return ConfigFile("satelbaudrate.brt"); }
std::wstring CommonHelper::validCheckPath() { return ConfigFile("validcheck.brt"); }
std::wstring CommonHelper::connectBaudsPath() { return ConfigFile("connectbauds.brt"); }

QString CommonHelper::makeValidatorPattern(int32_t kind, int32_t min, int32_t max) {
    QString pattern;
    switch (kind) {
        case 0: pattern = QStringLiteral(R"(^[0-9\.]{%1,%2}$)"); break;
        case 1: pattern = QStringLiteral(R"(^[^\\/<>*?:"|]{%1,%2}$)"); break;
        case 2: pattern = QStringLiteral(R"(^[a-z0-9A-Z_-]{%1,%2}$)"); break;
        case 3:
            // A port number from 0 to 65535; the lengths do not apply.
            return QStringLiteral(
                "^0?|[1-9][0-9]{0,3}|[1-5][0-9]{4}|6[0-4][0-9]{3}|65[0-4][0-9]{2}|655[0-2][0-9]|6553[0-5]$");
        case 4: pattern = QStringLiteral(R"(^[0-9-]{%1,%2}$)"); break;
        case 5: pattern = QStringLiteral(R"(^[a-z0-9A-Z]{%1,%2}$)"); break;
        case 6:
            pattern = QStringLiteral("^[") + QChar(0x0001) + QLatin1Char('-') + QChar(0x007F) +
                      QStringLiteral("]{%1,%2}$");
            break;
        case 7: pattern = QStringLiteral(R"(^[a-z0-9A-Z-]{%1,%2}$)"); break;
        default: return QString();
    }
    min = std::clamp(min, 0, kLongestRepeat);
    max = std::clamp(max, min, kLongestRepeat);
    return pattern.arg(min).arg(max);
}

QRegularExpressionValidator* CommonHelper::makeValidator(int32_t kind, int32_t min, int32_t max,
                                                         QObject* parent) {
    return new QRegularExpressionValidator(QRegularExpression(makeValidatorPattern(kind, min, max)), parent);
}

QString CommonHelper::translateTerm(int32_t index) {
    // A code from a file the user may edit names no term: it reads as
    // "Unknown" rather than as an empty cell.
    if (index < 0 || index >= kTermCount) index = kUnknownTerm;
    return QCoreApplication::translate("Translate", kTerms[index]);
}

void CommonHelper::setFieldPalette(int32_t kind, QWidget* widget) {
    if (!widget) return;
    QPalette palette = QApplication::palette(widget->metaObject()->className());
    if (kind == 1)
        palette.setBrush(QPalette::Base, QBrush(Qt::red, Qt::SolidPattern));
    else if (kind == 2)
        palette.setBrush(QPalette::Base, QBrush(Qt::green, Qt::SolidPattern));
    widget->setPalette(palette);
}

void CommonHelper::writeLog(const QString& message) {
    try {
        std::lock_guard<std::mutex> lock(g_logMutex);
        AppLogger::instance(platform::ResolveRootPath("/log.txt"), 0)->writeMessage(1, message.toStdWString());
    } catch (Fjarnis2011::FJCore::Exception* e) {
        delete e;
    } catch (...) {
    }
}

CommonHelper* CommonHelper::instance() {
    static CommonHelper helper;
    return &helper;
}

void CommonHelper::setConnection(int32_t portType, int32_t portNumber) {
    portType_ = portType;
    portNumber_ = portNumber;
}
