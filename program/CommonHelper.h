#pragma once

#include <QString>

#include <cstdint>
#include <string>

class QObject;
class QRegularExpressionValidator;
class QWidget;

// Small services shared across the program: configuration paths, validator
// patterns, the shared term table, field marking, the log line and the memory
// of the last connection.
class CommonHelper {
public:
    // The program folder, where "configs", "translates" and "log.txt" lie.
    static std::wstring appDirPath();

    static std::wstring btBindingsPath();
    static std::wstring antennaTypePath();
    static std::wstring connectMethodsPath();
    static std::wstring connectionParamsPath();
    static std::wstring radioChannelsPath();
    static std::wstring netServerPath();
    static std::wstring configPath();
    static std::wstring satelBaudratePath();
    static std::wstring validCheckPath();
    static std::wstring connectBaudsPath();

    // Input patterns for the forms' validators (kinds 0 to 7; any other kind
    // gives an empty pattern). The lengths come from a file the user may
    // edit, so a negative minimum reads as 0 and the maximum is kept between
    // the minimum and the largest repeat count a pattern can hold.
    static QString makeValidatorPattern(int32_t kind, int32_t min, int32_t max);
    static QRegularExpressionValidator* makeValidator(int32_t kind, int32_t min, int32_t max,
                                                      QObject* parent = nullptr);

    static constexpr int32_t kTermCount = 16;
    static constexpr int32_t kUnknownTerm = 4;
    // Term 0 to 15, translated in the context "Translate"; "Unknown" for
    // any other index.
    static QString translateTerm(int32_t index);

    // Kind 1 marks a field red, kind 2 green; any other kind restores the
    // application's palette for the widget's class.
    static void setFieldPalette(int32_t kind, QWidget* widget);

    // Appends the message, level 1, to "log.txt" in the program folder.
    // Never throws.
    static void writeLog(const QString& message);

    static CommonHelper* instance();
    void setConnection(int32_t portType, int32_t portNumber);
    int32_t portType() const { return portType_; }
    int32_t portNumber() const { return portNumber_; }

private:
    int32_t portType_ = 0;
    int32_t portNumber_ = 0;
};
