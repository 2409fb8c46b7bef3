#include "program/JSettings.h"

#include "program/JSettingsImp.h"
#include "program/SettingsText.h"
#include "program/WideText.h"

#include <cstring>

using Fjarnis2011::FJCore::JSettingsImp;

JSettings::JSettings() : imp_(std::make_unique<JSettingsImp>()) {}

JSettings::JSettings(const std::wstring& path, const std::wstring& rootName)
    : imp_(std::make_unique<JSettingsImp>()) {
    if (open(path, rootName) != kOk) reset();
}

JSettings::~JSettings() { imp_->finish(); }

int32_t JSettings::open(const std::wstring& path, const std::wstring& rootName) {
    return imp_->open(WideToLocalPath(path), WideToUtf8(rootName));
}

void JSettings::reset() { imp_->reset(); }

int32_t JSettings::save() { return imp_->save(); }

int32_t JSettings::saveAs(const std::wstring& path) { return imp_->saveAs(WideToUtf8(path)); }

int32_t JSettings::status() const { return imp_->status(); }

int32_t JSettings::saveError() const { return imp_->saveError(); }

std::wstring JSettings::errorText(int32_t error) {
    char buffer[256] = {};
    // The GNU variant: it returns the text, in the buffer or elsewhere.
    const char* text = ::strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text ? text : "").toStdWString();
}

void JSettings::setOwnerOnly(bool ownerOnly) { imp_->setOwnerOnly(ownerOnly); }

int32_t JSettings::readError() const { return imp_->readError(); }

void JSettings::setReadOnly(bool readOnly) { imp_->setReadOnly(readOnly); }

std::vector<int32_t> JSettings::arrayIndexes() { return imp_->arrayIndexes(); }

bool JSettings::beginGroup(const std::wstring& key) { return imp_->beginGroup(WideToUtf8(key)); }

bool JSettings::endGroup() { return imp_->endGroup(); }

int32_t JSettings::beginReadArray(const std::wstring& key) { return imp_->beginReadArray(WideToUtf8(key)); }

void JSettings::beginWriteArray(const std::wstring& key, int32_t size) {
    imp_->beginWriteArray(WideToUtf8(key), size);
}

int32_t JSettings::setArrayIndex(int32_t i) { return imp_->setArrayIndex(i); }

void JSettings::endArray() { imp_->endArray(); }

bool JSettings::setValue(const std::wstring& key, const std::wstring& value) {
    return imp_->setValue(WideToUtf8(key), WideToUtf8(value));
}

bool JSettings::setValue(const std::wstring& key, const wchar_t* value) {
    return setValue(key, std::wstring(value ? value : L""));
}

bool JSettings::setValue(const std::wstring& key, double value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsDouble(value));
}

bool JSettings::setValue(const std::wstring& key, int8_t value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsInteger(int32_t(value)));
}

// Unsigned 8- and 16-bit values are widened without sign.
bool JSettings::setValue(const std::wstring& key, uint8_t value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsInteger(uint32_t(value)));
}

bool JSettings::setValue(const std::wstring& key, int16_t value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsInteger(int32_t(value)));
}

bool JSettings::setValue(const std::wstring& key, uint16_t value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsInteger(uint32_t(value)));
}

bool JSettings::setValue(const std::wstring& key, int32_t value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsInteger(value));
}

// Stored as the 32-bit value taken as signed, as the files have always held it.
bool JSettings::setValue(const std::wstring& key, uint32_t value) {
    return imp_->setValue(WideToUtf8(key), FormatSettingsInteger(static_cast<int32_t>(value)));
}

bool JSettings::rawValue(const std::wstring& key, std::string& text) {
    return imp_->value(WideToUtf8(key), text);
}

bool JSettings::int32Value(const std::wstring& key, int32_t& out) {
    std::string text;
    return rawValue(key, text) && ParseSettingsInteger(text, out);
}

void JSettings::value(const std::wstring& key, std::wstring& result, const std::wstring& defaultValue) {
    std::string text;
    result = rawValue(key, text) ? Utf8ToWide(text) : defaultValue;
}

double JSettings::value(const std::wstring& key, double defaultValue) {
    std::string text;
    double v = 0;
    return rawValue(key, text) && ParseSettingsDouble(text, v) ? v : defaultValue;
}

// The narrow integers are read as a 32-bit integer and keep its low bits.
int8_t JSettings::value(const std::wstring& key, int8_t defaultValue) {
    int32_t v = 0;
    return int32Value(key, v) ? static_cast<int8_t>(v) : defaultValue;
}

uint8_t JSettings::value(const std::wstring& key, uint8_t defaultValue) {
    int32_t v = 0;
    return int32Value(key, v) ? static_cast<uint8_t>(v) : defaultValue;
}

int16_t JSettings::value(const std::wstring& key, int16_t defaultValue) {
    int32_t v = 0;
    return int32Value(key, v) ? static_cast<int16_t>(v) : defaultValue;
}

uint16_t JSettings::value(const std::wstring& key, uint16_t defaultValue) {
    int32_t v = 0;
    return int32Value(key, v) ? static_cast<uint16_t>(v) : defaultValue;
}

int32_t JSettings::value(const std::wstring& key, int32_t defaultValue) {
    int32_t v = 0;
    return int32Value(key, v) ? v : defaultValue;
}

uint32_t JSettings::value(const std::wstring& key, uint32_t defaultValue) {
    std::string text;
    uint32_t v = 0;
    return rawValue(key, text) && ParseSettingsUnsigned(text, v) ? v : defaultValue;
}

int64_t JSettings::value(const std::wstring& key, int64_t defaultValue) {
    std::string text;
    int64_t v = 0;
    return rawValue(key, text) && ParseSettingsInteger(text, v) ? v : defaultValue;
}

uint64_t JSettings::value(const std::wstring& key, uint64_t defaultValue) {
    std::string text;
    uint64_t v = 0;
    return rawValue(key, text) && ParseSettingsUnsigned(text, v) ? v : defaultValue;
}

bool JSettings::remove(const std::wstring& key) { return imp_->remove(WideToUtf8(key)); }

std::vector<std::string> JSettings::childGroups() { return imp_->childGroups(); }

std::vector<std::string> JSettings::childKeys() { return imp_->childKeys(); }
